#include "platform/view/Workspace.h"

#include <gio/gio.h>

namespace view {

namespace {

constexpr const char* kInterfaceSchema = "org.gnome.desktop.interface";
constexpr const char* kAnimationsKey = "enable-animations";

// Only where the desktop's schema is installed: GSettings aborts the
// process when asked for a schema it does not know.
GSettings* interfaceSettingsIfInstalled() {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source) return nullptr;
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, kInterfaceSchema, TRUE);
    if (!schema) return nullptr;
    const bool hasKey = g_settings_schema_has_key(schema, kAnimationsKey);
    g_settings_schema_unref(schema);
    return hasKey ? g_settings_new(kInterfaceSchema) : nullptr;
}

} // namespace

Workspace::Workspace() : interfaceSettings_(interfaceSettingsIfInstalled()) {}

Workspace& Workspace::sharedWorkspace() {
    static Workspace* workspace = new Workspace;
    return *workspace;
}

bool Workspace::accessibilityDisplayShouldReduceMotion() const {
    if (override_) return *override_;
    // GSettings keeps the value current from the settings backend's change
    // notices, so this read costs no I/O.
    return interfaceSettings_ && !g_settings_get_boolean(interfaceSettings_, kAnimationsKey);
}

} // namespace view

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

Workspace::Workspace() : interfaceSettings_(interfaceSettingsIfInstalled()) {
    if (!interfaceSettings_) return;
    // GSettings reports a change of a key only once the key was read after
    // the handler was connected: connect first, then read.
    auto changed = +[](GSettings*, const gchar*, gpointer workspace) {
        static_cast<Workspace*>(workspace)->readAnimationsSetting();
    };
    g_signal_connect(interfaceSettings_, "changed::enable-animations", G_CALLBACK(changed), this);
    readAnimationsSetting();
}

Workspace& Workspace::sharedWorkspace() {
    static Workspace* workspace = new Workspace;
    return *workspace;
}

void Workspace::readAnimationsSetting() {
    reduceMotion_ = !g_settings_get_boolean(interfaceSettings_, kAnimationsKey);
}

} // namespace view

#include "tests/support/DesktopAnimations.h"

#include <gio/gio.h>

namespace {

constexpr const char* kInterfaceSchema = "org.gnome.desktop.interface";
constexpr const char* kAnimationsKey = "enable-animations";

// A process picks its settings backend once, at its first GSettings, and
// the workspace may make that one in any test: the choice is made here,
// before main.
[[gnu::constructor]] void keepSettingsInMemory() { g_setenv("GSETTINGS_BACKEND", "memory", TRUE); }

} // namespace

DesktopAnimations::DesktopAnimations() : settings_(g_settings_new(kInterfaceSchema)) {}

DesktopAnimations::~DesktopAnimations() {
    g_settings_reset(settings_, kAnimationsKey);
    g_object_unref(settings_);
}

void DesktopAnimations::setEnabled(bool enabled) { g_settings_set_boolean(settings_, kAnimationsKey, enabled); }

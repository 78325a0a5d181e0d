#include "platform/ui/gtk/GtkWindowBackend.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/ui/gtk/Presenter.h"

namespace ui::gtk {

using view::AppearanceName;
using view::ModalResponse;
using view::Window;
using view::WindowBackend;
using view::Size;

namespace {

// The desktop's theme, whatever it is, gives way to the window's own look.
void applyAppearance(AppearanceName appearance) {
    g_object_set(gtk_settings_get_default(), "gtk-theme-name", "Adwaita", "gtk-application-prefer-dark-theme",
                 appearance == AppearanceName::DarkAqua, nullptr);
}

// The key as key equivalents name it: "\r" for Return, else its character.
std::string keyEquivalentOf(guint keyval) {
    switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter: return "\r";
    case GDK_KEY_Escape: return "\x1b";
    default: break;
    }
    const gunichar character = gdk_keyval_to_unicode(keyval);
    if (!character) return {};
    char text[8] = {};
    g_unichar_to_utf8(character, text);
    return text;
}

gboolean onKeyPressed(GtkEventControllerKey*, guint keyval, guint, GdkModifierType state, Window* window) {
    if (state & (GDK_CONTROL_MASK | GDK_ALT_MASK | GDK_SUPER_MASK)) return FALSE;
    return window->performKeyEquivalent(keyEquivalentOf(keyval));
}

gboolean onCloseRequest(GtkWindow*, Window* window) {
    // What closing means is the window's owner's to decide; the widget stays
    // until the presentation goes.
    window->close();
    return TRUE;
}

void applyStyleMask(GtkWindow* gtkWindow, unsigned style) {
    gtk_window_set_decorated(gtkWindow, (style & view::WindowStyleMaskTitled) != 0);
    gtk_window_set_deletable(gtkWindow, (style & view::WindowStyleMaskClosable) != 0);
    gtk_window_set_resizable(gtkWindow, (style & view::WindowStyleMaskResizable) != 0);
}

} // namespace

GtkWindowBackend::GtkWindowBackend(Window& window, std::unique_ptr<WidgetTree> tree)
    : window_(&window), contentSize_(window.contentSize()), tree_(std::move(tree)),
      gtkWindow_(GTK_WINDOW(g_object_ref_sink(gtk_window_new()))) {}

GtkWindowBackend::~GtkWindowBackend() {
    // The tree lets go of the window's signals while the window is still
    // there.
    tree_.reset();
    g_signal_handlers_disconnect_by_data(gtkWindow_, window_);
    gtk_window_destroy(gtkWindow_);
    g_object_unref(gtkWindow_);
}

std::unique_ptr<GtkWindowBackend> GtkWindowBackend::realize(const std::shared_ptr<Window>& window,
                                                            foundation::ErrorRef* error) {
    if (!initialize(error)) return nullptr;
    std::string problem;
    auto tree = WidgetTree::build(window->contentView(), problem);
    if (!tree) {
        if (error) *error = foundation::makeError(kPresenterErrorDomain, PresenterErrorUnlayoutableConstraint, problem);
        return nullptr;
    }
    if (window->appearance()) applyAppearance(*window->appearance());

    std::unique_ptr<GtkWindowBackend> backend(new GtkWindowBackend(*window, std::move(tree)));
    GtkWindow* gtkWindow = backend->gtkWindow_;
    WidgetTree& widgets = *backend->tree_;
    gtk_window_set_title(gtkWindow, window->title().c_str());
    applyStyleMask(gtkWindow, window->styleMask());
    const Size size = window->contentSize();
    gtk_widget_set_size_request(widgets.rootWidget(), static_cast<int>(size.width), static_cast<int>(size.height));
    gtk_window_set_child(gtkWindow, widgets.rootWidget());
    widgets.holdNaturalSizes();
    widgets.recordFramesOf(gtkWindow);

    GtkEventController* keys = gtk_event_controller_key_new();
    // Key equivalents come before the focused widget's own use of the key.
    gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
    g_signal_connect(keys, "key-pressed", G_CALLBACK(onKeyPressed), window.get());
    gtk_widget_add_controller(GTK_WIDGET(gtkWindow), keys);
    g_signal_connect(gtkWindow, "close-request", G_CALLBACK(onCloseRequest), window.get());

    if (const auto first = window->initialFirstResponder()) {
        if (GtkWidget* focus = widgets.widgetFor(*first)) gtk_window_set_focus(gtkWindow, focus);
    }
    return backend;
}

void GtkWindowBackend::close() { gtk_widget_set_visible(GTK_WIDGET(gtkWindow_), FALSE); }

bool present(const std::shared_ptr<Window>& window, foundation::ErrorRef* error) {
    auto backend = GtkWindowBackend::realize(window, error);
    if (!backend) return false;
    GtkWindow* shown = backend->gtkWindow();
    window->setBackend(std::move(backend));
    gtk_window_present(shown);
    return true;
}

bool beginSheet(const std::shared_ptr<Window>& window, const std::shared_ptr<Window>& sheet,
                Window::SheetCompletionHandler handler, foundation::ErrorRef* error) {
    // Checked before any widget is made: a sheet shown elsewhere keeps its
    // widgets in step with its views.
    if (!window->canBeginSheet(sheet)) return false;
    auto backend = GtkWindowBackend::realize(sheet, error);
    if (!backend) return false;
    GtkWindow* dialog = backend->gtkWindow();
    const std::weak_ptr<Window> shownSheet = sheet;
    window->beginSheet(sheet, [shownSheet, handler](ModalResponse returnCode) {
        if (const auto ended = shownSheet.lock()) {
            // The sheet ends inside a signal of one of its own widgets: its
            // widgets go once that is over.
            std::shared_ptr<WindowBackend> dismissed = ended->setBackend(nullptr);
            if (dismissed) dismissed->close();
            dispatch::async([dismissed] {});
        }
        if (handler) handler(returnCode);
    });
    if (const auto* parent = dynamic_cast<const GtkWindowBackend*>(window->backend())) {
        gtk_window_set_transient_for(dialog, parent->gtkWindow());
    }
    gtk_window_set_modal(dialog, TRUE);
    sheet->setBackend(std::move(backend));
    gtk_window_present(dialog);
    return true;
}

} // namespace ui::gtk

#include "platform/ui/gtk/Presenter.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/ui/gtk/WidgetTree.h"

#include <gtk/gtk.h>

namespace ui::gtk {

struct WindowPresentation::Shown {
    std::shared_ptr<Window> window;
    std::unique_ptr<WidgetTree> tree;
    GtkWindow* gtkWindow = nullptr;
    std::unique_ptr<WindowPresentation> sheet;

    ~Shown() {
        // The sheet's dialog goes before the window it belongs to; the tree
        // lets go of the window's signals while the window is still there.
        sheet.reset();
        tree.reset();
        g_signal_handlers_disconnect_by_data(gtkWindow, window.get());
        gtk_window_destroy(gtkWindow);
        g_object_unref(gtkWindow);
    }
};

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
    gtk_window_set_decorated(gtkWindow, (style & WindowStyleMaskTitled) != 0);
    gtk_window_set_deletable(gtkWindow, (style & WindowStyleMaskClosable) != 0);
    gtk_window_set_resizable(gtkWindow, (style & WindowStyleMaskResizable) != 0);
}

} // namespace

WindowPresentation::~WindowPresentation() = default;

std::unique_ptr<WindowPresentation> WindowPresentation::realize(const std::shared_ptr<Window>& window,
                                                                foundation::ErrorRef* error) {
    if (!initialize(error)) return nullptr;
    std::string problem;
    auto tree = WidgetTree::build(window->contentView(), problem);
    if (!tree) {
        if (error) *error = foundation::makeError(kPresenterErrorDomain, PresenterErrorUnlayoutableConstraint, problem);
        return nullptr;
    }
    if (window->appearance()) applyAppearance(*window->appearance());

    auto shown = std::make_shared<Shown>();
    shown->window = window;
    shown->gtkWindow = GTK_WINDOW(g_object_ref_sink(gtk_window_new()));
    GtkWindow* gtkWindow = shown->gtkWindow;
    gtk_window_set_title(gtkWindow, window->title().c_str());
    applyStyleMask(gtkWindow, window->styleMask());
    const Size size = window->contentSize();
    gtk_widget_set_size_request(tree->rootWidget(), static_cast<int>(size.width), static_cast<int>(size.height));
    gtk_window_set_child(gtkWindow, tree->rootWidget());
    tree->holdNaturalSizes();
    tree->recordFramesOf(gtkWindow);

    GtkEventController* keys = gtk_event_controller_key_new();
    // Key equivalents come before the focused widget's own use of the key.
    gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
    g_signal_connect(keys, "key-pressed", G_CALLBACK(onKeyPressed), window.get());
    gtk_widget_add_controller(GTK_WIDGET(gtkWindow), keys);
    g_signal_connect(gtkWindow, "close-request", G_CALLBACK(onCloseRequest), window.get());

    if (const auto first = window->initialFirstResponder()) {
        if (GtkWidget* focus = tree->widgetFor(*first)) gtk_window_set_focus(gtkWindow, focus);
    }
    shown->tree = std::move(tree);
    return std::unique_ptr<WindowPresentation>(new WindowPresentation(std::move(shown)));
}

std::unique_ptr<WindowPresentation> WindowPresentation::present(const std::shared_ptr<Window>& window,
                                                                foundation::ErrorRef* error) {
    auto presentation = realize(window, error);
    if (presentation) gtk_window_present(presentation->shown_->gtkWindow);
    return presentation;
}

const std::shared_ptr<Window>& WindowPresentation::window() const { return shown_->window; }

WindowPresentation* WindowPresentation::sheetPresentation() const { return shown_->sheet.get(); }

bool WindowPresentation::beginSheet(const std::shared_ptr<Window>& sheet, Window::SheetCompletionHandler handler,
                                    foundation::ErrorRef* error) {
    // Checked before any widget is made: a sheet shown elsewhere keeps its
    // widgets in step with its views.
    if (!shown_->window->canBeginSheet(sheet)) return false;
    auto presentation = realize(sheet, error);
    if (!presentation) return false;
    const std::weak_ptr<Shown> parent = shown_;
    shown_->window->beginSheet(sheet, [parent, handler](ModalResponse returnCode) {
        if (const auto shown = parent.lock(); shown && shown->sheet) {
            gtk_widget_set_visible(GTK_WIDGET(shown->sheet->shown_->gtkWindow), FALSE);
            // The sheet ends inside a signal of one of its own widgets: its
            // widgets go once that is over.
            dispatch::async([dismissed = std::shared_ptr<WindowPresentation>(std::move(shown->sheet))] {});
        }
        if (handler) handler(returnCode);
    });
    GtkWindow* dialog = presentation->shown_->gtkWindow;
    gtk_window_set_transient_for(dialog, shown_->gtkWindow);
    gtk_window_set_modal(dialog, TRUE);
    shown_->sheet = std::move(presentation);
    gtk_window_present(dialog);
    return true;
}

} // namespace ui::gtk

#include "platform/ui/gtk/LayoutContainer.h"

// A GObject type of our own: GtkWidget itself is abstract about its
// children, and a container must let go of them when it is disposed.
struct KorlanFlowLayoutContainer {
    GtkWidget parent_instance;
};

struct KorlanFlowLayoutContainerClass {
    GtkWidgetClass parent_class;
};

G_DEFINE_TYPE(KorlanFlowLayoutContainer, korlan_flow_layout_container, GTK_TYPE_WIDGET)

namespace {

void disposeContainer(GObject* object) {
    while (GtkWidget* child = gtk_widget_get_first_child(GTK_WIDGET(object))) gtk_widget_unparent(child);
    G_OBJECT_CLASS(korlan_flow_layout_container_parent_class)->dispose(object);
}

} // namespace

static void korlan_flow_layout_container_class_init(KorlanFlowLayoutContainerClass* containerClass) {
    G_OBJECT_CLASS(containerClass)->dispose = disposeContainer;
    gtk_widget_class_set_layout_manager_type(GTK_WIDGET_CLASS(containerClass), GTK_TYPE_CONSTRAINT_LAYOUT);
    gtk_widget_class_set_css_name(GTK_WIDGET_CLASS(containerClass), "korlanflowview");
}

static void korlan_flow_layout_container_init(KorlanFlowLayoutContainer*) {}

namespace ui::gtk {

GtkWidget* newLayoutContainer() {
    return GTK_WIDGET(g_object_new(korlan_flow_layout_container_get_type(), nullptr));
}

} // namespace ui::gtk

/* The yardstick for the client's start-up: a bare GTK window of the client's size at its
 * place, painted one colour, doing nothing else. */
#include <gtk/gtk.h>

static gboolean paint(GtkWidget* widget, cairo_t* cr, gpointer data) {
  (void)widget;
  (void)data;
  cairo_set_source_rgb(cr, 0.2, 0.4, 0.7);
  cairo_paint(cr);
  return TRUE;
}

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), 296, 657);
  gtk_window_move(GTK_WINDOW(window), 50, 50);
  gtk_widget_set_app_paintable(window, TRUE);
  g_signal_connect(window, "draw", G_CALLBACK(paint), NULL);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
  gtk_widget_show(window);
  gtk_main();
  return 0;
}

// Velsor: start the application, create the main window, run the message loop
// until the window closes.

#include <QApplication>

#include "message/process_guard.h"
#include "window/main_window.h"

int main(int argc, char* argv[]) {
  velsor::HardenProcess();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velsor"));
  velsor::MainWindow mainWindow;
  mainWindow.show();
  return QApplication::exec();
}

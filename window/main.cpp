// Velsor: answer --help and --version, or start the application, create the
// main window and run the message loop until the window closes.

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include "message/process_guard.h"
#include "window/main_window.h"

namespace {

void Describe(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("Encrypts and decrypts short text messages with a passphrase.\n"
                     "The command-line companion is velsor-cli."));
  parser.addHelpOption();
  parser.addVersionOption();
}

// --help and --version print and exit before any window system is needed, so
// they also work without a display.
void AnswerInformationOptions(int argc, char* argv[]) {
  QCoreApplication probe(argc, argv);
  QCommandLineParser parser;
  Describe(parser);
  parser.parse(QCoreApplication::arguments());
  if (parser.isSet(QStringLiteral("help"))) parser.showHelp();
  if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
}

}  // namespace

int main(int argc, char* argv[]) {
  velsor::HardenProcess();
  QCoreApplication::setApplicationName(QStringLiteral("Velsor"));
  QCoreApplication::setApplicationVersion(QStringLiteral(VELSOR_VERSION));
  AnswerInformationOptions(argc, argv);

  QApplication application(argc, argv);
  // The desktop entry's id, so desktops match the window to its entry.
  QGuiApplication::setDesktopFileName(QStringLiteral(VELSOR_APP_ID));
  QCommandLineParser parser;
  Describe(parser);
  parser.process(application);  // an unknown option: a message and exit status 1
  velsor::MainWindow mainWindow;
  mainWindow.show();
  return QApplication::exec();
}

// The program: the application, "log.txt", the main window, the hidden
// statistics window and the message loop.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstring>

#include "app/FileNames.h"
#include "stats/FormStat.h"
#include "model/SettingsFile.h"
#include "app/VelmoraForm.h"
#include "VelmoraVersion.h"

int main(int argc, char** argv) {
  // Answered before any window or display is touched.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("velmora %s (built %s)\n", kVelmoraVersion, kVelmoraBuildDate);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf(
          "Usage: velmora [--help | --version] [Qt options]\n"
          "Searches finite EQ-algebras of 2 to 28 elements in a window: a genetic search (Run) and an\n"
          "exact finder (Find). Every setting is a control of the window, kept in Velmora.ini.\n"
          "\n"
          "  --help, -h   show this help and exit\n"
          "  --version    show the version and the build date and exit\n"
          "\n"
          "Qt options such as -platform offscreen or -style fusion are passed on to Qt.\n"
          "Without a window: velmora-cli (see velmora-cli --help). Manual: man velmora.\n");
      return 0;
    }
  }
  QApplication application(argc, argv);
  // The application's title. No display name: the platform would append it
  // to the window caption, which must read exactly "Velmora v1 build ...".
  QApplication::setApplicationName(QStringLiteral("Velmora"));

  // Created empty and kept open for the whole run; nothing is written to it.
  // The current folder may be shared: a link under the name is replaced,
  // never truncated through.
  QFile log_file;
  const QString log_path = QDir::current().filePath(QStringLiteral("log.txt"));
  QString log_error;
  if (!OpenFreshFile(log_file, log_path, &log_error)) {
    std::fprintf(stderr, "velmora: %s not created: %s\n", qPrintable(log_path), qPrintable(log_error));
  }

  TEQForm::Environment environment;
  environment.executable_directory = QCoreApplication::applicationDirPath();
  environment.settings_file =
      QString::fromStdString(SettingsFilePath(environment.executable_directory.toStdString()));
  environment.current_directory = QDir::currentPath();

  // The window outlives the message loop: a run still on the stack when the
  // window closes unwinds before anything is destroyed.
  TEQForm form(environment);
  auto* stats = new TFormStats(&form);  // a window of its own, on top of the main window
  if (!stats->isWindow()) stats->setWindowFlag(Qt::Window, true);
  stats->hide();
  form.FormStats = stats;

  // The statistics window may stay visible: the program ends with the main window.
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(&form, &TEQForm::Closed, &application, &QCoreApplication::quit, Qt::QueuedConnection);
  form.show();
  const int result = QApplication::exec();
  log_file.close();
  return result;
}

#include "ui/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdlib>

#include "ui/images.h"
#include "ui/main_window.h"

namespace tesmor {

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

bool HaveDisplay() {
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

int RunWindow(int& argc, char** argv, ComputerPlayer& computer, RandomSource& random) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tesmor"));
  QApplication::setDesktopFileName(QStringLiteral("tesmor"));
  QApplication::setWindowIcon(ProgramIcon());
  // Qt's own texts (the file dialogs) in Chinese, as the rest of the window.
  QTranslator qtTexts;
  if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                   QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTexts);

  MainWindow window(computer, random);
  window.Start();
  window.show();
  // A position file named on the command line (as a file manager passes it) is opened at once.
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) window.OpenAtStart(arguments.at(1));
  return QApplication::exec();
}

}  // namespace tesmor

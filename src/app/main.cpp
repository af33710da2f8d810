#include "JxApplication.h"
#include "QtPrompts.h"
#include "Startup.h"
#include "TFrmPrincipal.h"

#include "platform/ProgramFolder.h"

#include <QLocale>
#include <QStandardPaths>
#include <QTimer>

int main(int argc, char* argv[])
{
    jx::gui::JxApplication app(argc, argv);
    // Dates and numbers follow the Brazilian forms whatever the machine's settings.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));

    jx::QtPrompts prompts;
    QString lockFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (lockFolder.isEmpty())
        lockFolder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    jx::gui::Startup startup(
        { jx::programFolder::path(), lockFolder, jx::gui::Startup::splashWaitFromEnvironment(), &prompts });
    if (!startup.start())
        return 1;
    // Benchmarks measure the way to the shown main window and stop there.
    if (qEnvironmentVariableIsSet("JX_BENCH_STARTUP"))
        QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    return app.exec();
}

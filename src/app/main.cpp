#include "FirstExposure.h"
#include "JxApplication.h"
#include "QtPrompts.h"
#include "Startup.h"
#include "TFrmPrincipal.h"

#include "platform/ProgramFolder.h"

#include <QLocale>
#include <QStandardPaths>

#include <memory>

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
    // Benchmarks measure the way to the main window's first painted exposure and stop there.
    std::unique_ptr<jx::app::FirstExposure> probe;
    if (qEnvironmentVariableIsSet("JX_BENCH_STARTUP"))
        probe = std::make_unique<jx::app::FirstExposure>([&startup]() -> QWidget* { return startup.mainWindow(); },
            [&startup] {
                jx::app::reportShownAndQuit(
                    "module " + QByteArray::number(double(startup.dataModuleOpenNs()) / 1e6, 'f', 3));
            });
    if (!startup.start())
        return 1;
    return app.exec();
}

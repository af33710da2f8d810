// The bare start-up jx's is measured against: a Qt Widgets process that opens the database
// file named on its command line as jx opens it (the key, the key proved on the schema, the
// journal and sync levels) and shows an empty main window. It ends at the window's first painted
// exposure and says so on standard output, as jx does under JX_BENCH_STARTUP.

#include "FirstExposure.h"

#include "db/Sqlite.h"
#include "db/TdtmDB.h"

#include <QApplication>
#include <QMainWindow>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_baseline DATABASE\n");
        return 2;
    }
    jx::db::Connection connection;
    try {
        jx::TdtmDB::openValidated(connection, QString::fromLocal8Bit(argv[1]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "startup_baseline: %s\n", e.what());
        return 1;
    }
    QMainWindow window;
    jx::app::FirstExposure probe([&window]() -> QWidget* { return &window; }, [] { jx::app::reportShownAndQuit(); });
    window.showMaximized();
    return app.exec();
}

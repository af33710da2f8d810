#include "TFrmPrincipal.h"

#include "config/ConfigApp.h"

#include <QApplication>
#include <QLocale>
#include <QScreen>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Dates and numbers follow the Brazilian forms whatever the machine's settings.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));

    jx::TConfigApp config;
    jx::TFrmPrincipal window(config);
    // Without a window manager (Xvfb) "maximised" means nothing; take the screen ourselves.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    return app.exec();
}

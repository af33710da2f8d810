#include "TscrUntSplash.h"

#include "Branding.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace jx::gui {

TscrUntSplash::TscrUntSplash(const QString& versionText, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TscrUntSplash"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    setFixedSize(460, 260);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* picture = new QLabel(this);
    picture->setPixmap(programPicture(96));
    top->addWidget(picture);
    auto* names = new QVBoxLayout;
    names->addWidget(makeProgramNameLabel(this, 40));
    names->addWidget(makeRedBoldLabel(QStringLiteral("Inscrição Estadual"), this, 16));
    top->addLayout(names, 1);
    layout->addLayout(top, 1);

    auto* status = new QLabel(QStringLiteral("Carregando o sistema..."), this);
    status->setObjectName(QStringLiteral("lblStatus"));
    auto* version = new QLabel(versionText, this);
    version->setObjectName(QStringLiteral("lblVersao"));
    version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status, 1);
    bottom->addWidget(version);
    layout->addLayout(bottom);
}

void TscrUntSplash::showCentred()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    repaint();
}

} // namespace jx::gui

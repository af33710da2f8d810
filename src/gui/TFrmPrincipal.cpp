#include "TFrmPrincipal.h"

#include "config/ConfigApp.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QVBoxLayout>

namespace jx {

TFrmPrincipal::TFrmPrincipal(const TConfigApp& config, QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TFrmPrincipal"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(config.applicationTitle());
    setWindowTitle(config.mainWindowCaption());

    auto* central = new QWidget(this);
    central->setAutoFillBackground(true);
    QPalette palette = central->palette();
    palette.setColor(QPalette::Window, Qt::white);
    central->setPalette(palette);
    auto* layout = new QVBoxLayout(central);
    auto* name = new QLabel(QStringLiteral("JX"), central);
    QFont big = name->font();
    big.setPointSize(36);
    big.setBold(true);
    name->setFont(big);
    name->setStyleSheet(QStringLiteral("color: #c00000;"));
    auto* subtitle = new QLabel(QStringLiteral("Inscrição Estadual"), central);
    QFont bold = subtitle->font();
    bold.setBold(true);
    bold.setPointSize(14);
    subtitle->setFont(bold);
    subtitle->setStyleSheet(QStringLiteral("color: #c00000;"));
    layout->addWidget(name);
    layout->addWidget(subtitle);
    layout->addStretch();
    setCentralWidget(central);
}

} // namespace jx

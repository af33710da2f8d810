#include "TscrUntSobre.h"

#include "Branding.h"
#include "config/ConfigApp.h"

#include <QDesktopServices>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace jx::gui {

TscrUntSobre::TscrUntSobre(const TConfigApp& config, QWidget* parent)
    : QDialog(parent)
    , openUrl([](const QUrl& url) { QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("TscrUntSobre"));
    setWindowTitle(QStringLiteral("Sobre o JX"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* layout = new QVBoxLayout(this);
    auto* panel = new QWidget(this);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel->setPalette(palette);
    auto* panelLayout = new QHBoxLayout(panel);
    auto* picture = new QLabel(panel);
    picture->setPixmap(programPicture(80));
    panelLayout->addWidget(picture);
    auto* texts = new QVBoxLayout;
    texts->addWidget(makeProgramNameLabel(panel, 32));
    texts->addWidget(new QLabel(QStringLiteral("Inscrição Estadual"), panel));
    m_version = new QLabel(config.aboutVersionText(), panel);
    m_version->setObjectName(QStringLiteral("lblVersao"));
    texts->addWidget(m_version);
    m_link = new QLabel(config.EnderecoZKF, panel);
    m_link->setObjectName(QStringLiteral("lblSite"));
    m_link->setToolTip(QStringLiteral("Conexão com o site da ZKF-QZ"));
    m_link->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->installEventFilter(this);
    texts->addWidget(m_link);
    panelLayout->addLayout(texts, 1);
    layout->addWidget(panel);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
}

bool TscrUntSobre::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_link && event->type() == QEvent::MouseButtonRelease) {
        openLink();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TscrUntSobre::openLink()
{
    openUrl(QUrl(QStringLiteral("http://") + m_link->text()));
}

} // namespace jx::gui

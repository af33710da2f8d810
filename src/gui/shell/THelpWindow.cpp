#include "THelpWindow.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace jx::gui {

namespace {

QString pagePath(int topic)
{
    return QStringLiteral(":/help/topico-%1.html").arg(topic);
}

} // namespace

THelpWindow::THelpWindow(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("THelpWindow"));
    setWindowTitle(QStringLiteral("Ajuda do JX"));
    auto* layout = new QVBoxLayout(this);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtAjuda"));
    layout->addWidget(m_browser);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(QStringLiteral("btnFecharAjuda"));
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Fechar"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 420);
}

bool THelpWindow::hasTopic(int topic)
{
    return QFile::exists(pagePath(topic));
}

void THelpWindow::showTopic(int topic)
{
    m_topic = hasTopic(topic) ? topic : 0;
    QFile page(pagePath(m_topic));
    page.open(QIODevice::ReadOnly);
    m_browser->setHtml(QString::fromUtf8(page.readAll()));
    setProperty("helpTopic", m_topic); // F1 inside the help keeps its page
    show();
    raise();
    activateWindow();
}

} // namespace jx::gui

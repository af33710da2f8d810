#include "TFrmNovaIE.h"

#include "Binders.h"
#include "Commands.h"
#include "TFrmPadrao.h"
#include "text/Masks.h"

#include <QAction>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

TFrmNovaIE::TFrmNovaIE(Commands& commands, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmNovaIE"));
    setWindowTitle(QStringLiteral("Inscrição Estadual"));
    setProperty("helpTopic", 20);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QFormLayout;
    m_cnpj = new QLineEdit(this);
    m_cnpj->setObjectName(QStringLiteral("medCNPJ"));
    m_cnpj->setInputMask(masks::toQtInputMask(masks::kCnpjEdit));
    bind::documentLetters(m_cnpj, masks::kCnpjEdit);
    top->addRow(QStringLiteral("CNPJ "), m_cnpj);
    layout->addLayout(top);

    auto* branch = new QGroupBox(QStringLiteral("Solicitação Inscrição Filial"), this);
    auto* branchLayout = new QFormLayout(branch);
    m_ie = new QLineEdit(branch);
    m_ie->setObjectName(QStringLiteral("meIE"));
    m_ie->setInputMask(masks::toQtInputMask(masks::kIe));
    branchLayout->addRow(QStringLiteral("Inscrição Estadual da Matriz/Principal"), m_ie);
    layout->addWidget(branch);

    auto* bar = new QHBoxLayout;
    bar->addStretch();
    for (const char* name : { "actSolicitacaoIEInclusaoConfirmar", "actCancelarPadrao", "actAjuda" }) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("btn_") + QLatin1String(name));
        button->setDefaultAction(commands.action(QLatin1String(name)));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        bar->addWidget(button);
    }
    layout->addLayout(bar);
    addAction(commands.action(QStringLiteral("actCancelarPadrao")));
    addAction(commands.action(QStringLiteral("actAjuda")));

    m_cnpj->installEventFilter(this);
    m_ie->installEventFilter(this);
}

void TFrmNovaIE::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        centreOnMainWindow(this);
}

QString TFrmNovaIE::typedCnpj() const
{
    return masks::strip(m_cnpj->displayText(), masks::kCnpjEdit);
}

QString TFrmNovaIE::matrizDigits() const
{
    return masks::strip(m_ie->displayText(), masks::kIe);
}

bool TFrmNovaIE::eventFilter(QObject* watched, QEvent* event)
{
    // Enter is also the confirmation's shortcut, which would fire before the field saw the
    // key: the fields claim it, so Enter in the CNPJ moves on instead of confirming.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            key->accept();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_cnpj) {
                m_ie->setFocus();
            } else if (confirm && confirm()) {
                accept();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace jx::gui

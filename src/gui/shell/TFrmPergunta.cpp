#include "TFrmPergunta.h"

#include "Commands.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace jx::gui {

TFrmPergunta::TFrmPergunta(Commands& commands, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmPergunta"));
    setWindowTitle(QStringLiteral("CNPJ já existente"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("Este CNPJ já existe. \nO que você deseja fazer?"), this);
    text->setObjectName(QStringLiteral("lblPergunta"));
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);
    text->setMargin(12);
    layout->addWidget(text);

    auto* bar = new QHBoxLayout;
    bar->addStretch();
    m_create = new QPushButton(QStringLiteral("&Criar Novo"), this);
    m_create->setObjectName(QStringLiteral("btnCriarNovo"));
    m_create->hide();
    m_edit = new QPushButton(QStringLiteral("&Editar"), this);
    m_edit->setObjectName(QStringLiteral("btnEditar"));
    m_edit->setToolTip(QStringLiteral("Editar (Cltr+E)"));
    m_cancel = new QPushButton(QStringLiteral("&Cancelar"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancelar"));
    bar->addWidget(m_create);
    bar->addWidget(m_edit);
    bar->addWidget(m_cancel);
    layout->addLayout(bar);

    connect(m_create, &QPushButton::clicked, this, [this] { done(Yes); });
    connect(m_edit, &QPushButton::clicked, this, [this] { done(No); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(Cancel); });
    // Keyboard: Esc runs the generic cancel, Ctrl+E edits.
    addAction(commands.action(QStringLiteral("actCancelarPadrao")));
    auto* edit = new QAction(QStringLiteral("editar"), this);
    edit->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    connect(edit, &QAction::triggered, this, [this] { done(No); });
    addAction(edit);
}

void TFrmPergunta::showEvent(QShowEvent* event)
{
    move(328, 190);
    QDialog::showEvent(event);
}

} // namespace jx::gui

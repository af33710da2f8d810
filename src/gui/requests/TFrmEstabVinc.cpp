#include "TFrmEstabVinc.h"

#include "Binders.h"
#include "Commands.h"
#include "data/RecordSet.h"
#include "data/RecordSetModel.h"
#include "platform/UserPrompts.h"
#include "requests/LinkedEstablishments.h"
#include "requests/RequestLifecycle.h"
#include "text/Masks.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

LinkedListWindow::LinkedListWindow(Commands& commands, data::RecordSet& rows, const QString& field,
    const QString& title, const QString& insertCommand, const QString& deleteCommand, QWidget* parent)
    : TFrmPadrao(parent, true)
{
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    for (const QString& command : { insertCommand, deleteCommand })
        top->addWidget(makeCommandButton(this, commands, command));
    top->addStretch();
    layout->addLayout(top);

    auto* model = new data::RecordSetModel(rows, this);
    model->setColumns({ { field, title } });
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("dbgVinculados"));
    m_grid->setModel(model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->verticalHeader()->hide();
    bind::gridCursor(m_grid, rows); // the row shown selected is the one Excluir deletes
    layout->addWidget(m_grid, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    for (const char* command : { "actFecharPadrao", "actAjuda" })
        bottom->addWidget(makeCommandButton(this, commands, QLatin1String(command)));
    layout->addLayout(bottom);
    // Fechar owns Esc here; the menu's Cancelar claims no key, or Esc would be ambiguous.
    addActions({ commands.action(insertCommand), commands.action(deleteCommand),
        makeMenuEntry(this, commands, QStringLiteral("actCancelarPadrao")), commands.action(QStringLiteral("actAjuda")),
        commands.action(QStringLiteral("actFecharPadrao")) });
    setContextMenuPolicy(Qt::ActionsContextMenu);
    resize(420, 320);
}

TFrmIEEstabVinc::TFrmIEEstabVinc(Commands& commands, LinkedEstablishments& linked, QWidget* parent)
    : LinkedListWindow(commands, linked.registrations(), QStringLiteral("DESC_IE"), QStringLiteral("Inscrição Estadual"),
        QStringLiteral("actNovaIEEstabVinc"), QStringLiteral("actExcluirIEEstabVinc"), parent)
{
    setObjectName(QStringLiteral("TFrmIEEstabVinc"));
    setWindowTitle(QStringLiteral("Inscrições Estaduais dos Estabelecimentos Vinculados"));
    setHelpTopic(14);
}

TFrmCNPJEstabVinc::TFrmCNPJEstabVinc(Commands& commands, LinkedEstablishments& linked, QWidget* parent)
    : LinkedListWindow(commands, linked.cnpjs(), QStringLiteral("DESC_CNPJ"),
        QStringLiteral("CNPJ dos Estabelecimentos Vinculados"), QStringLiteral("actNovaCNPJEstabVinc"),
        QStringLiteral("actExcluirCNPJEstaVinc"), parent)
{
    setObjectName(QStringLiteral("TFrmCNPJEstabVinc"));
    setWindowTitle(QStringLiteral("CNPJ dos Estabelecimentos Vinculados"));
    setHelpTopic(5);
}

LinkedEntryDialog::LinkedEntryDialog(Commands& commands, LinkedEstablishments& linked, UserPrompts& prompts,
    const QString& title, const QString& caption, const QString& mask, int maxLength, QWidget* parent)
    : TFrmPadrao(parent, true)
    , m_linked(linked)
    , m_prompts(prompts)
    , m_mask(mask)
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(caption, this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("medNumero"));
    m_edit->setInputMask(masks::toQtInputMask(mask));
    m_edit->setMaxLength(maxLength);
    label->setBuddy(m_edit);
    row->addWidget(label);
    row->addWidget(m_edit, 1);
    layout->addLayout(row);
    auto* bar = new QHBoxLayout;
    bar->addStretch();
    for (const char* command : { "actSalvarPadrao", "actCancelarPadrao" }) {
        bar->addWidget(makeCommandButton(this, commands, QLatin1String(command)));
        addAction(commands.action(QLatin1String(command)));
    }
    layout->addLayout(bar);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void LinkedEntryDialog::done(int result)
{
    commitTyping();
    if (result != QDialog::Accepted) {
        if (!m_prompts.informYesNo(RequestLifecycle::kCancelQuestion))
            return;
        m_linked.discardPending();
        TFrmPadrao::done(result);
        return;
    }
    if (!confirm)
        return;
    const LinkedEstablishments::Result outcome = confirm(masks::strip(m_edit->displayText(), m_mask));
    if (!outcome.message.isEmpty()) {
        m_prompts.error(outcome.message);
        if (outcome.clearEdit)
            m_edit->clear();
        m_edit->setFocus();
        return;
    }
    if (outcome.ok())
        TFrmPadrao::done(result); // a row the database refused keeps the dialog open
}

TFrmNovaIESolicEstabVinc::TFrmNovaIESolicEstabVinc(
    Commands& commands, LinkedEstablishments& linked, UserPrompts& prompts, QWidget* parent)
    : LinkedEntryDialog(commands, linked, prompts, QStringLiteral("IE do Estabelecimento "),
        QStringLiteral("Inscrição Estadual"), masks::kIe, 15, parent)
{
    setObjectName(QStringLiteral("TFrmNovaIESolicEstabVinc"));
}

TFrmNovaCNPJEstabVinc::TFrmNovaCNPJEstabVinc(
    Commands& commands, LinkedEstablishments& linked, UserPrompts& prompts, QWidget* parent)
    : LinkedEntryDialog(commands, linked, prompts, QStringLiteral("CNPJ do Estabelecimento "), QStringLiteral("CNPJ"),
        masks::kCnpjEdit, 18, parent)
{
    setObjectName(QStringLiteral("TFrmNovaCNPJEstabVinc"));
}

} // namespace jx::gui

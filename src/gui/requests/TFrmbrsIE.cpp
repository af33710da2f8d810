#include "TFrmbrsIE.h"

#include "Binders.h"
#include "Commands.h"
#include "data/RecordSetModel.h"
#include "data/TdtmJX.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

TFrmbrsIE::TFrmbrsIE(Commands& commands, TdtmJX& jx, Mode mode, QWidget* parent)
    : TFrmPadrao(parent, true)
    , m_jx(jx)
{
    setObjectName(QStringLiteral("TFrmbrsIE"));
    setWindowTitle(QStringLiteral("Solicitação de Inscrição Estadual"));
    setHelpTopic(mode == Mode::Maintenance ? 30 : 16);
    auto* layout = new QVBoxLayout(this);

    m_model = new data::RecordSetModel(*jx.cdsSolicitacaoIE, this);
    m_model->setColumns({ { "DESC_CNPJ", QStringLiteral("CNPJ") },
        { "NOME_EMPRESARIAL", QStringLiteral("Nome Empresarial") }, { "STATUS", QStringLiteral("Status") } });
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("dbgSolicIE"));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setColumnWidth(0, 150);
    m_grid->setColumnWidth(1, 360);
    m_grid->verticalHeader()->hide();
    layout->addWidget(m_grid, 1);
    bind::gridCursor(m_grid, *jx.cdsSolicitacaoIE);
    connect(m_grid, &QTableView::doubleClicked, this,
        [&commands] { commands.action(QStringLiteral("actSolicitacaoIE_Editar"))->trigger(); });

    auto* orderRow = new QHBoxLayout;
    orderRow->addWidget(new QLabel(QStringLiteral("Ordenar por:"), this));
    m_order = new QComboBox(this);
    m_order->setObjectName(QStringLiteral("cbbOrdSolicIE"));
    for (const auto& column : m_model->columns())
        m_order->addItem(column.title, column.field);
    m_order->setCurrentIndex(-1);
    connect(m_order, &QComboBox::activated, this,
        [this](int i) { m_jx.sortByColumn(*m_jx.cdsSolicitacaoIE, m_order->itemData(i).toString()); });
    orderRow->addWidget(m_order);
    orderRow->addStretch();
    layout->addLayout(orderRow);

    auto button = [&](QWidget* parentWidget, QHBoxLayout* row, const char* name, const char* command) {
        QToolButton* b = makeCommandButton(parentWidget, commands, QLatin1String(command));
        b->setObjectName(QLatin1String(name));
        row->addWidget(b);
        addAction(commands.action(QLatin1String(command)));
        return b;
    };
    auto* bar = new QHBoxLayout;
    button(this, bar, "spbPesquisar", "actSolicitacaoIEPesquisa");
    m_maintenance = new QWidget(this);
    m_maintenance->setObjectName(QStringLiteral("PnlManutencao"));
    auto* maintenance = new QHBoxLayout(m_maintenance);
    maintenance->setContentsMargins(0, 0, 0, 0);
    button(m_maintenance, maintenance, "spbNova", "actSolicitacaoIENova");
    button(m_maintenance, maintenance, "spbEditar", "actSolicitacaoIE_Editar");
    button(m_maintenance, maintenance, "spbExcluir", "actSolicitacaoIEExcluir");
    bar->addWidget(m_maintenance);
    bar->addStretch();
    m_print = button(this, bar, "spbImprimir", "actSolicitacaoIE_Impressao");
    button(this, bar, "spbFechar", "actFecharPadrao");
    button(this, bar, "spbAjuda", "actAjuda");
    layout->addLayout(bar);

    m_maintenance->setVisible(mode == Mode::Maintenance);
    m_print->setVisible(mode == Mode::PrintSelection);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    resize(700, 460);
}

} // namespace jx::gui

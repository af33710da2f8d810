#include "TFrmBrowser.h"

#include "Binders.h"
#include "Commands.h"
#include "data/RecordSetModel.h"
#include "data/TdtmJX.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

TFrmBrowser::TFrmBrowser(
    Commands& commands, TdtmJX& jx, data::RecordSet& set, Mode mode, const Layout& look, QWidget* parent)
    : TFrmPadrao(parent, look.keyPreview)
    , m_jx(jx)
    , m_set(set)
{
    setObjectName(QLatin1String(look.objectName));
    setWindowTitle(look.title);
    setHelpTopic(mode == Mode::Maintenance ? look.maintenanceTopic : look.printTopic);
    auto* layout = new QVBoxLayout(this);

    m_model = new data::RecordSetModel(set, this);
    QList<data::RecordSetModel::Column> columns;
    for (const auto& [field, title] : look.columns)
        columns.append({ field, title });
    m_model->setColumns(columns);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QLatin1String(look.gridName));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    for (int i = 0; i < look.widths.size(); ++i)
        m_grid->setColumnWidth(i, look.widths.at(i));
    m_grid->verticalHeader()->hide();
    layout->addWidget(m_grid, 1);
    bind::gridCursor(m_grid, set);
    // The change command is enabled in maintenance only, yet a double click runs it while
    // selecting for print too; trigger() would do nothing on the disabled action there.
    connect(m_grid, &QTableView::doubleClicked, this, [&commands, mode, edit = QLatin1String(look.edit)] {
        QAction* change = commands.action(edit);
        if (mode == Mode::PrintSelection)
            emit change->triggered(change->isChecked());
        else
            change->trigger();
    });

    auto* orderRow = new QHBoxLayout;
    orderRow->addWidget(new QLabel(QStringLiteral("Ordenar por:"), this));
    m_order = new QComboBox(this);
    m_order->setObjectName(QLatin1String(look.orderName));
    for (const auto& column : m_model->columns())
        m_order->addItem(column.title, column.field);
    m_order->setCurrentIndex(-1);
    connect(m_order, &QComboBox::activated, this,
        [this](int i) { m_jx.sortByColumn(m_set, m_order->itemData(i).toString()); });
    orderRow->addWidget(m_order);
    orderRow->addStretch();
    layout->addLayout(orderRow);

    auto button = [&](QWidget* parentWidget, QHBoxLayout* row, const char* name, const char* command) {
        QToolButton* b = makeCommandButton(parentWidget, commands, QLatin1String(command));
        b->setObjectName(QLatin1String(name));
        row->addWidget(b);
        return b;
    };
    auto* bar = new QHBoxLayout;
    button(this, bar, "spbPesquisar", look.search);
    m_maintenance = new QWidget(this);
    m_maintenance->setObjectName(QStringLiteral("PnlManutencao"));
    auto* maintenance = new QHBoxLayout(m_maintenance);
    maintenance->setContentsMargins(0, 0, 0, 0);
    button(m_maintenance, maintenance, "spbNova", look.insert);
    button(m_maintenance, maintenance, "spbEditar", look.edit);
    button(m_maintenance, maintenance, "spbExcluir", look.remove);
    bar->addWidget(m_maintenance);
    bar->addStretch();
    m_print = button(this, bar, "spbImprimir", look.print);
    button(this, bar, "spbFechar", "actFecharPadrao");
    button(this, bar, "spbAjuda", "actAjuda");
    layout->addLayout(bar);

    // The context menu, in its own order.
    for (const char* command : { look.print, look.search, look.insert, look.edit, look.remove, "actFecharPadrao", "actAjuda" })
        addAction(commands.action(QLatin1String(command)));

    m_maintenance->setVisible(mode == Mode::Maintenance);
    m_print->setVisible(mode == Mode::PrintSelection);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    resize(700, 460);
}

} // namespace jx::gui

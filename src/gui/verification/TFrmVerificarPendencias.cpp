#include "TFrmVerificarPendencias.h"

#include "Commands.h"
#include "data/RecordSetModel.h"
#include "data/TdtmJX.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

namespace {

// The first column shows only the item's icon, at the cell's left edge, one pixel down.
class SeverityDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem plain = option;
        plain.text.clear();
        QStyledItemDelegate::paint(painter, plain, QModelIndex());
        const bool error = index.data().toString() == QLatin1String("E");
        painter->drawPixmap(option.rect.left(), option.rect.top() + 1,
            error ? TFrmVerificarPendencias::errorIcon() : TFrmVerificarPendencias::warningIcon());
    }
};

class EnterChooses : public QObject {
public:
    EnterChooses(QObject* owner, std::function<void()> choose)
        : QObject(owner)
        , m_choose(std::move(choose))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_choose();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_choose;
};

QLabel* iconLabel(QWidget* parent, const QPixmap& pixmap)
{
    auto* label = new QLabel(parent);
    label->setPixmap(pixmap);
    return label;
}

// A 16 × 16 picture with a transparent background.
template <typename Draw> QPixmap drawnIcon(Draw draw)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    } // painting ends before the picture is handed on
    return pixmap;
}

} // namespace

QPixmap TFrmVerificarPendencias::errorIcon()
{
    return drawnIcon([](QPainter& p) {
        QPainterPath diamond;
        diamond.moveTo(8, 0.5);
        diamond.lineTo(15.5, 8);
        diamond.lineTo(8, 15.5);
        diamond.lineTo(0.5, 8);
        diamond.closeSubpath();
        p.fillPath(diamond, QColor(200, 0, 0));
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
    });
}

QPixmap TFrmVerificarPendencias::warningIcon()
{
    return drawnIcon([](QPainter& p) {
        QPainterPath triangle;
        triangle.moveTo(8, 0.5);
        triangle.lineTo(15.5, 15);
        triangle.lineTo(0.5, 15);
        triangle.closeSubpath();
        p.fillPath(triangle, QColor(250, 210, 0));
        p.setPen(QPen(Qt::black, 0.8));
        p.drawPath(triangle);
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(QPointF(8, 5), QPointF(8, 10));
        p.drawPoint(QPointF(8, 12.8));
    });
}

TFrmVerificarPendencias::TFrmVerificarPendencias(Commands& commands, TdtmJX& jx, bool request, QWidget* parent)
    : TFrmPadrao(parent)
    , m_request(request)
{
    setObjectName(QStringLiteral("TFrmVerificarPendencias"));
    setWindowTitle(QStringLiteral("Verificação de Pendências"));
    setHelpTopic(request ? 26 : 27);
    auto* layout = new QVBoxLayout(this);

    data::RecordSet& list = *jx.cdsPendecias;
    auto* model = new data::RecordSetModel(list, this);
    model->setColumns({ { "Tipo", QStringLiteral(" ") }, { "Local", QStringLiteral("Local") },
        { "Pendencia", QStringLiteral("Pendência") } });
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("dbgPendencias"));
    m_grid->setModel(model);
    m_grid->setItemDelegateForColumn(0, new SeverityDelegate(m_grid));
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setMinimumSectionSize(16); // the style's minimum is wider than the icon column
    m_grid->setColumnWidth(0, 23);
    m_grid->setColumnWidth(1, 190); // "Habilitação de Contabilista" on one line
    m_grid->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_grid, 1);
    // A double click, or Enter on the item (never a single click, whatever the style says).
    auto choose = [this, &list](const QModelIndex& index) {
        if (!m_jump || !index.isValid())
            return;
        const QVariant row = list.valueAt(index.row(), list.fieldIndex("Linha"));
        m_chosenControl = list.valueAt(index.row(), list.fieldIndex("Controle")).toString();
        m_chosenRow = row.isNull() ? -1 : row.toInt();
        accept();
    };
    connect(m_grid, &QTableView::doubleClicked, this, choose);
    m_grid->installEventFilter(new EnterChooses(m_grid, [this, choose] { choose(m_grid->currentIndex()); }));

    // The totals, walking the list from its first item.
    const int kind = list.fieldIndex("Tipo");
    for (int v = 0; v < list.count(); ++v)
        m_errors += list.valueAt(v, kind).toString() == QLatin1String("E") ? 1 : 0;
    m_warnings = list.count() - m_errors;

    auto* totals = new QHBoxLayout;
    totals->addWidget(iconLabel(this, errorIcon()));
    totals->addWidget(new QLabel(QStringLiteral("Erros:"), this));
    auto* errorCount = new QLabel(QString::number(m_errors), this);
    errorCount->setObjectName(QStringLiteral("lblErros"));
    totals->addWidget(errorCount);
    totals->addSpacing(24);
    totals->addWidget(iconLabel(this, warningIcon()));
    totals->addWidget(new QLabel(QStringLiteral("Avisos:"), this));
    auto* warningCount = new QLabel(QString::number(m_warnings), this);
    warningCount->setObjectName(QStringLiteral("lblAvisos"));
    totals->addWidget(warningCount);
    totals->addStretch();
    layout->addLayout(totals);

    auto* first = new QLabel(request ? QStringLiteral("Os ERROS impedem a gravação da Solicitação para entrega à ZKF, "
                                                      "enquanto os")
                                     : QStringLiteral("Os ERROS impedem a gravação da Habilitação para entrega à ZKF, "
                                                      "enquanto os"),
        this);
    first->setObjectName(QStringLiteral("lblLinha1"));
    auto* second = new QLabel(kSecondLine, this);
    second->setObjectName(QStringLiteral("lblLinha2"));
    layout->addWidget(first);
    layout->addWidget(second);

    auto* bar = new QHBoxLayout;
    bar->addStretch();
    for (const char* command : { "actFecharPadrao", "actPendenciasImprimir", "actAjuda" }) {
        bar->addWidget(makeCommandButton(this, commands, QLatin1String(command)));
        addAction(commands.action(QLatin1String(command)));
    }
    layout->addLayout(bar);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    resize(720, 420);
}

} // namespace jx::gui

#include "TFrmConsCNAEF.h"

#include "Commands.h"
#include "data/TdtmJX.h"
#include "platform/UserPrompts.h"
#include "requests/Cnaef.h"
#include "requests/RequestLifecycle.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace jx::gui {

TFrmConsCNAEF::TFrmConsCNAEF(Commands& commands, TdtmJX& jx, UserPrompts& prompts, QWidget* parent)
    : TFrmPadrao(parent)
    , m_jx(jx)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TFrmConsCNAEF"));
    setWindowTitle(QStringLiteral("Consulta CNAE-F"));
    setHelpTopic(38);
    auto* layout = new QVBoxLayout(this);
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("trvCNAEF"));
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true); // 2,400 rows lay out at once
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->installEventFilter(this);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { choose(); });
    layout->addWidget(m_tree, 1);

    auto* bar = new QHBoxLayout;
    bar->addStretch();
    auto* save = new QToolButton(this);
    save->setObjectName(QStringLiteral("sbtGravar"));
    save->setText(QStringLiteral("&Salvar"));
    save->setToolTip(QStringLiteral("Salvar (Enter)"));
    save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    save->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    save->setAutoRaise(true);
    connect(save, &QToolButton::clicked, this, [this] { choose(); });
    bar->addWidget(save);
    for (const char* command : { "actCancelarPadrao", "actAjuda" })
        bar->addWidget(makeCommandButton(this, commands, QLatin1String(command)));
    layout->addLayout(bar);

    auto* saveAction = new QAction(QStringLiteral("salvar"), this);
    saveAction->setShortcut(QKeySequence(Qt::Key_Return));
    saveAction->setShortcutContext(Qt::WidgetShortcut); // Enter on the tree; the filter below handles it
    connect(saveAction, &QAction::triggered, this, [this] { choose(); });
    addAction(commands.action(QStringLiteral("actCancelarPadrao")));
    addAction(saveAction);
    addAction(commands.action(QStringLiteral("actAjuda")));
    setContextMenuPolicy(Qt::ActionsContextMenu);
    build();
    resize(640, 520);
}

void TFrmConsCNAEF::build()
{
    if (!m_jx.cdsCNAEF->isOpen())
        m_jx.openSet(*m_jx.cdsCNAEF);
    const std::vector<cnaef::Node> nodes = cnaef::buildTree(*m_jx.cdsCNAEF);
    const QIcon branch = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon leaf = style()->standardIcon(QStyle::SP_FileIcon);
    std::vector<QTreeWidgetItem*> items(nodes.size(), nullptr);
    QList<QTreeWidgetItem*> roots;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const cnaef::Node& node = nodes[i];
        auto* item = node.parent >= 0 ? new QTreeWidgetItem(items[size_t(node.parent)]) : new QTreeWidgetItem();
        item->setText(0, node.text);
        item->setIcon(0, node.children.empty() ? leaf : branch);
        items[i] = item;
        if (node.parent < 0)
            roots << item;
    }
    m_tree->addTopLevelItems(roots);
}

bool TFrmConsCNAEF::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            choose();
            return true;
        }
    }
    return TFrmPadrao::eventFilter(watched, event);
}

void TFrmConsCNAEF::choose()
{
    QTreeWidgetItem* item = m_tree->currentItem();
    const QString code = item ? cnaef::extractCode(item->text(0)) : QString();
    if (!item || !cnaef::isChoosable(code)) {
        m_prompts.information(cnaef::kNotLastLevel);
        return;
    }
    m_code = code;
    m_choosing = true;
    done(QDialog::Accepted);
}

void TFrmConsCNAEF::done(int result)
{
    if (result == QDialog::Accepted && !m_choosing) {
        choose(); // the generic Salvar (F2) takes the same road
        return;
    }
    m_choosing = false;
    if (result != QDialog::Accepted && !m_prompts.warnYesNo(RequestLifecycle::kCancelQuestion))
        return;
    TFrmPadrao::done(result);
}

} // namespace jx::gui

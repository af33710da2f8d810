#include "TscruntEntrega.h"

#include "Commands.h"
#include "DeliveryHeader.h"
#include "TscrRptPreview.h"
#include "TscrUntCheckDisquete.h"
#include "data/RecordSetModel.h"
#include "data/TdtmJX.h"
#include "delivery/Receipts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace jx::gui {

using data::RecordSet;

namespace {

constexpr int kProgressLines = 9;

// Rows whose verification found errors ("I") are not offered.
bool deliverable(const RecordSet& set, int rawRow)
{
    return set.rawValue(rawRow, QStringLiteral("STATUS")).toString() != QLatin1String("I");
}

} // namespace

TscruntEntrega::TscruntEntrega(
    Commands& commands, TdtmJX& jx, UserPrompts& prompts, const QString& programFolder, Mode mode, QWidget* parent)
    : TFrmPadrao(parent)
    , m_commands(commands)
    , m_jx(jx)
    , m_prompts(prompts)
    , m_programFolder(programFolder)
    , m_mode(mode)
    , m_confirmSet(jx.cdsSolicitacaoIE)
{
    setObjectName(QStringLiteral("TscruntEntrega"));
    const bool diskette = mode == Mode::Diskette;
    setWindowTitle(diskette ? kDisketteText : kTransmitterText);
    setHelpTopic(diskette ? 12 : 31);
    chooseDrive = [this] { return TscrUntCheckDisquete::EscolherDrive(m_prompts, this); };
    showReceipt = [this](qint64 id) { showStoredReceipt(id); };

    for (RecordSet* set : { m_jx.cdsSolicitacaoIE, m_jx.cdsSolicitacao_Contab }) {
        if (!set->isOpen())
            m_jx.openSet(*set);
        set->setFilter(deliverable);
    }
    m_filtered = true;

    auto* layout = new QVBoxLayout(this);
    const DeliveryHeader header
        = makeDeliveryHeader(this, layout, "imgDisquete", diskettePicture(), "imgTransmissao", transmissionPicture());
    header.first->setVisible(diskette);
    header.second->setVisible(!diskette);
    header.mode->setText(windowTitle());

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("pgcEntrega"));
    m_pages->addWidget(makeSelectionPage());
    m_pages->addWidget(makeProgressPage());
    layout->addWidget(m_pages, 1);

    auto* bar = new QHBoxLayout;
    bar->addStretch();
    auto button = [&](const char* name, const char* command) {
        QToolButton* b = makeCommandButton(this, commands, QLatin1String(command));
        b->setObjectName(QLatin1String(name));
        bar->addWidget(b);
        addAction(commands.action(QLatin1String(command)));
    };
    button("spbFechar", "actFecharPadrao");
    button("spbSalvar", "actEntrega_FazEntrega");
    button("spbAjuda", "actAjuda");
    layout->addLayout(bar);
    m_status = new QStatusBar(this);
    m_status->setSizeGripEnabled(false);
    layout->addWidget(m_status);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    setFixedSize(620, 460);
}

TscruntEntrega::~TscruntEntrega()
{
    removeFilters();
}

QWidget* TscruntEntrega::makeSelectionPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbsSelecao"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(new QLabel(QStringLiteral("Tipo Solicitação"), page));
    m_type = new QComboBox(page);
    m_type->setObjectName(QStringLiteral("cbTipo"));
    m_type->addItems({ kRequestItem, kEnablementItem });
    typeRow->addWidget(m_type, 1);
    layout->addLayout(typeRow);

    m_groups = new QStackedWidget(page);
    auto group = [&](const QString& title, QTableView* grid) {
        auto* box = new QGroupBox(title, m_groups);
        auto* inner = new QVBoxLayout(box);
        grid->setParent(box);
        inner->addWidget(grid);
        m_groups->addWidget(box);
    };
    m_requests = selectionGrid(page, "dbgSolicitacao", *m_jx.cdsSolicitacaoIE,
        { { "DESC_CNPJ", QStringLiteral("CNPJ") }, { "NOME_EMPRESARIAL", {} }, { "STATUS", {} } });
    m_requests->setColumnWidth(0, 140);
    m_requests->setColumnWidth(1, 320);
    group(QStringLiteral("Solicitações de Inscrição Estadual"), m_requests);
    m_enablements = selectionGrid(page, "dbgComunicado", *m_jx.cdsSolicitacao_Contab,
        { { "DESC_IDENTIFICACAO", QStringLiteral("Identificação") }, { "DESC_CRC", QStringLiteral("CRC") },
            { "STATUS", {} } });
    m_enablements->setColumnWidth(0, 160);
    m_enablements->setColumnWidth(1, 160);
    group(QStringLiteral("Habilitações de Contabilista/Empresa Contábil"), m_enablements);
    layout->addWidget(m_groups, 1);

    m_instruction = new QLabel(kRequestInstruction, page);
    m_instruction->setObjectName(QStringLiteral("lblInstrucaoSelecao"));
    layout->addWidget(m_instruction);
    connect(m_type, &QComboBox::currentIndexChanged, this, &TscruntEntrega::changeType);
    return page;
}

QWidget* TscruntEntrega::makeProgressPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbsAcompanhamento"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(16, 8, 16, 8);
    for (int i = 1; i <= kProgressLines; ++i) {
        auto* line = new QLabel(page);
        line->setObjectName(QStringLiteral("lblMsg%1").arg(i, 2, 10, QLatin1Char('0')));
        layout->addWidget(line);
        m_lines << line;
    }
    layout->addStretch();
    m_final = new QLabel(page);
    m_final->setObjectName(QStringLiteral("lblMnsFinal"));
    m_final->setAlignment(Qt::AlignCenter);
    setBoldNavy(m_final, true);
    layout->addWidget(m_final);
    layout->addStretch();
    return page;
}

bool TscruntEntrega::event(QEvent* event)
{
    // The first activation (not a later one, after a message box) starts on requests.
    if (!m_activated && (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)) {
        m_activated = true;
        changeType(m_type->currentIndex());
    }
    return TFrmPadrao::event(event);
}

int TscruntEntrega::currentKind() const
{
    return m_type->currentIndex() == 1 ? 0 : 1;
}

void TscruntEntrega::changeType(int index)
{
    const bool enablements = index == 1;
    m_groups->setCurrentIndex(enablements ? 1 : 0);
    m_jx.TipoAtual = enablements ? 0 : 1;
    m_confirmSet = enablements ? m_jx.cdsSolicitacao_Contab : m_jx.cdsSolicitacaoIE;
    m_instruction->setText(enablements ? kEnablementInstruction : kRequestInstruction);
}

bool TscruntEntrega::canConfirm() const
{
    return !m_used && m_confirmSet->isOpen() && !m_confirmSet->isEmpty();
}

QList<int> TscruntEntrega::selectedRows() const
{
    const QTableView* grid = currentKind() == 1 ? m_requests : m_enablements;
    QList<int> rows;
    for (const QModelIndex& index : grid->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TscruntEntrega::showLine(int line, const QString& text, bool bold)
{
    if (line < 1 || line > m_lines.size())
        return;
    QLabel* label = m_lines[line - 1];
    label->setText(text);
    setBoldNavy(label, bold);
}

void TscruntEntrega::FazerEntrega()
{
    if (!canConfirm())
        return;
    m_used = true;
    m_commands.action(QStringLiteral("actEntrega_FazEntrega"))->setEnabled(false);
    const QList<int> rows = selectedRows();
    // Whatever happened since (a message box, another window), the kind is the one shown.
    m_jx.TipoAtual = currentKind();
    m_pages->setCurrentIndex(1);
    m_status->showMessage(kWait);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
        QStatusBar* status;
        ~Restore()
        {
            QApplication::restoreOverrideCursor();
            status->clearMessage();
        }
    } restore { m_status };

    m_run = std::make_unique<DeliveryRun>(m_jx, m_prompts, m_programFolder, m_mode);
    DeliveryRun::Hooks hooks;
    hooks.chooseDrive = [this]() -> std::optional<QString> {
        // The user chooses with the normal pointer.
        QApplication::restoreOverrideCursor();
        std::optional<QString> drive = chooseDrive ? chooseDrive() : std::nullopt;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return drive;
    };
    hooks.lineChanged = [this](int line, const QString& text, bool bold) { showLine(line, text, bold); };
    hooks.pump = [this] {
        // Painting only: a click or an Esc must not reach the window in the middle of the run.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        repaint();
    };
    hooks.showReceipt = [this](qint64 id) {
        // The preview is used with the normal pointer.
        QApplication::restoreOverrideCursor();
        if (showReceipt)
            showReceipt(id);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    };
    m_run->setHooks(std::move(hooks));
    m_run->FazerEntrega(rows);
    m_final->setText(m_run->finalText());
}

void TscruntEntrega::showStoredReceipt(qint64 deliveryId)
{
    RecordSet& deliveries = *m_jx.cdsEntregas;
    if (deliveries.value("IDENTIFICADOR").toLongLong() != deliveryId
        && !deliveries.locate(QStringLiteral("IDENTIFICADOR"), deliveryId))
        return;
    previewReceipt(m_jx, m_prompts, m_jx.TipoAtual != 0, report::ReceiptReport::currentDelivery(deliveries), this);
}

void TscruntEntrega::removeFilters()
{
    if (!m_filtered)
        return;
    m_filtered = false;
    m_jx.cdsSolicitacaoIE->clearFilter();
    m_jx.cdsSolicitacao_Contab->clearFilter();
}

void TscruntEntrega::done(int result)
{
    removeFilters();
    TFrmPadrao::done(result);
}

} // namespace jx::gui

#include "TscruntBackup.h"

#include "Commands.h"
#include "DeliveryHeader.h"
#include "backup/DatabaseCopy.h"
#include "backup/FilingBackup.h"
#include "backup/Restore.h"
#include "data/RecordSetModel.h"
#include "data/TdtmJX.h"
#include "platform/Paths.h"
#include "platform/UserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace jx::gui {

using data::RecordSet;
using Column = data::RecordSetModel::Column;

namespace {

bool offered(const RecordSet& set, int rawRow)
{
    return set.rawValue(rawRow, QStringLiteral("STATUS")).toString() != QLatin1String("I");
}

// The selected rows of a grid as visible rows of its set, in order; none: the current one.
QList<int> selectedRows(const QTableView* grid)
{
    QList<int> rows;
    for (const QModelIndex& index : grid->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TscruntBackup::TscruntBackup(
    Commands& commands, TdtmJX& jx, UserPrompts& prompts, const QString& programFolder, Mode mode, QWidget* parent)
    : TFrmPadrao(parent)
    , m_commands(commands)
    , m_jx(jx)
    , m_prompts(prompts)
    , m_programFolder(programFolder)
    , m_mode(mode)
    , m_folder(QDir::toNativeSeparators(FilingBackup::defaultFolder(programFolder)))
{
    setObjectName(QStringLiteral("TscruntBackup"));
    const bool backup = mode == Mode::Backup;
    setWindowTitle(backup ? QStringLiteral("Cópia de Segurança") : QStringLiteral("Restauração"));
    setHelpTopic(backup ? 8 : 28);
    endProgram = [] { QCoreApplication::exit(0); };
    for (RecordSet* set : { m_jx.cdsSolicitacaoIE, m_jx.cdsSolicitacao_Contab }) {
        if (!set->isOpen())
            m_jx.openSet(*set);
    }

    auto* layout = new QVBoxLayout(this);
    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("pgcBackup"));
    m_pages->addWidget(makeTypePage());
    m_requests = selectionGrid(this, "dbgSolicitacao", *m_jx.cdsSolicitacaoIE,
        { Column { QStringLiteral("DESC_CNPJ"), QStringLiteral("CNPJ") },
            Column { QStringLiteral("NOME_EMPRESARIAL"), QString() },
            Column { QStringLiteral("STATUS"), QString() },
            Column { QStringLiteral("ID_SOLICITACAO"), QStringLiteral("Cód. Solicitação") } });
    // The key stays with the grid (the search reads its columns), out of sight.
    m_requests->setColumnHidden(3, true);
    m_requests->setColumnWidth(0, 140);
    m_requests->setColumnWidth(1, 320);
    m_pages->addWidget(makeFilingPage("tbsSolicitacao",
        QStringLiteral("Selecione a(s) Solicitação(ões) para geração da Cópia de Segurança"), m_requests,
        QStringLiteral("Para selecionar mais de uma Solicitação manter pressionada a tecla Ctrl durante a seleção.")));
    m_enablements = selectionGrid(this, "dbgHabContabilista", *m_jx.cdsSolicitacao_Contab,
        { Column { QStringLiteral("DESC_CRC"), QStringLiteral("CRC") },
            Column { QStringLiteral("DESC_IDENTIFICACAO"), QStringLiteral("Identificação") },
            Column { QStringLiteral("STATUS"), QString() },
            Column { QStringLiteral("ID_SOLICITACAO_CONTABILISTA"), QStringLiteral("Cód. Habilitação") } });
    m_enablements->setColumnHidden(3, true);
    m_enablements->setColumnWidth(0, 160);
    m_enablements->setColumnWidth(1, 160);
    m_pages->addWidget(makeFilingPage("tbsHabContabilista",
        QStringLiteral("Selecione a(s) Habilitação(ões) para geração da Cópia de Segurança"), m_enablements,
        QStringLiteral("Para selecionar mais de uma Habilitação manter pressionada a tecla Ctrl durante a seleção.")));
    m_pages->addWidget(makeConfirmationPage());
    RecordSet& files = *m_jx.cdsRestauracaoAux;
    auto restoreGrid = [this, &files](const char* name, const QList<Column>& columns) {
        QTableView* grid = selectionGrid(this, name, files, columns);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        grid->horizontalHeader()->setStretchLastSection(true);
        return grid;
    };
    m_restoreRequests = restoreGrid("dbgSolicitacaoArg",
        { Column { QStringLiteral("Identificador"), QStringLiteral("CNPJ") },
            Column { QStringLiteral("Data"), QString() }, Column { QStringLiteral("Hora"), QString() },
            Column { QStringLiteral("Tipo"), QStringLiteral("Tipo Solicitação") } });
    m_pages->addWidget(makeRestorePage("tbsResSolicitacao",
        QStringLiteral("Selecione o arquivo de Solicitação que deseja restaurar:"), m_restoreRequests));
    m_restoreEnablements = restoreGrid("DBGrid2",
        { Column { QStringLiteral("Tipo"), QStringLiteral("Tipo Documento") },
            Column { QStringLiteral("Identificador"), QStringLiteral("Identificação") },
            Column { QStringLiteral("Data"), QString() }, Column { QStringLiteral("Hora"), QString() } });
    m_pages->addWidget(makeRestorePage("tbsResHabContabilista",
        QStringLiteral("Selecione o arquivo de Habilitação que deseja restaurar:"), m_restoreEnablements));
    m_restoreDatabase = restoreGrid("DBGrid3",
        { Column { QStringLiteral("Data"), QString() }, Column { QStringLiteral("Hora"), QString() },
            Column { QStringLiteral("Arquivo"), QString() } });
    m_pages->addWidget(makeRestorePage("tbsResBD",
        QStringLiteral("Selecione a Cópia de Segurança do banco que deseja restaurar:"), m_restoreDatabase));
    layout->addWidget(m_pages, 1);

    m_status = new QStatusBar(this);
    m_status->setSizeGripEnabled(false);
    layout->addWidget(m_status);
    addAction(commands.action(QStringLiteral("actAjuda")));
    for (const char* name : { "actBackpSelecionaCaminho", "actBackpTipo", "actBackupContHabContabilista",
             "actBackupVoltar", "actBackpIniciar", "actFecharPadrao" })
        addAction(commands.action(QLatin1String(name)));
    showPage("tbsEscolheTipo");
    resize(640, 440);
}

TscruntBackup::~TscruntBackup()
{
    setFilters(false);
}

void TscruntBackup::addButtons(QWidget* page, QBoxLayout* layout, const QStringList& commands)
{
    auto* bar = new QHBoxLayout;
    bar->addStretch();
    for (const QString& name : commands)
        bar->addWidget(makeCommandButton(page, m_commands, name));
    layout->addLayout(bar);
}

QWidget* TscruntBackup::makeTypePage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbsEscolheTipo"));
    auto* layout = new QVBoxLayout(page);
    auto* path = new QHBoxLayout;
    path->addWidget(new QLabel(QStringLiteral("Caminho do Arquivo:"), page));
    m_folderLabel = new QLabel(m_folder, page);
    m_folderLabel->setObjectName(QStringLiteral("lbCaminho"));
    setBoldNavy(m_folderLabel, true);
    path->addWidget(m_folderLabel, 1);
    path->addWidget(makeCommandButton(page, m_commands, QStringLiteral("actBackpSelecionaCaminho")));
    layout->addLayout(path);
    auto* group = new QGroupBox(QStringLiteral("Informe o tipo da cópia de segurança ou restauração desejada:"), page);
    group->setObjectName(QStringLiteral("rdgTipo"));
    auto* radios = new QVBoxLayout(group);
    m_types = new QButtonGroup(this);
    const QStringList items { QStringLiteral("Solicitação de Inscrição Estadual"),
        QStringLiteral("Habilitação de Contabilista/Empresa Contábil"), QStringLiteral("Banco de dados") };
    for (int code = 0; code < items.size(); ++code) {
        auto* radio = new QRadioButton(items[code], group);
        m_types->addButton(radio, code);
        radios->addWidget(radio);
    }
    layout->addWidget(group);
    layout->addStretch();
    addButtons(page, layout, { QStringLiteral("actFecharPadrao"), QStringLiteral("actAjuda"), QStringLiteral("actBackpTipo") });
    return page;
}

QWidget* TscruntBackup::makeFilingPage(const char* name, const QString& heading, QTableView* grid, const QString& note)
{
    auto* page = new QWidget(this);
    page->setObjectName(QLatin1String(name));
    auto* layout = new QVBoxLayout(page);
    auto* title = new QLabel(heading, page);
    setBoldNavy(title, true);
    layout->addWidget(title);
    grid->setParent(page);
    layout->addWidget(grid, 1);
    layout->addWidget(new QLabel(note, page));
    addButtons(page, layout,
        { QStringLiteral("actBackupVoltar"), QStringLiteral("actFecharPadrao"), QStringLiteral("actAjuda"),
            QStringLiteral("actBackupContHabContabilista") });
    return page;
}

QWidget* TscruntBackup::makeRestorePage(const char* name, const QString& heading, QTableView* grid)
{
    auto* page = new QWidget(this);
    page->setObjectName(QLatin1String(name));
    auto* layout = new QVBoxLayout(page);
    auto* title = new QLabel(heading, page);
    setBoldNavy(title, true);
    layout->addWidget(title);
    grid->setParent(page);
    layout->addWidget(grid, 1);
    addButtons(page, layout,
        { QStringLiteral("actBackupVoltar"), QStringLiteral("actFecharPadrao"), QStringLiteral("actAjuda"),
            QStringLiteral("actBackupContHabContabilista") });
    return page;
}

QWidget* TscruntBackup::makeConfirmationPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbsConfirmacao"));
    auto* layout = new QVBoxLayout(page);
    m_message = new QLabel(page);
    m_message->setObjectName(QStringLiteral("lblMsg"));
    setBoldNavy(m_message, true);
    layout->addWidget(m_message);
    layout->addWidget(new QLabel(QStringLiteral("Arquivo(s):"), page));
    m_memo = new QPlainTextEdit(page);
    m_memo->setObjectName(QStringLiteral("mmArquivos"));
    m_memo->setReadOnly(true);
    m_memo->setFocusPolicy(Qt::NoFocus);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(m_memo, 1);
    m_path = new QLabel(page);
    m_path->setObjectName(QStringLiteral("lblCaminho"));
    layout->addWidget(m_path);
    auto* warning = new QLabel(QStringLiteral("Esse processo poderá demorar alguns minutos, dependendo do equipamento "
                                              "utilizado. \r\nApós iniciar nunca interrompa o processo para evitar "
                                              "perda de dados!"),
        page);
    warning->setObjectName(QStringLiteral("lblAviso"));
    layout->addWidget(warning);
    addButtons(page, layout,
        { QStringLiteral("actBackupVoltar"), QStringLiteral("actFecharPadrao"), QStringLiteral("actAjuda"),
            QStringLiteral("actBackpIniciar") });
    return page;
}

QWidget* TscruntBackup::page(const char* name) const
{
    return m_pages->findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

QWidget* TscruntBackup::currentPage() const
{
    return m_pages->currentWidget();
}

void TscruntBackup::showPage(const char* name)
{
    if (QWidget* target = page(name))
        m_pages->setCurrentWidget(target);
    m_commands.runUpdateRules();
}

int TscruntBackup::chosenCode() const
{
    return m_types->checkedId();
}

void TscruntBackup::chooseCode(int code)
{
    if (QAbstractButton* radio = m_types->button(code))
        radio->setChecked(true);
}

void TscruntBackup::setFilters(bool on)
{
    if (!on && !m_filtered)
        return;
    for (RecordSet* set : { m_jx.cdsSolicitacaoIE, m_jx.cdsSolicitacao_Contab }) {
        if (!on) {
            set->clearFilter();
            continue;
        }
        // Set again on every activation when a filing was marked incomplete meanwhile (a backup
        // that failed its verification); otherwise left alone, so a selection stays.
        bool stale = !m_filtered;
        for (int row = 0; row < set->count() && !stale; ++row)
            stale = !offered(*set, set->rawRowAt(row));
        if (stale)
            set->setFilter(offered);
    }
    m_filtered = on;
}

bool TscruntBackup::event(QEvent* event)
{
    // Whenever it becomes active: incomplete filings are not offered.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        setFilters(true);
    return TFrmPadrao::event(event);
}

void TscruntBackup::done(int result)
{
    TFrmPadrao::done(result);
    setFilters(false);
}

RecordSet* TscruntBackup::listSet() const
{
    const QWidget* current = currentPage();
    if (current == page("tbsSolicitacao"))
        return m_jx.cdsSolicitacaoIE;
    if (current == page("tbsHabContabilista"))
        return m_jx.cdsSolicitacao_Contab;
    if (current == page("tbsResSolicitacao") || current == page("tbsResHabContabilista") || current == page("tbsResBD"))
        return m_jx.cdsRestauracaoAux;
    return nullptr;
}

bool TscruntBackup::listHasRows() const
{
    const RecordSet* set = listSet();
    return set && !set->isEmpty();
}

void TscruntBackup::changeFolder()
{
    const QString chosen = m_prompts.chooseFolder(QStringLiteral("Alterar Caminho"), m_folder);
    if (chosen.isEmpty())
        return;
    m_folder = QDir::toNativeSeparators(chosen);
    m_folderLabel->setText(m_folder);
}

void TscruntBackup::continueFromType()
{
    m_memo->clear();
    const int code = chosenCode();
    if (code < 0) {
        m_prompts.error(kChooseType);
        return;
    }
    if (m_mode == Mode::Backup) {
        if (code == 0) {
            m_jx.TipoAtual = 1;
            showPage("tbsSolicitacao");
        } else if (code == 1) {
            m_jx.TipoAtual = 0;
            showPage("tbsHabContabilista");
        } else {
            // The copy is named now, not when it starts.
            m_copyName = dbcopy::copyName(QDateTime::currentDateTime());
            m_memo->setPlainText(m_copyName);
            m_message->setText(kCopyGoesTo);
            m_path->setText(m_folder);
            showPage("tbsConfirmacao");
        }
        return;
    }
    Restore restore(m_jx, m_prompts, m_programFolder);
    static const char* const kinds[] = { "S", "H", "B" };
    static const char* const pages[] = { "tbsResSolicitacao", "tbsResHabContabilista", "tbsResBD" };
    restore.ListarArquivosRestauracao(QLatin1String(kinds[code]), m_folder);
    showPage(pages[code]);
}

void TscruntBackup::continueFromList()
{
    if (!listHasRows())
        return;
    if (m_mode == Mode::Backup) {
        m_message->setText(kBackupsGoTo);
        m_path->setText(m_folder);
    } else {
        m_message->setText(kWillRestore);
        m_path->clear();
        m_memo->setPlainText(m_jx.cdsRestauracaoAux->text(QStringLiteral("Arquivo")));
    }
    showPage("tbsConfirmacao");
}

void TscruntBackup::back()
{
    const QWidget* current = currentPage();
    const int code = chosenCode();
    if (current == page("tbsConfirmacao")) {
        static const char* const backupPages[] = { "tbsSolicitacao", "tbsHabContabilista", "tbsEscolheTipo" };
        static const char* const restorePages[] = { "tbsResSolicitacao", "tbsResHabContabilista", "tbsResBD" };
        if (code >= 0 && code <= 2)
            showPage(m_mode == Mode::Backup ? backupPages[code] : restorePages[code]);
        else
            showPage("tbsEscolheTipo");
        return;
    }
    showPage("tbsEscolheTipo");
}

void TscruntBackup::start()
{
    const int code = chosenCode();
    // Whatever escapes to the program-wide handler, the window is back on its first page.
    struct Back {
        TscruntBackup* window;
        ~Back()
        {
            if (window) {
                window->m_status->clearMessage();
                window->showPage("tbsEscolheTipo");
            }
        }
    } back { this };
    {
        WaitCursor wait;
        QDir().mkpath(paths::withoutTrailingSeparator(m_folder));
        m_status->showMessage(kWait);
        auto pump = [this] {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            repaint();
        };
        pump();
        if (m_mode == Mode::Backup) {
            bool done = false;
            if (code == 2) {
                done = dbcopy::CopiarBanco(m_jx.database(), m_prompts, m_programFolder, m_folder, m_copyName);
            } else {
                FilingBackup backup(m_jx, m_prompts, m_programFolder);
                backup.setPump(pump);
                done = backup.run(selectedRows(code == 0 ? m_requests : m_enablements), m_folder);
                m_memo->setPlainText(backup.memoLines().join(u'\n'));
            }
            m_status->clearMessage();
            if (done)
                m_prompts.information(FilingBackup::kDone);
        } else if (code == 2) {
            const QString copy = m_jx.cdsRestauracaoAux->text(QStringLiteral("Arquivo"));
            const bool replaced = dbcopy::RestaurarBanco(m_jx.database(), m_prompts, m_programFolder, copy);
            m_status->clearMessage();
            if (replaced) {
                // The restore showed its message. The windows close without the closing
                // questions; the next start opens the new file.
                back.window = nullptr;
                if (endProgram)
                    endProgram();
                return;
            }
        } else {
            m_jx.TipoAtual = code == 0 ? 1 : 0;
            Restore restore(m_jx, m_prompts, m_programFolder);
            if (code == 0)
                restore.RestaurarSolicitacao();
            else
                restore.RestaurarHabilitacao();
            m_status->clearMessage();
        }
    }
}

} // namespace jx::gui

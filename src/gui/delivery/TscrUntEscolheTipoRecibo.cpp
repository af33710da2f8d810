#include "TscrUntEscolheTipoRecibo.h"

#include "Commands.h"
#include "DeliveryHeader.h"
#include "data/RecordSetModel.h"
#include "data/TdtmJX.h"
#include "delivery/DataLayouts.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QStackedLayout>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

namespace {

// Only deliveries whose protocol was recorded have a receipt.
bool hasProtocol(const data::RecordSet& set, int raw)
{
    return !set.rawValue(raw, QStringLiteral("NUMEROPROTOCOLO")).isNull();
}

} // namespace

TscrUntEscolheTipoRecibo::TscrUntEscolheTipoRecibo(Commands& commands, TdtmJX& jx, QWidget* parent)
    : TFrmPadrao(parent)
    , m_commands(commands)
    , m_jx(jx)
{
    setObjectName(QStringLiteral("TscrUntEscolheTipoRecibo"));
    setWindowTitle(kCaption);
    setHelpTopic(36);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Tipo:"), this));
    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("cbTipo"));
    m_kind->addItems({ QStringLiteral("Solicitação de Inscrição Estadual"),
        QStringLiteral("Habilitação de Contabilista/Empresa Contábil") });
    m_kind->setEditable(false);
    top->addWidget(m_kind, 1);
    layout->addLayout(top);

    auto* lists = new QGridLayout;
    m_name = new QLabel(kRequestsName, this);
    m_name->setObjectName(QStringLiteral("lbNome"));
    lists->addWidget(m_name, 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Protocolos"), this), 0, 1);
    m_requests = cursorGrid(this, "dbgSolicitacao", *jx.cdsSolicitacaoIE,
        { { "DESC_CNPJ", QStringLiteral("CNPJ") }, { "STATUS", QString() }, { "NOME_EMPRESARIAL", QString() } },
        { 150, 60 });
    m_enablements = cursorGrid(this, "dbgComunicado", *jx.cdsSolicitacao_Contab,
        { { "IDENTIFICACAO", QString() }, { "DESC_CRC", QStringLiteral("CRC") }, { "STATUS", QString() } }, { 150, 130 });
    auto* stackHolder = new QWidget(this);
    m_stack = new QStackedLayout(stackHolder);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_requests);
    m_stack->addWidget(m_enablements);
    lists->addWidget(stackHolder, 1, 0);
    m_deliveries = cursorGrid(this, "dbgProtocolo", *jx.cdsEntregas,
        { { "DATAHORAPROTOCOLO", QStringLiteral("Data/Hora Protocolo") },
            { "NUMEROPROTOCOLO", QStringLiteral("Número Protocolo") },
            { "FORMAENTREGA", QStringLiteral("Forma de Entrega") } },
        { 140, 150 });
    lists->addWidget(m_deliveries, 1, 1);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(1, 1);
    layout->addLayout(lists, 1);

    auto* bar = new QHBoxLayout;
    bar->addStretch();
    QToolButton* print = makeCommandButton(this, commands, QStringLiteral("actImprimiRecibo"));
    print->setObjectName(QStringLiteral("spbImprimir"));
    bar->addWidget(print);
    bar->addWidget(makeCommandButton(this, commands, QStringLiteral("actFecharPadrao")));
    bar->addWidget(makeCommandButton(this, commands, QStringLiteral("actAjuda")));
    layout->addLayout(bar);
    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    layout->addWidget(status);
    // Their shortcuts work from anywhere in the window; no menu opens on right-click.
    addActions({ commands.action(QStringLiteral("actImprimiRecibo")), commands.action(QStringLiteral("actFecharPadrao")),
        commands.action(QStringLiteral("actAjuda")) });
    setContextMenuPolicy(Qt::NoContextMenu);

    connect(m_kind, &QComboBox::currentIndexChanged, this, &TscrUntEscolheTipoRecibo::chooseKind);
    resize(960, 440);
}

TscrUntEscolheTipoRecibo::~TscrUntEscolheTipoRecibo() = default;

QTableView* TscrUntEscolheTipoRecibo::currentFilings() const
{
    return qobject_cast<QTableView*>(m_stack->currentWidget());
}

void TscrUntEscolheTipoRecibo::showEvent(QShowEvent* event)
{
    TFrmPadrao::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    m_jx.TipoAtual = 1;
    m_jx.openSet(*m_jx.cdsSolicitacaoIE); // read again, on its first row
    if (!m_jx.cdsSolicitacao_Contab->isOpen())
        m_jx.openSet(*m_jx.cdsSolicitacao_Contab);
    m_jx.cdsEntregas->setFilter(hasProtocol);
    // The deliveries of the request under the cursor, whichever filing loaded them last.
    chooseKind(m_kind->currentIndex());
    m_requests->setFocus();
}

void TscrUntEscolheTipoRecibo::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && !qobject_cast<QComboBox*>(focusWidget())) {
        QAction* print = m_commands.action(QStringLiteral("actImprimiRecibo"));
        m_commands.runUpdateRules();
        if (print->isEnabled())
            print->trigger();
        event->accept();
        return;
    }
    TFrmPadrao::keyPressEvent(event);
}

void TscrUntEscolheTipoRecibo::chooseKind(int index)
{
    const bool enablements = index == 1;
    m_stack->setCurrentWidget(enablements ? m_enablements : m_requests);
    data::RecordSet& filings = enablements ? *m_jx.cdsSolicitacao_Contab : *m_jx.cdsSolicitacaoIE;
    const char* key = enablements ? "ID_SOLICITACAO_CONTABILISTA" : "ID_SOLICITACAO";
    // No filing under the cursor: no deliveries.
    const qint64 id = filings.isEmpty() ? -1 : filings.value(QLatin1String(key)).toLongLong();
    DataLayouts(m_jx).AbrirEntregas(enablements ? 0 : 1, id);
    m_name->setText(enablements ? kEnablementsName : kRequestsName);
    m_jx.TipoAtual = enablements ? 0 : 1;
}

void TscrUntEscolheTipoRecibo::done(int result)
{
    // The other users of the deliveries see them all again.
    m_jx.cdsEntregas->clearFilter();
    TFrmPadrao::done(result);
}

} // namespace jx::gui

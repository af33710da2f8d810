#include "TFrmSolicitacaoIE.h"

#include "Commands.h"
#include "DetailBlocks.h"
#include "data/RecordSetModel.h"
#include "data/TdtmJX.h"
#include "platform/UserPrompts.h"
#include "requests/RequestLifecycle.h"
#include "text/DocumentChecks.h"
#include "text/Masks.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

using data::RecordSet;

TFrmSolicitacaoIE::TFrmSolicitacaoIE(
    Commands& commands, TdtmJX& jx, RequestLifecycle& lifecycle, UserPrompts& prompts, QWidget* parent)
    : TFrmPadrao(parent, true)
    , m_commands(commands)
    , m_jx(jx)
    , m_lifecycle(lifecycle)
    , m_prompts(prompts)
    , m_cnaef(jx)
{
    setObjectName(QStringLiteral("TFrmSolicitacaoIE"));
    setWindowTitle(QStringLiteral("Solicitação de Inscrição Estadual"));
    setHelpTopic(9);
    auto* layout = new QVBoxLayout(this);

    m_top = new QTabWidget(this);
    m_top->setObjectName(QStringLiteral("pgcSolicitacao"));
    m_top->addTab(buildDadosIniciais(), QStringLiteral("Dados Iniciais"));
    m_inner = new QTabWidget(this);
    m_inner->setObjectName(QStringLiteral("pgcOutros"));
    m_inner->addTab(buildIdentificacao(), QStringLiteral("Identificação"));
    m_inner->addTab(buildQualificacao(), QStringLiteral("Qualificação"));
    m_inner->addTab(buildEnderecoComunicacao(), QStringLiteral("Endereço/Comunicação"));
    m_inner->addTab(
        buildGrid(QStringLiteral("Quadro Societário"), QStringLiteral("dbgSocios"),
            { { "identMask", "CPF/CNPJ" }, { "desc_cargo_ordena", "Cargo/Sócio" },
                { "DESC_RESP_MASTER", QStringLiteral("Responsável Master") } },
            { "actSolicitacao_IE_SocioIncluir", "actSolicitacao_IE_SocioAlterar", "actSolicitacao_IE_SocioExcluir" },
            QStringLiteral("cbbOrdSocios"), *jx.cdsSolicitacao_IE_Socio),
        QStringLiteral("Sócios"));
    m_inner->addTab(
        buildGrid(QStringLiteral(" Qualificação dos Responsáveis"), QStringLiteral("dbgResponsaveis"),
            { { "IDENTIFICACAO", "CPF" }, { "desc_funcao_ordena", QStringLiteral("Função/Responsável") } },
            { "actSolicitacao_IE_RespIncluir", "actSolicitacao_IE_RespAlterar", "actSolicitacao_IE_RespExcluir" },
            QStringLiteral("cbbOrdResponsaveis"), *jx.cdsSolicitacao_IE_Responsavel),
        QStringLiteral("Responsáveis"));
    m_inner->addTab(buildContabilistas(), QStringLiteral("Contabilistas"));
    m_top->addTab(m_inner, QStringLiteral("Outros"));
    layout->addWidget(m_top, 1);

    connect(m_top, &QTabWidget::currentChanged, this, [this](int i) { onTabChanging(m_top, i, m_topIndex); });
    connect(m_inner, &QTabWidget::currentChanged, this, [this](int i) { onTabChanging(m_inner, i, m_innerIndex); });

    auto* bar = new QHBoxLayout;
    bar->addStretch();
    for (const char* name :
        { "actSolicitacaoIE_Salvar", "actCancelarPadrao", "actPendencia_VerificaPendencia", "actAjuda" }) {
        bar->addWidget(makeCommandButton(this, commands, QLatin1String(name)));
        addAction(commands.action(QLatin1String(name)));
    }
    layout->addLayout(bar);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    // Rule C at creation, the rest when shown.
    requestRules::ruleC(*jx.cdsSolicitacaoIE, m_state);
    applyRules(false);
    resize(860, 600);
}

void TFrmSolicitacaoIE::showEvent(QShowEvent* event)
{
    TFrmPadrao::showEvent(event);
    // Shown: "Dados Iniciais" and "Identificação" selected, rules P, L and F applied.
    {
        const QSignalBlocker top(m_top);
        const QSignalBlocker inner(m_inner);
        m_top->setCurrentIndex(0);
        m_inner->setCurrentIndex(0);
        m_topIndex = 0;
        m_innerIndex = 0;
    }
    setHelpTopic(9);
    applyRules(true);
    // The dependent CNAE-F lists of the request as it stands.
    m_cnaef.RecarregarDesmembramentos();
    m_cnaef.RecarregarCAE();
    showDependentLists();
}

void TFrmSolicitacaoIE::showDependentLists()
{
    const struct {
        const char* list;
        const char* text;
        const cnaef::DependentList& look;
    } lists[] = { { "dbLkCAE", "dbTextCAE", m_cnaef.cae() },
        { "dbLkDesmembramento1", "dbTextDesm1", m_cnaef.desmembramento(true) },
        { "dbLkDesmembramento2", "dbTextDesm2", m_cnaef.desmembramento(false) } };
    for (const auto& l : lists) {
        QWidget* list = control(QLatin1String(l.list));
        auto* text = qobject_cast<QLabel*>(control(QLatin1String(l.text)));
        if (!list || !text)
            continue;
        list->setVisible(l.look.listVisible);
        list->setEnabled(l.look.listEnabled);
        text->setVisible(l.look.textVisible);
        text->setText(l.look.text);
    }
}

void TFrmSolicitacaoIE::chooseCnaef(bool principal, const QString& code)
{
    m_cnaef.choose(principal, code);
    showDependentLists();
}

bool TFrmSolicitacaoIE::datesValid()
{
    for (QLineEdit* date : { m_dataInicio, m_processoInicio, m_processoFim }) {
        QString compact = date->text();
        compact.remove(u'/');
        if (!compact.trimmed().isEmpty() && !docs::dateIsValid(date->text())) {
            m_prompts.error(RequestLifecycle::kInvalidDate);
            date->setFocus();
            return false;
        }
    }
    return true;
}

void TFrmSolicitacaoIE::onTabChanging(QTabWidget* tabs, int index, int& previous)
{
    if (index == previous)
        return;
    if (!datesValid()) {
        // The tab stays where it was.
        const QSignalBlocker block(tabs);
        tabs->setCurrentIndex(previous);
        return;
    }
    previous = index;
    if (tabs == m_top && index == 1) {
        const QSignalBlocker block(m_inner);
        m_inner->setCurrentIndex(0);
        m_innerIndex = 0;
    }
    static const int innerTopics[] = { 22, 23, 21, 25, 24, 39 };
    if (m_top->currentIndex() == 0)
        setHelpTopic(9);
    else
        setHelpTopic(innerTopics[qBound(0, m_inner->currentIndex(), 5)]);
    applyRules(false);
}

void TFrmSolicitacaoIE::applyRules(bool localisation)
{
    RecordSet& r = *m_jx.cdsSolicitacaoIE;
    if (localisation)
        requestRules::ruleL(r, m_state);
    requestRules::ruleT(r, m_state);
    requestRules::ruleF(r, m_state);
    requestRules::ruleP(r, m_state);
    showState();
}

void TFrmSolicitacaoIE::showState()
{
    setBold(caption("lblReceita"), m_state.receitaBold);
    if (QWidget* w = control("dbReceitaBruta"))
        w->setEnabled(m_state.receitaEnabled);
    setBold(caption("lblFormaComercializacao"), m_state.formaBold);
    if (QWidget* w = control("DBFORMACOMERCIALIZACAO"))
        w->setEnabled(m_state.formaEnabled);
    if (QWidget* w = control("dbLkUnidade"))
        w->setEnabled(m_state.unidadeEnabled);
    setBold(caption("lblIEEstado"), m_state.ieOrigemBold);
    if (QWidget* w = control("dbIEEstado"))
        w->setEnabled(m_state.ieOrigemEnabled);
    if (QWidget* w = control("pnIEEstOrigem"))
        w->setVisible(m_state.ieOrigemPanelVisible);
    setBold(caption("lblSubstituto"), m_state.substitutoBold);
    if (QWidget* w = control("dbrgTrib"))
        w->setEnabled(m_state.substitutoEnabled);
    if (QWidget* w = control("dbLkRegime"))
        w->setEnabled(m_state.regimeEnabled);
    setBold(caption("lblConvenio"), m_state.convenioBold);
    if (QWidget* w = control("dbLkConvenio"))
        w->setEnabled(m_state.convenioEnabled);
    if (QWidget* w = control("pnlCnaefSecundaria"))
        w->setEnabled(m_state.cnaefSecundarioEnabled);
    for (const char* name : { "lblProcesso", "lblProcessoInicio", "lblProcessoFim", "lblSituacao" })
        setBold(caption(QLatin1String(name)), m_state.processoBold);
    m_inner->setTabVisible(3, m_state.partnersAndResponsiblesVisible);
    m_inner->setTabVisible(4, m_state.partnersAndResponsiblesVisible);
    if (QWidget* w = control("dbLkNatureza"))
        w->setEnabled(m_state.naturezaEnabled);
    if (QWidget* w = control("dbNomeEmpresarial"))
        w->setEnabled(m_state.nomeEmpresarialEnabled);
}

bool TFrmSolicitacaoIE::save()
{
    commitTyping();
    const RequestLifecycle::SaveResult result
        = m_lifecycle.save({ m_dataInicio->text(), m_processoInicio->text(), m_processoFim->text() }, [this] {
              if (showPendingList)
                  showPendingList();
          });
    if (!result.saved) {
        QLineEdit* focus = result.focus == RequestLifecycle::Field::DataInicioAtividade ? m_dataInicio
            : result.focus == RequestLifecycle::Field::ProcessoDataInicio               ? m_processoInicio
            : result.focus == RequestLifecycle::Field::ProcessoDataFim                  ? m_processoFim
                                                                                        : nullptr;
        if (focus)
            focus->setFocus();
        return false;
    }
    TFrmPadrao::done(QDialog::Accepted);
    return true;
}

void TFrmSolicitacaoIE::focusPending(const QString& name, int row)
{
    focusControl(this, name, row);
}

void TFrmSolicitacaoIE::done(int result)
{
    if (result == QDialog::Accepted) {
        save();
        return;
    }
    commitTyping();
    if (m_lifecycle.cancel())
        TFrmPadrao::done(QDialog::Rejected);
}

} // namespace jx::gui

#include "TFrmCadastroPessoas.h"

#include "Binders.h"
#include "Commands.h"
#include "DetailBlocks.h"
#include "data/TdtmJX.h"
#include "platform/UserPrompts.h"
#include "requests/RequestLifecycle.h"
#include "text/Masks.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShowEvent>

namespace jx::gui {

using data::RecordSet;

TFrmCadastroPessoa::TFrmCadastroPessoa(
    Persons::Kind kind, Commands& commands, TdtmJX& jx, Persons& persons, UserPrompts& prompts, QWidget* parent)
    : TFrmCadastroPadrao(commands, parent)
    , m_kind(kind)
    , m_commands(commands)
    , m_jx(jx)
    , m_persons(persons)
    , m_prompts(prompts)
{
}

QLabel* TFrmCadastroPessoa::addCaption(const QString& text, const QString& field, bool bold)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("lbl") + field);
    setBold(label, bold);
    m_captions.insert(field, label);
    return label;
}

void TFrmCadastroPessoa::addAddressAndContact(
    const QString& addressCommand, const QString& contactTitle, bool emailLower)
{
    contentLayout()->addWidget(addressDisplay(this, QStringLiteral("Dados do Endereço"), QStringLiteral("grpEndereco"),
        m_persons.address(m_kind), m_commands, { addressCommand }));
    ContactCaptions captions;
    captions.title = contactTitle;
    captions.fax = QStringLiteral(" Fax: ");
    captions.emailLower = emailLower;
    const ContactBlock contact = contactBlock(this, m_persons.contact(m_kind), captions);
    for (auto it = contact.captions.cbegin(); it != contact.captions.cend(); ++it)
        m_captions.insert(it.key(), it.value());
    for (auto it = contact.edits.cbegin(); it != contact.edits.cend(); ++it)
        m_controls.insert(it.key(), it.value());
    contentLayout()->addWidget(contact.box);
    // The context menu: the address command first, then Salvar, Cancelar, Ajuda.
    QList<QAction*> menu = actions();
    for (QAction* action : menu)
        removeAction(action);
    addAction(m_commands.action(addressCommand));
    addActions(menu);
}

void TFrmCadastroPessoa::done(int result)
{
    if (result != QDialog::Accepted) {
        // What is being typed is about to be discarded: no need to take (or refuse) it.
        if (auto* typing = qobject_cast<QLineEdit*>(focusWidget()))
            typing->setModified(false);
    }
    auto refusals = [this] {
        int n = 0;
        for (QLineEdit* edit : findChildren<QLineEdit*>())
            n += edit->property("jxRefusals").toInt();
        return n;
    };
    const int before = refusals();
    commitTyping();
    // A value refused as the typing was taken has been reported; the form stays on it.
    if (result == QDialog::Accepted && refusals() != before)
        return;
    if (result != QDialog::Accepted) {
        if (!m_prompts.warnYesNo(RequestLifecycle::kCancelQuestion))
            return;
        m_persons.discard(m_kind);
        TFrmCadastroPadrao::done(result);
        return;
    }
    const Persons::Check failed = check();
    if (!failed.ok()) {
        failed.information ? m_prompts.information(failed.message) : m_prompts.error(failed.message);
        if (QWidget* target = control(failed.focusField))
            target->setFocus();
        return;
    }
    // Stored while the form is still open: a refused row keeps it open for the user.
    if (!m_persons.store(m_kind))
        return;
    TFrmCadastroPadrao::done(result);
}

namespace {

QComboBox* lookupCombo(QWidget* parent, const QString& name, RecordSet& set, const QString& field,
    RecordSet& reference, const QString& key, const QString& display, std::function<void()> after = {})
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    bind::lookup(combo, set, field, reference, key, display, std::move(after));
    return combo;
}

QLineEdit* dateEdit(QWidget* parent, const QString& name, RecordSet& set, const QString& field)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    bind::dateEdit(edit, set, field);
    return edit;
}

} // namespace

TFrmCadastroSocios::TFrmCadastroSocios(
    Commands& commands, TdtmJX& jx, Persons& persons, UserPrompts& prompts, QWidget* parent)
    : TFrmCadastroPessoa(Persons::Kind::Partner, commands, jx, persons, prompts, parent)
{
    setObjectName(QStringLiteral("TFrmCadastroSocios"));
    setWindowTitle(QStringLiteral("Dados do Sócio"));
    setHelpTopic(3);
    RecordSet& p = persons.people(Persons::Kind::Partner);
    if (!jx.cdsCargo_Socio->isOpen())
        jx.openSet(*jx.cdsCargo_Socio);

    auto* box = new QGroupBox(QStringLiteral("Dados Cadastrais"), this);
    auto* grid = new QGridLayout(box);
    int row = 0;
    auto put = [&](QLabel* caption, QWidget* control, const QString& field) {
        grid->addWidget(caption, row, 0, Qt::AlignRight);
        grid->addWidget(control, row, 1);
        caption->setBuddy(control);
        m_controls.insert(field, control);
        ++row;
    };
    put(addCaption(QStringLiteral("Tipo de Identificação: "), "TIPO_IDENTIFICACAO", true),
        lookupCombo(box, "dbLkTipoIdentificacao", p, "TIPO_IDENTIFICACAO", *jx.cdsTipo_Identificacao, "IDENTIFICACAO",
            "TIPO", [this] { applyPresentation(); }),
        "TIPO_IDENTIFICACAO");
    auto* identification = new QLineEdit(box);
    identification->setObjectName(QStringLiteral("dbIdentificacao"));
    bind::lineEdit(identification, p, "IDENTIFICACAO");
    connect(identification, &QLineEdit::editingFinished, this, [this] { applyPresentation(); });
    put(addCaption(QStringLiteral("Identificação: "), "IDENTIFICACAO", true), identification, "IDENTIFICACAO");

    auto* master = new QWidget(box);
    master->setObjectName(QStringLiteral("dbrgMaster"));
    auto* masterRow = new QHBoxLayout(master);
    masterRow->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(master);
    for (int i = 0; i < 2; ++i) {
        auto* button = new QRadioButton(i == 0 ? QStringLiteral("Sim") : QStringLiteral("Não"), master);
        button->setObjectName(QStringLiteral("dbrgMaster_%1").arg(i));
        group->addButton(button, i);
        masterRow->addWidget(button);
    }
    masterRow->addStretch();
    bind::radio(group, p, "RESPONSAVEL_MASTER", { "S", "N" }, [this] { applyPresentation(); });
    master->setFocusProxy(group->button(0)); // the master rule's message puts the focus here
    put(addCaption(QStringLiteral("Responsável Master? "), "RESPONSAVEL_MASTER", true), master, "RESPONSAVEL_MASTER");

    put(addCaption(QStringLiteral("Cargo: "), "ID_CARGO", true),
        lookupCombo(box, "dbLkCargo", p, "ID_CARGO", *jx.cdsCargo_Socio, "CODIGO", "DESCRICAO"), "ID_CARGO");

    bind::EditOptions participation;
    participation.decimals = 2;
    participation.store = [&persons](const QString& typed) { return persons.setParticipation(typed); };
    auto* share = new QLineEdit(box);
    share->setObjectName(QStringLiteral("dbParticipacao"));
    share->setMaxLength(6);
    bind::lineEdit(share, p, "PARTICIPACAO", participation);
    put(addCaption(QStringLiteral("Percentual de Participação: "), "PARTICIPACAO", false), share, "PARTICIPACAO");

    put(addCaption(QStringLiteral("Data Início de Participação: "), "PARTICIPACAO_DATA_INICIO", true),
        dateEdit(box, "dbdParticipacao", p, "PARTICIPACAO_DATA_INICIO"), "PARTICIPACAO_DATA_INICIO");

    bind::EditOptions cpf;
    cpf.mask = masks::kCpfEdit;
    auto* representative = new QLineEdit(box);
    representative->setObjectName(QStringLiteral("dbProcurador"));
    bind::lineEdit(representative, p, "IDENT_PROCURADOR_RESPONSAVEL", cpf);
    connect(representative, &QLineEdit::editingFinished, this, [this] { applyPresentation(); });
    put(addCaption(QStringLiteral("CPF do Procurador/Responsável Legal: "), "IDENT_PROCURADOR_RESPONSAVEL", false),
        representative, "IDENT_PROCURADOR_RESPONSAVEL");

    // The date whose caption follows the kind (birth or start of activity).
    QLabel* dateCaption = addCaption(Persons::kActivityCaption, "DATA_NASCIMENTO", true);
    dateCaption->setObjectName(QStringLiteral("lbData"));
    dateCaption->setMinimumWidth(dateCaption->sizeHint().width()); // room for the longer caption
    dateCaption->setText(Persons::kBirthCaption);
    put(dateCaption, dateEdit(box, "dbdNascimento", p, "DATA_NASCIMENTO"), "DATA_NASCIMENTO");
    contentLayout()->addWidget(box);

    addAddressAndContact(QStringLiteral("actSolicitacao_IE_SocioEndereco"), QStringLiteral(" Dados de Comunicação"), true);
    setTabOrder(control("TIPO_IDENTIFICACAO"), identification);
    resize(560, sizeHint().height());
}

void TFrmCadastroSocios::showEvent(QShowEvent* event)
{
    applyPresentation();
    TFrmCadastroPessoa::showEvent(event);
}

void TFrmCadastroSocios::applyPresentation()
{
    const Persons::PartnerPresentation look = m_persons.partnerPresentation();
    if (!look.identificationMask.isEmpty())
        bind::setMask(qobject_cast<QLineEdit*>(control("IDENTIFICACAO")), look.identificationMask);
    if (!look.dateCaption.isEmpty())
        caption("DATA_NASCIMENTO")->setText(look.dateCaption);
    control("IDENT_PROCURADOR_RESPONSAVEL")->setEnabled(look.representativeEnabled);
    setBold(caption("IDENT_PROCURADOR_RESPONSAVEL"), look.representativeEnabled);
    setBold(caption("TELEFONE"), look.contactBold);
    setBold(caption("EMAIL"), look.contactBold);
}

Persons::Check TFrmCadastroSocios::check()
{
    auto typed = [this](const char* field) { return qobject_cast<QLineEdit*>(control(QLatin1String(field)))->text(); };
    return m_persons.checkPartner({ typed("PARTICIPACAO_DATA_INICIO"), typed("DATA_NASCIMENTO") });
}

TFrmCadastroResponsaveis::TFrmCadastroResponsaveis(
    Commands& commands, TdtmJX& jx, Persons& persons, UserPrompts& prompts, QWidget* parent)
    : TFrmCadastroPessoa(Persons::Kind::Responsible, commands, jx, persons, prompts, parent)
{
    setObjectName(QStringLiteral("TFrmCadastroResponsaveis"));
    setWindowTitle(QStringLiteral("Dados do Responsável"));
    setHelpTopic(2);
    RecordSet& r = persons.people(Persons::Kind::Responsible);
    if (!jx.cdsFuncao_Responsavel->isOpen())
        jx.openSet(*jx.cdsFuncao_Responsavel);

    auto* data = new QGroupBox(QStringLiteral("Dados Cadastrais"), this);
    auto* dataRow = new QHBoxLayout(data);
    bind::EditOptions cpf;
    cpf.mask = masks::kCpfEdit;
    cpf.upper = true;
    auto* identification = new QLineEdit(data);
    identification->setObjectName(QStringLiteral("dbIdentificacao"));
    bind::lineEdit(identification, r, "IDENTIFICACAO", cpf);
    dataRow->addWidget(addCaption(QStringLiteral("CPF:"), "IDENTIFICACAO", true));
    dataRow->addWidget(identification, 1);
    m_controls.insert("IDENTIFICACAO", identification);
    contentLayout()->addWidget(data);

    auto* function = new QGroupBox(QStringLiteral("Função"), this);
    auto* grid = new QGridLayout(function);
    QComboBox* functions
        = lookupCombo(function, "dbLkFuncao", r, "ID_FUNCAO", *jx.cdsFuncao_Responsavel, "ID_FUNCAO", "DESCRICAO");
    grid->addWidget(addCaption(QStringLiteral("Função:"), "ID_FUNCAO", true), 0, 0, Qt::AlignRight);
    grid->addWidget(functions, 0, 1);
    m_controls.insert("ID_FUNCAO", functions);
    QLineEdit* start = dateEdit(function, "dbdInicio", r, "DATA_INICIO");
    grid->addWidget(addCaption(QStringLiteral("Data Início:"), "DATA_INICIO", true), 1, 0, Qt::AlignRight);
    grid->addWidget(start, 1, 1);
    m_controls.insert("DATA_INICIO", start);
    // The end date exists in the table but is never shown.
    auto* endPanel = new QWidget(function);
    endPanel->setObjectName(QStringLiteral("pnlDataFim"));
    auto* endRow = new QHBoxLayout(endPanel);
    endRow->setContentsMargins(0, 0, 0, 0);
    QLineEdit* end = dateEdit(endPanel, "dbdFim", r, "DATA_FIM");
    endRow->addWidget(addCaption(QStringLiteral("Data Fim:"), "DATA_FIM", false));
    endRow->addWidget(end, 1);
    m_controls.insert("DATA_FIM", end);
    grid->addWidget(endPanel, 2, 0, 1, 2);
    endPanel->hide();
    contentLayout()->addWidget(function);

    addAddressAndContact(QStringLiteral("actSolicitacao_IE_RespEndereco"), QStringLiteral("Dados de Comunicação"), false);
    setBold(caption("TELEFONE"), true);
    resize(560, sizeHint().height());
}

Persons::Check TFrmCadastroResponsaveis::check()
{
    auto typed = [this](const char* field) { return qobject_cast<QLineEdit*>(control(QLatin1String(field)))->text(); };
    return m_persons.checkResponsible(typed("DATA_INICIO"), typed("DATA_FIM"));
}

} // namespace jx::gui

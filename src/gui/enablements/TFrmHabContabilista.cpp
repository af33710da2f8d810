#include "TFrmHabContabilista.h"

#include "Binders.h"
#include "Commands.h"
#include "DetailBlocks.h"
#include "data/TdtmJX.h"
#include "enablements/EnablementLifecycle.h"
#include "platform/UserPrompts.h"
#include "text/DocumentChecks.h"
#include "text/Masks.h"

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

using data::RecordSet;

namespace {

bool isCnpjKind(const RecordSet& e)
{
    return !e.isEmpty() && e.value("TIPO_IDENTIFICACAO").toInt() == 3;
}

} // namespace

QLabel* TFrmHabContabilista::addCaption(const QString& text, const QString& name, bool bold)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    // Room for the bold face: a caption made bold by the kind must not be cut.
    QFont boldFont = label->font();
    boldFont.setBold(true);
    label->setMinimumWidth(QFontMetrics(boldFont).horizontalAdvance(text) + 2);
    setBold(label, bold);
    m_captions.insert(name, label);
    return label;
}

TFrmHabContabilista::TFrmHabContabilista(
    Commands& commands, TdtmJX& jx, EnablementLifecycle& lifecycle, UserPrompts& prompts, QWidget* parent)
    : TFrmPadrao(parent, true)
    , m_commands(commands)
    , m_jx(jx)
    , m_lifecycle(lifecycle)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TFrmHabContabilista"));
    setWindowTitle(QStringLiteral("Habilitação de Contabilista"));
    setHelpTopic(1);
    RecordSet& e = *jx.cdsSolicitacao_Contab;
    for (RecordSet* reference : { jx.cdsTipo_Identificacao, jx.cdsUF, jx.cdsIdentificadorCRC })
        if (!reference->isOpen())
            jx.openSet(*reference);
    auto* layout = new QVBoxLayout(this);

    auto* box = new QGroupBox(QStringLiteral("Dados Cadastrais:"), this);
    box->setObjectName(QStringLiteral("grpDadosCadastrais"));
    auto* grid = new QGridLayout(box);
    int row = 0;
    auto put = [&](QLabel* caption, QWidget* control) {
        grid->addWidget(caption, row, 0, Qt::AlignRight);
        grid->addWidget(control, row, 1);
        caption->setBuddy(control);
        m_controls.insert(control->objectName(), control);
        ++row;
    };
    auto combo = [&](const char* name) {
        auto* c = new QComboBox(box);
        c->setObjectName(QLatin1String(name));
        return c;
    };

    // Only a firm (CNPJ) or an accountant (CPF) asks to be enabled.
    QComboBox* kind = combo("dbLkTipoIdentificacao");
    bind::lookup(kind, e, "TIPO_IDENTIFICACAO", *jx.cdsTipo_Identificacao, "IDENTIFICACAO", "TIPO",
        [this] { applyKind(); }, [](const QVariant& key) { return key.toInt() == 3 || key.toInt() == 4; });
    put(addCaption(QStringLiteral("Tipo de Identificação:"), "lblTipoIdentificacao", true), kind);

    bind::EditOptions upper;
    upper.upper = true;
    m_identification = new QLineEdit(box);
    m_identification->setObjectName(QStringLiteral("dbIdentificacao"));
    bind::lineEdit(m_identification, e, "IDENTIFICACAO", upper);
    put(addCaption(QStringLiteral("Identificação: "), "lblIdentificacao", true), m_identification);

    auto* crcRow = new QWidget(box);
    crcRow->setObjectName(QStringLiteral("pnlCRC"));
    auto* crc = new QHBoxLayout(crcRow);
    crc->setContentsMargins(0, 0, 0, 0);
    QComboBox* uf = combo("dbLkUFCRC");
    bind::lookup(uf, e, "UF_CRC", *jx.cdsUF, "SIGLA", "SIGLA");
    auto* number = new QLineEdit(crcRow);
    number->setObjectName(QStringLiteral("dbCRC"));
    bind::EditOptions crcText = upper;
    crcText.maxLength = 6;
    bind::lineEdit(number, e, "CRC", crcText);
    QComboBox* category = combo("dbLkIdentificadorCRC");
    bind::lookup(category, e, "IDENTIFICADOR_CRC", *jx.cdsIdentificadorCRC, "TIPO", "IDENTIFICACAO");
    crc->addWidget(uf);
    crc->addWidget(number);
    crc->addWidget(category, 1);
    for (QWidget* w : { static_cast<QWidget*>(uf), static_cast<QWidget*>(number), static_cast<QWidget*>(category) })
        m_controls.insert(w->objectName(), w);
    grid->addWidget(addCaption(QStringLiteral("CRC:"), "lblCRC", true), row, 0, Qt::AlignRight);
    grid->addWidget(crcRow, row++, 1);

    bind::EditOptions cpf = upper;
    cpf.mask = masks::kCpfEdit;
    auto* responsible = new QLineEdit(box);
    responsible->setObjectName(QStringLiteral("dbCPFResponsavel"));
    bind::lineEdit(responsible, e, "CPF_RESPONSAVEL", cpf);
    put(addCaption(QStringLiteral("CPF do Responsável:"), "lblCPFResponsavel", false), responsible);

    bind::EditOptions email;
    email.replaceAmpersand = true;
    email.replaceBrackets = true;
    email.maxLength = 50;
    auto* mail = new QLineEdit(box);
    mail->setObjectName(QStringLiteral("dbEmailResponsavel"));
    bind::lineEdit(mail, e, "EMAIL_RESPONSAVEL", email);
    put(addCaption(QStringLiteral("E-mail do Responsável:"), "lblEmailResponsavel", false), mail);

    auto* dateRow = new QWidget(box);
    auto* dateLayout = new QHBoxLayout(dateRow);
    dateLayout->setContentsMargins(0, 0, 0, 0);
    m_birthDate = new QLineEdit(dateRow);
    m_birthDate->setObjectName(QStringLiteral("dbdNascimento"));
    m_birthDate->setMaximumWidth(110);
    bind::dateEdit(m_birthDate, e, "DATANACRESP");
    auto* pick = new QToolButton(dateRow);
    pick->setObjectName(QStringLiteral("btnCalendario"));
    pick->setText(QStringLiteral("..."));
    pick->setToolTip(QStringLiteral("Calendário"));
    connect(pick, &QToolButton::clicked, this, [this, pick] {
        auto* calendar = new QCalendarWidget(this);
        calendar->setWindowFlags(Qt::Popup);
        calendar->setAttribute(Qt::WA_DeleteOnClose);
        const QDate typed = QDate::fromString(m_birthDate->text(), QStringLiteral("dd/MM/yyyy"));
        if (typed.isValid())
            calendar->setSelectedDate(typed);
        connect(calendar, &QCalendarWidget::clicked, this, [this, calendar](const QDate& date) {
            m_birthDate->setText(date.toString(QStringLiteral("dd/MM/yyyy")));
            m_birthDate->setModified(true);
            Q_EMIT m_birthDate->editingFinished();
            calendar->close();
        });
        calendar->move(pick->mapToGlobal(QPoint(0, pick->height())));
        calendar->show();
    });
    dateLayout->addWidget(m_birthDate);
    dateLayout->addWidget(pick);
    dateLayout->addStretch();
    grid->addWidget(
        addCaption(QStringLiteral("Data de Nascimento do Responsável:"), "lblDataNascimento", false), row, 0,
        Qt::AlignRight);
    grid->addWidget(dateRow, row++, 1);
    m_controls.insert(m_birthDate->objectName(), m_birthDate);
    layout->addWidget(box);

    QGroupBox* address = addressDisplay(this, QStringLiteral("Endereço:"), QStringLiteral("grpEndereco"),
        *jx.cdsSolicitacao_Contab_End, commands, { QStringLiteral("actSolicitacaoContab_Endereco") });
    static const QStringList boldAddress { QStringLiteral("CEP: "), QStringLiteral("Bairro: "),
        QStringLiteral("Logradouro:"), QStringLiteral("Número: "), QStringLiteral("Município: ") };
    for (QLabel* label : address->findChildren<QLabel*>())
        if (boldAddress.contains(label->text()))
            setBold(label, true);
    layout->addWidget(address);

    ContactCaptions captions;
    captions.title = QStringLiteral("Dados de Comunicação:");
    captions.emailLower = false;
    captions.fax = QStringLiteral(" Fax: ");
    captions.email = QStringLiteral("E-mail:");
    const ContactBlock contact = contactBlock(this, *jx.cdsSolicitacao_Contab_Com, captions);
    for (const char* field : { "TELEFONE", "EMAIL" })
        setBold(contact.captions.value(QLatin1String(field)), true);
    for (QWidget* edit : contact.edits)
        m_controls.insert(edit->objectName(), edit);
    layout->addWidget(contact.box);

    auto* bar = new QHBoxLayout;
    bar->addStretch();
    for (const char* name : { "actPendencia_VerificaPendencia", "actSolicitacaoContab_Salvar",
             "actSolicitacaoContab_Cancelar", "actAjuda" }) {
        bar->addWidget(makeCommandButton(this, commands, QLatin1String(name)));
        addAction(commands.action(QLatin1String(name)));
    }
    layout->addLayout(bar);
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("stbStatus"));
    status->setSizeGripEnabled(false);
    layout->addWidget(status);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    resize(640, 580);
}

void TFrmHabContabilista::showEvent(QShowEvent* event)
{
    TFrmPadrao::showEvent(event);
    applyKind();
}

void TFrmHabContabilista::applyKind()
{
    const RecordSet& e = *m_jx.cdsSolicitacao_Contab;
    const int kind = e.isEmpty() ? 0 : e.value("TIPO_IDENTIFICACAO").toInt();
    if (kind == 4)
        bind::setMask(m_identification, masks::kCpfEdit);
    else if (kind == 3)
        bind::setMask(m_identification, masks::kCnpjEdit);
    setBold(caption("lblCPFResponsavel"), isCnpjKind(e));
}

bool TFrmHabContabilista::datesValid()
{
    QString compact = m_birthDate->text();
    compact.remove(u'/');
    if (!compact.trimmed().isEmpty() && !docs::dateIsValid(m_birthDate->text())) {
        m_prompts.error(EnablementLifecycle::kInvalidDate);
        m_birthDate->setFocus();
        return false;
    }
    return true;
}

void TFrmHabContabilista::focusPending(const QString& name, int row)
{
    focusControl(this, name, row);
}

bool TFrmHabContabilista::save()
{
    commitTyping();
    const EnablementLifecycle::SaveResult result = m_lifecycle.save(m_birthDate->text(), [this] {
        if (showPendingList)
            showPendingList();
    });
    if (!result.saved) {
        QWidget* focus = result.focus == EnablementLifecycle::Field::DataNascimento ? m_birthDate
            : result.focus == EnablementLifecycle::Field::TipoIdentificacao         ? control("dbLkTipoIdentificacao")
            : result.focus == EnablementLifecycle::Field::Identificacao             ? m_identification
                                                                                    : nullptr;
        if (focus)
            focus->setFocus();
        return false;
    }
    TFrmPadrao::done(QDialog::Accepted);
    return true;
}

void TFrmHabContabilista::done(int result)
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

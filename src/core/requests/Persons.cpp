#include "requests/Persons.h"

#include "Error.h"
#include "data/TdtmJX.h"
#include "db/Sqlite.h"
#include "platform/UserPrompts.h"
#include "text/DocumentChecks.h"
#include "text/Masks.h"

#include <QLocale>

#include <cmath>

namespace jx {

using data::RecordSet;

namespace {

bool blank(const QVariant& v)
{
    return v.isNull() || v.toString().trimmed().isEmpty();
}

// A date typed through the mask: blank is the empty picture.
bool typedDateInvalid(const QString& typed)
{
    QString compact = typed;
    compact.remove(u'/');
    return !compact.trimmed().isEmpty() && !docs::dateIsValid(typed);
}

void editOrAppend(RecordSet& set)
{
    if (set.isEmpty())
        set.append();
    else
        set.edit();
}

} // namespace

Persons::Persons(TdtmJX& jx, UserPrompts& prompts, Addresses& addresses)
    : m_jx(jx)
    , m_prompts(prompts)
    , m_addresses(addresses)
{
}

RecordSet& Persons::people(Kind kind) const
{
    return kind == Kind::Partner ? *m_jx.cdsSolicitacao_IE_Socio : *m_jx.cdsSolicitacao_IE_Responsavel;
}

RecordSet& Persons::contact(Kind kind) const
{
    return kind == Kind::Partner ? *m_jx.cdsIESocioCom : *m_jx.cdsIERespCom;
}

RecordSet& Persons::address(Kind kind) const
{
    return kind == Kind::Partner ? *m_jx.cdsIESocioEnd : *m_jx.cdsIERespEnd;
}

Addresses::Owner Persons::owner(Kind kind) const
{
    return kind == Kind::Partner ? Addresses::Owner::Partner : Addresses::Owner::Responsible;
}

QString Persons::missingField(const QString& label)
{
    return QStringLiteral("O campo ") + label + QStringLiteral(" deve ser informado!");
}

void Persons::beginAdd(Kind kind)
{
    const QVariant request = m_jx.cdsSolicitacaoIE->value("ID_SOLICITACAO");
    if (request.isNull())
        throw Error(QStringLiteral("A Solicitação de Inscrição Estadual ainda não foi gravada."));
    RecordSet& set = people(kind);
    if (!set.isOpen())
        m_jx.openSet(set);
    set.append(); // the person's contact and address sets follow the new, empty row
    set.setValue("ID_SOLICITACAO", request);
    if (kind == Kind::Partner)
        set.setValue("PARTICIPACAO", 0.0);
    contact(kind).append();
    address(kind).append();
}

void Persons::beginChange(Kind kind)
{
    RecordSet& set = people(kind);
    if (set.isEmpty())
        throw Error(QStringLiteral("Não há registro para alterar."));
    set.edit();
    editOrAppend(contact(kind));
    editOrAppend(address(kind));
}

bool Persons::adding(Kind kind) const
{
    return people(kind).state() == RecordSet::State::Insert;
}

Persons::Check Persons::checkPartner(const PartnerDates& dates)
{
    try {
        RecordSet& p = people(Kind::Partner);
        if (typedDateInvalid(dates.participacaoInicio))
            return { QStringLiteral("Data Inválida!"), "PARTICIPACAO_DATA_INICIO" };
        if (typedDateInvalid(dates.nascimento))
            return { QStringLiteral("Data Inválida!"), "DATA_NASCIMENTO" };
        if (p.value("TIPO_IDENTIFICACAO").isNull())
            return { missingField(p.field(p.fieldIndex("TIPO_IDENTIFICACAO")).label), "TIPO_IDENTIFICACAO" };
        if (blank(p.value("IDENTIFICACAO")))
            return { missingField(p.field(p.fieldIndex("IDENTIFICACAO")).label), "IDENTIFICACAO" };
        // Both rules look at the other partners already in the list.
        const int self = p.rawRowAt(p.recNo());
        const QString identification = p.text("IDENTIFICACAO").trimmed();
        const bool master = p.text("RESPONSAVEL_MASTER") == QLatin1String("S");
        const int masterField = p.fieldIndex("RESPONSAVEL_MASTER");
        const int identificationField = p.fieldIndex("IDENTIFICACAO");
        for (int raw = 0; master && raw < p.rawCount(); ++raw) {
            if (raw != self && p.rawValue(raw, masterField).toString() == QLatin1String("S"))
                return { kMasterExists, "RESPONSAVEL_MASTER" };
        }
        for (int raw = 0; raw < p.rawCount(); ++raw) {
            if (raw != self && p.rawValue(raw, identificationField).toString().trimmed() == identification) {
                const QString what = p.value("TIPO_IDENTIFICACAO").toInt() == 3 ? QStringLiteral("CNPJ")
                                                                                 : QStringLiteral("CPF");
                return { QStringLiteral("Já existe um Sócio cadastrado com este ") + what + u'!', "IDENTIFICACAO" };
            }
        }
        return {};
    } catch (const ProgramEnd&) {
        throw;
    } catch (...) {
        return { kAddPartnerFailed, {} };
    }
}

Persons::Check Persons::checkResponsible(const QString& dataInicio, const QString& dataFim)
{
    try {
        RecordSet& r = people(Kind::Responsible);
        if (typedDateInvalid(dataInicio))
            return { QStringLiteral("Data Inválida!"), "DATA_INICIO" };
        if (typedDateInvalid(dataFim))
            return { QStringLiteral("Data Inválida!"), "DATA_FIM" };
        if (blank(r.value("IDENTIFICACAO")))
            return { missingField(r.field(r.fieldIndex("IDENTIFICACAO")).label), "IDENTIFICACAO" };
        if (adding(Kind::Responsible)) {
            // What is already stored for this request, inside its open operation; bound.
            m_jx.selectIntoGeral(QStringLiteral("SELECT * FROM SOLICITACAO_IE_RESPONSAVEL WHERE IDENTIFICACAO = :IDENT "
                                                "AND ID_SOLICITACAO = :ID"),
                { { QStringLiteral("IDENT"), r.text("IDENTIFICACAO") },
                    { QStringLiteral("ID"), r.value("ID_SOLICITACAO") } });
            if (!m_jx.cdsGeral->isEmpty())
                return { kResponsibleExists, "IDENTIFICACAO", true };
        }
        return {};
    } catch (const ProgramEnd&) {
        throw;
    } catch (...) {
        return { kAddResponsibleFailed, {} };
    }
}

namespace {

// What the user typed into the current row, keys and links left out.
QVariantMap typedValues(const RecordSet& set, const QStringList& skipped)
{
    QVariantMap values;
    if (set.isEmpty())
        return values;
    for (int i = 0; i < set.fieldCount(); ++i) {
        const data::Field& f = set.field(i);
        if (!f.computed && !f.memory && !skipped.contains(f.name, Qt::CaseInsensitive))
            values.insert(f.name, set.value(f.name));
    }
    return values;
}

void retype(RecordSet& set, const QVariantMap& values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (set.value(it.key()) != it.value())
            set.setValue(it.key(), it.value());
    }
}

} // namespace

QString Persons::keyField(Kind kind)
{
    return kind == Kind::Partner ? QStringLiteral("ID_SOCIO") : QStringLiteral("ID_RESPONSAVEL");
}

void Persons::reload(Kind kind, const QVariant& key)
{
    RecordSet& set = people(kind);
    m_jx.openSet(set); // its contact and address follow the current row
    if (!key.isNull())
        set.locate(keyField(kind), key);
}

bool Persons::store(Kind kind)
{
    RecordSet& set = people(kind);
    const bool wasAdding = adding(kind);
    const QVariant key = set.value(keyField(kind));
    const QStringList links { keyField(kind), QStringLiteral("ID_ENDERECO"), QStringLiteral("ID_COMUNICACAO") };
    const QVariantMap typedPerson = typedValues(set, links);
    const QVariantMap typedContact = typedValues(contact(kind), links);
    const QVariantMap typedAddress = typedValues(address(kind), links);

    // Contact, address and person stand or fall together: a person must never keep a link
    // to a row that was deleted, nor leave rows behind that nobody names.
    db::Savepoint together(m_jx.database().connection(), QStringLiteral("jx_pessoa"));
    // Contact and address first, so that the person row receives their keys.
    bool stored = m_addresses.GravarComunicacao(owner(kind)) && m_addresses.GravarEndereco(owner(kind));
    if (stored) {
        set.post();
        stored = m_jx.apply(set, 0, false);
    }
    if (stored) {
        together.release();
        const QVariant newKey = set.value(keyField(kind));
        reload(kind, newKey);
        return true;
    }
    together.rollback();
    // The sets believe in rows the rollback undid: read them again, and put back what the
    // user typed so that the form can be saved again or cancelled.
    reload(kind, wasAdding ? QVariant() : key);
    wasAdding ? beginAdd(kind) : beginChange(kind);
    retype(set, typedPerson);
    retype(contact(kind), typedContact);
    retype(address(kind), typedAddress);
    return false;
}

void Persons::discard(Kind kind)
{
    RecordSet& set = people(kind);
    set.cancelUpdates();
    contact(kind).cancelUpdates();
    address(kind).cancelUpdates();
    if (kind == Kind::Partner)
        m_jx.openPartnerDetails();
    else
        m_jx.openResponsibleDetails();
}

bool Persons::remove(Kind kind)
{
    RecordSet& set = people(kind);
    if (set.isEmpty())
        return false;
    if (!m_prompts.confirmYesNo(kind == Kind::Partner ? kDeletePartner : kDeleteResponsible))
        return false;
    const QVariant key = set.value(keyField(kind));
    db::Savepoint together(m_jx.database().connection(), QStringLiteral("jx_pessoa"));
    bool removed = true;
    for (RecordSet* detail : { &contact(kind), &address(kind) }) {
        detail->cancelUpdates();
        if (!removed || detail->isEmpty())
            continue;
        detail->remove();
        removed = m_jx.apply(*detail, 0, false);
    }
    if (removed) {
        set.remove();
        removed = m_jx.apply(set, 0, false);
    }
    if (removed) {
        together.release();
        return true;
    }
    // Nothing half-deleted: the person, its contact and its address are as they were.
    together.rollback();
    reload(kind, key);
    return false;
}

QString Persons::setParticipation(const QString& typed)
{
    RecordSet& p = people(Kind::Partner);
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        p.setValue("PARTICIPACAO", QVariant());
        return {};
    }
    bool ok = false;
    const double value = QLocale(QLocale::Portuguese, QLocale::Brazil).toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return p.refusedValueText("PARTICIPACAO", typed);
    if (value < 0 || value > 100)
        return p.field(p.fieldIndex("PARTICIPACAO")).label + QStringLiteral(" deve estar entre 0 e 100%");
    p.setValue("PARTICIPACAO", value);
    return {};
}

Persons::PartnerPresentation Persons::partnerPresentation()
{
    RecordSet& p = people(Kind::Partner);
    PartnerPresentation look;
    if (p.isEmpty())
        return look;
    const QVariant kind = p.value("TIPO_IDENTIFICACAO");
    const bool master = p.text("RESPONSAVEL_MASTER") == QLatin1String("S");
    if (!kind.isNull() && kind.toInt() == 4) {
        look.identificationMask = masks::kCpfEdit;
        look.dateCaption = kBirthCaption;
    } else if (!kind.isNull() && kind.toInt() == 3) {
        look.identificationMask = masks::kCnpjEdit;
        look.dateCaption = kActivityCaption;
    }
    look.representativeEnabled = !kind.isNull() && kind.toInt() == 3 && master;
    if (!look.representativeEnabled && !p.value("IDENT_PROCURADOR_RESPONSAVEL").isNull())
        p.setValue("IDENT_PROCURADOR_RESPONSAVEL", QVariant());
    look.contactBold = master;
    return look;
}

} // namespace jx

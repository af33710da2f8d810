#include "requests/Addresses.h"

#include "data/TdtmJX.h"
#include "text/TextUtils.h"

namespace jx {

using data::RecordSet;

namespace {

bool blank(const QVariant& v)
{
    return v.isNull() || v.toString().trimmed().isEmpty();
}

// A row not yet in the table: being inserted, or without its key.
bool isNew(const RecordSet& set, const QString& key)
{
    return set.state() == RecordSet::State::Insert || set.value(key).isNull() || set.value(key).toLongLong() == 0;
}

} // namespace

Addresses::Addresses(TdtmJX& jx)
    : m_jx(jx)
{
}

const QStringList& Addresses::copiedFields()
{
    static const QStringList fields { "CEP", "ID_UF", "LOCALIDADE", "DISTRITO", "BAIRRO", "TIPO_LOGRADOURO",
        "LOGRADOURO", "NUMERO", "COD_TIPO_COMPLEMENTO1", "COD_TIPO_COMPLEMENTO2", "COD_TIPO_COMPLEMENTO3",
        "COD_TIPO_COMPLEMENTO4", "COD_TIPO_COMPLEMENTO5", "COD_TIPO_COMPLEMENTO6", "COMPLEMENTO1", "COMPLEMENTO2",
        "COMPLEMENTO3", "COMPLEMENTO4", "COMPLEMENTO5", "COMPLEMENTO6" };
    return fields;
}

QString Addresses::typedText(const QString& text, bool upper)
{
    return text::typed(text, upper, false, true, true);
}

void Addresses::CarregarEndereco(const QVariant& link, RecordSet& target)
{
    RecordSet& scratch = *m_jx.cdsEnderco;
    if (!scratch.isOpen())
        m_jx.openSet(scratch);
    if (!(link.toLongLong() != 0 && scratch.locate("ID_ENDERECO", link))) {
        scratch.append();
    } else {
        scratch.edit();
    }
    for (const QString& field : copiedFields()) {
        const QString text = target.isEmpty() ? QString() : target.value(field).toString();
        scratch.setValue(field, text.isEmpty() ? QVariant() : QVariant(text));
    }
}

void Addresses::DevolverEndereco(RecordSet& target)
{
    RecordSet& scratch = *m_jx.cdsEnderco;
    if (target.state() == RecordSet::State::Browse)
        target.isEmpty() ? target.append() : target.edit();
    for (const QString& field : copiedFields()) {
        const QString text = scratch.value(field).toString();
        target.setValue(field, text.isEmpty() ? QVariant() : QVariant(text));
    }
    discardScratch();
}

void Addresses::discardScratch()
{
    m_jx.cdsEnderco->cancel();
}

Addresses::Check Addresses::check(const RecordSet& a)
{
    if (a.value("CEP").toString().trimmed().size() < 7)
        return { QStringLiteral("CEP inválido!"), "CEP" };
    if (blank(a.value("ID_UF")))
        return { QStringLiteral("A UF deve ser informada!"), "ID_UF" };
    if (blank(a.value("LOCALIDADE")))
        return { QStringLiteral("O Município deve ser informado!"), "LOCALIDADE" };
    if (blank(a.value("TIPO_LOGRADOURO")))
        return { QStringLiteral("O Tipo do Logradouro deve ser informado!"), "TIPO_LOGRADOURO" };
    if (blank(a.value("LOGRADOURO")))
        return { QStringLiteral("O Logradouro deve ser informado!"), "LOGRADOURO" };
    for (int i = 1; i <= 6; ++i) {
        const QString type = QStringLiteral("COD_TIPO_COMPLEMENTO%1").arg(i);
        const QString text = QStringLiteral("COMPLEMENTO%1").arg(i);
        if (!blank(a.value(type)) && blank(a.value(text)))
            return { QStringLiteral("O Complemento %1 deve ser informado!").arg(i), text };
        if (blank(a.value(type)) && !blank(a.value(text))) {
            // Position 6 has always read without "de".
            return { i == 6 ? QStringLiteral("O Tipo Complemento 6 deve ser informado!")
                            : QStringLiteral("O Tipo de Complemento %1 deve ser informado!").arg(i),
                type };
        }
    }
    return {};
}

bool Addresses::GravarComunicacao(Owner owner)
{
    RecordSet* contact = nullptr;
    RecordSet* ownerSet = nullptr;
    QString link;
    QStringList emptiness { "TELEFONE", "EMAIL", "CAIXA_POSTAL", "FAX", "CAIXA_POSTAL_CEP" };
    bool trimmed = true;
    switch (owner) {
    case Owner::Establishment:
        contact = m_jx.cdsSolicitacaoIEComun;
        ownerSet = m_jx.cdsSolicitacaoIE;
        link = "ID_COMUNICACAO_EMPRESA";
        break;
    case Owner::Partner:
        contact = m_jx.cdsIESocioCom;
        ownerSet = m_jx.cdsSolicitacao_IE_Socio;
        link = "ID_COMUNICACAO";
        emptiness.removeAll("FAX"); // a fax alone does not make a partner's contact row
        break;
    case Owner::Responsible:
        contact = m_jx.cdsIERespCom;
        ownerSet = m_jx.cdsSolicitacao_IE_Responsavel;
        link = "ID_COMUNICACAO";
        emptiness.removeAll("FAX");
        break;
    case Owner::Enablement:
        contact = m_jx.cdsSolicitacao_Contab_Com;
        ownerSet = m_jx.cdsSolicitacao_Contab;
        link = "ID_COMUNICACAO";
        trimmed = false;
        break;
    case Owner::Correspondence:
        return true;
    }
    if (contact->isEmpty()) {
        // A deletion refused by an earlier save is still owed.
        if (!contact->hasPending())
            return true;
        if (!m_jx.apply(*contact, 0, false))
            return false;
        ownerSet->setValue(link, QVariant());
        return true;
    }
    bool empty = true;
    for (const QString& field : emptiness) {
        const QVariant v = contact->value(field);
        if (!(v.isNull() || (trimmed ? v.toString().trimmed() : v.toString()).isEmpty()))
            empty = false;
    }
    const bool fresh = isNew(*contact, "ID_COMUNICACAO");
    if (fresh) {
        if (empty) {
            contact->cancelUpdates();
            return true;
        }
        contact->post();
        if (!m_jx.apply(*contact, 0, false))
            return false;
        // The send wrote the new key into the row.
        ownerSet->setValue(link, contact->value("ID_COMUNICACAO"));
        return true;
    }
    if (empty && owner != Owner::Enablement) {
        contact->cancel();
        contact->remove();
        if (!m_jx.apply(*contact, 0, false))
            return false;
        ownerSet->setValue(link, QVariant());
        return true;
    }
    contact->post();
    if (!m_jx.apply(*contact, 0, false))
        return false;
    if (ownerSet->value(link).toLongLong() == 0)
        ownerSet->setValue(link, contact->value("ID_COMUNICACAO"));
    return true;
}

bool Addresses::GravarEndereco(Owner owner)
{
    RecordSet* address = nullptr;
    RecordSet* ownerSet = nullptr;
    QString link;
    bool needsCep = false;
    switch (owner) {
    case Owner::Establishment:
        address = m_jx.cdsSolicIEEndEstab;
        ownerSet = m_jx.cdsSolicitacaoIE;
        link = "ID_ENDERECO_ESTABELECIMENTO";
        break;
    case Owner::Correspondence:
        address = m_jx.cdsSolicIEEndCorresp;
        ownerSet = m_jx.cdsSolicitacaoIE;
        link = "ID_ENDERECO_CORRESPONDECIA";
        needsCep = true;
        break;
    case Owner::Partner:
        address = m_jx.cdsIESocioEnd;
        ownerSet = m_jx.cdsSolicitacao_IE_Socio;
        link = "ID_ENDERECO";
        needsCep = true;
        break;
    case Owner::Responsible:
        address = m_jx.cdsIERespEnd;
        ownerSet = m_jx.cdsSolicitacao_IE_Responsavel;
        link = "ID_ENDERECO";
        needsCep = true;
        break;
    case Owner::Enablement:
        address = m_jx.cdsSolicitacao_Contab_End;
        ownerSet = m_jx.cdsSolicitacao_Contab;
        link = "ID_ENDERECO";
        break;
    }
    if (address->isEmpty()) {
        if (!address->hasPending())
            return true;
        if (!m_jx.apply(*address, 0, false))
            return false;
        ownerSet->setValue(link, QVariant());
        return true;
    }
    if (needsCep && blank(address->value("CEP"))) {
        address->cancelUpdates();
        return true;
    }
    const bool fresh = isNew(*address, "ID_ENDERECO");
    address->post();
    if (!m_jx.apply(*address, 0, false))
        return false;
    // The send wrote the new key into the row.
    if (fresh)
        ownerSet->setValue(link, address->value("ID_ENDERECO"));
    return true;
}

void Addresses::PreencherCorrespondencia()
{
    RecordSet& corresp = *m_jx.cdsSolicIEEndCorresp;
    RecordSet& estab = *m_jx.cdsSolicIEEndEstab;
    if (corresp.count() == 1 || estab.isEmpty())
        return;
    if (corresp.isEmpty())
        corresp.append();
    else
        corresp.edit();
    static const QStringList order { "ID_UF", "CEP", "LOCALIDADE", "DISTRITO", "BAIRRO", "TIPO_LOGRADOURO",
        "LOGRADOURO", "NUMERO", "COD_TIPO_COMPLEMENTO1", "COD_TIPO_COMPLEMENTO2", "COD_TIPO_COMPLEMENTO3",
        "COD_TIPO_COMPLEMENTO4", "COD_TIPO_COMPLEMENTO5", "COD_TIPO_COMPLEMENTO6", "COMPLEMENTO1", "COMPLEMENTO2",
        "COMPLEMENTO3", "COMPLEMENTO4", "COMPLEMENTO5", "COMPLEMENTO6" };
    for (const QString& field : order) {
        if (blank(corresp.value(field)))
            corresp.setValue(field, estab.value(field));
    }
}

bool Addresses::canClearCorrespondence() const
{
    return !m_jx.cdsSolicIEEndCorresp->isEmpty() && !blank(m_jx.cdsSolicIEEndCorresp->value("CEP"));
}

void Addresses::LimparEndCorrespondencia()
{
    RecordSet& corresp = *m_jx.cdsSolicIEEndCorresp;
    if (!corresp.isEmpty() && corresp.value("ID_ENDERECO").toLongLong() != 0) {
        corresp.cancel();
        corresp.remove();
        if (!m_jx.apply(corresp, 0, false)) {
            // Refused: the address stays as it is, on screen and in the table.
            corresp.cancelUpdates();
            return;
        }
    } else {
        corresp.cancelUpdates();
    }
    // The request must not keep naming a row that is gone; the request's save stores this.
    RecordSet& request = *m_jx.cdsSolicitacaoIE;
    if (!request.isEmpty() && !request.value("ID_ENDERECO_CORRESPONDECIA").isNull())
        request.setValue("ID_ENDERECO_CORRESPONDECIA", QVariant());
    m_jx.openSet(corresp);
    corresp.append();
}

} // namespace jx

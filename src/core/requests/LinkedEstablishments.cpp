#include "requests/LinkedEstablishments.h"

#include "data/TdtmJX.h"
#include "platform/StateRegistrationCheck.h"
#include "platform/UserPrompts.h"
#include "text/DocumentChecks.h"

namespace jx {

using data::RecordSet;

LinkedEstablishments::LinkedEstablishments(TdtmJX& jx, UserPrompts& prompts)
    : m_jx(jx)
    , m_prompts(prompts)
{
}

RecordSet& LinkedEstablishments::registrations() const
{
    return *m_jx.cdsIE_Estab_Vinc;
}

RecordSet& LinkedEstablishments::cnpjs() const
{
    return *m_jx.cdsCNPJ_Estab_Vinc;
}

bool LinkedEstablishments::ieListEnabled() const
{
    const RecordSet& r = *m_jx.cdsSolicitacaoIE;
    return !r.isEmpty() && (r.value("VINCULO").isNull() || r.value("VINCULO").toInt() != 1);
}

bool LinkedEstablishments::cnpjListEnabled() const
{
    const RecordSet& r = *m_jx.cdsSolicitacaoIE;
    return !r.isEmpty() && r.text("INSCRICAO_UNICA") == QLatin1String("S");
}

void LinkedEstablishments::beginAddIe()
{
    registrations().append();
}

void LinkedEstablishments::beginAddCnpj()
{
    cnpjs().append();
}

void LinkedEstablishments::discardPending()
{
    registrations().cancelUpdates();
    cnpjs().cancelUpdates();
}

bool LinkedEstablishments::store(RecordSet& set)
{
    set.post();
    if (!m_jx.apply(set, 0, false)) {
        set.cancelUpdates(); // the typed number stays in the dialog; a new Salvar starts afresh
        return false;
    }
    m_jx.openSet(set);
    return true;
}

LinkedEstablishments::Result LinkedEstablishments::addIe(const QString& typed, const StateRegistrationCheck& check)
{
    const QString ie = typed.trimmed();
    if (ie.isEmpty())
        return { kIeRequired };
    if (!check.isValid(ie, QStringLiteral("QZ")))
        return { kIeInvalid };
    const RecordSet& request = *m_jx.cdsSolicitacaoIE;
    if (ie == request.text("MATRIZ_IE").trimmed())
        return { kIeIsTheRequests };
    const QVariant id = request.value("ID_SOLICITACAO");
    m_jx.selectIntoGeral(
        QStringLiteral("SELECT * FROM SOLICITACAO_IE_VINCULADO WHERE IE = :IE AND ID_SOLICITACAO = :ID"),
        { { QStringLiteral("IE"), ie }, { QStringLiteral("ID"), id } });
    if (!m_jx.cdsGeral->isEmpty())
        return { kIeRepeated, true };
    RecordSet& set = registrations();
    if (set.state() != RecordSet::State::Insert)
        set.append();
    set.setValue("ID_SOLICITACAO", id);
    set.setValue("IE", ie);
    if (!store(set))
        return { {}, false, true };
    return {};
}

LinkedEstablishments::Result LinkedEstablishments::addCnpj(const QString& typed)
{
    const QString cnpj = typed.trimmed();
    if (cnpj.isEmpty())
        return { kCnpjRequired };
    if (!docs::cnpjIsValid(cnpj))
        return { kCnpjInvalid };
    const RecordSet& request = *m_jx.cdsSolicitacaoIE;
    const QString own = request.text("CNPJ");
    if (cnpj == own)
        return { kCnpjIsTheRequests };
    if (cnpj.left(8) != own.left(8))
        return { kCnpjOtherRoot };
    const QVariant id = request.value("ID_SOLICITACAO");
    m_jx.selectIntoGeral(QStringLiteral("SELECT * FROM SOLICITACAO_CNPJ_VINCULADO WHERE CNPJ_NUCLEO = :N AND "
                                        "CNPJ_FILIAL = :F AND CNPJ_DV = :D AND ID_SOLICITACAO = :ID"),
        { { QStringLiteral("N"), cnpj.mid(0, 8) }, { QStringLiteral("F"), cnpj.mid(8, 4) },
            { QStringLiteral("D"), cnpj.mid(12, 2) }, { QStringLiteral("ID"), id } });
    if (!m_jx.cdsGeral->isEmpty())
        return { kCnpjRepeated, true };
    RecordSet& set = cnpjs();
    if (set.state() != RecordSet::State::Insert)
        set.append();
    set.setValue("ID_SOLICITACAO", id);
    set.setValue("CNPJ_NUCLEO", cnpj.mid(0, 8));
    set.setValue("CNPJ_FILIAL", cnpj.mid(8, 4));
    set.setValue("CNPJ_DV", cnpj.mid(12, 2));
    if (!store(set))
        return { {}, false, true };
    return {};
}

bool LinkedEstablishments::remove(RecordSet& set, const QString& question, const QString& done)
{
    if (set.isEmpty() || !m_prompts.warnYesNo(question))
        return false;
    set.remove();
    // Applied directly, without the conflict loop.
    if (!m_jx.apply(set, -1, false)) {
        set.cancelUpdates(); // the row stays, in the list and in the table
        return false;
    }
    m_prompts.information(done);
    return true;
}

bool LinkedEstablishments::removeIe()
{
    return remove(registrations(), kDeleteIeQuestion, kIeDeleted);
}

bool LinkedEstablishments::removeCnpj()
{
    return remove(cnpjs(), kDeleteCnpjQuestion, kCnpjDeleted);
}

} // namespace jx

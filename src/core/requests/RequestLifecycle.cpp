#include "requests/RequestLifecycle.h"

#include "Error.h"
#include "data/TdtmJX.h"
#include "platform/StateRegistrationCheck.h"
#include "platform/UserPrompts.h"
#include "db/Sqlite.h"
#include "text/DocumentChecks.h"
#include "text/Masks.h"
#include "text/TextUtils.h"
#include "verification/Verification.h"

#include <QDateTime>

namespace jx {

using data::RecordSet;

RequestLifecycle::RequestLifecycle(TdtmJX& jx, UserPrompts& prompts)
    : m_jx(jx)
    , m_prompts(prompts)
    , m_addresses(jx)
{
}

void RequestLifecycle::editOrAppend(RecordSet& set)
{
    if (set.isEmpty())
        set.append();
    else
        set.edit();
}

RequestLifecycle::Confirmation RequestLifecycle::confirmNewRequest(const QString& cnpj, const QString& matrizIe,
    const std::function<ExistingAnswer()>& askExisting, const StateRegistrationCheck& registrationCheck)
{
    Confirmation result;
    if (cnpj.trimmed().isEmpty()) {
        m_prompts.error(kCnpjRequired);
        result.focus = Field::Cnpj;
        return result;
    }
    if (!docs::cnpjIsValid(cnpj)) {
        m_prompts.error(kCnpjInvalid);
        result.focus = Field::Cnpj;
        return result;
    }
    if (!matrizIe.trimmed().isEmpty() && !registrationCheck.isValid(matrizIe, QStringLiteral("QZ"))) {
        m_prompts.error(kMatrizInvalid);
        result.focus = Field::MatrizIe;
        return result;
    }

    db::Transaction transaction(m_jx.database().connection());
    RecordSet& requests = *m_jx.cdsSolicitacaoIE;
    m_jx.selectIntoGeral(QStringLiteral("SELECT * FROM SOLICITACAO_IE S WHERE S.CNPJ = :CNPJ ORDER BY ID_SOLICITACAO"),
        { { QStringLiteral("CNPJ"), cnpj } });
    if (!m_jx.cdsGeral->isEmpty()) {
        if (askExisting() != ExistingAnswer::Edit) {
            requests.cancelUpdates();
            result.outcome = Confirmation::Outcome::Cancelled;
            return result; // the guard rolls back
        }
        requests.clearSort();
        if (!requests.locate("ID_SOLICITACAO", m_jx.cdsGeral->value("ID_SOLICITACAO")))
            throw Error(QStringLiteral("A Solicitação de Inscrição Estadual do CNPJ %1 não foi encontrada.")
                            .arg(masks::apply(cnpj, masks::kCnpjDisplay)));
        requests.edit();
        editDetails();
    } else {
        requests.append();
        requests.setValue("IND_LIVROS_FISCAIS", "N");
        requests.setValue("SUBSTITUTO_TRIBUTARIO", "N");
        requests.setValue("INSCRICAO_UNICA", "N");
        requests.setValue("LOCALIZACAO", 1);
        requests.setValue("DATACRIACAO", QDateTime::currentDateTime());
        requests.setValue("CNPJ", cnpj);
        requests.post();
        // A plain send: the row must exist before its details point at it. A refused row
        // (database held elsewhere, read-only) stops here: the dialog stays open and no
        // other request is touched.
        if (!m_jx.apply(requests, -1, false)) {
            requests.cancelUpdates();
            result.focus = Field::Cnpj;
            return result; // the guard rolls back
        }
        // The send wrote the new key into the row, which is still the current one; the
        // detail sets were opened while it had none.
        try {
            m_jx.openRequestDetails();
        } catch (...) {
            // The inserted row goes with the rollback: the set must not keep it.
            transaction.rollback();
            m_jx.reopenAt(*m_jx.cdsSolicitacaoIE, {});
            throw;
        }
        requests.edit();
        for (RecordSet* set : { m_jx.cdsSolicitacaoIEComun, m_jx.cdsSolicIEEndCorresp, m_jx.cdsSolicIEEndEstab }) {
            set->cancelUpdates();
            set->append();
        }
        requests.setValue("VINCULO", 1);
        if (!matrizIe.trimmed().isEmpty()) {
            requests.setValue("MATRIZ_IE", matrizIe);
            requests.setValue("CATEGORIA", 3);
        } else {
            requests.setValue("CATEGORIA", 1);
        }
        result.created = true;
    }
    m_jx.openSet(*m_jx.cdsSolicitacao_IE_Socio);
    m_jx.openSet(*m_jx.cdsSolicitacao_IE_Responsavel);
    // The form's save commits it, its cancel rolls it back.
    transaction.release();
    result.outcome = Confirmation::Outcome::Opened;
    return result;
}

void RequestLifecycle::editDetails()
{
    for (RecordSet* set : { m_jx.cdsSolicitacaoIEComun, m_jx.cdsSolicIEEndCorresp, m_jx.cdsSolicIEEndEstab }) {
        // Rows never stored (the correspondence copy that PreencherCorrespondencia shows after
        // a save) must not be saved as if the user had typed them.
        set->cancelUpdates();
        editOrAppend(*set);
    }
}

void RequestLifecycle::beginEdit()
{
    if (m_jx.cdsSolicitacaoIE->isEmpty())
        throw Error(QStringLiteral("Não há Solicitação de Inscrição Estadual para editar."));
    db::Transaction transaction(m_jx.database().connection());
    m_jx.cdsSolicitacaoIE->edit();
    editDetails();
    transaction.release();
}

RequestLifecycle::SaveResult RequestLifecycle::save(const DateTexts& dates, const std::function<void()>& showPendings)
{
    RecordSet& r = *m_jx.cdsSolicitacaoIE;
    SaveResult result;
    const struct {
        const QString* text;
        const char* column;
        Field field;
    } typed[] = { { &dates.dataInicioAtividade, "DATA_INICIO_ATIVIDADE", Field::DataInicioAtividade },
        { &dates.processoDataInicio, "PROCESSO_DATA_INICIO", Field::ProcessoDataInicio },
        { &dates.processoDataFim, "PROCESSO_DATA_FIM", Field::ProcessoDataFim } };
    for (const auto& d : typed) {
        QString compact = *d.text;
        compact.remove(u'/');
        if (compact.trimmed().isEmpty())
            continue;
        if (!docs::dateIsValid(*d.text)) {
            m_prompts.error(kInvalidDate);
            result.focus = d.field;
            return result;
        }
    }
    for (const auto& d : typed) {
        QString compact = *d.text;
        compact.remove(u'/');
        r.setValue(QLatin1String(d.column),
            compact.trimmed().isEmpty() ? QVariant()
                                        : QVariant(QDate::fromString(*d.text, QStringLiteral("dd/MM/yyyy"))));
    }

    RecordSet& estab = *m_jx.cdsSolicIEEndEstab;
    if (estab.isEmpty() || estab.value("CEP").toString().trimmed().isEmpty()) {
        m_prompts.error(kAddressRequired);
        return result;
    }
    const QString dae = r.value("NUMERO_DAE").toString();
    if (!dae.trimmed().isEmpty())
        r.setValue("NUMERO_DAE", text::zeroFilledDae(dae));

    Verification verification(m_jx);
    if (m_today.isValid())
        verification.setToday(m_today);
    r.setValue("STATUS", verification.ApurarPendencias(1) ? "C" : "I");
    if (m_jx.cdsPendecias->count() > 0 && m_prompts.warnYesNo(kPendingQuestion) && showPendings)
        showPendings();

    // Each step needs the rows of the one before: a refused row stops the save, the form
    // stays open with its transaction, and nothing is committed.
    auto refused = [this, &result] {
        // Blank rows dropped on the way must be back for the user's typing.
        for (RecordSet* set : { m_jx.cdsSolicitacaoIEComun, m_jx.cdsSolicIEEndCorresp })
            if (set->isEmpty() && !set->hasPending()) // an owed deletion stays owed
                set->append();
        return result;
    };
    if (!m_addresses.GravarComunicacao(Addresses::Owner::Establishment)
        || !m_addresses.GravarEndereco(Addresses::Owner::Establishment)
        || !m_addresses.GravarEndereco(Addresses::Owner::Correspondence))
        return refused();
    r.setValue("DATASOLICITACAOIE", QDateTime::currentDateTime());
    r.post();
    if (!m_jx.apply(r, 0, false))
        return refused();

    // The row in memory is what was just written (its key included), so the set is not
    // read again: a save costs the same with ten or ten thousand requests.
    r.clearSort();
    m_jx.database().commitTransaction();
    m_addresses.PreencherCorrespondencia();
    result.saved = true;
    return result;
}

bool RequestLifecycle::cancel()
{
    if (!m_prompts.warnYesNo(kCancelQuestion))
        return false;
    abandon();
    return true;
}

void RequestLifecycle::abandon()
{
    const QVariant id = m_jx.cdsSolicitacaoIE->value("ID_SOLICITACAO");
    for (RecordSet* set : { m_jx.cdsSolicitacaoIE, m_jx.cdsSolicitacao_IE_Responsavel, m_jx.cdsSolicitacao_IE_Socio,
             m_jx.cdsSolicitacaoIEComun, m_jx.cdsSolicIEEndCorresp, m_jx.cdsSolicIEEndEstab })
        set->cancelUpdates();
    m_jx.database().rollbackTransaction();
    m_jx.reopenAt(*m_jx.cdsSolicitacaoIE, id);
}

bool RequestLifecycle::deleteCurrent()
{
    RecordSet& r = *m_jx.cdsSolicitacaoIE;
    if (r.isEmpty())
        return false;
    // A transaction left open by an operation that never ended would be committed by this
    // one: refuse rather than write someone else's half-done work.
    if (m_jx.database().inTransaction())
        throw Error(kDeleteFailed);
    if (!m_prompts.confirmYesNo(kDeleteQuestion))
        return false;
    const QVariant id = r.value("ID_SOLICITACAO");
    try {
        db::Transaction transaction(m_jx.database().connection());
        auto removeAll = [this](RecordSet& set) {
            set.cancelUpdates();
            while (!set.isEmpty())
                set.remove();
            if (!m_jx.apply(set, 0, false))
                throw Error(kDeleteFailed);
        };
        // Discarding changes keeps the cursor: the request deleted is the one selected.
        r.cancelUpdates();
        if (r.value("ID_SOLICITACAO") != id)
            throw Error(kDeleteFailed);
        removeAll(*m_jx.cdsSolicIEEndCorresp);
        removeAll(*m_jx.cdsSolicIEEndEstab);
        removeAll(*m_jx.cdsSolicitacaoIEComun);
        for (RecordSet* owners : { m_jx.cdsSolicitacao_IE_Responsavel, m_jx.cdsSolicitacao_IE_Socio }) {
            RecordSet& contact = owners == m_jx.cdsSolicitacao_IE_Socio ? *m_jx.cdsIESocioCom : *m_jx.cdsIERespCom;
            RecordSet& address = owners == m_jx.cdsSolicitacao_IE_Socio ? *m_jx.cdsIESocioEnd : *m_jx.cdsIERespEnd;
            owners->cancelUpdates();
            while (!owners->isEmpty()) {
                owners->first(); // its contact and address are the current person's
                removeAll(contact);
                removeAll(address);
                owners->remove();
                if (!m_jx.apply(*owners, 0, false))
                    throw Error(kDeleteFailed);
            }
        }
        removeAll(*m_jx.cdsCNPJ_Estab_Vinc);
        removeAll(*m_jx.cdsIE_Estab_Vinc);
        m_jx.selectDeliveriesOfRequest(id.toLongLong());
        removeAll(*m_jx.cdsEntregas);
        r.remove();
        if (!m_jx.apply(r, 0, false))
            throw Error(kDeleteFailed);
        transaction.commit();
    } catch (const ProgramEnd&) {
        throw;
    } catch (...) {
        // The guard has rolled back; the sets show the table again.
        m_jx.reopenAt(*m_jx.cdsSolicitacaoIE, id);
        throw Error(kDeleteFailed);
    }
    return true;
}

} // namespace jx

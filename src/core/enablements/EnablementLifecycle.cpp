#include "enablements/EnablementLifecycle.h"

#include "Error.h"
#include "data/TdtmJX.h"
#include "db/Sqlite.h"
#include "platform/UserPrompts.h"
#include "requests/RequestLifecycle.h"
#include "text/DocumentChecks.h"
#include "verification/Verification.h"

#include <QDateTime>

namespace jx {

using data::RecordSet;

namespace {

bool blankDate(const QString& text)
{
    QString compact = text;
    compact.remove(u'/');
    return compact.trimmed().isEmpty();
}

} // namespace

EnablementLifecycle::EnablementLifecycle(TdtmJX& jx, UserPrompts& prompts)
    : m_jx(jx)
    , m_prompts(prompts)
    , m_addresses(jx)
{
}

QString EnablementLifecycle::requiredText(const QString& label)
{
    return QStringLiteral("O campo ") + label + QStringLiteral(" deve ser preenchido!");
}

bool EnablementLifecycle::beginNew()
{
    m_jx.TipoAtual = 0;
    RecordSet& e = *m_jx.cdsSolicitacao_Contab;
    try {
        db::Transaction transaction(m_jx.database().connection());
        e.append();
        e.setValue("DATACRIACAO", QDateTime::currentDateTime());
        e.setValue("TIPO_SOLICITACAO_CONTAB", 1);
        // The new row has no links yet: its contact and address are new rows too.
        for (RecordSet* set : { m_jx.cdsSolicitacao_Contab_Com, m_jx.cdsSolicitacao_Contab_End }) {
            set->cancelUpdates();
            set->append();
        }
        transaction.release(); // the form's save commits it, its cancel rolls it back
    } catch (const ProgramEnd&) {
        throw;
    } catch (const std::exception& failure) {
        const Error* known = dynamic_cast<const Error*>(&failure);
        abandon();
        m_prompts.message(known ? known->userText() : QString::fromLocal8Bit(failure.what()));
        return false;
    }
    return true;
}

void EnablementLifecycle::beginEdit()
{
    RecordSet& e = *m_jx.cdsSolicitacao_Contab;
    if (e.isEmpty())
        throw Error(QStringLiteral("Não há Habilitação de Contabilista para editar."));
    m_jx.TipoAtual = 0;
    try {
        db::Transaction transaction(m_jx.database().connection());
        e.edit();
        for (RecordSet* set : { m_jx.cdsSolicitacao_Contab_Com, m_jx.cdsSolicitacao_Contab_End }) {
            set->cancelUpdates();
            if (set->isEmpty())
                set->append();
            else
                set->edit();
        }
        transaction.release();
    } catch (...) {
        abandon(); // no row left in editing without its transaction
        throw;
    }
}

bool EnablementLifecycle::identificationTaken(const QString& identification)
{
    RecordSet& e = *m_jx.cdsSolicitacao_Contab;
    const QVariant id = e.value("ID_SOLICITACAO_CONTABILISTA");
    // The text alone decides; a new row has no key and so no row to leave out.
    m_jx.selectIntoGeral(QStringLiteral("SELECT ID_SOLICITACAO_CONTABILISTA FROM SOLICITACAO_CONTAB WHERE "
                                        "IDENTIFICACAO = :IDENT AND ID_SOLICITACAO_CONTABILISTA <> :ID"),
        { { QStringLiteral("IDENT"), identification },
            { QStringLiteral("ID"), id.isNull() ? QVariant(qint64(-1)) : id } });
    return !m_jx.cdsGeral->isEmpty();
}

EnablementLifecycle::SaveResult EnablementLifecycle::save(
    const QString& birthDate, const std::function<void()>& showPendings)
{
    RecordSet& e = *m_jx.cdsSolicitacao_Contab;
    SaveResult result;
    const QString identification = e.value("IDENTIFICACAO").toString();
    if (!identification.trimmed().isEmpty() && identificationTaken(identification)) {
        m_prompts.error(kDuplicate);
        return result;
    }
    if (!blankDate(birthDate) && !docs::dateIsValid(birthDate)) {
        m_prompts.error(kInvalidDate);
        result.focus = Field::DataNascimento;
        return result;
    }
    e.setValue("DATANACRESP",
        blankDate(birthDate) ? QVariant() : QVariant(QDate::fromString(birthDate, QStringLiteral("dd/MM/yyyy"))));
    if (e.value("TIPO_IDENTIFICACAO").toString().trimmed().isEmpty()) {
        m_prompts.error(requiredText(QStringLiteral("Tipo de Identificação")));
        result.focus = Field::TipoIdentificacao;
        return result;
    }
    if (identification.trimmed().isEmpty()) {
        m_prompts.error(requiredText(QStringLiteral("Identificação")));
        result.focus = Field::Identificacao;
        return result;
    }
    RecordSet& address = *m_jx.cdsSolicitacao_Contab_End;
    if (address.isEmpty() || address.value("CEP").toString().trimmed().isEmpty()) {
        m_prompts.error(kAddressRequired);
        return result;
    }

    Verification verification(m_jx);
    if (m_today.isValid())
        verification.setToday(m_today);
    const bool clean = verification.ApurarPendencias(0);
    e.setValue("STATUS", clean ? "C" : "I");
    if (!clean && m_prompts.warnYesNo(kPendingQuestion) && showPendings)
        showPendings();

    // Each step needs the rows of the one before: a refused row stops the save, the form
    // stays open with its transaction, and nothing is committed.
    auto refused = [this, &result] {
        // The blank contact row dropped on the way must be back for the user's typing.
        RecordSet& contact = *m_jx.cdsSolicitacao_Contab_Com;
        if (contact.isEmpty() && !contact.hasPending())
            contact.append();
        return result;
    };
    if (!m_addresses.GravarComunicacao(Addresses::Owner::Enablement)
        || !m_addresses.GravarEndereco(Addresses::Owner::Enablement))
        return refused();
    e.setValue("DATAHABILITACAOCONTABILISTA", QDateTime::currentDateTime());
    e.post();
    if (!m_jx.apply(e, 0, false))
        return refused();
    m_jx.database().commitTransaction();
    m_jx.reopenAt(e, e.value("ID_SOLICITACAO_CONTABILISTA"));
    result.saved = true;
    return result;
}

bool EnablementLifecycle::cancel()
{
    if (!m_prompts.warnYesNo(RequestLifecycle::kCancelQuestion))
        return false;
    abandon();
    return true;
}

void EnablementLifecycle::abandon()
{
    const QVariant id = m_jx.cdsSolicitacao_Contab->value("ID_SOLICITACAO_CONTABILISTA");
    for (RecordSet* set : { m_jx.cdsSolicitacao_Contab, m_jx.cdsSolicitacao_Contab_Com, m_jx.cdsSolicitacao_Contab_End })
        set->cancelUpdates();
    m_addresses.discardScratch();
    if (m_jx.database().inTransaction())
        m_jx.database().rollbackTransaction();
    m_jx.reopenAt(*m_jx.cdsSolicitacao_Contab, id);
}

bool EnablementLifecycle::deleteCurrent()
{
    RecordSet& e = *m_jx.cdsSolicitacao_Contab;
    if (e.isEmpty())
        return false;
    // A transaction left open by an operation that never ended would be committed by this
    // one: refuse rather than write someone else's half-done work.
    if (m_jx.database().inTransaction()) {
        m_prompts.error(kDeleteRefused);
        return false;
    }
    if (!m_prompts.warnYesNo(kDeleteQuestion))
        return false;
    const QVariant id = e.value("ID_SOLICITACAO_CONTABILISTA");
    bool done = false;
    try {
        db::Transaction transaction(m_jx.database().connection());
        auto removeAll = [this](RecordSet& set) {
            set.cancelUpdates();
            while (!set.isEmpty())
                set.remove();
            return m_jx.apply(set, 0, false);
        };
        // Discarding changes keeps the cursor: the enablement deleted is the one selected.
        e.cancelUpdates();
        if (e.value("ID_SOLICITACAO_CONTABILISTA") == id && removeAll(*m_jx.cdsSolicitacao_Contab_Com)
            && removeAll(*m_jx.cdsSolicitacao_Contab_End)) {
            m_jx.selectDeliveriesOfEnablement(id.toLongLong());
            if (removeAll(*m_jx.cdsEntregas)) {
                e.remove();
                if (m_jx.apply(e, 0, false)) {
                    transaction.commit();
                    done = true;
                }
            }
        }
    } catch (...) {
        m_jx.reopenAt(e, id); // rolled back by the guard: the sets show the table again
        throw;
    }
    // A refusal on the way: the guard rolled back, the apply step has reported it.
    if (!done)
        m_jx.reopenAt(e, id); // the sets show the table again
    return done;
}

} // namespace jx

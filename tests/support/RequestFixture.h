#pragma once

#include "data/TdtmJX.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"
#include "platform/StateRegistrationCheck.h"
#include "requests/RequestLifecycle.h"

#include <gtest/gtest.h>

#include "TestDatabase.h"

// Readable failures: texts printed as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace jxtest {

using jx::data::RecordSet;
using jx::RequestLifecycle;

// Requests created and saved through the lifecycle on a fresh program folder.
class RequestFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Tests about something else save half-filled requests: the offer to see the
        // pending items is declined wherever it comes.
        m_prompts.answerAlways(jx::ScriptedPrompts::Kind::YesNo, RequestLifecycle::kPendingQuestion, false);
        m_db = std::make_unique<jx::TdtmDB>(m_folder.path(), m_prompts, [this] { ++m_ended; });
        m_jx = std::make_unique<jx::TdtmJX>(
            *m_db, m_prompts, [this] { ++m_ended; }, m_folder.path());
        m_life = std::make_unique<RequestLifecycle>(*m_jx, m_prompts);
    }

    qint64 count(const QString& sql)
    {
        jx::db::Connection c;
        c.open(m_folder.databasePath(), jx::db::kDatabaseKey);
        jx::db::Statement s = c.prepare(sql);
        s.step();
        return s.int64(0);
    }

    RequestLifecycle::Confirmation create(const QString& cnpj, const QString& ie = {},
        RequestLifecycle::ExistingAnswer answer = RequestLifecycle::ExistingAnswer::Edit)
    {
        return m_life->confirmNewRequest(
            cnpj, ie, [answer] { return answer; }, m_check);
    }

    // A complete establishment address typed into the request's address set.
    void typeAddress(RecordSet& address)
    {
        address.setValue("CEP", "70000123");
        address.setValue("ID_UF", 10);
        address.setValue("LOCALIDADE", "CIDADE");
        address.setValue("TIPO_LOGRADOURO", 1);
        address.setValue("LOGRADOURO", "DAS FLORES");
    }

    // What every request needs whatever its category: revenue, regime, form of trade and an
    // activity without desmembramentos, CAE or linked-CNPJ requirement.
    void typeActivityEssentials()
    {
        RecordSet& r = *m_jx->cdsSolicitacaoIE;
        r.setValue("RECEITA_BRUTA", "1000");
        r.setValue("ID_REGIME_RECOLHIMENTO", 3);
        RecordSet& forms = *m_jx->cdsForma_Comercializacao;
        r.setValue("ID_FORMA_COMERCIALIZACAO", forms.valueAt(0, forms.fieldIndex("CODIGO")));
        jx::db::Statement s = m_db->connection().prepare(
            "SELECT ID_CNAEF FROM CNAEF P WHERE length(trim(COD_FORMATADO)) = 9 AND INFORMA_CNPJ_VINC <> 'S' AND NOT "
            "EXISTS (SELECT 1 FROM CNAEF D WHERE D.COD_TIPO = 6 AND D.COD_CNAEF_SUPERIOR = CAST(P.ID_CNAEF AS "
            "INTEGER)) AND NOT EXISTS (SELECT 1 FROM CNAEF_CAE L WHERE L.ID_CNAEF = P.ID_CNAEF) LIMIT 1");
        ASSERT_TRUE(s.step());
        r.setValue("ID_CNAEF_PRINCIPAL", s.value(0));
    }

    RequestLifecycle::SaveResult save() { return m_life->save({ "  /  /    ", "", "  /  /    " }); }

    TestProgramFolder m_folder;
    jx::ScriptedPrompts m_prompts;
    jx::StateRegistrationCheck m_check { JX_INSCE_LIBRARY };
    int m_ended = 0;
    std::unique_ptr<jx::TdtmDB> m_db;
    std::unique_ptr<jx::TdtmJX> m_jx;
    std::unique_ptr<RequestLifecycle> m_life;
};


} // namespace jxtest

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

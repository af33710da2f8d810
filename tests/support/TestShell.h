#pragma once

#include "Commands.h"
#include "BackupWindows.h"
#include "ReportWindows.h"
#include "DeliveryWindows.h"
#include "EnablementWindows.h"
#include "PendingCommands.h"
#include "RequestWindows.h"
#include "Startup.h"
#include "data/TdtmJX.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"
#include "enablements/EnablementLifecycle.h"
#include "requests/RequestLifecycle.h"

#include <QTemporaryDir>

#include "TestDatabase.h"

namespace jxtest {

// The program started headless on a fresh program folder, with scripted prompts and no
// splash wait. start() runs the start-up sequence.
struct TestShell {
    TestProgramFolder folder;
    QTemporaryDir locks;
    jx::ScriptedPrompts prompts;
    std::unique_ptr<jx::gui::Startup> startup;

    bool start()
    {
        // Tests about something else save half-filled requests: the offer to see the
        // pending items is declined wherever it comes.
        prompts.answerAlways(jx::ScriptedPrompts::Kind::YesNo, jx::RequestLifecycle::kPendingQuestion, false);
        prompts.answerAlways(jx::ScriptedPrompts::Kind::YesNo, jx::EnablementLifecycle::kPendingQuestion, false);
        startup = std::make_unique<jx::gui::Startup>(
            jx::gui::Startup::Options { folder.path(), locks.path(), 0, &prompts });
        return startup->start();
    }
    jx::TdtmJX& jx() { return *startup->dataModule(); }
    jx::gui::RequestWindows& windows() { return *startup->requestWindows(); }
    jx::gui::Commands& commands() { return *startup->commands(); }
    jx::gui::EnablementWindows& enablements() { return *startup->enablementWindows(); }
    jx::gui::PendingCommands& pending() { return *startup->pendingCommands(); }
    jx::gui::DeliveryWindows& deliveries() { return *startup->deliveryWindows(); }
    jx::gui::BackupWindows& backups() { return *startup->backupWindows(); }
    jx::gui::ReportWindows& reports() { return *startup->reportWindows(); }

    // One number read with a connection of its own (committed data only).
    qint64 count(const QString& sql)
    {
        jx::db::Connection c;
        c.open(folder.databasePath(), jx::db::kDatabaseKey);
        jx::db::Statement s = c.prepare(sql);
        s.step();
        return s.int64(0);
    }
};

} // namespace jxtest

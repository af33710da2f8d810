#include "Startup.h"

#include "Binders.h"
#include "Commands.h"
#include "BackupWindows.h"
#include "ReportWindows.h"
#include "DeliveryWindows.h"
#include "EnablementWindows.h"
#include "PendingCommands.h"
#include "RequestWindows.h"
#include "TFrmPrincipal.h"
#include "THelpWindow.h"
#include "TscrUntSobre.h"
#include "TscrUntSplash.h"
#include "backup/DatabaseCopy.h"
#include "config/ProgramVersion.h"
#include "data/TdtmJX.h"
#include "db/TdtmDB.h"
#include "platform/UserPrompts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include <cstdlib>

namespace jx::gui {

Startup::Startup(Options options)
    : m_options(std::move(options))
{
}

Startup::~Startup()
{
    // The main window first, then the data module (closing its sets and the log), then the
    // connection.
    m_main.reset();
    m_requests.reset();
    m_backups.reset();
    m_reports.reset();
    m_deliveries.reset();
    delete m_help.data();
    bind::setErrorSink({});
    m_commands.reset();
    m_jx.reset();
    m_db.reset();
}

THelpWindow* Startup::helpWindow() const
{
    return m_help.data();
}

void Startup::showHelp(int topic)
{
    QWidget* owner = Commands::activeWindow();
    if (owner && owner == m_help.data())
        owner = m_help->parentWidget();
    if (!owner)
        owner = m_main.get();
    // A window that is not a child of the modal window in front would take no input.
    if (m_help && m_help->parentWidget() != owner) {
        m_help->hide();
        m_help->deleteLater();
        m_help = nullptr;
    }
    if (!m_help)
        m_help = new THelpWindow(owner);
    const bool modal = owner && (owner->isModal() || QApplication::activeModalWidget() == owner);
    if (m_help->isVisible() && (m_help->windowModality() != Qt::NonModal) != modal)
        m_help->hide();
    m_help->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    m_help->showTopic(topic);
}

int Startup::splashWaitFromEnvironment()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("JX_SPLASH_MS", &ok);
    return ok && ms >= 0 ? ms : 5000;
}

bool Startup::start()
{
    UserPrompts& prompts = *m_options.prompts;

    QDir().mkpath(m_options.lockFolder);
    m_lock = std::make_unique<QLockFile>(QDir(m_options.lockFolder).filePath(QStringLiteral("JX")));
    // Never stale by age; a lock whose process is gone (a crashed run) is taken over.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        prompts.error(kAlreadyRunning);
        return false;
    }

    {
        TscrUntSplash splash(version::splashText(version::compiledIn()));
        splash.showCentred();
        m_splashShown = true;
        QApplication::processEvents();
        QThread::msleep(unsigned(std::max(0, m_options.splashMs)));

        // After start-up, ending the program means leaving the process.
        const TerminationHook endNow = [] { std::exit(1); };
        bool starting = true;
        const TerminationHook terminate = [&starting, endNow] {
            if (!starting)
                endNow();
        };
        // What a killed database restore left beside the file (a full staging copy each time);
        // before the connection opens, so that no descriptor of ours on the file is closed while
        // the engine holds a lock through another.
        dbcopy::removeStaleStaging(dbcopy::databaseFile(m_options.programFolder));
        try {
            m_db = std::make_unique<TdtmDB>(m_options.programFolder, prompts, terminate);
        } catch (const ProgramEnd&) {
            return false;
        }
        starting = false;
        QElapsedTimer opening;
        opening.start();
        m_jx = std::make_unique<TdtmJX>(*m_db, prompts, endNow, m_options.programFolder);
        m_dataModuleOpenNs = opening.nsecsElapsed();
        m_commands = std::make_unique<Commands>();
        m_commands->showHelp = [this](int topic) { showHelp(topic); };
        bind::setErrorSink([&prompts](const QString& text) { prompts.error(text); });
        m_commands->showAbout = [this] {
            TscrUntSobre about(m_jx->Config, QApplication::activeWindow());
            about.exec();
        };
        m_pending = std::make_unique<PendingCommands>(*m_commands, *m_jx, prompts);
        m_requests = std::make_unique<RequestWindows>(*m_commands, *m_jx, prompts, *m_pending);
        m_enablements = std::make_unique<EnablementWindows>(*m_commands, *m_jx, prompts, *m_pending);
        m_deliveries = std::make_unique<DeliveryWindows>(*m_commands, *m_jx, prompts, m_options.programFolder);
        m_backups = std::make_unique<BackupWindows>(*m_commands, *m_jx, prompts, m_options.programFolder);
        m_reports = std::make_unique<ReportWindows>(*m_commands, *m_jx, prompts);
        m_main = std::make_unique<TFrmPrincipal>(*m_commands, m_jx->Config, prompts, m_options.programFolder);
        m_main->showMaximized();
        splash.hide();
    }
    return true;
}

} // namespace jx::gui

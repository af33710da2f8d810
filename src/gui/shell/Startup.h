#pragma once

#include <QLockFile>
#include <QPointer>
#include <QString>

#include <memory>

namespace jx {
class TdtmDB;
class TdtmJX;
class UserPrompts;
} // namespace jx

namespace jx::gui {

class Commands;
class THelpWindow;
class TFrmPrincipal;
class TFrmAguarde;
class RequestWindows;
class EnablementWindows;
class DeliveryWindows;
class BackupWindows;
class ReportWindows;
class PendingCommands;

// The start-up sequence: single-instance guard, splash, database module, data module,
// main window. Holds what it created for the whole run.
class Startup {
public:
    struct Options {
        QString programFolder;
        QString lockFolder; // where the "JX" lock lives: the user's runtime folder
        int splashMs = 5000; // shortened only by the JX_SPLASH_MS setting (tests, benchmarks)
        UserPrompts* prompts = nullptr;
    };

    explicit Startup(Options options);
    ~Startup();

    // Runs the steps; false when the program must end (the user has been told why).
    bool start();

    bool splashShown() const { return m_splashShown; }
    TdtmDB* database() const { return m_db.get(); }
    TdtmJX* dataModule() const { return m_jx.get(); }
    TFrmPrincipal* mainWindow() const { return m_main.get(); }
    Commands* commands() const { return m_commands.get(); }
    THelpWindow* helpWindow() const;
    RequestWindows* requestWindows() const { return m_requests.get(); }
    EnablementWindows* enablementWindows() const { return m_enablements.get(); }
    DeliveryWindows* deliveryWindows() const { return m_deliveries.get(); }
    BackupWindows* backupWindows() const { return m_backups.get(); }
    ReportWindows* reportWindows() const { return m_reports.get(); }
    PendingCommands* pendingCommands() const { return m_pending.get(); }
    // How long creating the data module took (opening its record sets and the log): the
    // start-up benchmark tells that part from the rest with it.
    qint64 dataModuleOpenNs() const { return m_dataModuleOpenNs; }

    // The splash wait: JX_SPLASH_MS when set (a test setting), else 5000 ms.
    static int splashWaitFromEnvironment();
    static inline const QString kAlreadyRunning = QStringLiteral("O programa já está sendo executado!");

private:
    void showHelp(int topic);

    Options m_options;
    std::unique_ptr<QLockFile> m_lock;
    bool m_splashShown = false;
    qint64 m_dataModuleOpenNs = 0;
    std::unique_ptr<TdtmDB> m_db;
    std::unique_ptr<TdtmJX> m_jx;
    std::unique_ptr<Commands> m_commands;
    // Owned by the window it was opened from, so that it works above a modal window.
    QPointer<THelpWindow> m_help;
    std::unique_ptr<PendingCommands> m_pending;
    std::unique_ptr<RequestWindows> m_requests;
    std::unique_ptr<EnablementWindows> m_enablements;
    std::unique_ptr<DeliveryWindows> m_deliveries;
    std::unique_ptr<BackupWindows> m_backups;
    std::unique_ptr<ReportWindows> m_reports;
    std::unique_ptr<TFrmPrincipal> m_main;
};

} // namespace jx::gui

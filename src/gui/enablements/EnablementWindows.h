#pragma once

#include <QObject>

#include <memory>

namespace jx {
class TdtmJX;
class EnablementLifecycle;
class UserPrompts;
} // namespace jx

namespace jx::gui {

class Commands;
class PendingCommands;

// Runs the enablement commands: the browser, the form for a new or a changed enablement,
// its address, deletion.
class EnablementWindows : public QObject {
    Q_OBJECT

public:
    EnablementWindows(
        Commands& commands, TdtmJX& jx, UserPrompts& prompts, PendingCommands& pending, QObject* parent = nullptr);
    ~EnablementWindows() override;

    EnablementLifecycle& lifecycle() { return *m_lifecycle; }

    void openBrowser();
    void newEnablement();
    void editEnablement();
    void deleteEnablement();
    void editAddress();

private:
    void openForm();

    Commands& m_commands;
    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    PendingCommands& m_pending;
    std::unique_ptr<EnablementLifecycle> m_lifecycle;
    bool m_browserOpen = false;
};

} // namespace jx::gui

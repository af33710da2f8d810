#pragma once

#include "TscruntBackup.h"

#include <QObject>
#include <QString>

#include <functional>

namespace jx {
class TdtmJX;
class UserPrompts;
} // namespace jx

namespace jx::gui {

class Commands;

// Runs the backup and restore commands: the window in either mode and its page commands.
class BackupWindows : public QObject {
    Q_OBJECT

public:
    BackupWindows(
        Commands& commands, TdtmJX& jx, UserPrompts& prompts, const QString& programFolder, QObject* parent = nullptr);

    void openWindow(TscruntBackup::Mode mode);

    // Given to every window opened from here (tests observe the end of the program).
    std::function<void()> endProgram;
    // Called with the window once it is shown, before the user acts (tests drive it from here).
    std::function<void(TscruntBackup&)> onShown;

private:
    Commands& m_commands;
    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    QString m_programFolder;
};

} // namespace jx::gui

#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QToolButton;
class QWidget;

namespace jx::gui {

// Every user command of the program as a QAction named after the system's command, made
// from the command table in one place. The generic commands act on the active window.
// Update rules run on a short timer while the program is idle.
class Commands : public QObject {
    Q_OBJECT

public:
    explicit Commands(QObject* parent = nullptr);

    QAction* action(const QString& name) const;
    const QHash<QString, QAction*>& all() const { return m_actions; }

    // A rule that decides whether the command is enabled; commands without a rule keep the
    // enabled state they were made with.
    void setUpdateRule(const QString& name, std::function<bool()> rule);
    void runUpdateRules();

    // The window the generic commands act on: the active modal window, else the active one.
    static QWidget* activeWindow();

    // What actAjuda and actSobre do; set by the shell.
    std::function<void(int topic)> showHelp;
    std::function<void()> showAbout;

private:
    QHash<QString, QAction*> m_actions;
    QHash<QString, std::function<bool()>> m_rules;
};

// A flat button showing a command (its caption beside its picture).
QToolButton* makeCommandButton(QWidget* parent, Commands& commands, const QString& name);

// A context-menu entry for a command whose shortcut another control of the window owns: it
// runs the command and follows its enabled state, but claims no key.
QAction* makeMenuEntry(QWidget* owner, Commands& commands, const QString& name);

// The help topic a window shows: its "helpTopic" property.
int helpTopicOf(const QWidget* window);

} // namespace jx::gui

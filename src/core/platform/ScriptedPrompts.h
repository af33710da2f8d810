#pragma once

#include "platform/UserPrompts.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace jx {

// UserPrompts answered from a script, for tests and for unattended runs. Each prompt must
// match the next expected one (kind and exact text); an unexpected prompt is recorded as
// a failure and answered with "no"/cancel, so nothing ever blocks.
class ScriptedPrompts : public UserPrompts {
public:
    enum class Kind { Error, Warning, Information, Message, YesNo, OkCancel, Folder, SaveFile };

    struct Prompt {
        Kind kind;
        QString text;
        bool yes = false; // answer to a confirmation
        QString folder; // answer to a folder choice
    };

    ScriptedPrompts& expectError(const QString& text);
    ScriptedPrompts& expectWarning(const QString& text);
    ScriptedPrompts& expectInformation(const QString& text);
    ScriptedPrompts& expectMessage(const QString& text);
    ScriptedPrompts& expectYesNo(const QString& text, bool yes);
    ScriptedPrompts& expectOkCancel(const QString& text, bool ok);
    // For a folder choice the text is the dialog's caption.
    ScriptedPrompts& expectFolder(const QString& caption, const QString& answer);
    // A save dialog, by its caption; an empty answer cancels.
    ScriptedPrompts& expectSaveFile(const QString& caption, const QString& answer);
    // A question that may come any number of times, between the expected ones, always
    // answered the same way (the pending-items offer of a save, in tests about something else).
    // Such answers are counted, not listed in shown().
    ScriptedPrompts& answerAlways(Kind kind, const QString& text, bool yes);

    void error(const QString& text) override;
    void warning(const QString& text) override;
    void information(const QString& text) override;
    void message(const QString& text) override;
    bool confirmYesNo(const QString& text) override;
    bool confirmOkCancel(const QString& text) override;
    QString chooseFolder(const QString& caption, const QString& startFolder) override;
    QString chooseSaveFile(const QString& caption, const QString& suggestedPath, const QString& filter) override;

    // Every prompt shown, in order, as "kind: text".
    const QStringList& shown() const { return m_shown; }
    int standingAnswers() const { return m_standingAnswers; }
    // Mismatches and unexpected prompts.
    const QStringList& failures() const { return m_failures; }
    // Expected prompts never shown.
    QStringList leftOver() const;
    bool allMet() const { return m_failures.isEmpty() && m_expected.empty(); }

    static QString kindName(Kind kind);

private:
    const Prompt* take(Kind kind, const QString& text);

    std::deque<Prompt> m_expected;
    std::vector<Prompt> m_standing;
    int m_standingAnswers = 0;
    Prompt m_current;
    QStringList m_shown;
    QStringList m_failures;
};

} // namespace jx

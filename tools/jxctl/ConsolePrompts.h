#pragma once

#include "platform/UserPrompts.h"

namespace jxctl {

// Prompts of an unattended run: messages go to standard error, questions are answered
// "no", folder choices are cancelled.
class ConsolePrompts : public jx::UserPrompts {
public:
    void error(const QString& text) override;
    void warning(const QString& text) override;
    void information(const QString& text) override;
    void message(const QString& text) override;
    bool confirmYesNo(const QString& text) override;
    bool confirmOkCancel(const QString& text) override;
    QString chooseFolder(const QString& caption, const QString& startFolder) override;
    QString chooseSaveFile(const QString& caption, const QString& suggestedPath, const QString& filter) override;

    bool errorShown() const { return m_errorShown; }
    // Errors, warnings, informations and messages shown so far.
    int shownCount() const { return m_shown; }

private:
    bool m_errorShown = false;
    int m_shown = 0;
};

} // namespace jxctl

#pragma once

#include <QString>

namespace jx {

// The one way in which the program speaks to the user: every message box, confirmation
// and folder choice passes here, so that tests can script the answers.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    virtual void error(const QString& text) = 0;
    virtual void warning(const QString& text) = 0;
    virtual void information(const QString& text) = 0;
    // A plain message box, without icon.
    virtual void message(const QString& text) = 0;
    // Confirmation box with Sim/Não: true for Sim.
    virtual bool confirmYesNo(const QString& text) = 0;
    // The same question in a warning box (Sim/Não).
    virtual bool warnYesNo(const QString& text) { return confirmYesNo(text); }
    // The same question in an information box (Sim/Não).
    virtual bool informYesNo(const QString& text) { return confirmYesNo(text); }
    // Confirmation box with OK/Cancelar: true for OK.
    virtual bool confirmOkCancel(const QString& text) = 0;
    // Folder dialog: the chosen folder, or empty when the user cancelled.
    virtual QString chooseFolder(const QString& caption, const QString& startFolder) = 0;
    // Save dialog: the chosen file's path, or empty when the user cancelled.
    virtual QString chooseSaveFile(const QString& caption, const QString& suggestedPath, const QString& filter) = 0;
};

} // namespace jx

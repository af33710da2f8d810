#pragma once

#include "platform/UserPrompts.h"

class QWidget;

namespace jx {

// The real UserPrompts: Qt message boxes and the folder dialog, captioned like the
// system's own boxes.
class QtPrompts : public UserPrompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr);

    void error(const QString& text) override;
    void warning(const QString& text) override;
    void information(const QString& text) override;
    void message(const QString& text) override;
    bool confirmYesNo(const QString& text) override;
    bool warnYesNo(const QString& text) override;
    bool informYesNo(const QString& text) override;
    bool confirmOkCancel(const QString& text) override;
    QString chooseFolder(const QString& caption, const QString& startFolder) override;
    QString chooseSaveFile(const QString& caption, const QString& suggestedPath, const QString& filter) override;

private:
    QWidget* m_parent;
};

} // namespace jx

#pragma once

#include "TscrUntCaptura.h"
#include "delivery/DeliveryRun.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace jx {
class TdtmJX;
class UserPrompts;
} // namespace jx

namespace jx::gui {

class Commands;

// Runs the delivery commands: the wizard in either mode, its Confirmar, and the capture of
// protocols from a returned diskette.
class DeliveryWindows : public QObject {
    Q_OBJECT

public:
    DeliveryWindows(
        Commands& commands, TdtmJX& jx, UserPrompts& prompts, const QString& programFolder, QObject* parent = nullptr);

    void openWizard(DeliveryRun::Mode mode);
    // The returned diskette's protocols: for capture, or ("Do Disquete") for their receipts.
    void openCapture(TscrUntCaptura::Mode mode);

    // Replaces the removable-disk dialog (parent, caption → the chosen drive, or nothing) in
    // every window opened from here; unset, the dialog is shown.
    std::function<std::optional<QString>(QWidget* parent, const QString& caption)> chooseDrive;

private:
    Commands& m_commands;
    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    QString m_programFolder;
};

} // namespace jx::gui

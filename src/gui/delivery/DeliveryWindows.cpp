#include "DeliveryWindows.h"

#include "Commands.h"
#include "TscrUntCaptura.h"
#include "TscrUntCheckDisquete.h"
#include "TscruntEntrega.h"
#include "delivery/UnregisteredDeliveries.h"

#include <QAction>
#include <QApplication>

namespace jx::gui {

DeliveryWindows::DeliveryWindows(
    Commands& commands, TdtmJX& jx, UserPrompts& prompts, const QString& programFolder, QObject* parent)
    : QObject(parent)
    , m_commands(commands)
    , m_jx(jx)
    , m_prompts(prompts)
    , m_programFolder(programFolder)
{
    auto on = [this](const char* name, auto slot) {
        connect(m_commands.action(QLatin1String(name)), &QAction::triggered, this, slot);
    };
    on("actEntrega_Disquete", [this] { openWizard(DeliveryRun::Mode::Diskette); });
    on("actEntrega_Internet", [this] { openWizard(DeliveryRun::Mode::Transmitter); });
    on("actProtocolo_Capturar", [this] { openCapture(TscrUntCaptura::Mode::Capture); });
    on("actImprimirReciboDisquete", [this] { openCapture(TscrUntCaptura::Mode::Receipt); });
    on("actEntrega_FazEntrega", [] {
        if (auto* wizard = qobject_cast<TscruntEntrega*>(Commands::activeWindow()))
            wizard->FazerEntrega();
    });
    for (const char* name : { "actEntrega_Disquete", "actEntrega_Internet", "actProtocolo_Capturar", "actImprimirReciboDisquete" })
        m_commands.setUpdateRule(QLatin1String(name), [] { return true; });
    m_commands.setUpdateRule(QStringLiteral("actEntrega_FazEntrega"), [] {
        auto* wizard = qobject_cast<TscruntEntrega*>(Commands::activeWindow());
        return wizard && wizard->canConfirm();
    });
    m_commands.runUpdateRules();
}

void DeliveryWindows::openWizard(DeliveryRun::Mode mode)
{
    TscruntEntrega wizard(m_commands, m_jx, m_prompts, m_programFolder, mode, QApplication::activeWindow());
    if (chooseDrive)
        wizard.chooseDrive = [this, &wizard] { return chooseDrive(&wizard, TscrUntCheckDisquete::kCaption); };
    m_commands.runUpdateRules();
    wizard.exec();
    m_commands.runUpdateRules();
}

void DeliveryWindows::openCapture(TscrUntCaptura::Mode mode)
{
    TscrUntCaptura capture(m_commands, m_jx, m_prompts, QApplication::activeWindow());
    capture.unregisteredFolder = unregistered::folder(m_programFolder);
    if (chooseDrive)
        capture.chooseDrive = chooseDrive;
    capture.AbrirCaptura(mode);
}

} // namespace jx::gui

#include "BackupWindows.h"

#include "Commands.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <functional>

namespace jx::gui {

BackupWindows::BackupWindows(
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
    on("actBackp", [this] { openWindow(TscruntBackup::Mode::Backup); });
    on("actRestauracao", [this] { openWindow(TscruntBackup::Mode::Restore); });
    // The page commands act on the window in front.
    auto onWindow = [&on](const char* name, void (TscruntBackup::*command)()) {
        on(name, [command] {
            if (auto* window = qobject_cast<TscruntBackup*>(Commands::activeWindow()))
                (window->*command)();
        });
    };
    onWindow("actBackpSelecionaCaminho", &TscruntBackup::changeFolder);
    onWindow("actBackpTipo", &TscruntBackup::continueFromType);
    onWindow("actBackupContHabContabilista", &TscruntBackup::continueFromList);
    onWindow("actBackupVoltar", &TscruntBackup::back);
    onWindow("actBackpIniciar", &TscruntBackup::start);
    for (const char* name : { "actBackp", "actRestauracao" })
        m_commands.setUpdateRule(QLatin1String(name), [] { return true; });
    // Each command only on its pages: Continuar of the type page and of a list share Ctrl+C.
    auto onPage = [](std::function<bool(const QString& page)> wanted) {
        return [wanted] {
            auto* window = qobject_cast<TscruntBackup*>(Commands::activeWindow());
            return window && wanted(window->currentPage()->objectName());
        };
    };
    const auto typePage = [](const QString& page) { return page == QLatin1String("tbsEscolheTipo"); };
    m_commands.setUpdateRule(QStringLiteral("actBackpSelecionaCaminho"), onPage(typePage));
    m_commands.setUpdateRule(QStringLiteral("actBackpTipo"), onPage(typePage));
    m_commands.setUpdateRule(
        QStringLiteral("actBackupVoltar"), onPage([typePage](const QString& page) { return !typePage(page); }));
    m_commands.setUpdateRule(QStringLiteral("actBackpIniciar"),
        onPage([](const QString& page) { return page == QLatin1String("tbsConfirmacao"); }));
    m_commands.setUpdateRule(QStringLiteral("actBackupContHabContabilista"), [] {
        auto* window = qobject_cast<TscruntBackup*>(Commands::activeWindow());
        return window && window->listHasRows();
    });
    m_commands.runUpdateRules();
}

void BackupWindows::openWindow(TscruntBackup::Mode mode)
{
    TscruntBackup window(m_commands, m_jx, m_prompts, m_programFolder, mode, QApplication::activeWindow());
    if (endProgram)
        window.endProgram = endProgram;
    if (onShown)
        QTimer::singleShot(0, &window, [this, &window] { onShown(window); });
    m_commands.runUpdateRules();
    window.exec();
    m_commands.runUpdateRules();
}

} // namespace jx::gui

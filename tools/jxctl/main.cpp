// jxctl: the headless companion of JX. Texts in Portuguese; errors on standard error with
// exit status 2.

#include "Cli.h"

#include "Error.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>
#include <QLocale>

namespace {

std::vector<jxctl::Command> allCommands()
{
    auto commands = jxctl::docCommands();
    for (auto& command : jxctl::fileCommands())
        commands.push_back(std::move(command));
    for (auto& command : jxctl::dbCommands())
        commands.push_back(std::move(command));
    for (auto& command : jxctl::requestCommands())
        commands.push_back(std::move(command));
    for (auto& command : jxctl::verifyCommands())
        commands.push_back(std::move(command));
    for (auto& command : jxctl::deliveryCommands())
        commands.push_back(std::move(command));
    for (auto& command : jxctl::restoreCommands())
        commands.push_back(std::move(command));
    for (auto& command : jxctl::printCommands())
        commands.push_back(std::move(command));
    for (auto& command : jxctl::sampleCommands())
        commands.push_back(std::move(command));
    return commands;
}

void printUsage(const std::vector<jxctl::Command>& commands)
{
    jxctl::out(QStringLiteral("Uso:"));
    for (const auto& command : commands)
        jxctl::out(QStringLiteral("  jxctl ") + command.usage);
    jxctl::out(QStringLiteral(
        "Códigos de saída:\n"
        "  0  feito (doc: válido; arquivo conferir: íntegro; verificar: sem erros)\n"
        "  1  resposta negativa ou arquivo recusado, nada gravado: documento inválido, arquivo alterado, nome não\n"
        "     reconhecido, nada encontrado, pendências com erro, banco inválido, cópia ou arquivo recusados;\n"
        "     restaurar: também quando o arquivo foi restaurado sem algumas das suas entregas (ditas na saída de "
        "erros)\n"
        "  2  erro de uso ou de entrada (opção, valor que a coluna não aceita, pasta com chaves), ou falha do banco "
        "de\n"
        "     dados, das chaves ou do disco"));
}

} // namespace

int main(int argc, char* argv[])
{
    // Printing measures and draws fonts, which needs a GUI application; without a window, on
    // any machine, so always the offscreen platform.
    const bool printing = argc > 1 && qstrcmp(argv[1], "imprimir") == 0;
    if (printing)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application
        = printing ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *application;
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QStringList args = app.arguments().mid(1);
    const auto commands = allCommands();

    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        printUsage(commands);
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    for (const auto& command : commands) {
        if (command.name != name)
            continue;
        try {
            if (args.contains(QLatin1String("--help"))) {
                jxctl::out(QStringLiteral("Uso: jxctl ") + command.usage);
                return 0;
            }
            return command.run(args);
        } catch (const jxctl::UsageError& e) {
            jxctl::err(QStringLiteral("jxctl: ") + e.text());
        } catch (const jx::Error& e) {
            // The core's texts carry the system's CR LF; a terminal wants plain line ends.
            jxctl::err(
                QStringLiteral("jxctl: ") + QString(e.userText()).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        } catch (const std::exception& e) {
            jxctl::err(QStringLiteral("jxctl: ") + QString::fromLocal8Bit(e.what()));
        }
        return 2;
    }
    jxctl::err(QStringLiteral("jxctl: comando desconhecido: \"%1\". Veja jxctl --help.").arg(name));
    return 2;
}

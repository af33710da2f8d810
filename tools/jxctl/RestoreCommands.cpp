// jxctl restaurar: backup or diskette files brought back as new filings, through the same core
// code as the restore window.

#include "Cli.h"
#include "DataModule.h"

#include "Error.h"
#include "backup/Restore.h"
#include "delivery/DeliveryCrypto.h"
#include "delivery/FileGeneration.h"
#include "delivery/RsaKey.h"

#include <QDir>
#include <QFileInfo>

namespace jxctl {

namespace {

const QString kRestoreUsage
    = QStringLiteral("restaurar ARQ...|--pasta PASTA [--banco CAMINHO] [--chaves PASTA]");

QString oneLine(const QString& text)
{
    return QString(text).replace(QLatin1String("\r\n"), QLatin1String(" "));
}

// The request and enablement files of a folder, by name, as the window lists them.
QStringList filesIn(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        throw UsageError(QStringLiteral("Pasta não encontrada: %1").arg(folder));
    QStringList files;
    for (const QString& name : QDir(folder).entryList({ QStringLiteral("*.xml") }, QDir::Files, QDir::Name)) {
        jx::TInfArquivo info;
        if (jx::LerNomeArquivo(name, info) && info.tipo != QLatin1String("B"))
            files << QDir(folder).filePath(name);
    }
    if (files.isEmpty())
        throw UsageError(QStringLiteral("A pasta %1 não tem arquivos de solicitação ou de habilitação do JX.").arg(folder));
    return files;
}

// 0 every file restored whole; 1 a file refused (nothing of it written), or restored without
// some of its deliveries (named on standard error); 2 usage, keys or database failures: the
// run stops there, the files before it stay restored (each whole, in its own transaction).
// With several files each line names its file: on standard output "ARQUIVO<tab>CHAVE".
int restoreFiles(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    const QString keys = takeOption(args, QStringLiteral("--chaves"));
    const QString folder = takeOption(args, QStringLiteral("--pasta"));
    if (folder.isEmpty() == args.isEmpty())
        throw UsageError(QStringLiteral("Informe os arquivos ou, com --pasta, a pasta deles. Uso: jxctl %1").arg(kRestoreUsage));
    const QStringList files = folder.isEmpty() ? args : filesIn(folder);
    for (const QString& file : files) {
        if (!QFileInfo(file).isFile())
            throw UsageError(QStringLiteral("Arquivo não encontrado: %1").arg(file));
    }
    const bool several = files.size() > 1;
    auto fileLine = [several](const QString& file, const QString& text) {
        err(QStringLiteral("jxctl: ") + (several ? QDir::toNativeSeparators(file) + QStringLiteral(": ") : QString())
            + text);
    };

    const auto module = openDataModule(path);
    jx::Restore restore(*module->jx, module->prompts, module->programFolder);
    if (!keys.isEmpty())
        restore.setKeysFolder(keys);
    // A key that does not load is the installation's fault, not the files': exit 2 from main.
    jx::RsaKey::load(QDir(keys.isEmpty() ? module->jx->crypto().keysFolder() : keys)
                         .filePath(QString::fromLatin1(jx::kPrivateKeyFile)));
    int status = 0;
    int restored = 0;
    for (const QString& name : files) {
        const QFileInfo file(name);
        // The kind is the name's, as the window lists it.
        jx::TInfArquivo info;
        if (!jx::LerNomeArquivo(file.fileName(), info) || info.tipo == QLatin1String("B")) {
            fileLine(name,
                QStringLiteral("O nome %1 não é o de um arquivo de solicitação ou de habilitação do JX.").arg(file.fileName()));
            status = 1;
            continue;
        }
        const jx::restore::Kind kind
            = info.tipo == QLatin1String("S") ? jx::restore::Kind::Request : jx::restore::Kind::Enablement;
        jx::Restore::Outcome outcome;
        try {
            // As the window does: judged by the filing inside, which is not restored twice.
            outcome = restore.restoreFile(file.absoluteFilePath(), kind);
        } catch (const jx::restore::DatabaseFailure& e) {
            fileLine(name, e.userText());
            if (restored > 0)
                err(QStringLiteral("jxctl: A restauração parou neste arquivo; os %1 anteriores ficaram restaurados.")
                        .arg(restored));
            return 2;
        } catch (const jx::Error& e) {
            fileLine(name, e.userText());
            status = 1;
            continue;
        }
        if (!outcome.refused.isEmpty()) {
            fileLine(name, oneLine(outcome.refused));
            status = 1;
            continue;
        }
        ++restored;
        out(several ? QDir::toNativeSeparators(name) + u'\t' + QString::number(outcome.key) : QString::number(outcome.key));
        // The filing is stored, but not whole.
        for (const QString& line : std::as_const(outcome.droppedDeliveries))
            fileLine(name, line);
        if (!outcome.droppedDeliveries.isEmpty())
            status = 1;
    }
    return status;
}

} // namespace

std::vector<Command> restoreCommands()
{
    return { { QStringLiteral("restaurar"), kRestoreUsage, restoreFiles } };
}

} // namespace jxctl

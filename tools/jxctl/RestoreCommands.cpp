// jxctl restaurar: one backup or diskette file brought back as a new filing, through the same
// core code as the restore window.

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

const QString kRestoreUsage = QStringLiteral("restaurar ARQ [--banco CAMINHO] [--chaves PASTA]");

// 0 restored whole; 1 the file refused (nothing written), or restored without some of its
// deliveries (named on standard error); 2 usage, keys or database failures.

int restoreFile(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    const QString keys = takeOption(args, QStringLiteral("--chaves"));
    requireCount(args, 1, kRestoreUsage);
    const QFileInfo file(args[0]);
    if (!file.isFile())
        throw UsageError(QStringLiteral("Arquivo não encontrado: %1").arg(args[0]));
    // The kind is the name's, as the window lists it.
    jx::TInfArquivo info;
    if (!jx::LerNomeArquivo(file.fileName(), info) || info.tipo == QLatin1String("B")) {
        err(QStringLiteral("jxctl: O nome %1 não é o de um arquivo de solicitação ou de habilitação do JX.")
                .arg(file.fileName()));
        return 1;
    }

    const auto module = openDataModule(path);
    jx::Restore restore(*module->jx, module->prompts, module->programFolder);
    if (!keys.isEmpty())
        restore.setKeysFolder(keys);
    // A key that does not load is the installation's fault, not the file's: exit 2 from main.
    jx::RsaKey::load(QDir(keys.isEmpty() ? module->jx->crypto().keysFolder() : keys)
                         .filePath(QString::fromLatin1(jx::kPrivateKeyFile)));
    const jx::restore::Kind kind
        = info.tipo == QLatin1String("S") ? jx::restore::Kind::Request : jx::restore::Kind::Enablement;
    jx::Restore::Outcome outcome;
    try {
        // As the window does: judged by the filing inside, which is not restored twice.
        outcome = restore.restoreFile(file.absoluteFilePath(), kind);
    } catch (const jx::restore::DatabaseFailure& e) {
        err(QStringLiteral("jxctl: ") + e.userText());
        return 2;
    } catch (const jx::Error& e) {
        err(QStringLiteral("jxctl: ") + e.userText());
        return 1;
    }
    if (!outcome.refused.isEmpty()) {
        err(QStringLiteral("jxctl: ") + QString(outcome.refused).replace(QLatin1String("\r\n"), QLatin1String(" ")));
        return 1;
    }
    out(QString::number(outcome.key));
    // The filing is stored, but not whole.
    for (const QString& line : std::as_const(outcome.droppedDeliveries))
        err(QStringLiteral("jxctl: ") + line);
    return outcome.droppedDeliveries.isEmpty() ? 0 : 1;
}

} // namespace

std::vector<Command> restoreCommands()
{
    return { { QStringLiteral("restaurar"), kRestoreUsage, restoreFile } };
}

} // namespace jxctl

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
    // As the window does: the same filing is not restored twice.
    const QString digits = info.momentDigits();
    const QString existing = restore.duplicate(kind, info.identificador, digits);
    if (!existing.isEmpty()) {
        err(QStringLiteral("jxctl: ") + QString(existing).replace(QLatin1String("\r\n"), QLatin1String(" ")));
        return 1;
    }
    qint64 id = 0;
    try {
        const QString absolute = file.absoluteFilePath();
        id = info.tipo == QLatin1String("S") ? restore.ImportarSolicitacao(absolute) : restore.ImportarHabilitacao(absolute);
    } catch (const jx::Error& e) {
        err(QStringLiteral("jxctl: ") + e.userText());
        return 1;
    }
    out(QString::number(id));
    return 0;
}

} // namespace

std::vector<Command> restoreCommands()
{
    return { { QStringLiteral("restaurar"), kRestoreUsage, restoreFile } };
}

} // namespace jxctl

#include "DataModule.h"

#include "Cli.h"

#include "db/Sqlite.h"

#include <QDir>
#include <QFileInfo>

namespace jxctl {

std::unique_ptr<DataModule> openDataModule(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw UsageError(QStringLiteral("Banco de dados não encontrado: %1").arg(path));
    auto module = std::make_unique<DataModule>();
    try {
        module->database = std::make_unique<jx::TdtmDB>(jx::TdtmDB::AtPath { path });
    } catch (const jx::db::DbError&) {
        throw UsageError(jx::TdtmDB::invalidText(path).replace(QLatin1String("\r\n"), QLatin1String(" ")));
    }
    module->programFolder = QFileInfo(path).absoluteDir().absoluteFilePath(QStringLiteral(".."));
    module->jx = std::make_unique<jx::TdtmJX>(
        *module->database, module->prompts,
        [] { throw UsageError(QStringLiteral("O banco de dados não pôde ser lido.")); }, module->programFolder);
    return module;
}

} // namespace jxctl

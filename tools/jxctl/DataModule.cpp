#include "DataModule.h"

#include "Cli.h"

#include "db/Sqlite.h"
#include "platform/ProgramFolder.h"
#include "text/DocumentChecks.h"
#include "verification/Verification.h"

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
    } catch (const jx::db::DbError& e) {
        // A file another program holds is in use, not foreign: told otherwise, a user might
        // restore a copy over a sound database.
        const QString text = e.isBusy() ? jx::TdtmDB::inUseText(path) : jx::TdtmDB::invalidText(path);
        throw UsageError(QString(text).replace(QLatin1String("\r\n"), QLatin1String(" ")));
    }
    // The program's own rule (JX_HOME, the installation), never the database's path: the
    // folder above a database named with --banco may be anything of the user's.
    module->programFolder = jx::programFolder::path();
    module->jx = std::make_unique<jx::TdtmJX>(
        *module->database, module->prompts,
        [] { throw UsageError(QStringLiteral("O banco de dados não pôde ser lido.")); }, module->programFolder);
    return module;
}

// "solicitacao" (true) or "habilitacao" (false).
bool requestKind(const QString& word, const QString& usage)
{
    if (word == QLatin1String("solicitacao"))
        return true;
    if (word == QLatin1String("habilitacao"))
        return false;
    throw UsageError(QStringLiteral("Tipo desconhecido: \"%1\". Uso: %2").arg(word, usage));
}

qint64 idOf(const QString& text)
{
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    if (!ok)
        throw UsageError(QStringLiteral("Identificador inválido: \"%1\".").arg(text));
    return id;
}

// Puts the filing current (its details follow) and sets the current kind.
void locateFiling(jx::TdtmJX& jx, bool request, qint64 id)
{
    jx.TipoAtual = request ? 1 : 0;
    if (request && !jx.cdsSolicitacaoIE->locate(QStringLiteral("ID_SOLICITACAO"), id))
        throw UsageError(QStringLiteral("Solicitação %1 não encontrada.").arg(id));
    if (!request && !jx.cdsSolicitacao_Contab->locate(QStringLiteral("ID_SOLICITACAO_CONTABILISTA"), id))
        throw UsageError(QStringLiteral("Habilitação %1 não encontrada.").arg(id));
}

QDate todayOption(QStringList& args)
{
    const QString text = takeOption(args, QStringLiteral("--hoje"));
    if (text.isEmpty())
        return {};
    if (!jx::docs::dateIsValid(text))
        throw UsageError(QStringLiteral("Data inválida: \"%1\" (use DD/MM/AAAA).").arg(text));
    return QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
}

bool verifyFiling(jx::TdtmJX& jx, bool request, qint64 id, const QDate& today)
{
    locateFiling(jx, request, id);
    jx::Verification verification(jx);
    if (today.isValid())
        verification.setToday(today);
    return verification.ApurarPendencias(request ? 1 : 0);
}

} // namespace jxctl

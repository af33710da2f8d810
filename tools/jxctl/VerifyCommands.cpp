// jxctl verificar: the pending items of a filing, read-only, through the same rules as the
// saves of the request and enablement forms.

#include "Cli.h"
#include "ConsolePrompts.h"

#include "Error.h"
#include "data/TdtmJX.h"
#include "db/TdtmDB.h"
#include "text/DocumentChecks.h"
#include "verification/Verification.h"

#include <QDir>
#include <QFileInfo>

namespace jxctl {

namespace {

const QString kUsage = QStringLiteral("verificar solicitacao|habilitacao ID [--banco CAMINHO] [--hoje DD/MM/AAAA]");

int verify(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    const QString todayText = takeOption(args, QStringLiteral("--hoje"));
    requireCount(args, 2, kUsage);
    const bool request = args[0] == QLatin1String("solicitacao");
    if (!request && args[0] != QLatin1String("habilitacao"))
        throw UsageError(QStringLiteral("Tipo desconhecido: \"%1\". Uso: %2").arg(args[0], kUsage));
    bool ok = false;
    const qint64 id = args[1].toLongLong(&ok);
    if (!ok)
        throw UsageError(QStringLiteral("Identificador inválido: \"%1\".").arg(args[1]));
    QDate today;
    if (!todayText.isEmpty()) {
        if (!jx::docs::dateIsValid(todayText))
            throw UsageError(QStringLiteral("Data inválida: \"%1\" (use DD/MM/AAAA).").arg(todayText));
        today = QDate::fromString(todayText, QStringLiteral("dd/MM/yyyy"));
    }
    if (!QFileInfo(path).isFile())
        throw UsageError(QStringLiteral("Banco de dados não encontrado: %1").arg(path));

    std::unique_ptr<jx::TdtmDB> database;
    try {
        database = std::make_unique<jx::TdtmDB>(jx::TdtmDB::AtPath { path });
    } catch (const jx::db::DbError&) {
        throw UsageError(jx::TdtmDB::invalidText(path).replace(QLatin1String("\r\n"), QLatin1String(" ")));
    }
    ConsolePrompts prompts;
    const QString programFolder = QFileInfo(path).absoluteDir().absoluteFilePath(QStringLiteral(".."));
    jx::TdtmJX jx(
        *database, prompts, [] { throw UsageError(QStringLiteral("O banco de dados não pôde ser lido.")); },
        programFolder);
    if (request && !jx.cdsSolicitacaoIE->locate(QStringLiteral("ID_SOLICITACAO"), id))
        throw UsageError(QStringLiteral("Solicitação %1 não encontrada.").arg(id));
    if (!request && !jx.cdsSolicitacao_Contab->locate(QStringLiteral("ID_SOLICITACAO_CONTABILISTA"), id))
        throw UsageError(QStringLiteral("Habilitação %1 não encontrada.").arg(id));
    jx::Verification verification(jx);
    if (today.isValid())
        verification.setToday(today);
    const bool clean = verification.ApurarPendencias(request ? 1 : 0);
    const jx::data::RecordSet& list = *jx.cdsPendecias;
    for (int v = 0; v < list.count(); ++v) {
        out(list.valueAt(v, list.fieldIndex(QStringLiteral("Tipo"))).toString() + u'\t'
            + list.valueAt(v, list.fieldIndex(QStringLiteral("Local"))).toString() + u'\t'
            + list.valueAt(v, list.fieldIndex(QStringLiteral("Pendencia"))).toString());
    }
    return clean ? 0 : 1;
}

} // namespace

std::vector<Command> verifyCommands()
{
    return { { QStringLiteral("verificar"), kUsage, verify } };
}

} // namespace jxctl

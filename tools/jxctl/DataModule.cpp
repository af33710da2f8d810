#include "DataModule.h"

#include "Cli.h"

#include "db/Sqlite.h"
#include "platform/ProgramFolder.h"
#include "text/DocumentChecks.h"
#include "verification/Verification.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

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

QList<qint64> idList(const QStringList& words, const QString& idsFile)
{
    QStringList items = words;
    if (!idsFile.isEmpty()) {
        if (!QFileInfo(idsFile).isFile())
            throw UsageError(QStringLiteral("Arquivo de identificadores não encontrado: %1").arg(idsFile));
        QFile file(idsFile);
        if (!file.open(QIODevice::ReadOnly))
            throw UsageError(QStringLiteral("Não foi possível ler o arquivo de identificadores %1.").arg(idsFile));
        items += QString::fromUtf8(file.readAll()).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    }
    QList<qint64> ids;
    QSet<qint64> seen;
    auto add = [&](qint64 id) {
        if (seen.contains(id))
            throw UsageError(QStringLiteral("O identificador %1 foi informado mais de uma vez.").arg(id));
        if (ids.size() >= kMaxIds)
            throw UsageError(QStringLiteral("Identificadores demais: no máximo %1 de uma vez.").arg(kMaxIds));
        seen.insert(id);
        ids << id;
    };
    for (const QString& item : std::as_const(items)) {
        // A leading minus is a sign; one after a digit ends the range's first identifier.
        const qsizetype dash = item.indexOf(u'-', 1);
        if (dash < 0) {
            add(idOf(item));
            continue;
        }
        bool firstOk = false;
        bool lastOk = false;
        const qint64 first = item.left(dash).toLongLong(&firstOk);
        const qint64 last = item.mid(dash + 1).toLongLong(&lastOk);
        if (!firstOk || !lastOk)
            throw UsageError(QStringLiteral("Intervalo inválido: \"%1\" (use PRIMEIRO-ÚLTIMO, como 1-1000).").arg(item));
        if (first > last)
            throw UsageError(
                QStringLiteral("Intervalo inválido: \"%1\" (o primeiro identificador passa do último).").arg(item));
        // Unsigned, so that ends far apart cannot overflow: last >= first.
        if (quint64(last) - quint64(first) >= quint64(kMaxIds))
            throw UsageError(QStringLiteral("Identificadores demais: no máximo %1 de uma vez.").arg(kMaxIds));
        for (qint64 id = first; id <= last; ++id)
            add(id);
    }
    if (ids.isEmpty())
        throw UsageError(QStringLiteral("Informe ao menos um identificador (ID, intervalo como 1-1000 ou --ids ARQUIVO)."));
    return ids;
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

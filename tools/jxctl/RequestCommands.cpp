#include "Cli.h"

#include "Error.h"
#include "db/Sqlite.h"
#include "db/TdtmDB.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace jxctl {

namespace {

QJsonObject rowObject(jx::db::Statement& statement)
{
    QJsonObject object;
    for (int c = 0; c < statement.columnCount(); ++c)
        object.insert(statement.columnName(c), QJsonValue::fromVariant(statement.value(c)));
    return object;
}

// The one row a key names, as JSON; null when there is none.
QJsonValue rowByKey(jx::db::Connection& connection, const QString& table, const QString& key, const QVariant& value)
{
    if (value.isNull())
        return QJsonValue();
    jx::db::Statement statement = connection.prepare(QStringLiteral("SELECT * FROM %1 WHERE %2 = :ID").arg(table, key));
    statement.bind(QStringLiteral(":ID"), value);
    return statement.step() ? QJsonValue(rowObject(statement)) : QJsonValue();
}

int list(const QStringList& argsIn)
{
    QStringList args = argsIn;
    jx::db::Connection connection;
    openDatabase(connection, databaseOption(args));
    requireCount(args, 0, QStringLiteral("solicitacoes [--banco CAMINHO]"));
    jx::db::Statement statement = connection.prepare(QStringLiteral(
        "SELECT ID_SOLICITACAO, CNPJ, STATUS, NOME_EMPRESARIAL FROM SOLICITACAO_IE ORDER BY ID_SOLICITACAO"));
    while (statement.step()) {
        out(QStringList { statement.text(0), statement.text(1), statement.text(2), statement.text(3) }.join(u'\t'));
    }
    return 0;
}

int show(const QStringList& argsIn)
{
    QStringList args = argsIn;
    jx::db::Connection connection;
    openDatabase(connection, databaseOption(args));
    const QString usage = QStringLiteral("solicitacao ID [--banco CAMINHO]");
    requireCount(args, 1, usage);
    bool ok = false;
    const qint64 id = args[0].toLongLong(&ok);
    if (!ok)
        throw UsageError(QStringLiteral("Identificador inválido: \"%1\".").arg(args[0]));
    const QJsonValue request
        = rowByKey(connection, QStringLiteral("SOLICITACAO_IE"), QStringLiteral("ID_SOLICITACAO"), id);
    if (request.isNull())
        throw UsageError(QStringLiteral("Solicitação %1 não encontrada.").arg(id));
    QJsonObject result = request.toObject();
    result.insert(QStringLiteral("ENDERECO_ESTABELECIMENTO"),
        rowByKey(connection, QStringLiteral("ENDERECO"), QStringLiteral("ID_ENDERECO"),
            result.value(QStringLiteral("ID_ENDERECO_ESTABELECIMENTO")).toVariant()));
    result.insert(QStringLiteral("ENDERECO_CORRESPONDENCIA"),
        rowByKey(connection, QStringLiteral("ENDERECO"), QStringLiteral("ID_ENDERECO"),
            result.value(QStringLiteral("ID_ENDERECO_CORRESPONDECIA")).toVariant()));
    result.insert(QStringLiteral("COMUNICACAO"),
        rowByKey(connection, QStringLiteral("COMUNICACAO"), QStringLiteral("ID_COMUNICACAO"),
            result.value(QStringLiteral("ID_COMUNICACAO_EMPRESA")).toVariant()));
    out(QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented)).trimmed());
    return 0;
}

} // namespace

std::vector<Command> requestCommands()
{
    return {
        { QStringLiteral("solicitacoes"), QStringLiteral("solicitacoes [--banco CAMINHO]"), list },
        { QStringLiteral("solicitacao"), QStringLiteral("solicitacao ID [--banco CAMINHO]"), show },
    };
}

} // namespace jxctl

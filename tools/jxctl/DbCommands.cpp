#include "Cli.h"
#include "ConsolePrompts.h"

#include "Error.h"
#include "backup/DatabaseCopy.h"
#include "db/ReferenceData.h"
#include "db/Sqlite.h"
#include "db/TdtmDB.h"
#include "platform/ProgramFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace jxctl {

namespace {

QString csvField(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

const QString kDatabaseUsage = QStringLiteral(
    "banco criar|verificar CAMINHO | banco copiar --pasta PASTA [--banco CAMINHO] | banco restaurar COPIA [--banco "
    "CAMINHO]");

// The copy reads, and the restore writes, the file named: no connection of a running program to close.
int copyOrRestore(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    ConsolePrompts prompts;
    if (args[0] == QLatin1String("copiar")) {
        const QString folder = takeOption(args, QStringLiteral("--pasta"));
        if (folder.isEmpty())
            throw UsageError(QStringLiteral("Falta a opção --pasta. Uso: jxctl ") + kDatabaseUsage);
        requireCount(args, 1, kDatabaseUsage);
        const QString name = jx::dbcopy::copyName(QDateTime::currentDateTime());
        if (!jx::dbcopy::copyDatabase(prompts, path, folder, name))
            return 2;
        out(QDir::toNativeSeparators(QDir(folder).absoluteFilePath(name)));
        return 0;
    }
    requireCount(args, 2, kDatabaseUsage);
    // Refused (or not readable) with the database untouched: 1; any other failure throws.
    if (!jx::dbcopy::restoreDatabase(prompts, path, args[1]))
        return 1;
    out(QStringLiteral("Banco de dados restaurado em %1; o anterior ficou em %2")
            .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(jx::dbcopy::safetyCopyFile(path))));
    return 0;
}

int database(const QStringList& args)
{
    const QString& usage = kDatabaseUsage;
    if (!args.isEmpty() && (args[0] == QLatin1String("copiar") || args[0] == QLatin1String("restaurar")))
        return copyOrRestore(args);
    requireCount(args, 2, usage);
    const QString& path = args[1];
    if (args[0] == QLatin1String("criar")) {
        jx::db::createDatabase(path);
        out(QStringLiteral("Banco de dados criado em %1").arg(path));
        return 0;
    }
    if (args[0] == QLatin1String("verificar")) {
        if (!QFileInfo(path).isFile())
            throw UsageError(QStringLiteral("Arquivo não encontrado: %1").arg(path));
        if (jx::TdtmDB::isReadOnly(path)) {
            out(jx::TdtmDB::readOnlyText(path));
            return 1;
        }
        try {
            jx::db::Connection connection;
            jx::TdtmDB::openValidated(connection, path);
        } catch (const jx::db::DbError& e) {
            // Held by another program: not known to be invalid.
            if (e.isBusy())
                throw UsageError(jx::TdtmDB::inUseText(path).replace(QLatin1String("\r\n"), QLatin1String(" ")));
            out(jx::TdtmDB::invalidText(path));
            return 1;
        }
        out(QStringLiteral("válido"));
        return 0;
    }
    throw UsageError(QStringLiteral("Ação desconhecida: \"%1\". Uso: jxctl ").arg(args[0]) + usage);
}

int reference(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    requireCount(args, 1, QStringLiteral("referencia TABELA [--banco CAMINHO]"));
    const QString table = args[0].toUpper();
    if (!jx::db::referenceTables().contains(table))
        throw UsageError(QStringLiteral("Tabela de referência desconhecida: \"%1\". Tabelas: %2.")
                             .arg(args[0], jx::db::referenceTables().join(u' ')));
    jx::db::Connection connection;
    openDatabase(connection, path);
    jx::db::Statement statement = connection.prepare(jx::db::referenceQuery(table));
    QStringList header;
    for (const QString& name : statement.columnNames())
        header << csvField(name);
    out(header.join(u','));
    while (statement.step()) {
        QStringList fields;
        for (int c = 0; c < statement.columnCount(); ++c) {
            const QVariant v = statement.value(c);
            // Codes held as reals print as the integers they are.
            if (v.typeId() == QMetaType::Double && v.toDouble() == double(qint64(v.toDouble())))
                fields << QString::number(qint64(v.toDouble()));
            else
                fields << csvField(v.toString());
        }
        out(fields.join(u','));
    }
    return 0;
}

} // namespace

QString databaseOption(QStringList& args)
{
    return takeOption(
        args, QStringLiteral("--banco"), QDir(jx::programFolder::path()).filePath(QStringLiteral("Banco/JX.mdb")));
}

void openDatabase(jx::db::Connection& connection, const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw UsageError(QStringLiteral("Banco de dados não encontrado: %1").arg(path));
    try {
        jx::TdtmDB::openValidated(connection, path);
    } catch (const jx::db::DbError& e) {
        const QString text = e.isBusy() ? jx::TdtmDB::inUseText(path) : jx::TdtmDB::invalidText(path);
        throw UsageError(QString(text).replace(QLatin1String("\r\n"), QLatin1String(" ")));
    }
}

std::vector<Command> dbCommands()
{
    return {
        { QStringLiteral("banco"), kDatabaseUsage, database },
        { QStringLiteral("referencia"), QStringLiteral("referencia TABELA [--banco CAMINHO]"), reference },
    };
}

} // namespace jxctl

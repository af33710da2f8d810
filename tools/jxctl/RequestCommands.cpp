#include "Cli.h"
#include "DataModule.h"

#include "Error.h"
#include "data/RecordSet.h"
#include "db/ReferenceData.h"
#include "db/Sqlite.h"
#include "requests/Cnaef.h"
#include "search/Search.h"
#include "data/TdtmJX.h"
#include "db/TdtmDB.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
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

// The rows of a detail table that belong to the request, in key order; each person row with
// its address and contact rows.
QJsonArray detailRows(jx::db::Connection& connection, const QString& table, const QString& order, qint64 request,
    bool withAddress)
{
    jx::db::Statement statement = connection.prepare(
        QStringLiteral("SELECT * FROM %1 WHERE ID_SOLICITACAO = :ID ORDER BY %2").arg(table, order));
    statement.bind(QStringLiteral(":ID"), request);
    QJsonArray rows;
    while (statement.step()) {
        QJsonObject row = rowObject(statement);
        if (withAddress) {
            row.insert(QStringLiteral("ENDERECO"),
                rowByKey(connection, QStringLiteral("ENDERECO"), QStringLiteral("ID_ENDERECO"),
                    row.value(QStringLiteral("ID_ENDERECO")).toVariant()));
            row.insert(QStringLiteral("COMUNICACAO"),
                rowByKey(connection, QStringLiteral("COMUNICACAO"), QStringLiteral("ID_COMUNICACAO"),
                    row.value(QStringLiteral("ID_COMUNICACAO")).toVariant()));
        }
        rows.append(row);
    }
    return rows;
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
    result.insert(QStringLiteral("SOCIOS"),
        detailRows(connection, QStringLiteral("SOLICITACAO_IE_SOCIO"), QStringLiteral("ID_SOCIO"), id, true));
    result.insert(QStringLiteral("RESPONSAVEIS"),
        detailRows(
            connection, QStringLiteral("SOLICITACAO_IE_RESPONSAVEL"), QStringLiteral("ID_RESPONSAVEL"), id, true));
    result.insert(QStringLiteral("IE_VINCULADAS"),
        detailRows(connection, QStringLiteral("SOLICITACAO_IE_VINCULADO"), QStringLiteral("rowid"), id, false));
    result.insert(QStringLiteral("CNPJ_VINCULADOS"),
        detailRows(connection, QStringLiteral("SOLICITACAO_CNPJ_VINCULADO"), QStringLiteral("rowid"), id, false));
    out(QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented)).trimmed());
    return 0;
}

int listEnablements(const QStringList& argsIn)
{
    QStringList args = argsIn;
    jx::db::Connection connection;
    openDatabase(connection, databaseOption(args));
    requireCount(args, 0, QStringLiteral("habilitacoes [--banco CAMINHO]"));
    jx::db::Statement statement = connection.prepare(QStringLiteral(
        "SELECT ID_SOLICITACAO_CONTABILISTA, TIPO_IDENTIFICACAO, IDENTIFICACAO, STATUS FROM SOLICITACAO_CONTAB "
        "ORDER BY ID_SOLICITACAO_CONTABILISTA"));
    while (statement.step()) {
        out(QStringList { statement.text(0), statement.text(1), statement.text(2), statement.text(3) }.join(u'\t'));
    }
    return 0;
}

int showEnablement(const QStringList& argsIn)
{
    QStringList args = argsIn;
    jx::db::Connection connection;
    openDatabase(connection, databaseOption(args));
    requireCount(args, 1, QStringLiteral("habilitacao ID [--banco CAMINHO]"));
    bool ok = false;
    const qint64 id = args[0].toLongLong(&ok);
    if (!ok)
        throw UsageError(QStringLiteral("Identificador inválido: \"%1\".").arg(args[0]));
    const QJsonValue enablement = rowByKey(
        connection, QStringLiteral("SOLICITACAO_CONTAB"), QStringLiteral("ID_SOLICITACAO_CONTABILISTA"), id);
    if (enablement.isNull())
        throw UsageError(QStringLiteral("Habilitação %1 não encontrada.").arg(id));
    QJsonObject result = enablement.toObject();
    result.insert(QStringLiteral("ENDERECO"),
        rowByKey(connection, QStringLiteral("ENDERECO"), QStringLiteral("ID_ENDERECO"),
            result.value(QStringLiteral("ID_ENDERECO")).toVariant()));
    result.insert(QStringLiteral("COMUNICACAO"),
        rowByKey(connection, QStringLiteral("COMUNICACAO"), QStringLiteral("ID_COMUNICACAO"),
            result.value(QStringLiteral("ID_COMUNICACAO")).toVariant()));
    out(QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented)).trimmed());
    return 0;
}

const QString kSearchUsage = QStringLiteral(
    "buscar solicitacoes|habilitacoes --campo TITULO --valor V [--forma exata|parcial|iniciada] [--banco CAMINHO]");

// The browsers' search, headless: the rows it finds, with the browser's columns, in the order
// the browser shows them afterwards.
int search(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    const QString title = takeOption(args, QStringLiteral("--campo"));
    // Typed in upper case, as the dialog takes it.
    const QString value = takeOption(args, QStringLiteral("--valor")).toUpper();
    const QString formText = takeOption(args, QStringLiteral("--forma"));
    requireCount(args, 1, kSearchUsage);
    const bool requests = args[0] == QLatin1String("solicitacoes");
    if (!requests && args[0] != QLatin1String("habilitacoes"))
        throw UsageError(QStringLiteral("Uso: %1").arg(kSearchUsage));
    if (title.isEmpty())
        throw UsageError(QStringLiteral("Informe a coluna com --campo. Uso: %1").arg(kSearchUsage));
    const auto& columns = requests ? jx::browser::requestColumns() : jx::browser::enablementColumns();
    const auto column = std::find_if(columns.cbegin(), columns.cend(), [&title](const auto& c) { return c.second == title; });
    if (column == columns.cend())
        throw UsageError(QStringLiteral("Coluna desconhecida: \"%1\".").arg(title));
    const auto module = openDataModule(path);
    jx::TdtmJX& jx = *module->jx;
    jx::data::RecordSet& set = requests ? *jx.cdsSolicitacaoIE : *jx.cdsSolicitacao_Contab;
    const int fieldIndex = set.fieldIndex(column->first);
    // A value its column cannot hold is a mistake in the command, not a search that found nothing.
    if (fieldIndex >= 0) {
        const jx::data::Field& field = set.field(fieldIndex);
        if (field.type == jx::data::FieldType::Text && field.size > 0 && value.size() > field.size)
            throw UsageError(QStringLiteral("O valor \"%1\" não cabe na coluna %2 (no máximo %3 caracteres).")
                                 .arg(value, title)
                                 .arg(field.size));
    }
    const jx::Search::Options options
        = jx::Search::optionsFor(title, fieldIndex >= 0 ? set.field(fieldIndex).type : jx::data::FieldType::Text);
    jx::Search::Form form = options.chosen;
    if (!formText.isEmpty()) {
        static const QStringList names { QStringLiteral("exata"), QStringLiteral("parcial"), QStringLiteral("iniciada") };
        const int i = int(names.indexOf(formText));
        if (i < 0 || !options.forms.contains(jx::Search::Form(i)))
            throw UsageError(QStringLiteral("Forma de pesquisa não oferecida para \"%1\": %2").arg(title, formText));
        form = jx::Search::Form(i);
    }
    jx::Search finder(jx, set, requests ? QStringLiteral("SOLICITACAO_IE") : QStringLiteral("SOLICITACAO_CONTAB"),
        requests ? QStringLiteral("ID_SOLICITACAO") : QStringLiteral("ID_SOLICITACAO_CONTABILISTA"));
    const jx::Search::Outcome outcome = finder.confirm(title, value, form, options.dateMask);
    if (outcome == jx::Search::Outcome::Refused || outcome == jx::Search::Outcome::NoColumn)
        throw UsageError(QStringLiteral("A pesquisa não pôde ser feita."));
    if (outcome == jx::Search::Outcome::NotFound)
        return 1;
    for (const int row : finder.matchingRows()) {
        QStringList cells;
        for (const auto& c : columns)
            cells << set.valueAt(row, set.fieldIndex(c.first)).toString();
        out(cells.join(u'\t'));
    }
    return 0;
}

// The CNAE-F tree as the choice dialog builds it: two blanks per depth, then the node.
int cnaefTree(const QStringList& argsIn)
{
    QStringList args = argsIn;
    jx::db::Connection connection;
    openDatabase(connection, databaseOption(args));
    requireCount(args, 0, QStringLiteral("cnaef [--banco CAMINHO]"));
    jx::data::RecordSet rows(QStringLiteral("cdsCNAEF"));
    rows.setSource(jx::db::referenceQuery(QStringLiteral("CNAEF")), QStringLiteral("CNAEF"));
    rows.open(connection);
    const std::vector<jx::cnaef::Node> nodes = jx::cnaef::buildTree(rows);
    std::vector<int> depth(nodes.size(), 0);
    // Depth-first, so that each node follows its parent and its earlier siblings' subtrees.
    std::vector<int> stack;
    for (int i = int(nodes.size()) - 1; i >= 0; --i) {
        if (nodes[size_t(i)].parent < 0)
            stack.push_back(i);
    }
    QString text;
    while (!stack.empty()) {
        const int i = stack.back();
        stack.pop_back();
        const jx::cnaef::Node& node = nodes[size_t(i)];
        text += QString(depth[size_t(i)] * 2, u' ') + node.text + u'\n';
        for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
            depth[size_t(*child)] = depth[size_t(i)] + 1;
            stack.push_back(*child);
        }
    }
    text.chop(1);
    out(text);
    return 0;
}

} // namespace

std::vector<Command> requestCommands()
{
    return {
        { QStringLiteral("solicitacoes"), QStringLiteral("solicitacoes [--banco CAMINHO]"), list },
        { QStringLiteral("solicitacao"), QStringLiteral("solicitacao ID [--banco CAMINHO]"), show },
        { QStringLiteral("habilitacoes"), QStringLiteral("habilitacoes [--banco CAMINHO]"), listEnablements },
        { QStringLiteral("habilitacao"), QStringLiteral("habilitacao ID [--banco CAMINHO]"), showEnablement },
        { QStringLiteral("cnaef"), QStringLiteral("cnaef [--banco CAMINHO]"), cnaefTree },
        { QStringLiteral("buscar"), kSearchUsage, search },
    };
}

} // namespace jxctl

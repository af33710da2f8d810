#include "db/ReferenceData.h"

#include "Error.h"
#include "db/Schema.h"
#include "db/Sqlite.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

namespace jx::db {

namespace {

const QString kValidToday
    = QStringLiteral("((date('now', 'localtime') BETWEEN DATA_INICIO AND DATA_FIM) OR (DATA_FIM IS NULL))");

struct ReferenceQuery {
    const char* table;
    bool validityWindow;
    const char* order; // "" = the order in which the rows were loaded
};

const std::vector<ReferenceQuery>& referenceQueries()
{
    static const std::vector<ReferenceQuery> queries {
        { "CNAEF", true, "" },
        { "CAE", true, "DESCRICAO" },
        { "NATUREZA_JURIDICA", true, "DESCRICAO" },
        { "UNIDADE_AUXILIAR", true, "DESCRICAO" },
        { "REGIME_RECOLHIMENTO", true, "DESCRICAO" },
        { "CARGO_SOCIO", true, "DESCRICAO" },
        { "FUNCAO_RESPONSAVEL", true, "DESCRICAO" },
        { "CONVENIO_PROTOCOLO", true, "DESCRICAO" },
        { "SITUACAO_ESPECIAL", false, "DESCRICAO" },
        { "FORMA_COMERCIALIZACAO", false, "DESCRICAO" },
        { "VINCULO", false, "" },
        { "UF", false, "ORDEM" },
        { "LOCALIDADE", false, "NOME" },
        { "LOGRADOURO", false, "" },
        { "COMPLEMENTO", false, "" },
        { "TIPO_IDENTIFICACAO", false, "" },
        { "IDENTIFICADOR_CRC", false, "IDENTIFICADOR" },
        { "CNAEF_CAE", false, "" },
    };
    return queries;
}

QVariant convert(const ColumnDef& column, const QString& text, const QString& table)
{
    if (text.isEmpty())
        return {};
    bool ok = true;
    QVariant value;
    switch (column.type) {
    case ColumnType::Auto:
    case ColumnType::Int:
    case ColumnType::Small:
    case ColumnType::Decimal:
        value = text.toLongLong(&ok);
        break;
    case ColumnType::Real:
        value = text.toDouble(&ok);
        break;
    case ColumnType::Date: {
        const QDate date = QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
        ok = date.isValid();
        value = date.toString(Qt::ISODate);
        break;
    }
    case ColumnType::Text:
    case ColumnType::Blob:
        value = text;
        break;
    }
    if (!ok)
        throw Error(QStringLiteral("Valor inválido \"%1\" na coluna %2 da tabela %3.")
                        .arg(text, QLatin1String(column.name), table));
    return value;
}

} // namespace

CsvTable parseCsv(const QByteArray& utf8)
{
    const QString text = QString::fromUtf8(utf8);
    CsvTable table;
    QStringList row;
    QString fieldText;
    bool quoted = false;
    bool fieldStarted = false;
    auto endField = [&] {
        row << fieldText;
        fieldText.clear();
        fieldStarted = false;
    };
    auto endRow = [&] {
        endField();
        if (table.header.isEmpty())
            table.header = row;
        else if (!(row.size() == 1 && row[0].isEmpty()))
            table.rows.push_back(row);
        row.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    fieldText += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                fieldText += c;
            }
        } else if (c == u'"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == u',') {
            endField();
        } else if (c == u'\n') {
            endRow();
        } else if (c != u'\r') {
            fieldText += c;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !row.isEmpty())
        endRow();
    return table;
}

CsvTable builtInTable(const QString& table)
{
    QFile file(QStringLiteral(":/refdata/%1.csv").arg(table));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Dados de referência ausentes: %1").arg(table));
    return parseCsv(file.readAll());
}

void loadReferenceData(Connection& connection)
{
    for (const TableDef& def : tables()) {
        if (!def.reference)
            continue;
        const QString name = QLatin1String(def.name);
        const CsvTable csv = builtInTable(name);
        std::vector<const ColumnDef*> columns;
        QStringList marks;
        for (const QString& header : csv.header) {
            const ColumnDef* column = db::column(def, header);
            if (!column)
                throw Error(QStringLiteral("Coluna %1 desconhecida na tabela %2.").arg(header, name));
            columns.push_back(column);
            marks << QStringLiteral("?");
        }
        Statement insert = connection.prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(name, csv.header.join(", "), marks.join(", ")));
        for (const QStringList& row : csv.rows) {
            if (row.size() != csv.header.size())
                throw Error(QStringLiteral("Linha com %1 campos na tabela %2.").arg(row.size()).arg(name));
            insert.reset();
            for (int i = 0; i < row.size(); ++i)
                insert.bind(i + 1, convert(*columns[i], row[i], name));
            insert.run();
        }
    }
}

void createDatabase(const QString& path)
{
    if (QFileInfo::exists(path))
        throw Error(QStringLiteral("O arquivo %1 já existe; ele não será substituído.").arg(path));
    Connection connection;
    try {
        connection.open(path, QByteArray(kDatabaseKey), true);
        connection.begin();
        for (const TableDef& def : tables())
            connection.exec(createStatement(def));
        for (const QString& index : indexStatements())
            connection.exec(index);
        loadReferenceData(connection);
        connection.commit();
    } catch (const DbError& e) {
        connection.close();
        QFile::remove(path);
        throw Error(QStringLiteral("Não foi possível criar o banco de dados %1: %2").arg(path, e.message()));
    } catch (...) {
        connection.close();
        QFile::remove(path);
        throw;
    }
}

QString referenceQuery(const QString& table)
{
    for (const ReferenceQuery& q : referenceQueries()) {
        if (table.compare(QLatin1String(q.table), Qt::CaseInsensitive) != 0)
            continue;
        QString sql = QStringLiteral("SELECT * FROM %1").arg(QLatin1String(q.table));
        if (q.validityWindow)
            sql += QStringLiteral(" WHERE ") + kValidToday;
        sql += QStringLiteral(" ORDER BY ") + (*q.order ? QLatin1String(q.order) : QLatin1String("rowid"));
        return sql;
    }
    throw Error(QStringLiteral("Tabela de referência desconhecida: %1").arg(table));
}

QStringList referenceTables()
{
    QStringList names;
    for (const ReferenceQuery& q : referenceQueries())
        names << QLatin1String(q.table);
    return names;
}

QString validityWindow()
{
    return kValidToday;
}

} // namespace jx::db

#include "Samples.h"

#include "Error.h"
#include "data/RecordSet.h"
#include "data/RecordSetWriter.h"
#include "db/Sqlite.h"
#include "text/DocumentChecks.h"


namespace jxctl::samples {

namespace {

QString cnpjOf(qint64 number)
{
    const QString first12 = QStringLiteral("%1").arg(number, 8, 10, QChar(u'0')) + QStringLiteral("0001");
    return first12 + jx::docs::cnpjCheckDigits(first12);
}

// Four people a request, none sharing a CPF with another sample's.
QString cpfOf(qint64 number, int person)
{
    const QString first9 = QStringLiteral("%1").arg(number * 4 + person, 9, 10, QChar(u'0'));
    return first9 + jx::docs::cpfCheckDigits(first9);
}

Values address()
{
    return { { QStringLiteral("CEP"), QStringLiteral("70000123") }, { QStringLiteral("ID_UF"), 10 },
        { QStringLiteral("LOCALIDADE"), QStringLiteral("CIDADE") }, { QStringLiteral("TIPO_LOGRADOURO"), 1 },
        { QStringLiteral("LOGRADOURO"), QStringLiteral("DAS FLORES") }, { QStringLiteral("NUMERO"), QStringLiteral("100") } };
}

Values contact()
{
    return { { QStringLiteral("TELEFONE"), QStringLiteral("6133334444") },
        { QStringLiteral("EMAIL"), QStringLiteral("contato@exemplo.com.br") } };
}

QVariant single(jx::db::Connection& connection, const QString& sql, const QString& what)
{
    jx::db::Statement s = connection.prepare(sql);
    if (!s.step() || s.isNull(0))
        throw jx::Error(QStringLiteral("As tabelas de referência não têm %1 para as solicitações de exemplo.").arg(what));
    return s.value(0);
}

// Sends what the set holds; a refused row undoes the whole send and stops the samples.
void send(jx::data::RecordSet& set, jx::db::Connection& connection)
{
    const jx::data::SendResult result = jx::data::sendChanges(set, connection, 0);
    if (result.refused > 0)
        throw jx::Error(QStringLiteral("As solicitações de exemplo não foram gravadas: %1")
                            .arg(result.messages.isEmpty() ? QStringLiteral("o banco de dados recusou uma linha.")
                                                           : result.messages.first()));
}

struct Table {
    jx::data::RecordSet set;
    Table(jx::db::Connection& connection, const char* table, const char* key)
        : set(QStringLiteral("exemplos_") + QLatin1String(table))
    {
        set.setSource(QStringLiteral("SELECT * FROM %1 WHERE 0").arg(QLatin1String(table)), QLatin1String(table),
            QLatin1String(key));
        set.open(connection);
    }
    // The raw row of the appended one.
    int append(const Values& values)
    {
        set.append();
        for (const auto& [column, value] : values)
            set.setValue(column, value);
        set.post();
        return set.rawRowAt(set.recNo());
    }
    QVariant key(int raw) const { return set.rawValue(raw, set.keyField()); }
};

} // namespace

References references(jx::db::Connection& connection)
{
    References r;
    r.cnaef = single(connection,
        QStringLiteral("SELECT ID_CNAEF FROM CNAEF P WHERE length(trim(COD_FORMATADO)) = 9 AND INFORMA_CNPJ_VINC <> 'S' "
                       "AND NOT EXISTS (SELECT 1 FROM CNAEF D WHERE D.COD_TIPO = 6 AND D.COD_CNAEF_SUPERIOR = "
                       "CAST(P.ID_CNAEF AS INTEGER)) AND NOT EXISTS (SELECT 1 FROM CNAEF_CAE L WHERE L.ID_CNAEF = "
                       "P.ID_CNAEF) ORDER BY ID_CNAEF LIMIT 1"),
        QStringLiteral("uma CNAE-F principal"));
    r.naturezaJuridica = single(connection, QStringLiteral("SELECT MIN(ID_NATUREZAJUD) FROM NATUREZA_JURIDICA"),
        QStringLiteral("uma natureza jurídica"));
    r.formaComercializacao = single(connection, QStringLiteral("SELECT MIN(CODIGO) FROM FORMA_COMERCIALIZACAO"),
        QStringLiteral("uma forma de comercialização"));
    return r;
}

Request request(qint64 number, const References& references, const QDateTime& created)
{
    Request r;
    const QString day = created.date().toString(Qt::ISODate);
    r.row = {
        { QStringLiteral("CNPJ"), cnpjOf(number) },
        { QStringLiteral("NOME_EMPRESARIAL"), QStringLiteral("EMPRESA DE EXEMPLO %1 LTDA").arg(number) },
        { QStringLiteral("CATEGORIA"), 1 },
        { QStringLiteral("VINCULO"), 1 },
        { QStringLiteral("LOCALIZACAO"), 1 },
        { QStringLiteral("INSCRICAO_UNICA"), QStringLiteral("N") },
        { QStringLiteral("SUBSTITUTO_TRIBUTARIO"), QStringLiteral("N") },
        { QStringLiteral("IND_LIVROS_FISCAIS"), QStringLiteral("N") },
        { QStringLiteral("ID_CNAEF_PRINCIPAL"), references.cnaef },
        { QStringLiteral("ID_NATUREZA_JURIDICA"), references.naturezaJuridica },
        { QStringLiteral("ID_FORMA_COMERCIALIZACAO"), references.formaComercializacao },
        { QStringLiteral("ID_REGIME_RECOLHIMENTO"), 3 },
        { QStringLiteral("RECEITA_BRUTA"), qint64(10000000) },
        { QStringLiteral("DATA_INICIO_ATIVIDADE"), QStringLiteral("2005-02-01") },
        { QStringLiteral("DATASOLICITACAOIE"), day },
        { QStringLiteral("DATACRIACAO"), created.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) },
        { QStringLiteral("STATUS"), QStringLiteral("C") },
    };
    r.address = address();
    r.contact = contact();
    for (int p = 0; p < 3; ++p) {
        Person partner;
        partner.row = { { QStringLiteral("TIPO_IDENTIFICACAO"), 4 }, { QStringLiteral("IDENTIFICACAO"), cpfOf(number, p) },
            { QStringLiteral("RESPONSAVEL_MASTER"), p == 0 ? QStringLiteral("S") : QStringLiteral("N") },
            { QStringLiteral("PARTICIPACAO"), 33.3 }, { QStringLiteral("PARTICIPACAO_DATA_INICIO"), QStringLiteral("2005-02-01") },
            { QStringLiteral("DATA_NASCIMENTO"), QStringLiteral("1970-02-01") } };
        partner.address = address();
        partner.contact = contact();
        r.partners.push_back(partner);
    }
    Person responsible;
    responsible.row = { { QStringLiteral("IDENTIFICACAO"), cpfOf(number, 3) }, { QStringLiteral("ID_FUNCAO"), 1 },
        { QStringLiteral("DATA_INICIO"), QStringLiteral("2005-02-01") } };
    responsible.address = address();
    responsible.contact = contact();
    r.responsibles.push_back(responsible);
    return r;
}

qint64 lastRequestKey(jx::db::Connection& connection)
{
    jx::db::Statement s = connection.prepare(QStringLiteral("SELECT ifnull(MAX(ID_SOLICITACAO), 0) FROM SOLICITACAO_IE"));
    s.step();
    return s.int64(0);
}

Created createRequests(jx::db::Connection& connection, int count, const QDateTime& created)
{
    if (count < 1 || count > kMaxCount)
        throw jx::Error(QStringLiteral("O número de solicitações de exemplo deve ser de 1 a %1.").arg(kMaxCount));
    const References refs = references(connection);
    const qint64 base = lastRequestKey(connection);
    std::vector<Request> requests;
    requests.reserve(size_t(count));
    for (int i = 1; i <= count; ++i)
        requests.push_back(request(base + i, refs, created));

    // Table by table, each row's key read back by the writer before the rows that point at it.
    Table addresses(connection, "ENDERECO", "ID_ENDERECO");
    Table contacts(connection, "COMUNICACAO", "ID_COMUNICACAO");
    struct Keys {
        int address = -1;
        int contact = -1;
    };
    // Per request: its own address and contact, then its people's in order.
    std::vector<std::vector<Keys>> rows(requests.size());
    for (size_t i = 0; i < requests.size(); ++i) {
        const Request& r = requests[i];
        rows[i].push_back({ addresses.append(r.address), contacts.append(r.contact) });
        for (const auto* people : { &r.partners, &r.responsibles }) {
            for (const Person& p : *people)
                rows[i].push_back({ addresses.append(p.address), contacts.append(p.contact) });
        }
    }
    send(addresses.set, connection);
    send(contacts.set, connection);

    Table filings(connection, "SOLICITACAO_IE", "ID_SOLICITACAO");
    std::vector<int> filingRows;
    filingRows.reserve(requests.size());
    for (size_t i = 0; i < requests.size(); ++i) {
        Values row = requests[i].row;
        row.emplace_back(QStringLiteral("ID_ENDERECO_ESTABELECIMENTO"), addresses.key(rows[i][0].address));
        row.emplace_back(QStringLiteral("ID_COMUNICACAO_EMPRESA"), contacts.key(rows[i][0].contact));
        filingRows.push_back(filings.append(row));
    }
    send(filings.set, connection);

    Table partners(connection, "SOLICITACAO_IE_SOCIO", "ID_SOCIO");
    Table responsibles(connection, "SOLICITACAO_IE_RESPONSAVEL", "ID_RESPONSAVEL");
    for (size_t i = 0; i < requests.size(); ++i) {
        const QVariant key = filings.key(filingRows[i]);
        size_t person = 1;
        for (Table* table : { &partners, &responsibles }) {
            const std::vector<Person>& people = table == &partners ? requests[i].partners : requests[i].responsibles;
            for (const Person& p : people) {
                Values row = p.row;
                row.emplace_back(QStringLiteral("ID_SOLICITACAO"), key);
                row.emplace_back(QStringLiteral("ID_ENDERECO"), addresses.key(rows[i][person].address));
                row.emplace_back(QStringLiteral("ID_COMUNICACAO"), contacts.key(rows[i][person].contact));
                table->append(row);
                ++person;
            }
        }
    }
    send(partners.set, connection);
    send(responsibles.set, connection);
    return { filings.key(filingRows.front()).toLongLong(), filings.key(filingRows.back()).toLongLong() };
}

} // namespace jxctl::samples

// Verifying 10,000 requests (3 partners, 1 responsible person, addresses and contacts each)
// through ApurarPendencias, and moving a browser's cursor through 1,000 of them one by one,
// each against reading the same rows with their details through plain prepared statements.

#include "BenchDatabase.h"
#include "BenchRatio.h"

#include "data/TdtmJX.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"
#include "verification/Verification.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace {

constexpr int kRequests = 10000;
constexpr int kMoves = 1000;

// A request's rows as the program holds them: the request, its partners and responsible
// persons with their addresses and contacts, its own addresses and contact, its linked
// registrations and CNPJs and its delivery records. One statement per table, prepared once.
class RawReader {
public:
    explicit RawReader(jx::db::Connection& c)
        : m_requests(c.prepare("SELECT * FROM SOLICITACAO_IE ORDER BY ID_SOLICITACAO"))
        , m_partners(c.prepare("SELECT * FROM SOLICITACAO_IE_SOCIO WHERE ID_SOLICITACAO = ?"))
        , m_responsibles(c.prepare("SELECT * FROM SOLICITACAO_IE_RESPONSAVEL WHERE ID_SOLICITACAO = ?"))
        , m_linkedIe(c.prepare("SELECT * FROM SOLICITACAO_IE_VINCULADO WHERE ID_SOLICITACAO = ?"))
        , m_linkedCnpj(c.prepare("SELECT * FROM SOLICITACAO_CNPJ_VINCULADO WHERE ID_SOLICITACAO = ?"))
        , m_deliveries(c.prepare("SELECT * FROM ENTREGAS WHERE SOLICITACAO_ID = ?"))
        , m_address(c.prepare("SELECT * FROM ENDERECO WHERE ID_ENDERECO = ?"))
        , m_contact(c.prepare("SELECT * FROM COMUNICACAO WHERE ID_COMUNICACAO = ?"))
    {
        const QStringList r = m_requests.columnNames();
        m_id = int(r.indexOf("ID_SOLICITACAO"));
        m_estab = int(r.indexOf("ID_ENDERECO_ESTABELECIMENTO"));
        m_corresp = int(r.indexOf("ID_ENDERECO_CORRESPONDECIA"));
        m_company = int(r.indexOf("ID_COMUNICACAO_EMPRESA"));
        m_personAddress = int(m_partners.columnNames().indexOf("ID_ENDERECO"));
        m_personContact = int(m_partners.columnNames().indexOf("ID_COMUNICACAO"));
        m_respAddress = int(m_responsibles.columnNames().indexOf("ID_ENDERECO"));
        m_respContact = int(m_responsibles.columnNames().indexOf("ID_COMUNICACAO"));
    }

    // Reads up to limit requests with their details; the number of cells read.
    qint64 read(int limit)
    {
        m_cells = 0;
        m_requests.reset();
        for (int n = 0; n < limit && m_requests.step(); ++n) {
            readRow(m_requests);
            const QVariant id = m_requests.value(m_id);
            byKey(m_address, m_requests.value(m_estab));
            byKey(m_address, m_requests.value(m_corresp));
            byKey(m_contact, m_requests.value(m_company));
            people(m_partners, id, m_personAddress, m_personContact);
            people(m_responsibles, id, m_respAddress, m_respContact);
            for (jx::db::Statement* s : { &m_linkedIe, &m_linkedCnpj, &m_deliveries })
                byKey(*s, id);
        }
        return m_cells;
    }

private:
    void readRow(jx::db::Statement& s)
    {
        for (int col = 0; col < s.columnCount(); ++col) {
            const QVariant v = s.value(col);
            benchmark::DoNotOptimize(v);
            ++m_cells;
        }
    }
    void byKey(jx::db::Statement& s, const QVariant& key)
    {
        s.reset();
        s.bind(1, key);
        while (s.step())
            readRow(s);
    }
    void people(jx::db::Statement& s, const QVariant& id, int address, int contact)
    {
        s.reset();
        s.bind(1, id);
        while (s.step()) {
            readRow(s);
            byKey(m_address, s.value(address));
            byKey(m_contact, s.value(contact));
        }
    }

    jx::db::Statement m_requests, m_partners, m_responsibles, m_linkedIe, m_linkedCnpj, m_deliveries, m_address,
        m_contact;
    int m_id, m_estab, m_corresp, m_company, m_personAddress, m_personContact, m_respAddress, m_respContact;
    qint64 m_cells = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    jxbench::createDatabase();
    jxbench::fillRequests(kRequests);

    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(jxbench::folder().path(), prompts, [] {});
    jx::TdtmJX jx(database, prompts, [] {}, jxbench::folder().path());
    jx::Verification verification(jx);
    jx::data::RecordSet& requests = *jx.cdsSolicitacaoIE;

    jx::db::Connection raw;
    raw.open(jxbench::databasePath(), jx::db::kDatabaseKey);
    RawReader reader(raw);

    jxbench::runPair({ "verification.all_requests", 2.0,
        [&] {
            int errors = 0;
            // A batch (file generation) reads in one transaction, as the baseline's open statement does.
            jx::db::Transaction batch(database.connection());
            for (int v = 0; v < requests.count(); ++v) {
                requests.moveTo(v); // the request's details follow
                verification.ApurarPendencias(1);
                errors += verification.errorCount();
            }
            benchmark::DoNotOptimize(errors);
        },
        [&] {
            jx::db::Transaction batch(raw);
            benchmark::DoNotOptimize(reader.read(kRequests));
        } });

    jxbench::runPair({ "browser.cursor_moves", 2.0,
        [&] {
            // As the arrow key does: one row down at a time, each move loading that row's details.
            requests.first();
            for (int v = 1; v < kMoves; ++v)
                requests.moveTo(v);
            benchmark::DoNotOptimize(jx.cdsSolicitacao_IE_Socio->count());
        },
        [&] { benchmark::DoNotOptimize(reader.read(kMoves)); } });
    return 0;
}

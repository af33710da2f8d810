// An office's season, end to end, in a fresh program folder with a fresh database and key pair:
//   1. 10,000 complete sample requests created (the routine of jxctl exemplos, through the
//      data layer's record sets and writer, one transaction),
//   2. all of them verified (ApurarPendencias, details loaded by moving the cursor, after the
//      data module opened on the database),
//   3. 1,000 of them generated and delivered on a drive (the diskette route of DeliveryRun onto
//      a folder standing in for the drive: verification, layout, encryption, stamp, copy,
//      delivery records),
//   4. their 1,000 protocols captured from the returned disk (ProtocolCapture, one transaction),
//   5. the same 1,000 backed up (FilingBackup) and
//   6. restored into an empty database (Restore, one transaction a file, as the window does).
// Each step is timed once (wall and CPU) against its raw work, done in the same run on a
// database of its own: the same rows, files and syncs without the program's machinery —
//   1. prepared INSERTs of the same values in one transaction;
//   2. the same rows read with prepared statements;
//   3. the filings' rows read, their data sections encrypted (RSA blocks, Base64), the files
//      hashed (SHA-1), written to a working folder and written, synced and renamed onto the
//      drive; the same delivery rows and statuses written in one transaction;
//   4. the returned files read and hashed, each filing found by its CNPJ, and the same
//      protocol values and receipts written with UPDATEs in one transaction;
//   5. rows read, data encrypted, files hashed, written to a working folder, then written,
//      synced and renamed into the backup folder;
//   6. the backups decrypted and parsed, their rows (deliveries too) inserted with prepared
//      statements, one transaction a file.
// Both sides open their databases with the program's settings (rollback journal, every commit
// synced). Each step's wall time is split into CPU, waiting for a core and waiting for the disk:
// on a shared machine the first wait can hide the second. RATIO office.<step> lines follow the
// steps, then RATIO office.end_to_end, the total measured wall time over the total raw wall time.
//
// The same chain by hand, with the program folder in JX_HOME:
//   jxctl banco criar $JX_HOME/Banco/JX.mdb && jxctl chaves gerar $JX_HOME/BIN
//   jxctl exemplos solicitacoes 10000
//   jxctl verificar solicitacoes todas
//   jxctl entregar disquete --drive DISCO solicitacao 1-1000
//   velkor --devolver DISCO --chaves $JX_HOME/BIN          (the authority returns the disk)
//   jxctl capturar --drive DISCO --gravar
//   jxctl backup solicitacao 1-1000 --pasta COPIAS
//   jxctl banco criar OUTRA/Banco/JX.mdb && jxctl restaurar --pasta COPIAS --banco OUTRA/Banco/JX.mdb

#include "BenchRatio.h"

#include "../tools/jxctl/Samples.h"

#include "backup/FilingBackup.h"
#include "backup/Restore.h"
#include "backup/RestorePlan.h"
#include "data/TdtmJX.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "db/TdtmDB.h"
#include "delivery/DeliveryRun.h"
#include "delivery/ManipulaXml.h"
#include "delivery/ProtocolCapture.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/RsaKey.h"
#include "delivery/XmlLibraryPass.h"
#include "platform/ScriptedPrompts.h"
#include "verification/Verification.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <openssl/evp.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>

namespace {

constexpr int kFilings = 10000;
constexpr int kDelivered = 1000;

using jxbench::Times;

// Thrown when the chain did not do its work: a ratio over less work would mislead.
struct ChainBroken : std::runtime_error {
    explicit ChainBroken(const QString& text)
        : std::runtime_error(text.toStdString())
    {
    }
};

void require(bool condition, const QString& what)
{
    if (!condition)
        throw ChainBroken(what);
}

struct Folders {
    QTemporaryDir root;
    QString at(const QString& name) const { return QDir(root.path()).filePath(name); }
    QString program() const { return at("JX"); }
    QString database() const { return at("JX/Banco/JX.mdb"); }
    QString keys() const { return at("JX/BIN"); }
    QString drive() const { return at("disco"); }
    QString backups() const { return at("copias"); }
    QString restored() const { return at("restaurado"); }
    // The raw work's own.
    QString rawDatabase() const { return at("bruto/JX.mdb"); }
    QString rawRestored() const { return at("bruto/restaurado.mdb"); }
    QString rawWork() const { return at("bruto/Temp"); }
    QString rawDrive() const { return at("bruto/disco"); }
    QString rawBackups() const { return at("bruto/copias"); }
};

void openAsTheProgram(jx::db::Connection& c, const QString& path)
{
    jx::TdtmDB::openValidated(c, path);
}

// Prepared once per text, as a plain program would keep them.
class Statements {
public:
    explicit Statements(jx::db::Connection& c)
        : m_c(c)
    {
    }
    jx::db::Statement& operator()(const QString& sql)
    {
        auto it = m_statements.find(sql);
        if (it == m_statements.end())
            it = m_statements.emplace(sql, std::make_unique<jx::db::Statement>(m_c.prepare(sql))).first;
        it->second->reset();
        return *it->second;
    }
    jx::db::Connection& connection() { return m_c; }

private:
    jx::db::Connection& m_c;
    std::map<QString, std::unique_ptr<jx::db::Statement>> m_statements;
};

template <typename Values>
qint64 insertRow(Statements& st, const QString& table, const Values& values)
{
    QString columns;
    QString marks;
    for (const auto& [column, value] : values) {
        columns += (columns.isEmpty() ? QString() : QStringLiteral(",")) + column;
        marks += marks.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
    }
    jx::db::Statement& s = st(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns, marks));
    int i = 1;
    for (const auto& [column, value] : values)
        s.bind(i++, value);
    s.run();
    return st.connection().lastInsertId();
}

// Reads every cell of the statement's rows; the count keeps the reading from being skipped.
qint64 readAll(jx::db::Statement& s)
{
    qint64 cells = 0;
    while (s.step()) {
        for (int col = 0; col < s.columnCount(); ++col)
            cells += s.value(col).isValid() ? 1 : 0;
    }
    return cells;
}

// The rows a request's file is made of: the request, its address and contact, its people with
// theirs, its deliveries.
class RequestRows {
public:
    explicit RequestRows(Statements& st)
        : m_st(st)
    {
    }
    qint64 read(qint64 id)
    {
        jx::db::Statement& request = m_st(QStringLiteral("SELECT * FROM SOLICITACAO_IE WHERE ID_SOLICITACAO = ?"));
        request.bind(1, id);
        if (!request.step())
            return 0;
        qint64 cells = request.columnCount();
        const QVariant address = request.value(request.columnNames().indexOf("ID_ENDERECO_ESTABELECIMENTO"));
        const QVariant contact = request.value(request.columnNames().indexOf("ID_COMUNICACAO_EMPRESA"));
        return cells + details(id, address, contact);
    }
    // What follows a request row already read.
    qint64 details(qint64 id, const QVariant& address, const QVariant& contact)
    {
        qint64 cells = byKey("ENDERECO", "ID_ENDERECO", address) + byKey("COMUNICACAO", "ID_COMUNICACAO", contact);
        for (const char* table : { "SOLICITACAO_IE_SOCIO", "SOLICITACAO_IE_RESPONSAVEL" }) {
            jx::db::Statement& people
                = m_st(QStringLiteral("SELECT * FROM %1 WHERE ID_SOLICITACAO = ?").arg(QLatin1String(table)));
            people.bind(1, id);
            std::vector<std::pair<QVariant, QVariant>> keys;
            while (people.step()) {
                cells += people.columnCount();
                keys.emplace_back(people.value(people.columnNames().indexOf("ID_ENDERECO")),
                    people.value(people.columnNames().indexOf("ID_COMUNICACAO")));
            }
            for (const auto& [a, m] : keys)
                cells += byKey("ENDERECO", "ID_ENDERECO", a) + byKey("COMUNICACAO", "ID_COMUNICACAO", m);
        }
        jx::db::Statement& deliveries = m_st(QStringLiteral("SELECT * FROM ENTREGAS WHERE SOLICITACAO_ID = ?"));
        deliveries.bind(1, id);
        return cells + readAll(deliveries);
    }

private:
    qint64 byKey(const char* table, const char* key, const QVariant& value)
    {
        jx::db::Statement& s
            = m_st(QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(QLatin1String(table), QLatin1String(key)));
        s.bind(1, value);
        return readAll(s);
    }
    Statements& m_st;
};

QByteArray readFile(const QString& path)
{
    QFile f(path);
    require(f.open(QIODevice::ReadOnly), QStringLiteral("não foi possível ler %1").arg(path));
    return f.readAll();
}

QByteArray sha1(const QByteArray& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.constData(), size_t(bytes.size()), digest, &length, EVP_sha1(), nullptr);
    return QByteArray(reinterpret_cast<const char*>(digest), int(length));
}

// A working folder's write: over the old content, not flushed (the folder goes after the run).
void writeScratch(const QString& path, const QByteArray& bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool written = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    require(fd >= 0 && ::close(fd) == 0 && written, QStringLiteral("não foi possível gravar %1").arg(path));
}

// A user's file: written under a temporary name, synced, renamed over the old one.
void writeSynced(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temp = target + ".tmp";
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool written = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size()
        && ::fdatasync(fd) == 0;
    require(fd >= 0 && ::close(fd) == 0 && written && ::rename(temp.constData(), target.constData()) == 0,
        QStringLiteral("não foi possível gravar %1").arg(path));
}

// The plain data section of a sealed file, for the raw work to encrypt again.
QByteArray plainData(const QString& file, const jx::RsaKey& privateKey)
{
    pugi::xml_document document;
    jx::xmlpass::load(document, file);
    return jx::rsa::decrypt(QByteArray(document.document_element().child("dados").text().get()).trimmed(), privateKey);
}

struct SealedFile {
    QString name;
    qint64 request = 0;
    QByteArray plain;
    QByteArray bytes;
};

QList<SealedFile> sealedFiles(const QString& folder, const jx::RsaKey& privateKey, jx::db::Connection& program)
{
    QList<SealedFile> files;
    jx::db::Statement byCnpj = program.prepare(QStringLiteral("SELECT ID_SOLICITACAO FROM SOLICITACAO_IE WHERE CNPJ = ?"));
    for (const QString& name : QDir(folder).entryList({ "*.xml" }, QDir::Files, QDir::Name)) {
        SealedFile f;
        f.name = name;
        f.plain = plainData(QDir(folder).filePath(name), privateKey);
        f.bytes = readFile(QDir(folder).filePath(name));
        byCnpj.reset();
        byCnpj.bind(1, name.mid(7, 14));
        require(byCnpj.step(), QStringLiteral("o arquivo %1 não é de uma solicitação").arg(name));
        f.request = byCnpj.int64(0);
        files << f;
    }
    return files;
}

// What the raw work of a generation does for one file: its rows read, its data encrypted,
// the file hashed and written to the working folder, then written and synced into place.
void sealAndPlace(RequestRows& rows, const SealedFile& f, const jx::RsaKey& publicKey, const QString& work,
    const QString& target)
{
    require(rows.read(f.request) > 0, QStringLiteral("a solicitação %1 não foi lida").arg(f.request));
    benchmark::DoNotOptimize(jx::rsa::encrypt(f.plain, publicKey));
    benchmark::DoNotOptimize(sha1(f.bytes));
    writeScratch(QDir(work).filePath(f.name), f.bytes);
    writeSynced(QDir(target).filePath(f.name), f.bytes);
}

void writeVolume(const QString& drive)
{
    QDir().mkpath(drive);
    QFile volume(QDir(drive).filePath(".jxvolume"));
    require(volume.open(QIODevice::WriteOnly), QStringLiteral("não foi possível preparar o disco"));
    volume.write("label=ESCRITORIO\nserial=0x00000007\n");
}

// The authority's part: a protocol written into every file of the disk, stamped again.
void returnDisk(const QString& drive)
{
    jx::ScriptedPrompts quiet;
    int n = 0;
    for (const QString& name : QDir(drive).entryList({ "*.xml" }, QDir::Files, QDir::Name)) {
        const QString file = QDir(drive).filePath(name);
        pugi::xml_document document;
        jx::xmlpass::load(document, file);
        pugi::xml_node protocol = document.document_element().child("cabecalho").child("protocolo");
        protocol.child("numero").text().set(QStringLiteral("2026%1").arg(++n, 13, 10, QChar(u'0')).toUtf8().constData());
        protocol.child("data").text().set("11/12/2026");
        protocol.child("hora").text().set("14:35:27");
        jx::xmlpass::save(document, file);
        require(jx::xmlfile::GravarVerificador(file, quiet), QStringLiteral("o protocolo de %1 não foi carimbado").arg(name));
    }
}

// Time this process spent ready but waiting for a core (ms): on a shared machine it tells the
// wait for the processor from the wait for the disk.
double queuedMs()
{
    QFile stat(QStringLiteral("/proc/self/schedstat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().simplified().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() / 1e6 : 0;
}

struct Timed {
    double wallMs = 0;
    double cpuMs = 0;
    double queuedMs = 0;
    // Neither running nor ready: waiting for the disk (syncs, reads).
    double blockedMs() const { return std::max(0.0, wallMs - cpuMs - queuedMs); }
    Timed& operator+=(const Timed& o)
    {
        wallMs += o.wallMs;
        cpuMs += o.cpuMs;
        queuedMs += o.queuedMs;
        return *this;
    }
};

Timed timed(const std::function<void()>& work)
{
    const double queued = queuedMs();
    const Times t = jxbench::timeOnce(work);
    return { t.wallMs, t.cpuMs, queuedMs() - queued };
}

struct Step {
    QString name;
    Timed measured;
    Timed raw;
};

void report(const Step& s)
{
    auto line = [](const Timed& t) {
        return QStringLiteral("wall %1 ms, cpu %2 ms, waiting for a core %3 ms, for the disk %4 ms")
            .arg(t.wallMs, 0, 'f', 1)
            .arg(t.cpuMs, 0, 'f', 1)
            .arg(t.queuedMs, 0, 'f', 1)
            .arg(t.blockedMs(), 0, 'f', 1);
    };
    std::printf("%s: measured %s; raw %s; cpu ratio %.2f\n", s.name.toUtf8().constData(),
        line(s.measured).toUtf8().constData(), line(s.raw).toUtf8().constData(),
        s.raw.cpuMs > 0 ? s.measured.cpuMs / s.raw.cpuMs : 0);
    std::fflush(stdout);
}

class Office {
public:
    Office()
        : m_moment(QDate(2026, 12, 1), QTime(9, 0))
    {
        QDir().mkpath(QFileInfo(m_f.database()).absolutePath());
        QDir().mkpath(QFileInfo(m_f.rawDatabase()).absolutePath());
        jx::db::createDatabase(m_f.database());
        jx::db::createDatabase(m_f.rawDatabase());
        m_keys = jx::RsaKeyPair::generate();
        m_keys.save(m_f.keys());
        writeVolume(m_f.drive());
        for (const QString& folder : { m_f.backups(), m_f.rawWork(), m_f.rawDrive(), m_f.rawBackups() })
            QDir().mkpath(folder);
        openAsTheProgram(m_raw, m_f.rawDatabase());
    }

    std::vector<Step> run()
    {
        std::vector<Step> steps;
        for (Step (Office::*step)() : { &Office::creation, &Office::verification, &Office::delivery, &Office::capture,
                 &Office::backup, &Office::restore }) {
            steps.push_back((this->*step)());
            const Step& s = steps.back();
            report(s);
            jxbench::printRatio("office." + s.name.toStdString(), s.measured.wallMs / s.raw.wallMs, 0);
        }
        return steps;
    }

private:
    Step creation()
    {
        Step s { "creation", {}, {} };
        jx::db::Connection program;
        openAsTheProgram(program, m_f.database());
        jxctl::samples::Created created;
        s.measured = timed([&] {
            jx::db::Transaction transaction(program);
            created = jxctl::samples::createRequests(program, kFilings, m_moment);
            transaction.commit();
        });
        require(created.firstKey == 1 && created.lastKey == kFilings, QStringLiteral("as solicitações não foram criadas"));

        s.raw = timed([&] {
            Statements st(m_raw);
            jx::db::Transaction transaction(m_raw);
            const jxctl::samples::References refs = jxctl::samples::references(m_raw);
            for (qint64 n = 1; n <= kFilings; ++n) {
                const jxctl::samples::Request r = jxctl::samples::request(n, refs, m_moment);
                jxctl::samples::Values row = r.row;
                row.emplace_back(QStringLiteral("ID_ENDERECO_ESTABELECIMENTO"), insertRow(st, "ENDERECO", r.address));
                row.emplace_back(QStringLiteral("ID_COMUNICACAO_EMPRESA"), insertRow(st, "COMUNICACAO", r.contact));
                const qint64 key = insertRow(st, "SOLICITACAO_IE", row);
                for (const auto* people : { &r.partners, &r.responsibles }) {
                    for (const jxctl::samples::Person& p : *people) {
                        jxctl::samples::Values person = p.row;
                        person.emplace_back(QStringLiteral("ID_SOLICITACAO"), key);
                        person.emplace_back(QStringLiteral("ID_ENDERECO"), insertRow(st, "ENDERECO", p.address));
                        person.emplace_back(QStringLiteral("ID_COMUNICACAO"), insertRow(st, "COMUNICACAO", p.contact));
                        insertRow(st, people == &r.partners ? "SOLICITACAO_IE_SOCIO" : "SOLICITACAO_IE_RESPONSAVEL", person);
                    }
                }
            }
            transaction.commit();
        });
        return s;
    }

    Step verification()
    {
        Step s { "verification", {}, {} };
        int errors = -1;
        Times opening;
        s.measured = timed([&] {
            opening = jxbench::timeOnce([&] {
                m_database = std::make_unique<jx::TdtmDB>(m_f.program(), m_prompts, [] {});
                m_jx = std::make_unique<jx::TdtmJX>(*m_database, m_prompts, [] {}, m_f.program());
            });
            m_jx->TipoAtual = 1;
            jx::Verification verification(*m_jx);
            jx::db::Transaction snapshot(m_database->connection());
            errors = 0;
            jx::data::RecordSet& requests = *m_jx->cdsSolicitacaoIE;
            for (int v = 0; v < requests.count(); ++v) {
                requests.moveTo(v); // the request's details follow
                if (!verification.ApurarPendencias(1))
                    ++errors;
            }
            snapshot.commit();
        });
        require(m_jx->cdsSolicitacaoIE->count() == kFilings && errors == 0,
            QStringLiteral("%1 solicitações com erros").arg(errors));
        std::printf("verification: of it, the data module's opening wall %.1f ms, cpu %.1f ms\n", opening.wallMs,
            opening.cpuMs);

        s.raw = timed([&] {
            Statements st(m_raw);
            RequestRows rows(st);
            jx::db::Transaction snapshot(m_raw);
            qint64 cells = 0;
            jx::db::Statement& requests = st(QStringLiteral("SELECT * FROM SOLICITACAO_IE ORDER BY ID_SOLICITACAO"));
            const QStringList names = requests.columnNames();
            const int id = int(names.indexOf("ID_SOLICITACAO"));
            const int address = int(names.indexOf("ID_ENDERECO_ESTABELECIMENTO"));
            const int contact = int(names.indexOf("ID_COMUNICACAO_EMPRESA"));
            while (requests.step()) {
                cells += requests.columnCount();
                cells += rows.details(requests.int64(id), requests.value(address), requests.value(contact));
            }
            benchmark::DoNotOptimize(cells);
            snapshot.commit();
        });
        return s;
    }

    QList<int> deliveredRows()
    {
        QList<int> rows;
        jx::data::RecordSet& requests = *m_jx->cdsSolicitacaoIE;
        for (qint64 id = 1; id <= kDelivered; ++id) {
            require(requests.locate(QStringLiteral("ID_SOLICITACAO"), id), QStringLiteral("solicitação %1").arg(id));
            rows << requests.recNo();
        }
        return rows;
    }

    Step delivery()
    {
        Step s { "delivery", {}, {} };
        const QList<int> rows = deliveredRows();
        qsizetype delivered = 0;
        s.measured = timed([&] {
            jx::DeliveryRun run(*m_jx, m_prompts, m_f.program(), jx::DeliveryRun::Mode::Diskette);
            jx::DeliveryRun::Hooks hooks;
            const QString drive = m_f.drive();
            hooks.chooseDrive = [drive] { return std::optional<QString>(drive); };
            run.setHooks(hooks);
            run.FazerEntrega(rows);
            delivered = run.deliveredFiles().size();
        });
        require(delivered == kDelivered, QStringLiteral("%1 arquivos entregues").arg(delivered));

        const QList<SealedFile> files = sealedFiles(m_f.drive(), m_keys.privateKey, m_database->connection());
        // The delivery rows as the run wrote them.
        std::map<qint64, std::vector<QVariant>> records;
        {
            jx::db::Statement s = m_database->connection().prepare(
                QStringLiteral("SELECT SOLICITACAO_ID, IDENTIFICADORDISQUETE, VERSAOJXTRANSMISSAO, "
                               "VERIFICADORINTEGRIDADE, NOMEARQUIVO, FORMAENTREGA FROM ENTREGAS"));
            while (s.step())
                records[s.int64(0)] = { s.value(1), s.value(2), s.value(3), s.value(4), s.value(5) };
        }
        require(records.size() == size_t(kDelivered), QStringLiteral("%1 entregas registradas").arg(records.size()));
        s.raw = timed([&] {
            Statements st(m_raw);
            RequestRows reader(st);
            jx::db::Transaction transaction(m_raw);
            for (const SealedFile& f : files)
                sealAndPlace(reader, f, m_keys.publicKey, m_f.rawWork(), m_f.rawDrive());
            for (const SealedFile& f : files) {
                const std::vector<QVariant>& r = records[f.request];
                jx::db::Statement& insert = st(QStringLiteral(
                    "INSERT INTO ENTREGAS (SOLICITACAO_ID, IDENTIFICADORDISQUETE, VERSAOJXTRANSMISSAO, "
                    "VERIFICADORINTEGRIDADE, NOMEARQUIVO, FORMAENTREGA) VALUES (?, ?, ?, ?, ?, ?)"));
                insert.bind(1, f.request);
                for (int i = 0; i < 5; ++i)
                    insert.bind(i + 2, r[size_t(i)]);
                insert.run();
                jx::db::Statement& status
                    = st(QStringLiteral("UPDATE SOLICITACAO_IE SET STATUS = 'D' WHERE ID_SOLICITACAO = ?"));
                status.bind(1, f.request);
                status.run();
            }
            transaction.commit();
        });
        return s;
    }

    Step capture()
    {
        Step s { "capture", {}, {} };
        returnDisk(m_f.drive());
        int captured = 0;
        int listed = 0;
        s.measured = timed([&] {
            jx::ProtocolCapture capture(*m_jx, m_prompts);
            if (!capture.LerDisquete(m_f.drive()))
                return;
            jx::data::RecordSet& list = *m_jx->cdsProtocolosAux;
            listed = list.count();
            // As jxctl capturar --gravar: the whole disk in one transaction.
            jx::db::Transaction transaction(m_database->connection());
            for (int row = 0; row < list.count(); ++row) {
                list.moveTo(row);
                if (!capture.selectRecordedDelivery() && capture.tryCapture())
                    ++captured;
            }
            transaction.commit();
        });
        require(listed == kDelivered && captured == kDelivered,
            QStringLiteral("%1 protocolos listados, %2 gravados").arg(listed).arg(captured));

        // The protocol values and receipts as the capture wrote them.
        std::map<QString, std::vector<QVariant>> recorded;
        {
            jx::db::Statement s = m_database->connection().prepare(
                QStringLiteral("SELECT NOMEARQUIVO, NUMEROPROTOCOLO, DATAHORAPROTOCOLO, VERSAOJXTRANSMISSAO, "
                               "VERIFICADORINTEGRIDADE, RECIBO FROM ENTREGAS"));
            while (s.step())
                recorded[s.text(0)] = { s.value(1), s.value(2), s.value(3), s.value(4), s.value(5) };
        }
        const QStringList names = QDir(m_f.drive()).entryList({ "*.xml" }, QDir::Files, QDir::Name);
        s.raw = timed([&] {
            Statements st(m_raw);
            jx::db::Transaction transaction(m_raw);
            for (const QString& name : names) {
                const QByteArray bytes = readFile(QDir(m_f.drive()).filePath(name));
                benchmark::DoNotOptimize(sha1(bytes));
                require(bytes.contains("<numero>2026"), QStringLiteral("%1 sem protocolo").arg(name));
                jx::db::Statement& find = st(QStringLiteral("SELECT ID_SOLICITACAO FROM SOLICITACAO_IE WHERE CNPJ = ?"));
                find.bind(1, name.mid(7, 14));
                require(find.step(), QStringLiteral("solicitação de %1").arg(name));
                const qint64 id = find.int64(0);
                const std::vector<QVariant>& r = recorded[name];
                jx::db::Statement& update = st(QStringLiteral(
                    "UPDATE ENTREGAS SET NUMEROPROTOCOLO = ?, DATAHORAPROTOCOLO = ?, VERSAOJXTRANSMISSAO = ?, "
                    "VERIFICADORINTEGRIDADE = ?, RECIBO = ? WHERE SOLICITACAO_ID = ? AND NOMEARQUIVO = ?"));
                for (int i = 0; i < 5; ++i)
                    update.bind(i + 1, r[size_t(i)]);
                update.bind(6, id);
                update.bind(7, name);
                update.run();
                require(m_raw.changes() == 1, QStringLiteral("entrega de %1").arg(name));
            }
            transaction.commit();
        });
        return s;
    }

    Step backup()
    {
        Step s { "backup", {}, {} };
        const QList<int> rows = deliveredRows();
        qsizetype written = 0;
        s.measured = timed([&] {
            jx::FilingBackup backup(*m_jx, m_prompts, m_f.program());
            backup.run(rows, m_f.backups());
            written = backup.written().size();
        });
        require(written == kDelivered, QStringLiteral("%1 cópias de segurança").arg(written));

        const QList<SealedFile> files = sealedFiles(m_f.backups(), m_keys.privateKey, m_database->connection());
        s.raw = timed([&] {
            Statements st(m_raw);
            RequestRows reader(st);
            jx::db::Transaction snapshot(m_raw);
            for (const SealedFile& f : files)
                sealAndPlace(reader, f, m_keys.publicKey, m_f.rawWork(), m_f.rawBackups());
            snapshot.commit();
        });
        return s;
    }

    Step restore()
    {
        Step s { "restore", {}, {} };
        QStringList files;
        for (const QString& name : QDir(m_f.backups()).entryList({ "*.xml" }, QDir::Files, QDir::Name))
            files << QDir(m_f.backups()).filePath(name);
        QDir(m_f.restored()).mkpath("Banco");
        jx::db::createDatabase(QDir(m_f.restored()).filePath("Banco/JX.mdb"));
        jx::db::createDatabase(m_f.rawRestored());
        int restored = 0;
        s.measured = timed([&] {
            jx::ScriptedPrompts prompts;
            jx::TdtmDB database(m_f.restored(), prompts, [] {});
            jx::TdtmJX jx(database, prompts, [] {}, m_f.restored());
            jx.TipoAtual = 1;
            jx::Restore restore(jx, prompts, m_f.restored());
            restore.setKeysFolder(m_f.keys());
            for (const QString& file : files) {
                const jx::Restore::Outcome outcome = restore.restoreFile(file, jx::restore::Kind::Request);
                if (outcome.key > 0 && outcome.refused.isEmpty() && outcome.droppedDeliveries.isEmpty())
                    ++restored;
            }
        });
        require(restored == kDelivered, QStringLiteral("%1 arquivos restaurados").arg(restored));

        // The states by their abbreviation, as a plain program would keep them.
        QMap<QString, qint64> states;
        {
            jx::db::Statement uf = m_raw.prepare(QStringLiteral("SELECT SIGLA, ID_UF FROM UF"));
            while (uf.step())
                states[uf.text(0)] = uf.int64(1);
        }
        s.raw = timed([&] {
            using namespace jx::restore;
            jx::db::Connection c;
            openAsTheProgram(c, m_f.rawRestored());
            Statements st(c);
            const jx::RsaKey privateKey = jx::RsaKey::load(QDir(m_f.keys()).filePath(jx::kPrivateKeyFile));
            auto address = [&](const Address& a) {
                Values row = a.values;
                row.emplace_back(QStringLiteral("ID_UF"), states.value(a.uf));
                return insertRow(st, "ENDERECO", row);
            };
            for (const QString& file : files) {
                const RestorePlan plan = parseBackup(plainData(file, privateKey), Kind::Request);
                jx::db::Transaction transaction(c);
                Values filing = plan.filing;
                filing.emplace_back(QStringLiteral("ID_ENDERECO_ESTABELECIMENTO"), address(*plan.address));
                if (plan.contact)
                    filing.emplace_back(QStringLiteral("ID_COMUNICACAO_EMPRESA"), insertRow(st, "COMUNICACAO", *plan.contact));
                const qint64 key = insertRow(st, "SOLICITACAO_IE", filing);
                for (const auto* people : { &plan.partners, &plan.responsibles }) {
                    for (const Person& p : *people) {
                        Values row = p.values;
                        row.emplace_back(QStringLiteral("ID_SOLICITACAO"), key);
                        if (p.address)
                            row.emplace_back(QStringLiteral("ID_ENDERECO"), address(*p.address));
                        if (p.contact)
                            row.emplace_back(QStringLiteral("ID_COMUNICACAO"), insertRow(st, "COMUNICACAO", *p.contact));
                        insertRow(st, people == &plan.partners ? "SOLICITACAO_IE_SOCIO" : "SOLICITACAO_IE_RESPONSAVEL", row);
                    }
                }
                for (const Delivery& d : plan.deliveries) {
                    Values row = d.values;
                    row.emplace_back(QStringLiteral("SOLICITACAO_ID"), key);
                    insertRow(st, "ENTREGAS", row);
                }
                transaction.commit();
            }
        });
        return s;
    }

    Folders m_f;
    QDateTime m_moment;
    jx::RsaKeyPair m_keys;
    jx::db::Connection m_raw;
    jx::ScriptedPrompts m_prompts;
    std::unique_ptr<jx::TdtmDB> m_database;
    std::unique_ptr<jx::TdtmJX> m_jx;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<Step> steps;
    try {
        Office office;
        steps = office.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "office: a cadeia parou: %s\n", e.what());
        return 1;
    }
    Step total { "total", {}, {} };
    for (const Step& s : steps) {
        total.measured += s.measured;
        total.raw += s.raw;
    }
    report(total);
    jxbench::printRatio("office.end_to_end", total.measured.wallMs / total.raw.wallMs, 2.0);
    return 0;
}

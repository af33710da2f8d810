// Every writing command of jxctl killed with SIGKILL at random moments of its run: afterwards the
// database is sound, no filing is half-written, every record has its file and every status its
// record, no filing is left in plain text, no protocol is lost, and the same command run again
// succeeds. JX_KILLS sets the kills per command (scripts/soak runs hundreds).

#include "db/Schema.h"
#include "db/Sqlite.h"
#include "delivery/ManipulaXml.h"

#include "CtlRunner.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <functional>
#include <unistd.h>

using namespace jxtest;

namespace {

void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + path.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(path, target);
    }
}

struct Outcome {
    int status = -1;
    bool killed = false;
    qint64 elapsedMs = 0;
    QString err;
};

// jxctl in a process group of its own, so that what it started can be waited for.
Outcome run(const QStringList& args, const QProcessEnvironment& environment, qint64 killAfterMs = -1)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(JXCTL_PATH), args);
    Outcome outcome;
    if (!process.waitForStarted(30000))
        return outcome;
    if (killAfterMs >= 0) {
        const bool ended = process.waitForFinished(int(killAfterMs));
        if (!ended) {
            ::kill(pid_t(process.processId()), SIGKILL);
            outcome.killed = true;
        }
    }
    const pid_t group = pid_t(process.processId());
    process.waitForFinished(120000);
    // A transmitter it started runs on to its end, as it would after the program crashed: its
    // protocols then reach the files the next run finds.
    for (int i = 0; i < 3000 && group > 0 && ::kill(-group, 0) == 0; ++i)
        QThread::msleep(10);
    outcome.elapsedMs = timer.elapsed();
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

QString readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

// Files below folder holding a filing's data section in plain text.
QStringList plainFiles(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString text = readAll(path);
        if (text.contains(QLatin1String("<habilitacao")) || text.contains(QLatin1String("<solicitacao")))
            found << path;
    }
    return found;
}

class Soak : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pristine = m_root.filePath("pristine");
        QDir().mkpath(m_pristine + "/Banco");
        const QString db = m_pristine + "/Banco/JX.mdb";
        ASSERT_EQ(jxctl({ "banco", "criar", db }).status, 0);
        ASSERT_EQ(jxctl({ "chaves", "gerar", m_pristine + "/BIN" }).status, 0);
        exec(db, "INSERT INTO ENDERECO (CEP, LOCALIDADE, BAIRRO, LOGRADOURO, NUMERO) VALUES ('70000123', 'C', 'B', 'L', '1')");
        exec(db, "INSERT INTO COMUNICACAO (TELEFONE, EMAIL) VALUES ('6133334444', 'a@b.com')");
        int second = 1;
        for (const char* cpf : { "52998224725", "11144477735", "39053344705" }) {
            exec(db, QStringLiteral("INSERT INTO SOLICITACAO_CONTAB (TIPO_IDENTIFICACAO, IDENTIFICACAO, UF_CRC, CRC, "
                                    "IDENTIFICADOR_CRC, EMAIL_RESPONSAVEL, DATANACRESP, ID_ENDERECO, ID_COMUNICACAO, "
                                    "STATUS, DATACRIACAO, DATAHABILITACAOCONTABILISTA) VALUES (4, '%1', 'QZ', '123', "
                                    "'O', 'c@d.com', '1970-02-01', 1, 1, 'C', '2026-12-02 09:10:1%2', "
                                    "'2026-12-03 10:00:00')")
                         .arg(QLatin1String(cpf))
                         .arg(second++));
        }
        const char* kills = std::getenv("JX_KILLS");
        m_kills = kills ? std::max(1, std::atoi(kills)) : 3;
    }

    static void exec(const QString& db, const QString& sql)
    {
        jx::db::Connection c;
        c.open(db, jx::db::kDatabaseKey);
        c.exec(sql);
    }

    static QString value(const QString& db, const QString& sql)
    {
        jx::db::Connection c;
        c.open(db, jx::db::kDatabaseKey);
        jx::db::Statement s = c.prepare(sql);
        return s.step() ? s.text(0) : QString();
    }

    QProcessEnvironment environmentOf(const QString& home) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("JX_HOME", home);
        environment.insert("VELKOR_HOME", home + "/velkor");
        for (const char* name : { "VELKOR_RECUSAR", "VELKOR_REMOVER", "VELKOR_QUEBRAR", "VELKOR_NADA", "VELKOR_SAIDA" })
            environment.remove(name);
        return environment;
    }

    // What must hold after any kill, in the program folder home.
    static QStringList anomalies(const QString& home, bool afterRerun, bool plainWorkingFiles)
    {
        QStringList found;
        const QString db = home + "/Banco/JX.mdb";
        try {
            jx::db::Connection c;
            c.open(db, jx::db::kDatabaseKey);
            // One connection for every question: each open derives the key anew.
            auto value = [&c](const QString& sql) {
                jx::db::Statement s = c.prepare(sql);
                return s.step() ? s.text(0) : QString();
            };
            jx::db::Statement check = c.prepare("PRAGMA integrity_check");
            if (!check.step() || check.text(0) != "ok")
                found << "integrity_check";
            jx::db::Statement pages = c.prepare("PRAGMA cipher_integrity_check");
            if (pages.step())
                found << "cipher_integrity_check: " + pages.text(0);
            // A filing all or nothing: no address or contact without its owner, no owner without them.
            if (value("SELECT count(*) FROM ENDERECO WHERE ID_ENDERECO NOT IN (SELECT ID_ENDERECO FROM "
                          "SOLICITACAO_CONTAB)")
                != "0")
                found << "endereço sem habilitação";
            if (value("SELECT count(*) FROM SOLICITACAO_CONTAB WHERE ID_ENDERECO NOT IN (SELECT ID_ENDERECO FROM "
                          "ENDERECO) OR ID_COMUNICACAO NOT IN (SELECT ID_COMUNICACAO FROM COMUNICACAO)")
                != "0")
                found << "habilitação sem endereço ou comunicação";
            // Every delivered status has its record; every diskette record its file on the drive.
            if (value("SELECT count(*) FROM SOLICITACAO_CONTAB s WHERE STATUS IN ('D', 'T') AND NOT EXISTS "
                          "(SELECT 1 FROM ENTREGAS e WHERE e.HABILITACAO_ID = s.ID_SOLICITACAO_CONTABILISTA AND "
                          "e.FORMAENTREGA = s.STATUS)")
                != "0")
                found << "situação sem registro de entrega";
            jx::db::Statement records = c.prepare("SELECT NOMEARQUIVO FROM ENTREGAS WHERE FORMAENTREGA = 'D'");
            while (records.step()) {
                const QString file = home + "/disco/" + records.text(0);
                if (!QFileInfo::exists(file) || !jx::xmlfile::ConferirHash(file))
                    found << "registro sem arquivo no disco: " + records.text(0);
            }
            // No protocol the authority issued is lost: recorded, or kept outside Temp (after the
            // next run's sweep), or still on the returned disk.
            if (afterRerun) {
                const QStringList received = QDir(home + "/velkor/recebidos").entryList(QDir::Files);
                for (const QString& name : received) {
                    const QString number = name.section(u'_', 0, 0);
                    const bool recorded = !value("SELECT 1 FROM ENTREGAS WHERE trim(NUMEROPROTOCOLO) = '" + number
                                                     + "'")
                                               .isEmpty();
                    bool kept = false;
                    for (const QString& folder : { home + "/Entregas não registradas", home + "/disco" }) {
                        for (const QString& file : QDir(folder).entryList({ "*.xml" }, QDir::Files))
                            kept = kept || readAll(folder + u'/' + file).contains("<numero>" + number + "</numero>");
                    }
                    if (!recorded && !kept)
                        found << "protocolo perdido: " + number;
                }
            }
        } catch (const std::exception& e) {
            found << QStringLiteral("banco: %1").arg(QString::fromUtf8(e.what()));
        }
        // No filing in plain text where the program leaves files of its own.
        for (const QString& folder : { home + "/disco", home + "/copias", home + "/Banco" })
            for (const QString& file : plainFiles(folder))
                found << "texto aberto: " + file;
        // The transmitter route hands plain files to the transmitter: until the next run sweeps
        // them, a kill leaves them in its working folder.
        if (afterRerun || !plainWorkingFiles)
            for (const QString& file : plainFiles(home + "/Temp"))
                found << "texto aberto: " + file;
        return found;
    }

    struct Operation {
        QString name;
        // Prepares a fresh program folder for one try.
        std::function<void(const QString& home)> prepare;
        QStringList args;
        // Whether the run again after a kill ended as it must, given its exit status.
        std::function<bool(const QString& home, const Outcome& rerun)> finished;
        bool plainWorkingFiles = false;
    };

    void soak(const Operation& op)
    {
        int kills = 0;
        QStringList problems;
        qint64 duration = 0;
        for (int attempt = 0; attempt <= m_kills; ++attempt) {
            const QString home = m_root.filePath(QStringLiteral("try%1").arg(attempt));
            copyTree(m_pristine, home);
            QDir().mkpath(home + "/disco");
            QDir().mkpath(home + "/copias");
            if (op.prepare)
                op.prepare(home);
            QStringList args = op.args;
            args.replaceInStrings("HOME", home);
            const QProcessEnvironment environment = environmentOf(home);
            // The first run is not killed: it measures how long the command takes.
            const qint64 delay = attempt == 0 ? -1 : qint64(QRandomGenerator::global()->bounded(double(duration) * 1.1));
            const Outcome first = run(args, environment, delay);
            if (attempt == 0) {
                duration = std::max<qint64>(first.elapsedMs, 50);
                if (!op.finished(home, first))
                    problems << QStringLiteral("%1 sem interrupção: saída %2 %3").arg(op.name).arg(first.status).arg(first.err);
            }
            kills += first.killed ? 1 : 0;
            for (const QString& a : anomalies(home, false, op.plainWorkingFiles))
                problems << QStringLiteral("%1, após %2 ms: %3").arg(op.name).arg(delay).arg(a);
            const Outcome again = run(args, environment);
            if (!op.finished(home, again))
                problems << QStringLiteral("%1, após %2 ms: a repetição terminou com %3 %4")
                                .arg(op.name)
                                .arg(delay)
                                .arg(again.status)
                                .arg(again.err.trimmed());
            for (const QString& a : anomalies(home, true, op.plainWorkingFiles))
                problems << QStringLiteral("%1, após %2 ms, repetido: %3").arg(op.name).arg(delay).arg(a);
            QDir(home).removeRecursively();
        }
        std::printf("jxctl %s: %d execuções, %d interrupções, %lld anomalias\n", qPrintable(op.name), m_kills, kills,
            static_cast<long long>(problems.size()));
        std::fflush(stdout);
        EXPECT_TRUE(problems.isEmpty()) << problems.join("\n").toStdString();
    }

    QTemporaryDir m_root;
    QString m_pristine;
    int m_kills = 3;
};

const QString kCount = "SELECT count(*) FROM SOLICITACAO_CONTAB";

} // namespace

TEST_F(Soak, RestoreOfABackup)
{
    ASSERT_EQ(jxctl({ "backup", "habilitacao", "2", "--pasta", m_pristine + "/origem", "--banco",
                  m_pristine + "/Banco/JX.mdb", "--chaves", m_pristine + "/BIN" })
                  .status,
        0);
    const QStringList backups = QDir(m_pristine + "/origem").entryList({ "*.xml" });
    ASSERT_EQ(backups.size(), 1);
    exec(m_pristine + "/Banco/JX.mdb", "DELETE FROM SOLICITACAO_CONTAB WHERE ID_SOLICITACAO_CONTABILISTA = 2");
    soak({ "restaurar", {}, { "restaurar", "HOME/origem/" + backups[0], "--banco", "HOME/Banco/JX.mdb" },
        [](const QString& home, const Outcome& rerun) {
            // Done once: a second run is refused as the duplicate it is.
            return (rerun.status == 0 || rerun.status == 1) && value(home + "/Banco/JX.mdb", kCount) == "3";
        } });
}

TEST_F(Soak, DisketteDeliveryOfThreeFilings)
{
    soak({ "entregar disquete", {},
        { "entregar", "disquete", "--drive", "HOME/disco", "habilitacao", "1", "2", "3", "--banco", "HOME/Banco/JX.mdb" },
        [](const QString& home, const Outcome& rerun) {
            return rerun.status == 0
                && value(home + "/Banco/JX.mdb", "SELECT group_concat(STATUS, '') FROM SOLICITACAO_CONTAB") == "DDD";
        } });
}

TEST_F(Soak, TransmitterDelivery)
{
    soak({ "entregar transmissor", {},
        { "entregar", "transmissor", "--velkor", VELKOR_PATH, "habilitacao", "1", "2", "3", "--banco",
            "HOME/Banco/JX.mdb" },
        [](const QString& home, const Outcome& rerun) {
            return rerun.status == 0
                && value(home + "/Banco/JX.mdb", "SELECT group_concat(STATUS, '') FROM SOLICITACAO_CONTAB") == "TTT";
        },
        true });
}

TEST_F(Soak, CaptureOfAReturnedDisk)
{
    // Delivered on the disk and returned by the authority before each try.
    soak({ "capturar",
        [this](const QString& home) {
            QProcessEnvironment environment = environmentOf(home);
            ASSERT_EQ(run({ "entregar", "disquete", "--drive", home + "/disco", "habilitacao", "1", "2", "3", "--banco",
                              home + "/Banco/JX.mdb" },
                          environment)
                          .status,
                0);
            QProcess authority;
            authority.setProcessEnvironment(environment);
            authority.start(VELKOR_PATH, { "--devolver", home + "/disco", "--chaves", home + "/BIN" });
            ASSERT_TRUE(authority.waitForFinished(60000));
        },
        { "capturar", "--drive", "HOME/disco", "--gravar", "--banco", "HOME/Banco/JX.mdb" },
        [](const QString& home, const Outcome& rerun) {
            return (rerun.status == 0 || rerun.status == 1)
                && value(home + "/Banco/JX.mdb", "SELECT count(*) FROM ENTREGAS WHERE length(trim(NUMEROPROTOCOLO)) > 0")
                == "3";
        } });
}

TEST_F(Soak, PerFilingBackup)
{
    soak({ "backup", {}, { "backup", "habilitacao", "1", "2", "3", "--pasta", "HOME/copias", "--banco", "HOME/Banco/JX.mdb" },
        [](const QString& home, const Outcome& rerun) {
            const QStringList files = QDir(home + "/copias").entryList({ "*.xml" }, QDir::Files);
            bool sound = files.size() == 3;
            for (const QString& file : files)
                sound = sound && jx::xmlfile::ConferirHash(home + "/copias/" + file);
            return rerun.status == 0 && sound;
        } });
}

TEST_F(Soak, DatabaseCopy)
{
    soak({ "banco copiar", {}, { "banco", "copiar", "--pasta", "HOME/copias", "--banco", "HOME/Banco/JX.mdb" },
        [](const QString& home, const Outcome& rerun) {
            bool sound = rerun.status == 0;
            for (const QString& file : QDir(home + "/copias").entryList({ "JX*.bkp" }, QDir::Files))
                sound = sound && value(home + "/copias/" + file, kCount) == "3";
            return sound;
        } });
}

TEST_F(Soak, DatabaseRestore)
{
    // The copy holds three enablements; the database one fewer.
    QDir().mkpath(m_pristine + "/origem");
    ASSERT_EQ(jxctl({ "banco", "copiar", "--pasta", m_pristine + "/origem", "--banco", m_pristine + "/Banco/JX.mdb" })
                  .status,
        0);
    const QStringList copies = QDir(m_pristine + "/origem").entryList({ "JX*.bkp" });
    ASSERT_EQ(copies.size(), 1);
    exec(m_pristine + "/Banco/JX.mdb", "DELETE FROM SOLICITACAO_CONTAB WHERE ID_SOLICITACAO_CONTABILISTA = 3");
    soak({ "banco restaurar", {}, { "banco", "restaurar", "HOME/origem/" + copies[0], "--banco", "HOME/Banco/JX.mdb" },
        [](const QString& home, const Outcome& rerun) {
            return rerun.status == 0 && value(home + "/Banco/JX.mdb", kCount) == "3";
        } });
}

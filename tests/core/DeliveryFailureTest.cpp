// What happens around the delivery's ordinary path: a record refused after the transmitter
// answered, a second process holding the database, a run killed earlier, long protocol numbers,
// daylight-saving hours, odd disk labels. The protocol the authority issued is never lost.

#include "Error.h"
#include "backup/FilingBackup.h"
#include "db/Sqlite.h"
#include "delivery/DeliveryRun.h"
#include "delivery/FileGeneration.h"
#include "delivery/ManipulaXml.h"
#include "delivery/ProtocolCapture.h"
#include "delivery/UnregisteredDeliveries.h"
#include "platform/WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <thread>

#include "../support/ThreeRequests.h"

using namespace jx;
using namespace jxtest;

namespace {

// Sets an environment variable for one scope.
class Env {
public:
    Env(const char* name, const QByteArray& value)
        : m_name(name)
        , m_old(qgetenv(name))
        , m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~Env()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

// Another process's read transaction: while it lives, no commit can take the file.
class Reader {
public:
    explicit Reader(const QString& path)
    {
        m_connection.open(path, db::kDatabaseKey);
        m_connection.exec("BEGIN");
        db::Statement s = m_connection.prepare("SELECT count(*) FROM SOLICITACAO_IE");
        s.step();
    }
    void end() { m_connection.exec("COMMIT"); }

private:
    db::Connection m_connection;
};

// A lock file as a run leaves it when it is killed: naming a process that no longer lives.
bool writeDeadLock(const QString& path)
{
    QFile lock(path);
    if (!lock.open(QIODevice::WriteOnly))
        return false;
    qint64 pid = 999999;
    while (QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)))
        ++pid;
    lock.write(QByteArray::number(pid) + "\njxctl\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    return true;
}

QStringList xmlFiles(const QString& folder)
{
    return QDir(folder).entryList({ "*.xml" }, QDir::Files, QDir::Name);
}

QString fileText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

class DeliveryFailures : public ThreeRequests {
protected:
    void SetUp() override
    {
        ThreeRequests::SetUp();
        m_velkorHome = std::make_unique<QTemporaryDir>();
        m_home = std::make_unique<Env>("VELKOR_HOME", m_velkorHome->path().toUtf8());
    }
    void TearDown() override
    {
        m_home.reset();
        ThreeRequests::TearDown();
    }

    QString unregisteredFolder() const { return unregistered::folder(m_folder.path()); }

    std::unique_ptr<DeliveryRun> transmitterRun(UserPrompts& prompts)
    {
        auto run = std::make_unique<DeliveryRun>(*m_jx, prompts, m_folder.path(), DeliveryRun::Mode::Transmitter);
        run->setTransmitterPath(VELKOR_PATH);
        return run;
    }

    std::unique_ptr<DeliveryRun> diskRun(UserPrompts& prompts, const QString& drive)
    {
        auto run = std::make_unique<DeliveryRun>(*m_jx, prompts, m_folder.path(), DeliveryRun::Mode::Diskette);
        DeliveryRun::Hooks hooks;
        hooks.chooseDrive = [drive] { return std::optional<QString>(drive); };
        run->setHooks(hooks);
        return run;
    }

    QString makeDisk(const QString& label, const QString& serial)
    {
        m_disks.push_back(std::make_unique<QTemporaryDir>());
        QFile volume(m_disks.back()->filePath(".jxvolume"));
        EXPECT_TRUE(volume.open(QIODevice::WriteOnly));
        volume.write(QStringLiteral("label=%1\nserial=%2\n").arg(label, serial).toUtf8());
        return m_disks.back()->path();
    }

    // The authority returning a disk: velkor writes a protocol into each file.
    void returnDisk(const QString& disk)
    {
        QProcess authority;
        authority.start(VELKOR_PATH, { "--devolver", disk, "--chaves", m_folder.path() + "/BIN" });
        ASSERT_TRUE(authority.waitForFinished(60000));
        ASSERT_EQ(authority.exitCode(), 0) << authority.readAllStandardError().toStdString();
    }

    // Captures every protocol listed on a drive; how many were recorded.
    int captureAll(const QString& drive)
    {
        ScriptedPrompts prompts;
        ProtocolCapture capture(*m_jx, prompts);
        if (!capture.LerDisquete(drive))
            return 0;
        int recorded = 0;
        RecordSet& list = *m_jx->cdsProtocolosAux;
        for (int row = 0; row < list.count(); ++row) {
            list.moveTo(row);
            recorded += capture.capturarProtocolo() ? 1 : 0;
        }
        return recorded;
    }

    QString recorded(const QString& id, const QString& column)
    {
        return text(QStringLiteral("SELECT group_concat(%1, ',') FROM ENTREGAS WHERE SOLICITACAO_ID = %2").arg(column, id));
    }

    std::unique_ptr<QTemporaryDir> m_velkorHome;
    std::unique_ptr<Env> m_home;
    std::vector<std::unique_ptr<QTemporaryDir>> m_disks;
};

} // namespace

TEST_F(DeliveryFailures, ARefusedRecordKeepsItsTransmittedFileForALaterCapture)
{
    db::Connection c;
    c.open(m_folder.databasePath(), db::kDatabaseKey);
    c.exec("CREATE TRIGGER recusa BEFORE INSERT ON ENTREGAS WHEN NEW.SOLICITACAO_ID = " + m_ids[1]
        + " BEGIN SELECT RAISE(ABORT, 'registro recusado'); END");
    ScriptedPrompts prompts;
    auto run = transmitterRun(prompts);
    EXPECT_TRUE(run->FazerEntrega({ 0, 1, 2 }));
    EXPECT_EQ(run->failures(), QStringList { m_ids[1] });
    EXPECT_EQ(run->deliveredFiles().size(), 2);
    EXPECT_EQ(status(m_ids[0]) + status(m_ids[1]) + status(m_ids[2]), "TCT");

    // The middle file carries its protocol and is kept, named to the user; nothing in Temp.
    ASSERT_EQ(run->keptFiles().size(), 1);
    const QString kept = run->keptFiles().first();
    EXPECT_EQ(QFileInfo(kept).absolutePath(), QFileInfo(unregisteredFolder()).absoluteFilePath());
    EXPECT_TRUE(unregistered::carriesProtocol(kept));
    EXPECT_TRUE(xmlfile::ConferirHash(kept));
    EXPECT_EQ(xmlFiles(unregisteredFolder()), QStringList { QFileInfo(kept).fileName() });
    EXPECT_TRUE(prompts.shown().contains("aviso: "
        + DeliveryRun::kKeptFiles.arg(QDir::toNativeSeparators(unregisteredFolder())) + QFileInfo(kept).fileName()))
        << prompts.shown().join("\n").toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_folder.path() + "/Temp"));

    // Later, the record taken: the capture records it from that folder as the run would have.
    c.exec("DROP TRIGGER recusa");
    const QString number = xmlfile::RetornarProtocolo(kept).trimmed();
    ASSERT_EQ(captureAll(unregisteredFolder()), 1);
    EXPECT_EQ(status(m_ids[1]), "T");
    EXPECT_EQ(recorded(m_ids[1], "FORMAENTREGA || '|' || NUMEROPROTOCOLO || '|' || NOMEARQUIVO"),
        "T|" + number + "|" + QFileInfo(kept).fileName());
    EXPECT_FALSE(recorded(m_ids[1], "RECIBO").isEmpty());
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS"), 3);
    // Its proof stays where it was; capturing it again is refused.
    EXPECT_TRUE(QFileInfo::exists(kept));
    EXPECT_EQ(captureAll(unregisteredFolder()), 0);
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS"), 3);
}

TEST_F(DeliveryFailures, ACommitRefusedWhileAnotherProcessReadsKeepsEveryProtocol)
{
    Reader reader(m_folder.databasePath());
    ScriptedPrompts prompts;
    auto run = transmitterRun(prompts);
    const QString before = dump();
    EXPECT_FALSE(run->FazerEntrega({ 0, 1, 2 }));
    EXPECT_EQ(run->finalText(), DeliveryRun::kNotDone);
    // A failure in the update itself still writes the second "Atualizando" line, failed.
    EXPECT_EQ(run->lines(),
        QStringList({ "Montando arquivo... ok.", "Transmitindo arquivo... ok.", "Atualizando banco de dados... falhou.",
            "Atualizando banco de dados... falhou.", "Finalizando ok." }));
    reader.end();
    EXPECT_EQ(dump(), before);
    ASSERT_EQ(run->keptFiles().size(), 3);
    EXPECT_EQ(xmlFiles(unregisteredFolder()).size(), 3);
    ASSERT_FALSE(prompts.shown().isEmpty());
    EXPECT_TRUE(prompts.shown().first().startsWith("erro: " + DeliveryRun::kTransmitFailed))
        << prompts.shown().join("\n").toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_folder.path() + "/Temp"));

    // Every protocol the authority issued can still be recorded.
    EXPECT_EQ(captureAll(unregisteredFolder()), 3);
    EXPECT_EQ(status(m_ids[0]) + status(m_ids[1]) + status(m_ids[2]), "TTT");
    EXPECT_EQ(count("SELECT count(DISTINCT NUMEROPROTOCOLO) FROM ENTREGAS WHERE FORMAENTREGA = 'T'"), 3);
}

TEST_F(DeliveryFailures, ARefusedDisketteCommitSaysWhichFilesAreOnTheDisk)
{
    const QString disk = makeDisk("ZKF", "1");
    Reader reader(m_folder.databasePath());
    ScriptedPrompts prompts;
    auto run = diskRun(prompts, disk);
    EXPECT_FALSE(run->FazerEntrega({ 0, 1, 2 }));
    reader.end();
    EXPECT_EQ(run->lines(),
        QStringList({ "Montando arquivo... ok.", "Criptografando arquivo... ok.", "Gravando em disquete... ok.",
            "Atualizando banco de dados... falhou.", "Finalizando ok." }));
    EXPECT_EQ(run->finalText(), DeliveryRun::kNotDone);
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS"), 0);
    EXPECT_EQ(status(m_ids[0]) + status(m_ids[1]) + status(m_ids[2]), "CCC");
    const QStringList onDisk = xmlFiles(disk);
    ASSERT_EQ(onDisk.size(), 3);
    ASSERT_EQ(prompts.shown().size(), 1) << prompts.shown().join("\n").toStdString();
    EXPECT_TRUE(prompts.shown().first().endsWith(DeliveryRun::kCopiedNotRecorded + onDisk.join("\r\n")))
        << prompts.shown().first().toStdString();
}

TEST_F(DeliveryFailures, NoPlainDataSectionEverReachesTheDiskOnTheDisketteRoute)
{
    const QString disk = makeDisk("ZKF", "2");
    ScriptedPrompts prompts;
    auto run = std::make_unique<DeliveryRun>(*m_jx, prompts, m_folder.path(), DeliveryRun::Mode::Diskette);
    DeliveryRun* self = run.get();
    QStringList seen;
    DeliveryRun::Hooks hooks;
    hooks.chooseDrive = [disk] { return std::optional<QString>(disk); };
    // Right after generation, what the working folder holds is what a kill would leave.
    hooks.lineChanged = [&](int, const QString& text, bool) {
        if (text != DeliveryRun::kEncrypting)
            return;
        for (const QString& name : xmlFiles(self->workingFolder()))
            seen << fileText(self->workingFolder() + u'/' + name);
    };
    run->setHooks(hooks);
    ASSERT_TRUE(run->FazerEntrega({ 0, 1, 2 }));
    ASSERT_EQ(seen.size(), 3);
    for (const QString& content : seen) {
        EXPECT_FALSE(content.contains("<solicitacao>")) << "plain data section in the working folder";
        EXPECT_TRUE(content.contains("<verificador_integridade>"));
    }
    for (const QString& name : xmlFiles(disk))
        EXPECT_TRUE(xmlfile::ConferirHash(disk + u'/' + name));
}

TEST_F(DeliveryFailures, TheNextRunSweepsWhatADeadRunLeftAndKeepsItsProtocols)
{
    // A run killed after the transmitter answered: its folder, its lock naming a dead process.
    const QString temp = m_folder.path() + "/Temp";
    const QString dead = temp + "/run-morto";
    ASSERT_TRUE(QDir().mkpath(dead));
    ASSERT_TRUE(writeDeadLock(dead + ".lock"));
    // A file with a protocol made by a real transmission, moved where a killed run leaves it.
    ScriptedPrompts quiet;
    auto makeProtocolled = [&](int row) {
        FileGeneration generation(*m_jx, m_folder.path());
        QStringList ids;
        QStringList failures;
        QTemporaryDir out;
        const QStringList files = generation.GerarArquivos({ row }, ids, out.path(), failures);
        EXPECT_EQ(files.size(), 1);
        EXPECT_TRUE(xmlfile::GravarVerificador(files.value(0), quiet));
        QProcess::execute(VELKOR_PATH, { files.value(0) });
        EXPECT_TRUE(unregistered::carriesProtocol(files.value(0)));
        return fileText(files.value(0)).toLatin1();
    };
    auto write = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(dead + "/JXSCNPJ3334445500018320050201000000.xml", makeProtocolled(1));
    write(dead + "/sem-protocolo.xml", "<arquivo><cabecalho/><dados/></arquivo>");
    // A live run of another process: never touched.
    const QString live = temp + "/run-vivo";
    ASSERT_TRUE(QDir().mkpath(live));
    QLockFile liveLock(live + ".lock");
    ASSERT_TRUE(liveLock.tryLock(0));
    write(live + "/em-uso.xml", "<a/>");
    // Loose files of an earlier version, one with a protocol.
    write(temp + "/JXSCNPJ4445556600018320050201000000.xml", makeProtocolled(2));
    write(temp + "/DecAux.xml", "<a/>");

    ScriptedPrompts prompts;
    const QString disk = makeDisk("ZKF", "3");
    auto run = diskRun(prompts, disk);
    ASSERT_TRUE(run->FazerEntrega({ 0 }));
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_FALSE(QFileInfo::exists(dead + ".lock"));
    EXPECT_FALSE(QFileInfo::exists(temp + "/DecAux.xml"));
    EXPECT_TRUE(QFileInfo::exists(live + "/em-uso.xml"));
    EXPECT_EQ(xmlFiles(unregisteredFolder()),
        QStringList({ "JXSCNPJ3334445500018320050201000000.xml", "JXSCNPJ4445556600018320050201000000.xml" }));
    EXPECT_EQ(run->keptFiles().size(), 2);
    EXPECT_TRUE(prompts.shown().last().startsWith("aviso: ")) << prompts.shown().join("\n").toStdString();
    liveLock.unlock();
}

TEST_F(DeliveryFailures, ProtocolNumbersOfTwentyCharactersAreKeptWholeAndLongerOnesRefusedFirst)
{
    // Three numbers sharing their first 17 characters: each is a protocol of its own.
    const QString disk = makeDisk("ZKF", "4");
    ScriptedPrompts prompts;
    ASSERT_TRUE(diskRun(prompts, disk)->FazerEntrega({ 0, 1, 2 }));
    {
        Env prefix("VELKOR_PREFIXO", "ABCDEFGH");
        returnDisk(disk);
    }
    EXPECT_EQ(captureAll(disk), 3);
    const QString numbers = text("SELECT group_concat(NUMEROPROTOCOLO, ',') FROM (SELECT NUMEROPROTOCOLO FROM "
                                 "ENTREGAS ORDER BY NUMEROPROTOCOLO)");
    const QStringList each = numbers.split(u',');
    ASSERT_EQ(each.size(), 3) << numbers.toStdString();
    for (const QString& number : each)
        EXPECT_EQ(number.size(), 20) << number.toStdString();
    EXPECT_EQ(each[0].left(17), each[2].left(17));

    // On the transmitter route a number the record cannot hold is refused before anything
    // depends on it, and its file kept.
    Env prefix("VELKOR_PREFIXO", "ABCDEFGHI");
    ScriptedPrompts second;
    auto run = transmitterRun(second);
    EXPECT_FALSE(run->FazerEntrega({ 1 }));
    EXPECT_EQ(run->failures(), QStringList { m_ids[1] });
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS WHERE FORMAENTREGA = 'T'"), 0);
    EXPECT_EQ(run->keptFiles().size(), 1);
    EXPECT_TRUE(second.shown().join("|").contains("tem mais de 20 caracteres")) << second.shown().join("\n").toStdString();
}

TEST_F(DeliveryFailures, AProtocolInAnHourDaylightSavingSkipsIsRecordedAsWritten)
{
    // São Paulo skipped 04/11/2018 00:00–00:59.
    Env zone("TZ", "America/Sao_Paulo");
    tzset();
    Env moment("VELKOR_MOMENTO", "04/11/2018 00:30:15");
    ScriptedPrompts prompts;
    auto run = transmitterRun(prompts);
    const bool delivered = run->FazerEntrega({ 1 });
    const QString disk = makeDisk("ZKF", "5");
    ScriptedPrompts diskPrompts;
    const bool written = diskRun(diskPrompts, disk)->FazerEntrega({ 2 });
    returnDisk(disk);
    const int captured = captureAll(disk);
    qunsetenv("TZ");
    tzset();
    EXPECT_TRUE(delivered) << prompts.shown().join("\n").toStdString();
    EXPECT_EQ(recorded(m_ids[1], "DATAHORAPROTOCOLO"), "2018-11-04 00:30:15");
    EXPECT_TRUE(run->keptFiles().isEmpty());
    EXPECT_TRUE(written);
    EXPECT_EQ(captured, 1);
    EXPECT_EQ(recorded(m_ids[2], "DATAHORAPROTOCOLO"), "2018-11-04 00:30:00");
}

TEST_F(DeliveryFailures, ADiskLabelTheRecordCannotHoldIsReducedTheSameWayOnBothRoutes)
{
    const QString label = QStringLiteral("DISCO€") + QString(60, u'X');
    const QString disk = makeDisk(label, "ABCD-1234");
    ScriptedPrompts prompts;
    ASSERT_TRUE(diskRun(prompts, disk)->FazerEntrega({ 1 })) << prompts.shown().join("\n").toStdString();
    const QString stored = recorded(m_ids[1], "IDENTIFICADORDISQUETE");
    EXPECT_EQ(stored.size(), 50);
    EXPECT_TRUE(stored.startsWith("DISCO?XXX"));
    EXPECT_TRUE(stored.endsWith("2882343476"));
    returnDisk(disk);
    EXPECT_EQ(captureAll(disk), 1);
    EXPECT_FALSE(recorded(m_ids[1], "NUMEROPROTOCOLO").isEmpty());
}

TEST(WorkingFolders, RunsOfTheSameProgramFolderNeverTouchEachOther)
{
    QTemporaryDir program;
    QStringList rescued;
    auto rescue = [&rescued](const QString& file) {
        rescued << QFileInfo(file).fileName();
        return false;
    };
    auto a = std::make_unique<WorkingFolder>(program.path(), rescue);
    auto b = std::make_unique<WorkingFolder>(program.path(), rescue);
    EXPECT_NE(a->path(), b->path());
    QFile f(b->path() + "/arquivo.xml");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    // A third run's sweep leaves live folders alone.
    WorkingFolder::sweepStale(program.path(), rescue);
    EXPECT_TRUE(QFileInfo::exists(b->path() + "/arquivo.xml"));
    a.reset();
    EXPECT_TRUE(QFileInfo::exists(b->path() + "/arquivo.xml"));
    EXPECT_TRUE(rescued.isEmpty());
    b.reset();
    EXPECT_EQ(rescued, QStringList { "arquivo.xml" });
    EXPECT_FALSE(QFileInfo::exists(program.path() + "/Temp"));
}

namespace {

// A small file system of its own, filled up to a few hundred bytes; skipped where mounting is
// not allowed.
class FullFolder {
public:
    FullFolder()
    {
        m_mounted = QProcess::execute("mount", { "-t", "tmpfs", "-o", "size=256k", "tmpfs", m_dir.path() }) == 0;
    }
    ~FullFolder()
    {
        if (m_mounted)
            QProcess::execute("umount", { m_dir.path() });
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    // Fills the rest, leaving about `room` bytes.
    void fill(qint64 room)
    {
        QFile filler(m_dir.filePath("enchimento"));
        ASSERT_TRUE(filler.open(QIODevice::Append));
        const QByteArray block(1024, 'x');
        while (QStorageInfo(m_dir.path()).bytesAvailable() > room + 1024 && filler.write(block) == block.size())
            filler.flush();
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace

TEST_F(DeliveryFailures, AFullDriveOrBackupFolderFailsWithOneClearMessageAndKeepsEarlierFiles)
{
    FullFolder drive;
    if (!drive.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    {
        QFile volume(drive.path() + "/.jxvolume");
        ASSERT_TRUE(volume.open(QIODevice::WriteOnly));
        volume.write("label=CHEIO\nserial=1\n");
    }
    ScriptedPrompts first;
    ASSERT_TRUE(diskRun(first, drive.path())->FazerEntrega({ 0 }));
    const QStringList earlier = xmlFiles(drive.path());
    ASSERT_EQ(earlier.size(), 1);
    const QString earlierText = fileText(drive.path() + u'/' + earlier[0]);
    drive.fill(300);

    ScriptedPrompts prompts;
    auto run = diskRun(prompts, drive.path());
    EXPECT_FALSE(run->FazerEntrega({ 1, 2 }));
    EXPECT_EQ(run->finalText(), DeliveryRun::kNotDone);
    ASSERT_EQ(prompts.shown().size(), 1) << prompts.shown().join("\n").toStdString();
    EXPECT_TRUE(prompts.shown().first().startsWith("erro: Espaço insuficiente no disco"))
        << prompts.shown().first().toStdString();
    EXPECT_EQ(xmlFiles(drive.path()), earlier);
    EXPECT_EQ(fileText(drive.path() + u'/' + earlier[0]), earlierText);
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS"), 1);

    // A backup into a full folder: the lack of space said as such, the earlier copy whole.
    FullFolder backups;
    ASSERT_TRUE(backups.mounted());
    ScriptedPrompts quiet;
    FilingBackup firstBackup(*m_jx, quiet, m_folder.path());
    ASSERT_TRUE(firstBackup.run({ 0 }, backups.path()));
    const QString copy = firstBackup.written().value(0);
    const QString copyText = fileText(copy);
    backups.fill(300);
    ScriptedPrompts full;
    FilingBackup backup(*m_jx, full, m_folder.path());
    EXPECT_FALSE(backup.run({ 1, 2 }, backups.path()));
    ASSERT_EQ(full.shown().size(), 1) << full.shown().join("\n").toStdString();
    EXPECT_EQ(full.shown().first(),
        "erro: " + FilingBackup::kNoSpace.arg(QDir::toNativeSeparators(backups.path())));
    EXPECT_EQ(fileText(copy), copyText);
    EXPECT_EQ(QDir(backups.path()).entryList({ "*.xml" }, QDir::Files).size(), 1);
}

TEST_F(DeliveryFailures, AReturnedFileWhoseProtocolWasNotCapturedIsNeverWrittenOver)
{
    const QString disk = makeDisk("ZKF", "6");
    ScriptedPrompts first;
    ASSERT_TRUE(diskRun(first, disk)->FazerEntrega({ 0, 1, 2 }));
    returnDisk(disk);
    const QString returned = disk + u'/' + xmlFiles(disk).value(1);
    const QString before = fileText(returned);
    ASSERT_TRUE(unregistered::carriesProtocol(returned));

    // Delivered again onto the same disk before the capture: refused, the proof untouched.
    ScriptedPrompts again;
    auto run = diskRun(again, disk);
    EXPECT_FALSE(run->FazerEntrega({ 1 }));
    ASSERT_EQ(again.shown().size(), 1) << again.shown().join("\n").toStdString();
    EXPECT_EQ(again.shown().first(),
        "erro: " + DeliveryRun::kUncapturedOnDisk.arg(QDir::toNativeSeparators(returned)));
    EXPECT_EQ(fileText(returned), before);

    // Once captured, the same filing may go onto that disk again.
    EXPECT_EQ(captureAll(disk), 3);
    ScriptedPrompts later;
    EXPECT_TRUE(diskRun(later, disk)->FazerEntrega({ 1 })) << later.shown().join("\n").toStdString();
}

TEST_F(DeliveryFailures, ARunRefusesToJoinAnEditThatIsStillOpen)
{
    m_db->connection().begin();
    ScriptedPrompts prompts;
    prompts.expectError(DeliveryRun::kEditOpen);
    EXPECT_FALSE(transmitterRun(prompts)->FazerEntrega({ 1 }));
    EXPECT_TRUE(prompts.allMet()) << prompts.failures().join("; ").toStdString();
    m_db->connection().rollback();
    EXPECT_TRUE(QDir(m_velkorHome->path() + "/recebidos").isEmpty()) << "nothing was sent";
}

TEST(UnregisteredDeliveries, AKeptFileNeverTakesTheNameOfAnother)
{
    QTemporaryDir program;
    QTemporaryDir work;
    const QString name = "JXSCNPJ1122233300018120261209102030.xml";
    QStringList kept;
    for (const QByteArray& content : { QByteArray("primeiro"), QByteArray("segundo"), QByteArray("terceiro") }) {
        QFile f(work.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        kept << unregistered::keep(program.path(), f.fileName());
        EXPECT_FALSE(QFileInfo::exists(f.fileName()));
    }
    EXPECT_EQ(QFileInfo(kept[0]).fileName(), name);
    EXPECT_EQ(QFileInfo(kept[1]).fileName(), "JXSCNPJ1122233300018120261209102030-2.xml");
    EXPECT_EQ(unregistered::originalName(QFileInfo(kept[2]).fileName()), name);
    EXPECT_EQ(fileText(kept[0]) + fileText(kept[1]) + fileText(kept[2]), "primeirosegundoterceiro");
}

TEST(WorkingFolders, AFolderStaysWhileAProgramTheDeadRunStartedStillWorksInIt)
{
    // The run died (its lock names no live process) but the transmitter it started lives on.
    QTemporaryDir program;
    const QString temp = program.path() + "/Temp";
    const QString folder = temp + "/run-orfao";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(writeDeadLock(folder + ".lock"));
    {
        QFile file(folder + "/JXS.xml");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QProcess transmitter;
    {
        // What holdForChildren gives a started program, made by hand for a run that is gone.
        const int fd = ::open(QFile::encodeName(folder + ".uso").constData(), O_RDWR | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, LOCK_SH), 0);
        transmitter.start("sleep", { "30" });
        ASSERT_TRUE(transmitter.waitForStarted());
        ::close(fd);
    }
    auto never = [](const QString&) { return false; };
    WorkingFolder::sweepStale(program.path(), never);
    EXPECT_TRUE(QFileInfo::exists(folder + "/JXS.xml"));
    transmitter.kill();
    transmitter.waitForFinished();
    WorkingFolder::sweepStale(program.path(), never);
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_FALSE(QFileInfo::exists(temp));
}

TEST_F(DeliveryFailures, AFilingThatFailsGenerationSaysTheFileOfItsNameIsAnEarlierOne)
{
    // The middle request loses what it needs; a file of its name lies in the folder already.
    db::Connection c;
    c.open(m_folder.databasePath(), db::kDatabaseKey);
    c.exec("UPDATE SOLICITACAO_IE SET ID_REGIME_RECOLHIMENTO = NULL WHERE ID_SOLICITACAO = " + m_ids[1]);
    c.close();
    m_jx->reopenAt(*m_jx->cdsSolicitacaoIE, m_ids[1].toLongLong());
    QTemporaryDir out;
    FileGeneration generation(*m_jx, m_folder.path());
    const QString older = out.filePath(generation.fileName());
    QFile file(older);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<arquivo/>");
    file.close();
    QStringList ids;
    QStringList failures;
    const QStringList files = generation.GerarArquivos({ 0, 1, 2 }, ids, out.path(), failures);
    EXPECT_EQ(files.size(), 2);
    EXPECT_EQ(failures, QStringList { m_ids[1] });
    ASSERT_EQ(generation.failureReasons().size(), 1);
    EXPECT_EQ(generation.failureReasons().first(),
        m_ids[1] + ": incompleta (o arquivo " + QFileInfo(older).fileName() + " existente na pasta é de uma geração anterior)");
    EXPECT_EQ(fileText(older), "<arquivo/>");
}

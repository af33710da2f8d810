// A diskette run of 1,000 requests onto a folder drive (verification, generation, encryption,
// stamp, copy, delivery records) against the durable floor of it: for each delivered file
// the envelope's floor (SHA-1 of its bytes, the format's RSA blocks of a data section of its
// size through Mont128) and its bytes written to a folder the way the run writes them
// (temporary file, synced, renamed), then one synced commit of a transaction that marks
// every request in a copy of the database, as the run's own commit does.

#include "BenchDatabase.h"
#include "BenchRatio.h"

#include "data/TdtmJX.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "delivery/Base64.h"
#include "delivery/DeliveryRun.h"
#include "delivery/Mont128.h"
#include "delivery/RsaKey.h"
#include "platform/ScriptedPrompts.h"
#include "verification/Verification.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRequests = 1000;

QString drive()
{
    return QDir(jxbench::folder().path()).filePath("disco");
}

// The baseline's database copy and the folder it writes the files to.
QString copyFolder()
{
    return QDir(jxbench::folder().path()).filePath("copia");
}

QString copyDrive()
{
    return QDir(jxbench::folder().path()).filePath("disco-copia");
}

void emptyFolder(const QString& path)
{
    QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Files))
        dir.remove(name);
}

struct Delivered {
    QString name;
    QByteArray bytes;
    qsizetype plainSize = 0;
};

// The files of the last run as the drive holds them, with the size of the plain data section
// their cipher text stands for (5 plain bytes per 16-byte block).
QList<Delivered> deliveredFiles()
{
    QList<Delivered> files;
    for (const QString& name : QDir(drive()).entryList({ "*.xml" }, QDir::Files)) {
        QFile f(QDir(drive()).filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        Delivered d { name, f.readAll(), 0 };
        const qsizetype from = d.bytes.indexOf("<dados>") + 7;
        const qsizetype to = d.bytes.indexOf("</dados>", from);
        d.plainSize = jx::base64::decode(d.bytes.mid(from, to - from)).size() / 16 * 5;
        files.append(d);
    }
    return files;
}

unsigned char rsaBlocks(const jx::rsa::Mont128& key, qsizetype length)
{
    static unsigned char filler[4096];
    qsizetype used = sizeof filler;
    unsigned char seen = 0;
    for (qsizetype b = 0; b < (length + 4) / 5; ++b) {
        if (used + 8 > qsizetype(sizeof filler)) {
            RAND_bytes(filler, sizeof filler);
            used = 0;
        }
        unsigned char block[16] { 'x', 'x', 'x', 'x', 'x' };
        for (int i = 0; i < 8; ++i)
            block[6 + i] = static_cast<unsigned char>(1 + filler[used + i] % 253);
        used += 8;
        block[14] = 0x02;
        unsigned char out[16];
        jx::rsa::Mont128::toLittleEndian(key.power(jx::rsa::Mont128::fromLittleEndian(block, 16)), out);
        seen ^= out[0];
    }
    return seen;
}

void report(jx::TdtmJX& jx, jx::ScriptedPrompts& prompts, int delivered)
{
    std::fprintf(stderr, "entregues %d de %d; %s\n", delivered, kRequests,
        prompts.shown().join(QStringLiteral(" | ")).left(400).toUtf8().constData());
    // Why the first one was refused.
    jx.cdsSolicitacaoIE->moveTo(0);
    jx::Verification verification(jx);
    verification.ApurarPendencias(1);
    jx::data::RecordSet& items = *jx.cdsPendecias;
    for (int i = 0; i < items.count(); ++i) {
        items.moveTo(i);
        std::fprintf(stderr, "  %s %s\n", items.text("Tipo").toUtf8().constData(),
            items.text("Pendencia").toUtf8().constData());
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    jxbench::createDatabase();
    QDir().mkpath(drive());
    QDir().mkpath(copyFolder());
    QDir().mkpath(copyDrive());
    const jx::RsaKeyPair keys = jx::RsaKeyPair::generate();
    keys.save(QDir(jxbench::folder().path()).filePath("BIN"));
    jxbench::fillRequests(kRequests);
    jxbench::completeRequests();
    const QString copyPath = QDir(copyFolder()).filePath("JX.mdb");
    QFile::copy(jxbench::databasePath(), copyPath);

    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(jxbench::folder().path(), prompts, [] {});
    jx::TdtmJX jx(database, prompts, [] {}, jxbench::folder().path());
    jx.TipoAtual = 1;
    QList<int> rows;
    for (int v = 0; v < jx.cdsSolicitacaoIE->count(); ++v)
        rows << v;

    jx::db::Connection copy;
    copy.open(copyPath, jx::db::kDatabaseKey);
    copy.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
    copy.exec(QStringLiteral("PRAGMA synchronous = FULL"));
    const std::optional<jx::rsa::Mont128> mont
        = jx::rsa::Mont128::create(keys.publicKey.modulus, keys.publicKey.exponent);
    if (!mont)
        return 1;

    QList<Delivered> files;
    int delivered = 0;
    int round = 0;
    jxbench::Pair pair;
    pair.name = "delivery_run.DisketteRun";
    pair.aim = 2;
    pair.prepare = [&] {
        // Every run delivers the same requests afresh onto an empty disk.
        emptyFolder(drive());
        emptyFolder(copyDrive());
        database.connection().exec(QStringLiteral("DELETE FROM ENTREGAS"));
        database.connection().exec(QStringLiteral("UPDATE SOLICITACAO_IE SET STATUS = 'C'"));
        jx.openSet(*jx.cdsSolicitacaoIE);
        jx.TipoAtual = 1;
    };
    pair.measured = [&] {
        jx::DeliveryRun run(jx, prompts, jxbench::folder().path(), jx::DeliveryRun::Mode::Diskette);
        jx::DeliveryRun::Hooks hooks;
        hooks.chooseDrive = [] { return std::optional<QString>(drive()); };
        run.setHooks(hooks);
        run.FazerEntrega(rows);
        delivered = int(run.deliveredFiles().size());
    };
    pair.baseline = [&] {
        const QDir target(copyDrive());
        unsigned seen = 0;
        for (const Delivered& d : std::as_const(files)) {
            unsigned char digest[EVP_MAX_MD_SIZE];
            unsigned int length = 0;
            EVP_Digest(d.bytes.constData(), size_t(d.bytes.size()), digest, &length, EVP_sha1(), nullptr);
            seen += rsaBlocks(*mont, d.plainSize) + digest[0];
            QSaveFile out(target.filePath(d.name));
            if (!out.open(QIODevice::WriteOnly) || out.write(d.bytes) != d.bytes.size() || !out.commit()) {
                std::fprintf(stderr, "não foi possível gravar %s\n", qPrintable(out.fileName()));
                std::exit(1);
            }
        }
        jx::db::Transaction transaction(copy);
        copy.exec(QStringLiteral("UPDATE SOLICITACAO_IE SET STATUS = '%1'").arg(++round % 2 ? 'D' : 'C'));
        transaction.commit();
        benchmark::DoNotOptimize(seen);
    };
    pair.prepare();
    pair.measured();
    if (delivered != kRequests) {
        report(jx, prompts, delivered);
        return 1;
    }
    files = deliveredFiles();
    pair.warmUp = false; // the run above was its warm-up
    pair.prepare();
    pair.baseline();
    jxbench::runPair(pair);
    std::printf("arquivos: %d\n", int(files.size()));
    return 0;
}

// Start-up from process start to the main window's first painted exposure (splash wait set to
// zero, 10,000 requests in the database) against a bare Qt Widgets process that opens the same
// database with the key and shows an empty main window. Both are whole processes, started the
// same way and stopped at the same moment (the "shown" line each writes), run interleaved.
// Also says how much of jx's start-up the data module's opening of its record sets takes, as
// jx itself timed it in the same runs.

#include "BenchRatio.h"

#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kRequests = 10000;
constexpr int kPairs = 9;
constexpr int kTimeoutMs = 60000;

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString databasePath()
{
    return QDir(folder().path()).filePath(QStringLiteral("Banco/JX.mdb"));
}

void buildProgramFolder()
{
    QDir root(folder().path());
    root.mkpath(QStringLiteral("Banco"));
    root.mkpath(QStringLiteral("BIN"));
    root.mkpath(QStringLiteral("run"));
    // Qt wants the runtime folder private (and says so on every start otherwise).
    QFile::setPermissions(
        root.filePath(QStringLiteral("run")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString path = databasePath();
    jx::db::createDatabase(path);
    jx::db::Connection c;
    c.open(path, jx::db::kDatabaseKey);
    c.begin();
    jx::db::Statement address
        = c.prepare(QStringLiteral("INSERT INTO ENDERECO (LOGRADOURO, ID_UF) VALUES ('RUA', 10)"));
    jx::db::Statement request = c.prepare(QStringLiteral(
        "INSERT INTO SOLICITACAO_IE (CNPJ, NOME_EMPRESARIAL, CATEGORIA, ID_ENDERECO_ESTABELECIMENTO, STATUS) "
        "VALUES (?, ?, 1, ?, 'C')"));
    for (int i = 0; i < kRequests; ++i) {
        address.reset();
        address.run();
        request.reset();
        request.bind(1, QStringLiteral("%1").arg(i, 14, 10, QChar(u'0')));
        request.bind(2, QStringLiteral("EMPRESA %1").arg(i));
        request.bind(3, c.lastInsertId());
        request.run();
    }
    c.commit();
}

QProcessEnvironment environment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("JX_HOME"), folder().path());
    env.insert(QStringLiteral("JX_SPLASH_MS"), QStringLiteral("0"));
    env.insert(QStringLiteral("JX_BENCH_STARTUP"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QDir(folder().path()).filePath(QStringLiteral("run")));
    return env;
}

// What one kind of process took to its "shown" line, run after run.
struct Samples {
    std::vector<double> wallMs;
    std::vector<double> cpuMs; // the child's own CPU time when it wrote the line
    std::vector<double> moduleMs; // jx only: its data module's opening, timed by itself
};

// The process that has shown its window and is ending: waited for outside the timed part, so
// that its tear-down neither counts nor overlaps the next start.
std::unique_ptr<QProcess> g_ending;

void finishEnding()
{
    if (!g_ending)
        return;
    std::unique_ptr<QProcess> p = std::move(g_ending);
    if (!p->waitForFinished(kTimeoutMs) || p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0)
        throw std::runtime_error(
            p->program().toStdString() + " did not end cleanly: " + p->readAllStandardError().toStdString());
}

void runToShown(const QString& program, const QStringList& arguments, Samples& samples)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(environment());
    QElapsedTimer wall;
    wall.start();
    p->start(program, arguments);
    QByteArray out;
    qsizetype line = -1;
    while ((line = out.indexOf("shown ")) < 0 || out.indexOf('\n', line) < 0) {
        if (!p->waitForReadyRead(kTimeoutMs))
            throw std::runtime_error(
                program.toStdString() + " showed no window: " + p->readAllStandardError().toStdString());
        out += p->readAllStandardOutput();
    }
    samples.wallMs.push_back(double(wall.nsecsElapsed()) / 1e6);
    // "shown <cpu>[ module <ms>]"
    const QList<QByteArray> fields = out.mid(line, out.indexOf('\n', line) - line).trimmed().split(' ');
    samples.cpuMs.push_back(fields.value(1).toDouble());
    const qsizetype module = fields.indexOf("module");
    if (module > 0)
        samples.moduleMs.push_back(fields.value(module + 1).toDouble());
    g_ending = std::move(p);
}

// Without the warm-up run runPair makes first.
std::vector<double> timed(const std::vector<double>& all)
{
    return all.size() > 1 ? std::vector<double>(all.begin() + 1, all.end()) : all;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        buildProgramFolder();
        Samples jx;
        Samples bare;
        jxbench::Pair pair;
        pair.name = "startup.ProcessToMainWindow";
        pair.aim = 1.3;
        pair.pairs = kPairs;
        pair.prepare = finishEnding;
        pair.measured = [&jx] { runToShown(QStringLiteral(JX_EXECUTABLE), {}, jx); };
        pair.baseline = [&bare] { runToShown(QStringLiteral(JX_BASELINE_EXECUTABLE), { databasePath() }, bare); };
        jxbench::runPair(pair);
        finishEnding();

        const double jxWall = jxbench::median(timed(jx.wallMs));
        const double jxCpu = jxbench::median(timed(jx.cpuMs));
        const double bareCpu = jxbench::median(timed(bare.cpuMs));
        std::printf("startup.ProcessToMainWindow: processes' own CPU to the shown window: jx %.1f ms, baseline %.1f ms "
                    "(ratio %.2f)\n",
            jxCpu, bareCpu, bareCpu > 0 ? jxCpu / bareCpu : 0.0);
        const double module = jxbench::median(timed(jx.moduleMs));
        std::printf("startup.ProcessToMainWindow: data module open %.1f ms = %.0f%% of jx's start-up (%.1f ms)\n",
            module, jxWall > 0 ? 100 * module / jxWall : 0.0, jxWall);
        std::fflush(stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_startup: %s\n", e.what());
        return 1;
    }
    return 0;
}

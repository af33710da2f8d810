// Building the CNAE-F tree from the open record set, as the choice dialog does, against
// reading the same rows from the database, in one run.

#include "BenchRatio.h"

#include "data/RecordSet.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "requests/Cnaef.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString path()
{
    return folder().filePath("JX.mdb");
}

jx::db::Connection& connection()
{
    static jx::db::Connection c;
    if (!c.isOpen())
        c.open(path(), jx::db::kDatabaseKey);
    return c;
}

void BM_BuildTree(benchmark::State& state)
{
    jx::data::RecordSet rows("cdsCNAEF");
    rows.setSource(jx::db::referenceQuery("CNAEF"), "CNAEF");
    rows.open(connection());
    for (auto _ : state)
        benchmark::DoNotOptimize(jx::cnaef::buildTree(rows));
}
BENCHMARK(BM_BuildTree)->Unit(benchmark::kMillisecond);

void BM_ReadRows(benchmark::State& state)
{
    for (auto _ : state) {
        jx::db::Statement s = connection().prepare(jx::db::referenceQuery("CNAEF"));
        qint64 bytes = 0;
        while (s.step()) {
            for (int c = 0; c < s.columnCount(); ++c)
                bytes += s.value(c).toString().size();
        }
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_ReadRows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    jx::db::createDatabase(path());
    return jxbench::runWithRatios(argc, argv, { { "BM_BuildTree", "BM_ReadRows" } }, "cnaef_tree");
}

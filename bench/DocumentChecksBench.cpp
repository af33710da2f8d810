// The state-registration check loads its library afresh on every call. This measures what
// that costs against calling the same entry point of a library loaded once.

#include "BenchRatio.h"

#include "platform/StateRegistrationCheck.h"
#include "text/DocumentChecks.h"

#include <QCoreApplication>
#include <QLibrary>

namespace {

void BM_IeCheckLoadedPerCall(benchmark::State& state)
{
    const jx::StateRegistrationCheck check(JX_INSCE_LIBRARY);
    for (auto _ : state)
        benchmark::DoNotOptimize(check.isValid(QStringLiteral("1234567890107")));
}
BENCHMARK(BM_IeCheckLoadedPerCall);

void BM_IeCheckLoadedOnce(benchmark::State& state)
{
    QLibrary library(QStringLiteral(JX_INSCE_LIBRARY));
    library.load();
    using Fn = int (*)(const char*, const char*);
    const auto fn = reinterpret_cast<Fn>(library.resolve("ConsisteInscricaoEstadual"));
    for (auto _ : state) {
        const QByteArray ie = QStringLiteral("1234567890107").toLatin1();
        benchmark::DoNotOptimize(fn(ie.constData(), "QZ"));
    }
}
BENCHMARK(BM_IeCheckLoadedOnce);

void BM_CnpjCheck(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(jx::docs::cnpjIsValid(QStringLiteral("11222333000181")));
}
BENCHMARK(BM_CnpjCheck);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return jxbench::runWithRatios(argc, argv, { { "BM_IeCheckLoadedPerCall", "BM_IeCheckLoadedOnce" } }, "document_checks");
}

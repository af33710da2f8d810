// Writing the PDF of a request's print-out (3 partners, 2 responsible persons: six pages) from
// the data module — the report built, laid out (every text measured, wrapped or cut) and drawn —
// against writing a PDF of the same texts at fixed positions, without any layout.

#include "BenchDatabase.h"
#include "BenchRatio.h"

#include "ReportPainter.h"
#include "data/TdtmJX.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"
#include "reports/FilingPrintouts.h"

#include <QDir>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

QString outPath(const char* name)
{
    return QDir(jxbench::folder().path()).filePath(QLatin1String(name));
}

void BM_RequestPdf(benchmark::State& state)
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(jxbench::folder().path(), prompts, [] {});
    jx::TdtmJX jx(database, prompts, [] {}, jxbench::folder().path());
    const jx::report::PrintContext context { QStringLiteral("ZKF"), QDateTime::currentDateTime() };
    for (auto _ : state) {
        const jx::report::QtTextMetrics metrics;
        const auto pages = jx::report::layOut(jx::report::FilingPrintouts::request(jx, context), metrics);
        jx::report::writePdf(pages, outPath("solicitacao.pdf"), QStringLiteral("Solicitação"));
        state.counters["pages"] = double(pages.size());
    }
}
BENCHMARK(BM_RequestPdf)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same texts, fonts and pages, each drawn where the layout put it, with nothing measured.
void BM_FixedTextsPdf(benchmark::State& state)
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(jxbench::folder().path(), prompts, [] {});
    jx::TdtmJX jx(database, prompts, [] {}, jxbench::folder().path());
    const jx::report::PrintContext context { QStringLiteral("ZKF"), QDateTime::currentDateTime() };
    const jx::report::QtTextMetrics metrics;
    const auto pages = jx::report::layOut(jx::report::FilingPrintouts::request(jx, context), metrics);
    struct Fixed {
        QPointF at;
        QString text;
        QFont font;
    };
    std::vector<std::vector<Fixed>> fixed;
    const double unitsPerMm = 20 * 72 / 25.4;
    for (const auto& page : pages) {
        fixed.emplace_back();
        for (const auto* item : page.texts())
            fixed.back().push_back({ item->rect.topLeft() * unitsPerMm, item->text, jx::report::qtFont(item->font) });
    }
    for (auto _ : state) {
        QSaveFile file(outPath("fixo.pdf"));
        if (!file.open(QIODevice::WriteOnly))
            state.SkipWithError("arquivo");
        {
            QPdfWriter writer(&file);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            writer.setResolution(600);
            QPainter painter(&writer);
            for (std::size_t i = 0; i < fixed.size(); ++i) {
                if (i > 0)
                    writer.newPage();
                painter.save();
                painter.scale(600.0 / 1440, 600.0 / 1440);
                for (const Fixed& text : fixed[i]) {
                    painter.setFont(text.font);
                    painter.drawText(text.at + QPointF(0, 150), text.text);
                }
                painter.restore();
            }
        }
        file.commit();
    }
}
BENCHMARK(BM_FixedTextsPdf)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    jxbench::createDatabase();
    jxbench::fillRequests(1);
    {
        // A second responsible person, as in the print-out measured.
        jx::db::Connection c;
        c.open(jxbench::databasePath(), jx::db::kDatabaseKey);
        c.exec("INSERT INTO SOLICITACAO_IE_RESPONSAVEL (ID_SOLICITACAO, IDENTIFICACAO, ID_FUNCAO, DATA_INICIO) "
               "VALUES (1, '52998224725', 1, '2006-03-01')");
    }
    return jxbench::runWithRatios(argc, argv, { { "BM_RequestPdf/min_time:2.000", "BM_FixedTextsPdf/min_time:2.000" } }, "reports");
}

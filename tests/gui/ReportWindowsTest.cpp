// The print commands as a user meets them: the receipt chooser with both kinds of filing, the
// printed pending list, the print selection of the browsers, and "Salvar PDF" of the preview.

#include "ReportWindows.h"
#include "Commands.h"
#include "ReportPainter.h"
#include "TFrmHabContabilista.h"
#include "TFrmSolicitacaoIE.h"
#include "TFrmVerificarPendencias.h"
#include "TFrmbrsContabilista.h"
#include "TFrmbrsIE.h"
#include "TscrRptPreview.h"
#include "TscrUntEscolheTipoRecibo.h"
#include "data/TdtmJX.h"
#include "delivery/Receipts.h"
#include "reports/PendingReport.h"
#include "requests/RequestLifecycle.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolBar>

#include <gtest/gtest.h>

#include "../support/GuiHelpers.h"
#include "../support/InsertRow.h"
#include "../support/TestShell.h"

using namespace jx;
using namespace jx::gui;
using namespace jxtest;
using data::RecordSet;

namespace {

QStringList textsOf(const TscrRptPreview* preview)
{
    QStringList out;
    for (const auto& page : preview->pages()) {
        for (const auto* item : page.texts())
            out << item->text;
    }
    return out;
}

struct Shell : TestShell {
    Shell() { start(); }

    qint64 insert(const char* table, const QVariantMap& values)
    {
        return insertRow(jx().database().connection(), table, values);
    }

    // Three requests and three enablements; the middle ones have a delivery with its protocol
    // and receipt and one still waiting for it; the middle request has two partners.
    void storeFilings()
    {
        int n = 0;
        for (const char* cnpj : { "11222333000181", "33344455000183", "44455566000183" }) {
            const qint64 request = insert("SOLICITACAO_IE",
                { { "CNPJ", cnpj }, { "LOCALIZACAO", 1 }, { "STATUS", "C" },
                    { "NOME_EMPRESARIAL", QStringLiteral("EMPRESA %1").arg(++n) } });
            if (n != 2)
                continue;
            for (const char* cpf : { "52998224725", "11144477735" })
                insert("SOLICITACAO_IE_SOCIO", { { "ID_SOLICITACAO", request }, { "TIPO_IDENTIFICACAO", 4 },
                                                   { "IDENTIFICACAO", cpf }, { "ID_CARGO", 49 } });
            insert("ENTREGAS",
                { { "SOLICITACAO_ID", request }, { "NUMEROPROTOCOLO", "S-PROTOCOLO" }, { "FORMAENTREGA", "I" },
                    { "DATAHORAPROTOCOLO", "2026-12-10 14:05:00" },
                    { "RECIBO", Receipts::receiptBytes({ QStringLiteral("Nome Empresarial: EMPRESA 2") }) } });
            insert("ENTREGAS", { { "SOLICITACAO_ID", request }, { "FORMAENTREGA", "D" }, { "NOMEARQUIVO", "S.XML" } });
        }
        n = 0;
        for (const char* cpf : { "52998224725", "11144477735", "39053344705" }) {
            const qint64 enablement = insert("SOLICITACAO_CONTAB",
                { { "TIPO_IDENTIFICACAO", 4 }, { "IDENTIFICACAO", cpf }, { "CRC", "123" }, { "UF_CRC", "QZ" },
                    { "IDENTIFICADOR_CRC", "O" }, { "STATUS", "C" } });
            if (++n != 2)
                continue;
            insert("ENTREGAS",
                { { "HABILITACAO_ID", enablement }, { "NUMEROPROTOCOLO", "H-PROTOCOLO" }, { "FORMAENTREGA", "D" },
                    { "DATAHORAPROTOCOLO", "2026-12-09 09:00:00" },
                    { "RECIBO", Receipts::receiptBytes({ QStringLiteral("Identificação: 111.444.777-35") }) } });
            insert("ENTREGAS", { { "HABILITACAO_ID", enablement }, { "FORMAENTREGA", "D" } });
        }
        jx().openSet(*jx().cdsSolicitacaoIE);
        jx().openSet(*jx().cdsSolicitacao_Contab);
    }

    bool enabled(const char* command)
    {
        commands().runUpdateRules();
        return commands().action(QLatin1String(command))->isEnabled();
    }

    void expectPromptsMet()
    {
        EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString()
                                      << prompts.leftOver().join('\n').toStdString();
    }
};

} // namespace

TEST(ReceiptChooser, BothKindsTheirProtocolsOnlyAndThePrintOfTheOneUnderTheCursor)
{
    Shell shell;
    shell.storeFilings();
    QStringList printed;
    whenModal<TscrUntEscolheTipoRecibo>([&](TscrUntEscolheTipoRecibo* chooser) {
        EXPECT_EQ(chooser->windowTitle(), "Impressão de Recibo de Entrega do Computador");
        EXPECT_EQ(helpTopicOf(chooser), 36);
        EXPECT_EQ(shell.jx().TipoAtual, 1);
        EXPECT_EQ(chooser->kindList()->currentIndex(), 0);
        EXPECT_EQ(chooser->nameLabel()->text(), "Solicitações de Inscrição Estadual");
        EXPECT_EQ(chooser->currentFilings(), chooser->requests());
        // The first request has no delivery: nothing to print.
        EXPECT_EQ(chooser->deliveries()->model()->rowCount(), 0);
        EXPECT_FALSE(shell.enabled("actImprimiRecibo"));
        shoot(chooser, "recibo-escolha");

        clickRow(chooser->requests(), 1);
        // Of its two deliveries only the one with a protocol.
        ASSERT_EQ(chooser->deliveries()->model()->rowCount(), 1);
        EXPECT_EQ(chooser->deliveries()->model()->index(0, 1).data().toString(), "S-PROTOCOLO");
        ASSERT_TRUE(shell.enabled("actImprimiRecibo"));
        whenModal<TscrRptPreview>([&](TscrRptPreview* preview) {
            EXPECT_EQ(preview->objectName(), "TscrRptReciboSolicitacaoIE");
            EXPECT_EQ(preview->windowTitle(), "Recibo");
            printed << textsOf(preview);
        });
        shell.commands().action("actImprimiRecibo")->trigger();
        // Enter does the same: "&Imprimir" is the window's default.
        bool again = false;
        whenModal<TscrRptPreview>([&](TscrRptPreview*) { again = true; });
        chooser->deliveries()->setFocus();
        QTest::keyClick(chooser->deliveries(), Qt::Key_Return);
        EXPECT_TRUE(again);

        chooser->kindList()->setCurrentIndex(1);
        EXPECT_EQ(chooser->currentFilings(), chooser->enablements());
        EXPECT_EQ(chooser->nameLabel()->text(), "Habilitação de Contabilista");
        EXPECT_EQ(shell.jx().TipoAtual, 0);
        clickRow(chooser->enablements(), 1);
        ASSERT_EQ(chooser->deliveries()->model()->rowCount(), 1);
        ASSERT_TRUE(shell.enabled("actImprimiRecibo"));
        whenModal<TscrRptPreview>([&](TscrRptPreview* preview) {
            EXPECT_EQ(preview->objectName(), "TscrRptReciboHabilitacaoContabilista");
            printed << textsOf(preview);
        });
        shell.commands().action("actImprimiRecibo")->trigger();

        // Back to the requests: the request under the cursor, and its deliveries, again.
        chooser->kindList()->setCurrentIndex(0);
        EXPECT_EQ(chooser->currentFilings(), chooser->requests());
        EXPECT_EQ(shell.jx().TipoAtual, 1);
        ASSERT_EQ(chooser->deliveries()->model()->rowCount(), 1);
        EXPECT_EQ(chooser->deliveries()->model()->index(0, 1).data().toString(), "S-PROTOCOLO");
    });
    shell.commands().action("actImprimirReciboComputador")->trigger();

    EXPECT_TRUE(printed.contains("Recibo de Transmissão da Solicitação de Inscrição Estadual"));
    EXPECT_TRUE(printed.contains("S-PROTOCOLO"));
    EXPECT_TRUE(printed.contains("14:05:00"));
    EXPECT_TRUE(printed.contains("Nome Empresarial: EMPRESA 2"));
    EXPECT_TRUE(printed.contains("Recibo de Transmissão da Habilitação de Contabilista/Empresa Contábil"));
    EXPECT_TRUE(printed.contains("Identificação: 111.444.777-35"));
    // The chooser's filter went with it: the deliveries without protocol are seen again.
    shell.jx().selectDeliveriesOfRequest(shell.jx().cdsSolicitacaoIE->value("ID_SOLICITACAO").toLongLong());
    EXPECT_EQ(shell.jx().cdsEntregas->count(), 2);
    shell.expectPromptsMet();
}

TEST(PendingPrint, TheListWindowPrintsItsItemsAndTotals)
{
    Shell shell;
    shell.storeFilings();
    shell.jx().cdsSolicitacaoIE->moveTo(1);
    RecordSet& items = *shell.jx().cdsPendecias;
    items.clearRows();
    for (const auto& [kind, text] : { std::pair { "E", "Primeiro erro" }, { "A", "Um aviso" }, { "E", "Segundo erro" } }) {
        items.append();
        items.setValue("Local", QStringLiteral("Dados Iniciais"));
        items.setValue("Pendencia", QLatin1String(text));
        items.setValue("Tipo", QLatin1String(kind));
        items.post();
    }
    QStringList printed;
    whenModal<TFrmVerificarPendencias>([&](TFrmVerificarPendencias* list) {
        EXPECT_TRUE(shell.enabled("actPendenciasImprimir"));
        whenModal<TscrRptPreview>([&](TscrRptPreview* preview) {
            EXPECT_EQ(preview->objectName(), "TFrmRelVerificarPendencias");
            EXPECT_EQ(preview->pages().size(), 1u);
            printed = textsOf(preview);
            shoot(preview, "pendencias-previa");
        });
        shell.commands().action("actPendenciasImprimir")->trigger();
        EXPECT_TRUE(list->isVisible()); // the list stays open
    });
    shell.pending().showList(1, nullptr);
    EXPECT_FALSE(shell.enabled("actPendenciasImprimir"));
    const qsizetype errors = printed.indexOf("Total de Erros:");
    ASSERT_GE(errors, 0);
    EXPECT_EQ(printed.at(errors + 1), "2");
    EXPECT_EQ(printed.at(printed.indexOf("Total de Avisos:") + 1), "1");
    EXPECT_TRUE(printed.contains("33.344.455/0001-83"));
    EXPECT_TRUE(printed.contains("Segundo erro"));
    EXPECT_TRUE(printed.contains(report::PendingReport::kRequestTitle));
}

TEST(PrintSelection, EmptySetsSayThereIsNothingToPrint)
{
    Shell shell;
    shell.prompts.expectInformation(ReportWindows::kNoRequests);
    shell.commands().action("actSolicitacaoIE_Selecao")->trigger();
    shell.prompts.expectInformation(ReportWindows::kNoEnablements);
    shell.commands().action("actSolicitacaoContab_Selecao")->trigger();
    shell.expectPromptsMet();
}

TEST(PrintSelection, TheBrowserPrintsTheFilingUnderItsCursorAndChangesNothing)
{
    Shell shell;
    shell.storeFilings();
    QTemporaryDir out;
    const QString pdf = out.filePath("solicitacao.pdf");
    QStringList printed;
    int pages = 0;
    whenModal<TFrmbrsIE>([&](TFrmbrsIE* browser) {
        EXPECT_FALSE(browser->maintenancePanel()->isVisible());
        EXPECT_TRUE(browser->printButton()->isVisible());
        EXPECT_EQ(helpTopicOf(browser), 16);
        EXPECT_EQ(shell.jx().TipoAtual, 1);
        clickRow(browser->grid(), 1);
        ASSERT_TRUE(shell.enabled("actSolicitacaoIE_Impressao"));
        whenModal<TscrRptPreview>([&](TscrRptPreview* preview) {
            EXPECT_EQ(preview->objectName(), "TscrRptSolicitacao");
            pages = int(preview->pages().size());
            printed = textsOf(preview);
            shoot(preview, "solicitacao-previa");
            // "Salvar PDF", into a folder that is not there, then where it can be written.
            ASSERT_NE(preview->findChild<QAction*>("actSalvarPdf"), nullptr);
            const QString nowhere = out.filePath("nao/existe.pdf");
            shell.prompts.expectSaveFile(TscrRptPreview::kSavePdfCaption, nowhere);
            shell.prompts.expectError(report::kPdfWriteText.arg(nowhere));
            EXPECT_FALSE(preview->savePdf());
            shell.prompts.expectSaveFile(TscrRptPreview::kSavePdfCaption, pdf);
            preview->findChild<QAction*>("actSalvarPdf")->trigger();
            shell.prompts.expectSaveFile(TscrRptPreview::kSavePdfCaption, QString()); // cancelled
            EXPECT_FALSE(preview->savePdf());
            // A name typed without its extension gets it.
            shell.prompts.expectSaveFile(TscrRptPreview::kSavePdfCaption, out.filePath("sem-extensao"));
            EXPECT_TRUE(preview->savePdf());
            EXPECT_TRUE(QFile::exists(out.filePath("sem-extensao.pdf")));
        });
        shell.commands().action("actSolicitacaoIE_Impressao")->trigger();
        EXPECT_EQ(shell.jx().cdsSolicitacaoIE->recNo(), 1);
        EXPECT_EQ(shell.jx().cdsSolicitacao_IE_Socio->count(), 2);
    });
    shell.commands().action("actSolicitacaoIE_Selecao")->trigger();

    EXPECT_EQ(pages, 3); // the request and its two partners
    EXPECT_TRUE(printed.contains("33.344.455/0001-83"));
    EXPECT_TRUE(printed.contains("CPF 111.444.777-35"));
    QFile written(pdf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("%PDF"));
    EXPECT_FALSE(shell.jx().cdsSolicitacaoIE->hasPending());
    shell.expectPromptsMet();
}

TEST(PrintSelection, EnablementPrintedFromItsBrowser)
{
    Shell shell;
    shell.storeFilings();
    QStringList printed;
    whenModal<TFrmbrsContabilista>([&](TFrmbrsContabilista* browser) {
        EXPECT_TRUE(browser->printButton()->isVisible());
        EXPECT_EQ(shell.jx().TipoAtual, 0);
        clickRow(browser->grid(), 2);
        ASSERT_TRUE(shell.enabled("actSolicitacaoContab_Impressao"));
        whenModal<TscrRptPreview>([&](TscrRptPreview* preview) {
            EXPECT_EQ(preview->objectName(), "TscrRptHabilitacao");
            EXPECT_EQ(preview->pages().size(), 1u);
            printed = textsOf(preview);
        });
        shell.commands().action("actSolicitacaoContab_Impressao")->trigger();
    });
    shell.commands().action("actSolicitacaoContab_Selecao")->trigger();
    EXPECT_TRUE(printed.contains("Habilitação de Contabilista/Empresa Contábil"));
    EXPECT_TRUE(printed.contains(shell.jx().cdsSolicitacao_Contab->text("IDENTIFICACAO")));
    shell.expectPromptsMet();
}

// Editing is a maintenance command, yet a double click on a filing opens it while selecting
// for print as well; the browser stays in print mode afterwards.
TEST(PrintSelection, ADoubleClickOpensTheFilingUnderTheCursor)
{
    Shell shell;
    shell.storeFilings();
    auto doubleClickRow = [](QTableView* grid, int row) {
        const QPoint at = grid->visualRect(grid->model()->index(row, 0)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at); // the first click of the two
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    };
    QString opened;
    whenModal<TFrmbrsContabilista>([&](TFrmbrsContabilista* browser) {
        ASSERT_FALSE(shell.enabled("actSolicitacaoContab_Alterar"));
        whenModal<TFrmHabContabilista>([&](TFrmHabContabilista*) {
            opened = shell.jx().cdsSolicitacao_Contab->text("IDENTIFICACAO");
            shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
        });
        doubleClickRow(browser->grid(), 2);
        EXPECT_TRUE(browser->isVisible());
        EXPECT_TRUE(browser->printButton()->isVisible());
    });
    shell.commands().action("actSolicitacaoContab_Selecao")->trigger();
    EXPECT_EQ(opened, "39053344705");

    opened.clear();
    whenModal<TFrmbrsIE>([&](TFrmbrsIE* browser) {
        whenModal<TFrmSolicitacaoIE>([&](TFrmSolicitacaoIE*) {
            opened = shell.jx().cdsSolicitacaoIE->text("CNPJ");
            shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
        });
        doubleClickRow(browser->grid(), 1);
    });
    shell.commands().action("actSolicitacaoIE_Selecao")->trigger();
    EXPECT_EQ(opened, "33344455000183");
    EXPECT_FALSE(shell.jx().cdsSolicitacaoIE->hasPending());
    shell.expectPromptsMet();
}

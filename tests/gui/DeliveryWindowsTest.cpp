// The delivery windows driven through their controls: the wizard's selection page and a
// diskette run onto a stand-in drive, the removable-disk dialog, and the capture of the
// protocols the authority wrote into the files on the returned disk.

#include "DeliveryWindows.h"
#include "Commands.h"
#include "TscrRptPreview.h"
#include "TscrUntCaptura.h"
#include "TscrUntCheckDisquete.h"
#include "TscruntEntrega.h"
#include "data/TdtmJX.h"
#include "delivery/DeliveryRun.h"
#include "delivery/FileGeneration.h"
#include "delivery/ManipulaXml.h"
#include "delivery/ProtocolCapture.h"
#include "delivery/RsaKey.h"
#include "delivery/XmlLibraryPass.h"
#include "enablements/EnablementLifecycle.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include "../support/PendingChooser.h"
#include "../support/TestShell.h"
#include "../support/GuiHelpers.h"

using namespace jx;
using namespace jx::gui;
using namespace jxtest;
using data::RecordSet;

namespace {

// Folders standing in for removable drives, named in JX_REMOVABLE while the test runs.
struct StandInDrives {
    QTemporaryDir dir;
    QStringList roots;

    explicit StandInDrives(int count)
    {
        for (int i = 0; i < count; ++i) {
            const QString root = dir.filePath(QStringLiteral("drive%1").arg(i + 1));
            QDir().mkpath(root);
            QFile volume(QDir(root).filePath(".jxvolume"));
            EXPECT_TRUE(volume.open(QIODevice::WriteOnly));
            volume.write(QStringLiteral("label=DISCO%1\nserial=%2\n").arg(i + 1).arg(1000 + i).toLatin1());
            roots << root;
        }
        qputenv("JX_REMOVABLE", roots.join(u':').toLocal8Bit());
    }
    ~StandInDrives() { qunsetenv("JX_REMOVABLE"); }

    QStringList deliveryFiles(int drive = 0) const
    {
        return QDir(roots[drive]).entryList({ "*.xml" }, QDir::Files, QDir::Name);
    }
};

struct Shell : TestShell {
    Shell()
    {
        start();
        RsaKeyPair::generate().save(QDir(folder.path()).filePath("BIN"));
    }
    RecordSet& e() { return *jx().cdsSolicitacao_Contab; }
    void expectPromptsMet()
    {
        EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString()
                                      << prompts.leftOver().join('\n').toStdString();
    }
    // An enablement saved through its lifecycle; without a bairro it is saved with errors ("I").
    void saveEnablement(const QString& cpf, bool complete = true)
    {
        EnablementLifecycle& life = enablements().lifecycle();
        ASSERT_TRUE(life.beginNew());
        e().setValue("TIPO_IDENTIFICACAO", 4);
        e().setValue("IDENTIFICACAO", cpf);
        e().setValue("UF_CRC", "QZ");
        e().setValue("CRC", "123");
        e().setValue("IDENTIFICADOR_CRC", "O");
        e().setValue("EMAIL_RESPONSAVEL", "c@d.com");
        RecordSet& a = *jx().cdsSolicitacao_Contab_End;
        a.setValue("CEP", "70000123");
        a.setValue("LOCALIDADE", "CIDADE");
        if (complete)
            a.setValue("BAIRRO", "CENTRO");
        a.setValue("LOGRADOURO", "RUA");
        a.setValue("NUMERO", "1");
        jx().cdsSolicitacao_Contab_Com->setValue("TELEFONE", "6133334444");
        jx().cdsSolicitacao_Contab_Com->setValue("EMAIL", "e@f.com");
        ASSERT_TRUE(life.save("01/02/1970").saved);
        ASSERT_EQ(e().text("STATUS"), complete ? "C" : "I");
    }
    // Every enablement written onto a disk by the wizard, on the drive chooseDrive gives.
    void deliverEnablementsToDisk()
    {
        whenModal<TscruntEntrega>([](TscruntEntrega* wizard) {
            wizard->typeList()->setCurrentIndex(1);
            wizard->enablementGrid()->selectAll();
            wizard->FazerEntrega();
        });
        commands().action("actEntrega_Disquete")->trigger();
    }
    QString statusOf(const QString& cpf)
    {
        jx::db::Connection c;
        c.open(folder.databasePath(), jx::db::kDatabaseKey);
        jx::db::Statement s = c.prepare("SELECT STATUS FROM SOLICITACAO_CONTAB WHERE IDENTIFICACAO = :I");
        s.bind(":I", cpf);
        return s.step() ? s.value(0).toString() : QString();
    }
};

QStringList progressLines(QWidget* wizard)
{
    QStringList lines;
    for (int i = 1; i <= 9; ++i)
        lines << wizard->findChild<QLabel*>(QStringLiteral("lblMsg%1").arg(i, 2, 10, QLatin1Char('0')))->text();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Writes a protocol into a delivered file as the authority does, the verifier recomputed.
void writeProtocol(const QString& file, const QString& number, const QString& date, const QString& time)
{
    pugi::xml_document document;
    xmlpass::load(document, file);
    pugi::xml_node protocol = document.document_element().child("cabecalho").child("protocolo");
    ASSERT_TRUE(protocol);
    protocol.child("numero").text().set(number.toLatin1().constData());
    protocol.child("data").text().set(date.toLatin1().constData());
    protocol.child("hora").text().set(time.toLatin1().constData());
    xmlpass::save(document, file);
    ScriptedPrompts quiet;
    ASSERT_TRUE(xmlfile::GravarVerificador(file, quiet));
}

const QStringList kThree { "52998224725", "11144477735", "39053344705" };

} // namespace

TEST(DeliveryWizard, OffersTheFilingsWithoutErrorsOfTheChosenKind)
{
    Shell shell;
    for (const QString& cpf : kThree)
        shell.saveEnablement(cpf);
    shell.saveEnablement("86288366757", false);
    QAction* confirm = shell.commands().action("actEntrega_FazEntrega");

    bool checked = false;
    whenModal<TscruntEntrega>([&](TscruntEntrega* wizard) {
        checked = true;
        shell.commands().runUpdateRules();
        EXPECT_EQ(wizard->windowTitle(), "Gravação em disquete");
        EXPECT_EQ(wizard->findChild<QLabel*>("lblModo")->text(), "Gravação em disquete");
        EXPECT_TRUE(wizard->findChild<QLabel*>("imgDisquete")->isVisible());
        EXPECT_FALSE(wizard->findChild<QLabel*>("imgTransmissao")->isVisible());
        EXPECT_EQ(helpTopicOf(wizard), 12);
        EXPECT_EQ(wizard->pages()->currentWidget()->objectName(), "tbsSelecao");
        QComboBox* type = wizard->typeList();
        EXPECT_EQ(type->count(), 2);
        EXPECT_EQ(type->itemText(1), "Habilitação de Contabilista\\Empresa Contábil");
        // Requests first: there are none, so nothing to confirm.
        EXPECT_EQ(shell.jx().TipoAtual, 1);
        EXPECT_TRUE(wizard->requestGrid()->isVisible());
        EXPECT_FALSE(confirm->isEnabled());

        type->setCurrentIndex(1);
        shell.commands().runUpdateRules();
        EXPECT_EQ(shell.jx().TipoAtual, 0);
        EXPECT_TRUE(wizard->enablementGrid()->isVisible());
        EXPECT_FALSE(wizard->requestGrid()->isVisible());
        EXPECT_EQ(wizard->findChild<QLabel*>("lblInstrucaoSelecao")->text(), TscruntEntrega::kEnablementInstruction);
        QAbstractItemModel* model = wizard->enablementGrid()->model();
        QStringList shown;
        for (int r = 0; r < model->rowCount(); ++r)
            shown << model->index(r, 0).data().toString() + " " + model->index(r, 2).data().toString();
        EXPECT_EQ(shown, QStringList({ "529.982.247-25 C", "111.444.777-35 C", "390.533.447-05 C" }));
        EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Identificação");
        EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "CRC");
        EXPECT_TRUE(confirm->isEnabled());
        shoot(wizard, "entrega-selecao");

        type->setCurrentIndex(0);
        shell.commands().runUpdateRules();
        EXPECT_EQ(shell.jx().TipoAtual, 1);
        EXPECT_EQ(wizard->findChild<QLabel*>("lblInstrucaoSelecao")->text(), TscruntEntrega::kRequestInstruction);
        EXPECT_FALSE(confirm->isEnabled());
    });
    shell.commands().action("actEntrega_Disquete")->trigger();
    EXPECT_TRUE(checked);
    // Closing gives the filing with errors back to the other windows.
    EXPECT_EQ(shell.e().count(), 4);

    whenModal<TscruntEntrega>([&](TscruntEntrega* wizard) {
        EXPECT_EQ(wizard->windowTitle(), "Transmissão Via Internet");
        EXPECT_FALSE(wizard->findChild<QLabel*>("imgDisquete")->isVisible());
        EXPECT_TRUE(wizard->findChild<QLabel*>("imgTransmissao")->isVisible());
        EXPECT_EQ(helpTopicOf(wizard), 31);
        shoot(wizard, "entrega-transmissao");
    });
    shell.commands().action("actEntrega_Internet")->trigger();
    shell.expectPromptsMet();
}

TEST(DeliveryWizard, DisketteRunWritesTheSelectedFilingsAndRecordsThem)
{
    StandInDrives drives(1);
    Shell shell;
    for (const QString& cpf : kThree)
        shell.saveEnablement(cpf);
    QString statusWhileChoosing;
    QStringList delivered;
    shell.deliveries().chooseDrive = [&](QWidget* parent, const QString& caption) -> std::optional<QString> {
        EXPECT_EQ(caption, "Disquete");
        statusWhileChoosing = qobject_cast<TscruntEntrega*>(parent)->statusBar()->currentMessage();
        return drives.roots[0];
    };

    whenModal<TscruntEntrega>([&](TscruntEntrega* wizard) {
        wizard->typeList()->setCurrentIndex(1);
        QTableView* grid = wizard->enablementGrid();
        clickRow(grid, 0);
        clickRow(grid, 2, Qt::ControlModifier);
        ASSERT_EQ(wizard->selectedRows(), QList<int>({ 0, 2 }));
        shell.commands().runUpdateRules();
        QTest::mouseClick(wizard->findChild<QToolButton*>("spbSalvar"), Qt::LeftButton);

        EXPECT_EQ(wizard->pages()->currentWidget()->objectName(), "tbsAcompanhamento");
        EXPECT_EQ(progressLines(wizard),
            QStringList({ "Montando arquivo... ok.", "Criptografando arquivo... ok.", "Gravando em disquete... ok.",
                "Atualizando banco de dados... ok.", "Finalizando ok." }));
        EXPECT_EQ(wizard->findChild<QLabel*>("lblMnsFinal")->text(), "Gravação realizada com sucesso!");
        EXPECT_TRUE(wizard->statusBar()->currentMessage().isEmpty());
        shell.commands().runUpdateRules();
        EXPECT_FALSE(wizard->findChild<QToolButton*>("spbSalvar")->isEnabled());
        // A window serves one run: the command does nothing more.
        shell.commands().action("actEntrega_FazEntrega")->trigger();
        EXPECT_EQ(progressLines(wizard).size(), 5);
        delivered = wizard->lastRun()->deliveredFiles();
        shoot(wizard, "entrega-acompanhamento");
    });
    shell.commands().action("actEntrega_Disquete")->trigger();

    EXPECT_EQ(statusWhileChoosing, "Aguarde...");
    delivered.sort();
    EXPECT_EQ(drives.deliveryFiles().join(' ').toStdString(), delivered.join(' ').toStdString());
    QStringList identifiers;
    for (const QString& name : drives.deliveryFiles()) {
        TInfArquivo info;
        ASSERT_TRUE(LerNomeArquivo(name, info));
        identifiers << info.identificador;
    }
    identifiers.sort();
    EXPECT_EQ(identifiers, QStringList({ kThree[2], kThree[0] }));
    EXPECT_EQ(shell.statusOf(kThree[0]), "D");
    EXPECT_EQ(shell.statusOf(kThree[1]), "C");
    EXPECT_EQ(shell.statusOf(kThree[2]), "D");
    EXPECT_EQ(shell.count("SELECT count(*) FROM ENTREGAS WHERE FORMAENTREGA = 'D' AND NUMEROPROTOCOLO IS NULL AND "
                          "IDENTIFICADORDISQUETE = 'DISCO11000'"),
        2);
    EXPECT_FALSE(QDir(QDir(shell.folder.path()).filePath("Temp")).exists());
    shell.expectPromptsMet();
}

TEST(DeliveryWizard, CancelledDriveChoiceLeavesEverythingAsItWas)
{
    StandInDrives drives(1);
    Shell shell;
    for (const QString& cpf : kThree)
        shell.saveEnablement(cpf);
    shell.deliveries().chooseDrive = [](QWidget*, const QString&) { return std::optional<QString>(); };
    whenModal<TscruntEntrega>([&](TscruntEntrega* wizard) {
        wizard->typeList()->setCurrentIndex(1);
        clickRow(wizard->enablementGrid(), 1);
        wizard->FazerEntrega();
        EXPECT_EQ(progressLines(wizard),
            QStringList({ "Montando arquivo... ok.", "Criptografando arquivo... ok.", "Gravando em disquete... falhou.",
                "Atualizando banco de dados... falhou.", "Finalizando ok." }));
        EXPECT_EQ(wizard->findChild<QLabel*>("lblMnsFinal")->text(), "Operação não efetuada!");
        EXPECT_FALSE(wizard->canConfirm());
    });
    shell.commands().action("actEntrega_Disquete")->trigger();
    EXPECT_TRUE(drives.deliveryFiles().isEmpty());
    EXPECT_EQ(shell.count("SELECT count(*) FROM ENTREGAS"), 0);
    EXPECT_EQ(shell.statusOf(kThree[1]), "C");
    shell.expectPromptsMet();
}

TEST(DeliveryDiskDialog, ConfirmsOnlyADriveThatHoldsAReadableMedium)
{
    StandInDrives drives(3);
    ScriptedPrompts prompts;

    // The real dialog over the stand-in drives: the middle one has vanished, the last is taken.
    std::optional<QString> chosen;
    whenModal<TscrUntCheckDisquete>([&](TscrUntCheckDisquete* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Disquete");
        EXPECT_EQ(dialog->driveGroup()->title(), "Insira o disquete na unidade: ");
        // The machine's own removable drives, if any, are listed too.
        QList<QRadioButton*> ours;
        const QList<QRadioButton*> buttons = dialog->driveGroup()->findChildren<QRadioButton*>();
        for (const QString& root : drives.roots) {
            for (QRadioButton* button : buttons) {
                if (button->property("root").toString() == root)
                    ours << button;
            }
        }
        ASSERT_EQ(ours.size(), 3);
        EXPECT_TRUE(buttons.size() > 3 || ours[0]->isChecked());
        EXPECT_TRUE(dialog->confirmButton()->isDefault());
        shoot(dialog, "disquete");
        QTest::mouseClick(ours[1], Qt::LeftButton);
        ASSERT_EQ(dialog->chosenDrive(), drives.roots[1]);
        QDir(drives.roots[1]).removeRecursively();
        prompts.expectError("Insira o disco na unidade " + drives.roots[1]);
        QTest::mouseClick(dialog->confirmButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog->isVisible());
        QTest::mouseClick(ours[2], Qt::LeftButton);
        QTest::mouseClick(dialog->confirmButton(), Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
    });
    chosen = TscrUntCheckDisquete::EscolherDrive(prompts);
    EXPECT_EQ(chosen, drives.roots[2]);

    // Free space that cannot be read: OK asks again, Cancel gives up.
    TscrUntCheckDisquete dialog(prompts);
    dialog.setDrives({ drives.roots[0] });
    int asked = 0;
    dialog.freeSpace = [&](const QString&) { return ++asked < 3 ? qint64(-1) : qint64(1440 * 1024); };
    prompts.expectOkCancel("Insira o disquete no drive " + drives.roots[0], true);
    prompts.expectOkCancel("Insira o disquete no drive " + drives.roots[0], true);
    dialog.open();
    dialog.confirm();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(asked, 3);
    asked = 0;
    prompts.expectOkCancel("Insira o disquete no drive " + drives.roots[0], false);
    dialog.open();
    dialog.confirm();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    // Without any drive there is nothing to confirm.
    dialog.setDrives({});
    EXPECT_FALSE(dialog.confirmButton()->isEnabled());
    EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString()
                                  << prompts.leftOver().join('\n').toStdString();
}

TEST(DeliveryCapture, ListsTheProtocolsOnTheDiskAndCapturesTheChosenOne)
{
    StandInDrives drives(1);
    Shell shell;
    for (const QString& cpf : kThree)
        shell.saveEnablement(cpf);
    bool asked = false;
    shell.deliveries().chooseDrive = [&](QWidget*, const QString& caption) -> std::optional<QString> {
        asked = true;
        EXPECT_TRUE(caption == "Disquete" || caption == "Insira o disquete") << caption.toStdString();
        return drives.roots[0];
    };
    shell.deliverEnablementsToDisk();
    const QStringList files = drives.deliveryFiles();
    ASSERT_EQ(files.size(), 3);

    // Before the authority returns the disk there is nothing to list: the window stays shut.
    shell.prompts.expectError(ProtocolCapture::kNoProtocol);
    shell.commands().action("actProtocolo_Capturar")->trigger();
    shell.expectPromptsMet();

    const QStringList numbers { "20260000000000101", "20260000000000102", "20260000000000103" };
    for (int i = 0; i < 3; ++i)
        writeProtocol(
            QDir(drives.roots[0]).filePath(files[i]), numbers[i], "10/03/2026", "14:25:3" + QString::number(i));

    QString chosenFile;
    QString receiptText;
    whenModal<TscrUntCaptura>([&](TscrUntCaptura* capture) {
        EXPECT_EQ(capture->windowTitle(), "Captura de Protocolos");
        EXPECT_EQ(capture->findChild<QLabel*>("lblModo")->text(), "Captura de Protocolos");
        EXPECT_TRUE(capture->findChild<QLabel*>("imgCaptura")->isVisible());
        EXPECT_FALSE(capture->findChild<QLabel*>("imgRecibo")->isVisible());
        EXPECT_EQ(helpTopicOf(capture), 10);
        QAbstractItemModel* model = capture->grid()->model();
        QStringList headers;
        for (int c = 0; c < model->columnCount(); ++c)
            headers << model->headerData(c, Qt::Horizontal).toString();
        EXPECT_EQ(headers, QStringList({ "Nº", "Protocolo", "Data", "Hora", "Identificador", "Tipo" }));
        ASSERT_EQ(model->rowCount(), 3);
        EXPECT_EQ(model->index(1, 0).data().toString(), "2");
        EXPECT_EQ(model->index(1, 2).data().toString(), "10/03/2026");
        EXPECT_EQ(model->index(1, 3).data().toString(), "14:25:31");
        EXPECT_EQ(model->index(1, 5).data().toString(), "Habilitação de Contabilista");
        shoot(capture, "captura");

        clickRow(capture->grid(), 1);
        chosenFile = shell.jx().cdsProtocolosAux->text("NOMEARQUIVO");
        // Not captured yet: the offer to capture it first, declined, prints nothing.
        shell.prompts.expectYesNo(TscrUntCaptura::kCaptureFirst, false);
        capture->printAction()->trigger();
        shell.prompts.expectInformation(ProtocolCapture::kCaptured);
        capture->captureAction()->trigger();
        shell.prompts.expectError(ProtocolCapture::kAlreadyCaptured);
        capture->captureAction()->trigger();
        whenModal<TscrRptPreview>([&](TscrRptPreview* receipt) {
            EXPECT_EQ(receipt->windowTitle(), "Recibo");
            EXPECT_EQ(receipt->objectName(), "TscrRptReciboHabilitacaoContabilista");
            for (const auto& page : receipt->pages()) {
                for (const auto* item : page.texts())
                    receiptText += item->text + u'\n';
            }
            shoot(receipt, "recibo");
        });
        capture->printAction()->trigger();
    });
    shell.commands().action("actProtocolo_Capturar")->trigger();

    EXPECT_TRUE(asked);
    EXPECT_TRUE(receiptText.contains(numbers[1])) << receiptText.toStdString();
    EXPECT_EQ(chosenFile, files[1]);
    EXPECT_EQ(shell.count("SELECT count(*) FROM ENTREGAS WHERE NUMEROPROTOCOLO IS NOT NULL"), 1);
    EXPECT_EQ(
        shell.count("SELECT count(*) FROM ENTREGAS WHERE NUMEROPROTOCOLO = '20260000000000102' AND NOMEARQUIVO = '"
            + files[1] + "' AND DATAHORAPROTOCOLO = '2026-03-10 14:25:00'"),
        1);
    shell.expectPromptsMet();
}

TEST(DeliveryCapture, FromTheDisketteAReceiptIsPrintedAfterCapturingItsProtocolWhenAsked)
{
    StandInDrives drives(1);
    Shell shell;
    for (const QString& cpf : kThree)
        shell.saveEnablement(cpf);
    shell.deliveries().chooseDrive = [&](QWidget*, const QString&) -> std::optional<QString> { return drives.roots[0]; };
    shell.deliverEnablementsToDisk();
    const QStringList files = drives.deliveryFiles();
    ASSERT_EQ(files.size(), 3);
    const QStringList numbers { "20260000000000201", "20260000000000202", "20260000000000203" };
    for (int i = 0; i < 3; ++i)
        writeProtocol(QDir(drives.roots[0]).filePath(files[i]), numbers[i], "11/03/2026", "09:10:00");

    QStringList printed;
    whenModal<TscrUntCaptura>([&](TscrUntCaptura* capture) {
        EXPECT_EQ(capture->windowTitle(), "Impressões de Recibos");
        EXPECT_EQ(capture->findChild<QLabel*>("lblModo")->text(), "Impressões de Recibos do disquete");
        EXPECT_FALSE(capture->findChild<QLabel*>("imgCaptura")->isVisible());
        EXPECT_TRUE(capture->findChild<QLabel*>("imgRecibo")->isVisible());
        EXPECT_FALSE(capture->findChild<QToolButton*>("spbCapturar")->isVisible());
        EXPECT_TRUE(capture->findChild<QToolButton*>("spbImprimir")->isVisible());
        EXPECT_EQ(helpTopicOf(capture), 37);
        clickRow(capture->grid(), 1);
        // Not captured: declined, nothing printed and the window stays.
        shell.prompts.expectYesNo(TscrUntCaptura::kCaptureFirst, false);
        capture->printAction()->trigger();
        EXPECT_EQ(shell.count("SELECT count(*) FROM ENTREGAS WHERE NUMEROPROTOCOLO IS NOT NULL"), 0);
        EXPECT_TRUE(capture->isVisible());
        // Accepted: captured, then printed.
        shell.prompts.expectYesNo(TscrUntCaptura::kCaptureFirst, true);
        whenModal<TscrRptPreview>([&](TscrRptPreview* preview) {
            EXPECT_EQ(preview->objectName(), "TscrRptReciboHabilitacaoContabilista");
            for (const auto& page : preview->pages()) {
                for (const auto* item : page.texts())
                    printed << item->text;
            }
        });
        capture->printAction()->trigger();
        // Captured now: printed again without a question.
        whenModal<TscrRptPreview>([](TscrRptPreview*) {});
        capture->printAction()->trigger();
    });
    shell.commands().action("actImprimirReciboDisquete")->trigger();

    EXPECT_EQ(shell.count("SELECT count(*) FROM ENTREGAS WHERE NUMEROPROTOCOLO = '20260000000000202'"), 1);
    EXPECT_EQ(shell.count("SELECT count(*) FROM ENTREGAS WHERE NUMEROPROTOCOLO IS NOT NULL"), 1);
    EXPECT_TRUE(printed.contains("20260000000000202"));
    EXPECT_TRUE(printed.contains("11/03/2026"));
    EXPECT_TRUE(printed.contains("09:10:00"));
    EXPECT_TRUE(printed.contains("Recibo de Transmissão da Habilitação de Contabilista/Empresa Contábil"));
    shell.expectPromptsMet();
}

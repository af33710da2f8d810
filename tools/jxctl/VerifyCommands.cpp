// jxctl verificar, dados, gerar, nome-arquivo: a filing's pending items (read-only, the same
// rules as the forms' saves), its data section, its delivery file, and file-name recognition.

#include "Cli.h"
#include "ConsolePrompts.h"
#include "DataModule.h"

#include "Error.h"
#include "data/TdtmJX.h"
#include "db/TdtmDB.h"
#include "text/DocumentChecks.h"
#include "verification/Verification.h"
#include "delivery/DataLayouts.h"
#include "delivery/FileGeneration.h"

#include <QDir>
#include <QFileInfo>

namespace jxctl {

namespace {

const QString kUsage = QStringLiteral("verificar solicitacao|habilitacao ID [--banco CAMINHO] [--hoje DD/MM/AAAA]");

int verify(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    const QDate today = todayOption(args);
    requireCount(args, 2, kUsage);
    const bool request = requestKind(args[0], kUsage);
    const qint64 id = idOf(args[1]);
    const auto module = openDataModule(path);
    jx::TdtmJX& jx = *module->jx;
    const bool clean = verifyFiling(jx, request, id, today);
    const jx::data::RecordSet& list = *jx.cdsPendecias;
    for (int v = 0; v < list.count(); ++v) {
        out(list.valueAt(v, list.fieldIndex(QStringLiteral("Tipo"))).toString() + u'\t'
            + list.valueAt(v, list.fieldIndex(QStringLiteral("Local"))).toString() + u'\t'
            + list.valueAt(v, list.fieldIndex(QStringLiteral("Pendencia"))).toString());
    }
    return clean ? 0 : 1;
}

const QString kDataUsage = QStringLiteral("dados solicitacao|habilitacao ID [--banco CAMINHO]");

int dataLines(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    requireCount(args, 2, kDataUsage);
    const bool request = requestKind(args[0], kDataUsage);
    const qint64 id = idOf(args[1]);
    const auto module = openDataModule(path);
    locateFiling(*module->jx, request, id);
    jx::DataLayouts layouts(*module->jx);
    const QStringList lines = request ? layouts.MontarDadosSolicitacao() : layouts.MontarDadosHabilitacao();
    out(lines.join(u'\n'));
    return 0;
}

const QString kGenerateUsage
    = QStringLiteral("gerar solicitacao|habilitacao ID... --pasta PASTA [--banco CAMINHO] [--chaves PASTA]");

int generate(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    const QString folder = takeOption(args, QStringLiteral("--pasta"));
    const QString keys = takeOption(args, QStringLiteral("--chaves"));
    if (folder.isEmpty() || args.size() < 2)
        throw UsageError(QStringLiteral("Uso: %1").arg(kGenerateUsage));
    const bool request = requestKind(args.takeFirst(), kGenerateUsage);
    QList<qint64> ids;
    for (const QString& text : args)
        ids << idOf(text);
    const auto module = openDataModule(path);
    jx::TdtmJX& jx = *module->jx;
    jx.TipoAtual = request ? 1 : 0;
    jx::data::RecordSet& filings = request ? *jx.cdsSolicitacaoIE : *jx.cdsSolicitacao_Contab;
    const QString key = request ? QStringLiteral("ID_SOLICITACAO") : QStringLiteral("ID_SOLICITACAO_CONTABILISTA");
    QList<int> rows;
    for (const qint64 id : ids) {
        locateFiling(jx, request, id);
        rows << filings.recNo();
    }
    jx::FileGeneration generation(jx, module->programFolder);
    if (!keys.isEmpty())
        generation.setKeysFolder(keys);
    QStringList written;
    QStringList failures;
    const QStringList files = generation.GerarArquivos(rows, written, folder, failures);
    for (const QString& file : files)
        out(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()));
    for (const QString& reason : generation.failureReasons())
        err(reason);
    return failures.isEmpty() ? 0 : 1;
}

int fileName(const QStringList& args)
{
    requireCount(args, 1, QStringLiteral("nome-arquivo NOME"));
    jx::TInfArquivo info;
    if (!jx::LerNomeArquivo(args[0], info)) {
        out(QStringLiteral("não reconhecido"));
        return 1;
    }
    out(QStringList { info.tipoIdentificador, info.identificador, info.tipo, info.extensao, info.data, info.hora }
            .join(u'\n'));
    return 0;
}

} // namespace

std::vector<Command> verifyCommands()
{
    return { { QStringLiteral("verificar"), kUsage, verify }, { QStringLiteral("dados"), kDataUsage, dataLines },
        { QStringLiteral("gerar"), kGenerateUsage, generate },
        { QStringLiteral("nome-arquivo"), QStringLiteral("nome-arquivo NOME"), fileName } };
}

} // namespace jxctl

// jxctl verificar, dados, gerar, nome-arquivo: a filing's pending items (read-only, the same
// rules as the forms' saves), its data section, its delivery file, and file-name recognition.

#include "Cli.h"
#include "ConsolePrompts.h"
#include "DataModule.h"

#include "Error.h"
#include "data/TdtmJX.h"
#include "db/Sqlite.h"
#include "db/TdtmDB.h"
#include "text/DocumentChecks.h"
#include "verification/Verification.h"
#include "delivery/DataLayouts.h"
#include "delivery/FileGeneration.h"

#include <QDir>
#include <QFileInfo>

namespace jxctl {

namespace {

const QString kUsage = QStringLiteral("verificar solicitacao|habilitacao ID | verificar solicitacoes|habilitacoes todas "
                                      "[--banco CAMINHO] [--hoje DD/MM/AAAA]");

// Every filing of the kind, as the delivery run verifies them: the ones with errors (key and
// number of errors), then the count. True when none has an error.
bool verifyAll(jx::TdtmJX& jx, bool request, const QDate& today)
{
    jx.TipoAtual = request ? 1 : 0;
    jx::data::RecordSet& filings = request ? *jx.cdsSolicitacaoIE : *jx.cdsSolicitacao_Contab;
    const QString key = request ? QStringLiteral("ID_SOLICITACAO") : QStringLiteral("ID_SOLICITACAO_CONTABILISTA");
    jx::Verification verification(jx);
    if (today.isValid())
        verification.setToday(today);
    int withErrors = 0;
    {
        // One read transaction: every filing judged on the same state of the database.
        jx::db::Transaction snapshot(jx.database().connection());
        for (int v = 0; v < filings.count(); ++v) {
            filings.moveTo(v); // its details follow
            if (verification.ApurarPendencias(request ? 1 : 0))
                continue;
            if (withErrors++ == 0)
                out(QStringLiteral("ID\tErros"));
            out(filings.text(key) + u'\t' + QString::number(verification.errorCount()));
        }
        snapshot.commit();
    }
    out(QStringLiteral("%1 verificadas: %2; com erros: %3.")
            .arg(request ? QStringLiteral("Solicitações") : QStringLiteral("Habilitações"))
            .arg(filings.count())
            .arg(withErrors));
    return withErrors == 0;
}

int verify(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    const QDate today = todayOption(args);
    requireCount(args, 2, kUsage);
    const bool all = args[0] == QLatin1String("solicitacoes") || args[0] == QLatin1String("habilitacoes");
    if (all) {
        if (args[1] != QLatin1String("todas"))
            throw UsageError(QStringLiteral("Use \"todas\" depois de %1. Uso: jxctl %2").arg(args[0], kUsage));
        const auto module = openDataModule(path);
        return verifyAll(*module->jx, args[0] == QLatin1String("solicitacoes"), today) ? 0 : 1;
    }
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

#include "Cli.h"
#include "ConsolePrompts.h"

#include "Error.h"
#include "delivery/DeliveryCrypto.h"
#include "delivery/ManipulaXml.h"
#include "delivery/RsaKey.h"
#include "platform/ProgramFolder.h"
#include "text/DocumentChecks.h"

#include <QDate>
#include <QFile>
#include <QStringDecoder>

namespace jxctl {

namespace {

const QString kFileUsage = QStringLiteral(
    "arquivo gerar SAIDA --dados ARQUIVO [--tipo-identificador T] [--identificador I] [--tipo-arquivo N] "
    "[--data DD/MM/AAAA]\n"
    "  jxctl arquivo carimbar|conferir|protocolo|verificador|dados ARQ\n"
    "  jxctl arquivo criptografar|descriptografar ARQ [--chaves PASTA]");

void requireFile(const QString& path)
{
    if (!QFile::exists(path))
        throw UsageError(QStringLiteral("Arquivo não encontrado: %1").arg(path));
}

// Text files given to jxctl may be UTF-8 or Latin-1; a valid UTF-8 reading wins.
QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UsageError(QStringLiteral("Não foi possível ler %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

int generate(QStringList args)
{
    jx::TInfCabecalho header;
    header.tipo_identificador = takeOption(args, QStringLiteral("--tipo-identificador"), QStringLiteral("CNPJ"));
    header.identificador = takeOption(args, QStringLiteral("--identificador"));
    header.tipo_arquivo = takeOption(args, QStringLiteral("--tipo-arquivo"), QStringLiteral("6"));
    header.versao_programa_gerador = QStringLiteral("1.00.01");
    header.indicativo_substituicao = QStringLiteral("N");
    const QString dateText = takeOption(args, QStringLiteral("--data"), QDate::currentDate().toString("dd/MM/yyyy"));
    if (!jx::docs::dateIsValid(dateText))
        throw UsageError(QStringLiteral("Data inválida: \"%1\" (use DD/MM/AAAA).").arg(dateText));
    header.data_inicial = QDate::fromString(dateText, QStringLiteral("dd/MM/yyyy"));
    header.data_final = header.data_inicial;
    const QString dataFile = takeOption(args, QStringLiteral("--dados"));
    if (dataFile.isEmpty())
        throw UsageError(QStringLiteral("Informe o arquivo de dados com --dados ARQUIVO."));
    requireCount(args, 1, kFileUsage);

    QString text = readText(dataFile);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QString dataText;
    for (const QString& line : lines)
        dataText += line + QStringLiteral("\r\n");
    jx::xmlfile::GerarArquivoXML(args[0], header, dataText);
    return 0;
}

int run(const QStringList& argsIn)
{
    QStringList args = argsIn;
    if (args.isEmpty())
        throw UsageError(QStringLiteral("Faltam argumentos. Uso: jxctl ") + kFileUsage);
    const QString action = args.takeFirst();
    if (action == QLatin1String("gerar"))
        return generate(args);

    const QString keys = takeOption(args, QStringLiteral("--chaves"), QString());
    requireCount(args, 1, kFileUsage);
    const QString file = args[0];
    requireFile(file);
    ConsolePrompts prompts;
    const QString keysFolder = keys.isEmpty() ? jx::programFolder::binFolder() : keys;

    if (action == QLatin1String("carimbar"))
        return jx::xmlfile::GravarVerificador(file, prompts) ? 0 : 2;
    if (action == QLatin1String("conferir")) {
        const bool intact = jx::xmlfile::ConferirHash(file);
        out(intact ? QStringLiteral("íntegro") : QStringLiteral("alterado"));
        return intact ? 0 : 1;
    }
    if (action == QLatin1String("criptografar"))
        return jx::DeliveryCrypto(keysFolder, prompts).CriptografarArquivo(file) ? 0 : 2;
    if (action == QLatin1String("descriptografar")) {
        const QString cipher = jx::xmlfile::RetornarDados(file).trimmed();
        if (cipher.isEmpty())
            throw UsageError(QStringLiteral("A seção <dados> de %1 não está criptografada.").arg(file));
        const QByteArray plain = jx::DeliveryCrypto(keysFolder, prompts).DescriptografarTexto(cipher.toLatin1());
        if (prompts.errorShown())
            return 2;
        out(QString::fromLatin1(plain));
        return 0;
    }
    if (action == QLatin1String("protocolo")) {
        out(jx::xmlfile::RetornarProtocolo(file));
        return 0;
    }
    if (action == QLatin1String("verificador")) {
        out(jx::xmlfile::RetornarVerificador(file));
        return 0;
    }
    if (action == QLatin1String("dados")) {
        out(jx::xmlfile::RetornarDados(file));
        return 0;
    }
    throw UsageError(QStringLiteral("Ação desconhecida: \"%1\". Uso: jxctl ").arg(action) + kFileUsage);
}

const QString kKeysUsage = QStringLiteral("chaves gerar PASTA [--substituir]");

// A folder that holds a key keeps it unless --substituir: files encrypted with the old pair
// open with it only (exit 2, nothing written).
int keysCommand(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const bool replace = takeFlag(args, QStringLiteral("--substituir"));
    if (args.value(0) != QLatin1String("gerar"))
        throw UsageError(QStringLiteral("Uso: jxctl ") + kKeysUsage);
    requireCount(args.mid(1), 1, kKeysUsage);
    const QString& folder = args[1];
    if (!replace && jx::RsaKeyPair::folderHoldsKeys(folder))
        throw UsageError(
            jx::RsaKeyPair::keysExistText(folder) + QStringLiteral(" Para substituí-la, use --substituir."));
    jx::RsaKeyPair::generate().save(folder, replace);
    out(QStringLiteral("Chaves gravadas em %1").arg(folder));
    return 0;
}

} // namespace

std::vector<Command> fileCommands()
{
    return {
        { QStringLiteral("arquivo"), kFileUsage, run },
        { QStringLiteral("chaves"), kKeysUsage, keysCommand },
    };
}

} // namespace jxctl

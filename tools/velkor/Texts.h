#pragma once

#include <QString>

// What velkor prints: one line per file, so the tests and whoever reads a run compare
// against one source.
namespace velkor::texts {

inline const QString kUsage = QStringLiteral(
    "Uso: velkor [--recusar N] [--quebrar N] [--remover N] [--sem-data N] [--saida CODIGO] [--nada] ARQUIVO...\n"
    "     velkor --devolver PASTA [--chaves PASTA] [as mesmas opções]\n"
    "N: posições a partir de 1, separadas por vírgula. As mesmas chaves valem pelo ambiente:\n"
    "VELKOR_RECUSAR, VELKOR_QUEBRAR, VELKOR_REMOVER, VELKOR_SEM_DATA, VELKOR_SAIDA, VELKOR_NADA.\n"
    "Só pelo ambiente: VELKOR_PREFIXO (texto antes do número do protocolo) e VELKOR_MOMENTO\n"
    "(\"dd/mm/aaaa hh:mm:ss\", a data e a hora escritas no protocolo, como dadas).\n"
    "Contador e cópias dos arquivos recebidos em $VELKOR_HOME.");

// "Aceito: ARQUIVO — protocolo NUMERO de DATA HORA"
inline QString accepted(const QString& file, const QString& number, const QString& date, const QString& time)
{
    QString line = QStringLiteral("Aceito: %1 — protocolo %2").arg(file, number);
    if (!date.isEmpty())
        line += QStringLiteral(" de %1 %2").arg(date, time);
    return line;
}
inline QString refused(const QString& file, const QString& reason)
{
    return QStringLiteral("Recusado: %1 — %2").arg(file, reason);
}
inline QString removed(const QString& file)
{
    return QStringLiteral("Removido: %1").arg(file);
}
inline const QString kBrokenNote = QStringLiteral(" (verificador quebrado de propósito)");

inline const QString kMissing = QStringLiteral("arquivo não encontrado");
inline const QString kNotRegular = QStringLiteral("não é um arquivo comum");
inline const QString kTooLarge = QStringLiteral("arquivo maior que 16 MB");
inline const QString kUnreadable = QStringLiteral("não foi possível ler o arquivo");
inline const QString kInvalidXml = QStringLiteral("XML inválido");
inline const QString kVerifierMismatch = QStringLiteral("o verificador de integridade não confere");
inline const QString kNotEnvelope = QStringLiteral("não é um arquivo de entrega (falta arquivo/cabecalho/protocolo)");
inline const QString kNotFiling = QStringLiteral("a seção de dados não é uma solicitação nem uma habilitação");
inline const QString kNotEncrypted = QStringLiteral("a seção de dados não está criptografada");
inline const QString kUndecryptable = QStringLiteral("não foi possível descriptografar a seção de dados");
inline const QString kAlreadyProtocolled = QStringLiteral("o arquivo já tem protocolo");
inline const QString kSimulatedRefusal = QStringLiteral("recusa simulada");
inline const QString kCounterFailed = QStringLiteral("não foi possível obter o número do protocolo");
inline const QString kWriteFailed = QStringLiteral("não foi possível gravar o arquivo");

inline const QString kNoFolder = QStringLiteral("Pasta não encontrada: %1");

} // namespace velkor::texts

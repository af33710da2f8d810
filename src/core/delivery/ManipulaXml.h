#pragma once

#include "delivery/RsaKey.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <pugixml.hpp>

namespace jx {

class UserPrompts;

// The header values of a delivery file, named after the elements they fill.
struct TInfCabecalho {
    QString tipo_identificador;
    QString identificador;
    QString tipo_arquivo;
    QString versao_programa_gerador;
    QDate data_inicial;
    QDate data_final;
    QString indicativo_substituicao;
    QString protocolo_substituicao;
    QString data;
    QString hora;
    QString numero;
};

// The operations on delivery and backup files. Each opens and closes the file itself.
namespace xmlfile {

// Writes the envelope line by line (ISO-8859-1, CR LF; header values escaped) with the data
// text, whose lines end in CR LF, and lets the XML library re-save it. The whole file is
// built and parsed in memory, then written in one replacement: text outside ISO-8859-1 or
// a data text that is not well-formed fails as jx::Error and leaves no file behind.
bool GerarArquivoXML(const QString& file, const TInfCabecalho& header, const QString& dataText);
// The bytes GerarArquivoXML writes, in memory.
QByteArray fileBytes(const TInfCabecalho& header, const QString& dataText);
// GravarVerificador and CriptografarDados on a file's bytes in memory, giving the bytes they
// would write: a file can be sealed before its first write, so that no plain data section ever
// reaches the disk. file names the file in messages only.
QByteArray stampedBytes(const QByteArray& content, const QString& file);
QByteArray encryptedBytes(const QByteArray& content, const RsaKey& publicKey);
// stampedBytes(encryptedBytes(content)), the encrypted text parsed in place and written once.
QByteArray sealedBytes(const QByteArray& content, const RsaKey& publicKey, const QString& file);

// Stamps the SHA-1 verifier as the last child of cabecalho, replacing one stamped before.
// False after a failure that was shown to the user.
bool GravarVerificador(const QString& file, UserPrompts& prompts);
// Whether the stored verifier equals the digest recomputed over the file without it. Only
// reads the file. A file without a verifier fails the check. Throws "Erro ao conferir o
// hash!" when the file cannot be taken apart.
bool ConferirHash(const QString& file);
// Markup the program never writes and the verifier cannot see (a DOCTYPE, a comment, CDATA, a
// processing instruction other than the leading declaration): a file holding any is altered.
bool foreignMarkup(const QByteArray& bytes);
// The same check on a parsed document, which loses its verifier element.
bool verifierMatches(pugi::xml_document& document);
QString RetirarValidador(const QString& file);
bool InserirValidador(const QString& file, const QString& verifier);
QString CalcularHash(const QString& file);

// Replaces the data section by its encryption with the public key, line by line.
void CriptografarDados(const QString& file, const RsaKey& publicKey);

QString RetornarProtocolo(const QString& file);
QString RetornarDados(const QString& file);
QString RetornarVerificador(const QString& file);

inline const QString kHashCheckFailedText = QStringLiteral("Erro ao conferir o hash!");
inline const QString kRemoveVerifierFailedText = QStringLiteral("Não foi possível retirar o validador do arquivo.\r\n");
inline const QString kProtocolFailedText
    = QStringLiteral("Não foi possível retornar informação solicitada:\r\n- Protocolo");
inline const QString kVerifierFailedText
    = QStringLiteral("Não foi possível retornar informação solicitada:\r\n- Verificador");
inline const QString kDataFailedText = QStringLiteral("Não foi possível retornar valor dos dados");
inline const QString kNoDataSectionText
    = QStringLiteral("Não foi possível criptografar os dados: o arquivo não tem a seção <dados>.");

} // namespace xmlfile
} // namespace jx

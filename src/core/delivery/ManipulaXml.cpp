#include "delivery/ManipulaXml.h"

#include "Error.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/Sha1.h"
#include "delivery/XmlLibraryPass.h"
#include "platform/Files.h"
#include "platform/UserPrompts.h"

#include <QFile>
#include <QStringList>

namespace jx::xmlfile {

namespace {

const QByteArray kCrLf = "\r\n";
constexpr char kVerifierTag[] = "verificador_integridade";

// The files are ISO-8859-1; a character outside it would turn into "?" on the way.
void requireLatin1(const QString& text, const QString& where)
{
    QString bad;
    for (const QChar c : text) {
        if (c.unicode() > 0xFF && !bad.contains(c))
            bad += c;
    }
    if (!bad.isEmpty())
        throw Error(QStringLiteral("O arquivo não foi gerado: %1 contém caracteres que a codificação ISO-8859-1 não "
                                   "representa (\"%2\").")
                        .arg(where, bad));
}

QByteArray escaped(const QString& value)
{
    QByteArray out = value.toLatin1();
    out.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
    return out;
}

QByteArray element(const char* tag, const QString& value)
{
    requireLatin1(value, QStringLiteral("o elemento %1 do cabeçalho").arg(QLatin1String(tag)));
    return QByteArray("<") + tag + '>' + escaped(value) + "</" + tag + '>';
}

void removeVerifiers(pugi::xml_node header)
{
    while (pugi::xml_node old = header.child(kVerifierTag))
        header.remove_child(old);
}

QString dateText(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

} // namespace

QByteArray fileBytes(const TInfCabecalho& header, const QString& dataText)
{
    const QList<QByteArray> lines {
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>",
        "<arquivo>",
        "<cabecalho>",
        element("tipo_identificador", header.tipo_identificador),
        element("identificador", header.identificador),
        element("tipo_arquivo", header.tipo_arquivo),
        element("versao_programa_gerador", header.versao_programa_gerador),
        "<periodo_referencia>",
        element("data_inicial", dateText(header.data_inicial)),
        element("data_final", dateText(header.data_final)),
        "</periodo_referencia>",
        "<substituicao>",
        element("indicativo_substituicao", header.indicativo_substituicao),
        element("protocolo_substituicao", header.protocolo_substituicao),
        "</substituicao>",
        "<protocolo>",
        element("data", header.data),
        element("hora", header.hora),
        element("numero", header.numero),
        "</protocolo>",
        "<complemento></complemento>",
        "</cabecalho>",
    };
    requireLatin1(dataText, QStringLiteral("a seção de dados"));
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + kCrLf;
    // The first data line shares its line with the start tag; the end tag opens the line
    // after the last data line.
    bytes += "<dados>" + dataText.toLatin1();
    if (!dataText.isEmpty() && !dataText.endsWith(QLatin1String("\r\n")))
        bytes += kCrLf;
    bytes += "</dados>" + kCrLf + "</arquivo>" + kCrLf;
    // Parsed in memory first: a text that is not well-formed XML leaves no file behind.
    pugi::xml_document document;
    xmlpass::loadBytes(document, bytes);
    return xmlpass::bytesOf(document);
}

bool GerarArquivoXML(const QString& file, const TInfCabecalho& header, const QString& dataText)
{
    files::replaceContent(file, fileBytes(header, dataText));
    return true;
}

namespace {

void stamp(pugi::xml_document& document, const QString& file)
{
    // The digest covers exactly the bytes the library pass writes for the tree, so it is
    // taken from those bytes; parsing them again would give the same tree.
    pugi::xml_node header = document.document_element().child("cabecalho");
    if (!header)
        throw Error(QStringLiteral("O arquivo %1 não tem cabeçalho.").arg(file));
    // Stamping again replaces the verifier: a file carries exactly one, the digest of
    // the file without it, which is what the check recomputes.
    removeVerifiers(header);
    const QString digest = sha1::hexUpper(xmlpass::bytesOf(document));
    header.append_child(kVerifierTag).text().set(digest.toLatin1().constData());
}

} // namespace

QByteArray stampedBytes(const QByteArray& content, const QString& file)
{
    pugi::xml_document document;
    xmlpass::loadBytes(document, content);
    stamp(document, file);
    return xmlpass::bytesOf(document);
}

bool GravarVerificador(const QString& file, UserPrompts& prompts)
{
    try {
        pugi::xml_document document;
        xmlpass::load(document, file);
        stamp(document, file);
        xmlpass::save(document, file);
        return true;
    } catch (const Error& e) {
        prompts.error(e.userText());
        return false;
    }
}

QString RetirarValidador(const QString& file)
{
    try {
        pugi::xml_document document;
        xmlpass::load(document, file);
        pugi::xml_node header = document.document_element().child("cabecalho");
        pugi::xml_node verifier = header.child(kVerifierTag);
        if (!verifier)
            throw Error(QStringLiteral("O arquivo não tem o elemento verificador_integridade."));
        const QString text = QString::fromUtf8(verifier.text().get());
        header.remove_child(verifier);
        xmlpass::save(document, file);
        return text;
    } catch (const Error& e) {
        throw Error(kRemoveVerifierFailedText + e.userText());
    }
}

bool InserirValidador(const QString& file, const QString& verifier)
{
    pugi::xml_document document;
    xmlpass::load(document, file);
    pugi::xml_node header = document.document_element().child("cabecalho");
    if (!header)
        throw Error(QStringLiteral("O arquivo %1 não tem cabeçalho.").arg(file));
    header.append_child(kVerifierTag).text().set(verifier.toUtf8().constData());
    xmlpass::save(document, file);
    return true;
}

QString CalcularHash(const QString& file)
{
    return sha1::hexUpperOfFile(file);
}

bool verifierMatches(pugi::xml_document& document)
{
    pugi::xml_node header = document.document_element().child("cabecalho");
    pugi::xml_node verifier = header.child(kVerifierTag);
    // An unstamped file cannot pass.
    if (!verifier)
        return false;
    // The digest of what the library writes for the rest, taken in memory: the check only
    // reads, so a read-only file can be checked and the file is never touched.
    const QString stored = QString::fromUtf8(verifier.text().get());
    header.remove_child(verifier);
    const QString computed = sha1::hexUpper(xmlpass::bytesOf(document));
    return stored == computed;
}

bool foreignMarkup(const QByteArray& bytes)
{
    // The library drops these on parsing, so the verifier cannot see them; the program writes
    // none (values are escaped), so any is a change made to the file.
    if (bytes.contains("<!"))
        return true;
    const qsizetype declaration = bytes.indexOf("<?");
    return (declaration > 0) || (declaration == 0 && bytes.indexOf("<?", 2) >= 0);
}

bool ConferirHash(const QString& fileName)
{
    const QString file = fileName.trimmed();
    try {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("Não foi possível abrir o arquivo %1: %2").arg(file, in.errorString()));
        const QByteArray bytes = in.readAll();
        pugi::xml_document document;
        xmlpass::loadBytes(document, bytes);
        return !foreignMarkup(bytes) && verifierMatches(document);
    } catch (const Error& e) {
        throw Error(kHashCheckFailedText, e.userText());
    }
}

namespace {

// One line of a byte text: [begin, end) without its line break; next is where the
// following line starts. Lines end at CR LF, CR or LF.
struct Line {
    qsizetype begin;
    qsizetype end;
    qsizetype next;
};

Line lineAt(const QByteArray& text, qsizetype from)
{
    qsizetype i = from;
    while (i < text.size() && text[i] != '\r' && text[i] != '\n')
        ++i;
    qsizetype next = i;
    if (next < text.size())
        next += (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
    return { from, i, next };
}

bool lineContains(const QByteArray& text, const Line& line, QByteArrayView needle)
{
    return QByteArrayView(text).sliced(line.begin, line.end - line.begin).contains(needle);
}

} // namespace

QByteArray encryptedBytes(const QByteArray& content, const RsaKey& publicKey)
{

    QByteArray output;
    output.reserve(content.size() * 2 + 64);
    Line line { 0, 0, 0 };
    qsizetype at = 0;
    for (;;) {
        if (at >= content.size())
            throw Error(kNoDataSectionText);
        line = lineAt(content, at);
        if (lineContains(content, line, "<dados>"))
            break;
        output.append(content.constData() + line.begin, line.end - line.begin).append(kCrLf);
        at = line.next;
    }

    // The first body line is what is left of the start tag's line without the tag.
    QByteArray body;
    body.reserve(content.size() - line.begin);
    QByteArray first = content.mid(line.begin, line.end - line.begin);
    first.remove(first.indexOf("<dados>"), 7);
    const qsizetype sameLineEnd = first.indexOf("</dados>");
    if (sameLineEnd >= 0) {
        // A data text on the start tag's own line ends at its end tag.
        body = first.left(sameLineEnd);
    } else {
        body.append(first).append(kCrLf);
        at = line.next;
        for (;;) {
            if (at >= content.size())
                throw Error(kNoDataSectionText);
            line = lineAt(content, at);
            if (lineContains(content, line, "</dados>"))
                break;
            body.append(content.constData() + line.begin, line.end - line.begin).append(kCrLf);
            at = line.next;
        }
    }

    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    qsizetype from = 0;
    qsizetype to = body.size();
    while (from < to && isBlank(body[from]))
        ++from;
    while (to > from && isBlank(body[to - 1]))
        --to;
    const QByteArray cipherText = rsa::encrypt(body.sliced(from, to - from), publicKey);

    output.append("<dados>").append(cipherText).append("</dados>").append(kCrLf);
    output.append("</arquivo>").append(kCrLf);
    return output;
}

void CriptografarDados(const QString& file, const RsaKey& publicKey)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Não foi possível abrir o arquivo %1: %2").arg(file, in.errorString()));
    const QByteArray content = in.readAll();
    in.close();
    files::replaceContent(file, encryptedBytes(content, publicKey));
}

namespace {

QString readElement(const QString& file, std::initializer_list<const char*> names, const QString& failureText)
{
    try {
        pugi::xml_document document;
        xmlpass::load(document, file);
        return xmlpass::textAt(document, names);
    } catch (const Error& e) {
        throw Error(failureText, e.userText());
    }
}

} // namespace

QString RetornarProtocolo(const QString& file)
{
    return readElement(file, { "cabecalho", "protocolo", "numero" }, kProtocolFailedText);
}

QString RetornarDados(const QString& file)
{
    return readElement(file, { "dados" }, kDataFailedText);
}

QString RetornarVerificador(const QString& file)
{
    return readElement(file, { "cabecalho", kVerifierTag }, kVerifierFailedText);
}

} // namespace jx::xmlfile

#include "delivery/ManipulaXml.h"

#include "Error.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/Sha1.h"
#include "delivery/XmlLibraryPass.h"
#include "platform/Files.h"
#include "platform/UserPrompts.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cstring>

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

constexpr char kVerifierLineStart[] = "\r\n    <verificador_integridade>";
constexpr char kVerifierLineEnd[] = "</verificador_integridade>";
constexpr char kHeaderEndLine[] = "\r\n  </cabecalho>";
constexpr qsizetype kDigestLength = 40;

// The verifier goes last into cabecalho; the digest covers exactly the bytes the library pass
// writes for the tree without it. The tree is written once: with a placeholder verifier, the
// library puts it on a line of its own right before the header's end tag whenever the child
// before it is no text, and cutting that line gives the bytes without it.
QByteArray stampedBytesOf(pugi::xml_document& document, const QString& file, qsizetype sizeHint)
{
    pugi::xml_node header = document.document_element().child("cabecalho");
    if (!header)
        throw Error(QStringLiteral("O arquivo %1 não tem cabeçalho.").arg(file));
    // Stamping again replaces the verifier: a file carries exactly one, the digest of
    // the file without it, which is what the check recomputes.
    removeVerifiers(header);
    const pugi::xml_node last = header.last_child();
    if (last && last.type() != pugi::node_pcdata && last.type() != pugi::node_cdata) {
        const QByteArray placeholder(kDigestLength, '0');
        pugi::xml_node verifier = header.append_child(kVerifierTag);
        verifier.text().set(placeholder.constData());
        QByteArray bytes = xmlpass::bytesOf(document, sizeHint);
        const QByteArray line = kVerifierLineStart + placeholder + kVerifierLineEnd;
        const QByteArray lineAndEnd = line + kHeaderEndLine;
        const qsizetype at = bytes.indexOf(lineAndEnd);
        // Found once, it is the one just added; text that looks like it (in a CDATA section)
        // sends the file the long way.
        if (at >= 0 && bytes.indexOf(lineAndEnd, at + 1) < 0) {
            const QByteArrayView all(bytes);
            const QByteArray digest
                = sha1::hexUpper({ all.first(at), all.sliced(at + line.size()) }).toLatin1();
            std::memcpy(bytes.data() + at + qsizetype(sizeof kVerifierLineStart) - 1, digest.constData(),
                kDigestLength);
            return bytes;
        }
        header.remove_child(verifier);
    }
    const QString digest = sha1::hexUpper(xmlpass::bytesOf(document, sizeHint));
    header.append_child(kVerifierTag).text().set(digest.toLatin1().constData());
    return xmlpass::bytesOf(document, sizeHint);
}

} // namespace

QByteArray stampedBytes(const QByteArray& content, const QString& file)
{
    pugi::xml_document document;
    xmlpass::loadBytes(document, content);
    return stampedBytesOf(document, file, content.size() + 256);
}

bool GravarVerificador(const QString& file, UserPrompts& prompts)
{
    try {
        pugi::xml_document document;
        xmlpass::load(document, file);
        files::replaceContent(file, stampedBytesOf(document, file, 0));
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

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

QByteArrayView trimmedBlanks(QByteArrayView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text[from]))
        ++from;
    while (to > from && isBlank(text[to - 1]))
        --to;
    return text.sliced(from, to - from);
}

// The plaintext of the data section whose start tag is on the line start: the rest of that line
// without the tag up to an end tag on it, or else up to the line of the end tag (which is left
// out), each line ending in CR LF; blanks trimmed at both ends.
QByteArrayView dataSection(const QByteArray& content, const Line& start, QByteArray& copy)
{
    const QByteArrayView all(content);
    const QByteArrayView startLine = all.sliced(start.begin, start.end - start.begin);
    const qsizetype tag = startLine.indexOf("<dados>");
    // Where only blanks stand before the tag and the lines end in CR LF already, that text is
    // a slice of the content: the 8 KiB of a filing are not copied line by line.
    if (std::all_of(startLine.begin(), startLine.begin() + tag, isBlank)) {
        const QByteArrayView after = startLine.sliced(tag + 7);
        const qsizetype sameLineEnd = after.indexOf("</dados>");
        if (sameLineEnd >= 0)
            return trimmedBlanks(after.first(sameLineEnd));
        bool crLf = start.next - start.end == 2;
        qsizetype at = start.next;
        for (;;) {
            if (at >= content.size())
                throw Error(kNoDataSectionText);
            const Line line = lineAt(content, at);
            if (lineContains(content, line, "</dados>")) {
                if (crLf) {
                    const qsizetype from = start.begin + tag + 7;
                    return trimmedBlanks(all.sliced(from, line.begin - from));
                }
                break;
            }
            crLf = crLf && line.next - line.end == 2;
            at = line.next;
        }
    }

    // The first body line is what is left of the start tag's line without the tag.
    copy.reserve(content.size() - start.begin);
    QByteArray first = content.mid(start.begin, start.end - start.begin);
    first.remove(first.indexOf("<dados>"), 7);
    const qsizetype sameLineEnd = first.indexOf("</dados>");
    if (sameLineEnd >= 0) {
        // A data text on the start tag's own line ends at its end tag.
        copy = first.left(sameLineEnd);
    } else {
        copy.append(first).append(kCrLf);
        qsizetype at = start.next;
        for (;;) {
            if (at >= content.size())
                throw Error(kNoDataSectionText);
            const Line line = lineAt(content, at);
            if (lineContains(content, line, "</dados>"))
                break;
            copy.append(content.constData() + line.begin, line.end - line.begin).append(kCrLf);
            at = line.next;
        }
    }
    return trimmedBlanks(copy);
}

} // namespace

QByteArray encryptedBytes(const QByteArray& content, const RsaKey& publicKey)
{
    QByteArray output;
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

    QByteArray copy;
    const QByteArrayView body = dataSection(content, line, copy);
    const QByteArray cipherText = rsa::encrypt(body, publicKey);

    output.reserve(output.size() + cipherText.size() + 32);
    output.append("<dados>").append(cipherText).append("</dados>").append(kCrLf);
    output.append("</arquivo>").append(kCrLf);
    return output;
}

QByteArray sealedBytes(const QByteArray& content, const RsaKey& publicKey, const QString& file)
{
    QByteArray encrypted = encryptedBytes(content, publicKey);
    pugi::xml_document document;
    xmlpass::loadOwnedBytes(document, encrypted);
    return stampedBytesOf(document, file, encrypted.size() + 256);
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

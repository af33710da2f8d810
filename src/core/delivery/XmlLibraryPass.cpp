#include "delivery/XmlLibraryPass.h"

#include "Error.h"
#include "platform/Files.h"

#include <QFile>

#include <cstring>

namespace jx::xmlpass {

namespace {

// pugixml writes "\n"; the files use CR LF. Parsing turns CR LF back into "\n", so
// texts round-trip unchanged.
class CrLfWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override
    {
        const auto* p = static_cast<const char*>(data);
        const char* const end = p + size;
        while (const char* lf = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)))) {
            m_bytes.append(p, qsizetype(lf - p));
            m_bytes.append("\r\n", 2);
            p = lf + 1;
        }
        m_bytes.append(p, qsizetype(end - p));
    }
    QByteArray m_bytes;
};

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration;
constexpr unsigned kSaveOptions = pugi::format_indent | pugi::format_no_empty_element_tags;

void ensureDeclaration(pugi::xml_document& document)
{
    pugi::xml_node declaration = document.first_child();
    if (declaration.type() != pugi::node_declaration)
        declaration = document.prepend_child(pugi::node_declaration);
    declaration.remove_attributes();
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "ISO-8859-1";
}

void requireParsed(const pugi::xml_parse_result& result)
{
    if (!result)
        throw Error(QStringLiteral("Arquivo XML inválido: %1 (posição %2).")
                        .arg(QString::fromUtf8(result.description()))
                        .arg(result.offset));
}

} // namespace

void loadBytes(pugi::xml_document& document, const QByteArray& bytes)
{
    requireParsed(
        document.load_buffer(bytes.constData(), size_t(bytes.size()), kParseOptions, pugi::encoding_latin1));
    ensureDeclaration(document);
}

void loadOwnedBytes(pugi::xml_document& document, QByteArray& bytes)
{
    requireParsed(
        document.load_buffer_inplace(bytes.data(), size_t(bytes.size()), kParseOptions, pugi::encoding_latin1));
    ensureDeclaration(document);
}

void load(pugi::xml_document& document, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Não foi possível abrir o arquivo %1: %2").arg(path, file.errorString()));
    loadBytes(document, file.readAll());
}

QByteArray bytesOf(const pugi::xml_document& document, qsizetype sizeHint)
{
    CrLfWriter writer;
    writer.m_bytes.reserve(sizeHint);
    document.save(writer, "  ", kSaveOptions, pugi::encoding_latin1);
    return writer.m_bytes;
}

void save(const pugi::xml_document& document, const QString& path)
{
    files::replaceContent(path, bytesOf(document));
}

void rewrite(const QString& path)
{
    pugi::xml_document document;
    load(document, path);
    save(document, path);
}

pugi::xml_node findBelow(pugi::xml_node node, const char* name)
{
    return node.find_node([name](pugi::xml_node candidate) {
        return candidate.type() == pugi::node_element && std::strcmp(candidate.name(), name) == 0;
    });
}

QString textAt(const pugi::xml_document& document, std::initializer_list<const char*> names)
{
    pugi::xml_node node = document.document_element();
    for (const char* name : names)
        node = node.child(name);
    return QString::fromUtf8(node.text().get());
}

} // namespace jx::xmlpass

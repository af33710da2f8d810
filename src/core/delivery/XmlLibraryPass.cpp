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
        size_t start = 0;
        for (size_t i = 0; i < size; ++i) {
            if (p[i] == '\n') {
                m_bytes.append(p + start, qsizetype(i - start));
                m_bytes.append("\r\n", 2);
                start = i + 1;
            }
        }
        m_bytes.append(p + start, qsizetype(size - start));
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

} // namespace

void loadBytes(pugi::xml_document& document, const QByteArray& bytes)
{
    const pugi::xml_parse_result result
        = document.load_buffer(bytes.constData(), size_t(bytes.size()), kParseOptions, pugi::encoding_latin1);
    if (!result)
        throw Error(QStringLiteral("Arquivo XML inválido: %1 (posição %2).")
                        .arg(QString::fromUtf8(result.description()))
                        .arg(result.offset));
    ensureDeclaration(document);
}

void load(pugi::xml_document& document, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Não foi possível abrir o arquivo %1: %2").arg(path, file.errorString()));
    loadBytes(document, file.readAll());
}

QByteArray bytesOf(const pugi::xml_document& document)
{
    CrLfWriter writer;
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

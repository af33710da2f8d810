#pragma once

#include <QString>

#include <pugixml.hpp>

// Every save of a delivery file goes through here, so the bytes written depend only on the
// element tree and its texts: whitespace-only text is dropped on parse; the save writes
// the ISO-8859-1 declaration first, one element per line indented by depth, CR LF line
// ends, all text in ISO-8859-1.
namespace jx::xmlpass {

// Parses the file (ISO-8859-1). Throws jx::Error with the parser's description.
void load(pugi::xml_document& document, const QString& path);
void loadBytes(pugi::xml_document& document, const QByteArray& bytes);
// Parses bytes in place, without a copy: they are the document's storage from then on and
// must outlive it unchanged.
void loadOwnedBytes(pugi::xml_document& document, QByteArray& bytes);
// The bytes the library writes for the document; sizeHint: room to reserve for them.
QByteArray bytesOf(const pugi::xml_document& document, qsizetype sizeHint = 0);
// Writes the document over the file. Throws jx::Error when it cannot.
void save(const pugi::xml_document& document, const QString& path);
// Parses and saves again: the library pass proper.
void rewrite(const QString& path);

// The first element of that name below node, depth first, without recursion: files from
// outside may nest as deep as they like.
pugi::xml_node findBelow(pugi::xml_node node, const char* name);

// The text of a child element reached by names from the root ("cabecalho", "protocolo"…),
// empty when any of them is missing.
QString textAt(const pugi::xml_document& document, std::initializer_list<const char*> names);

} // namespace jx::xmlpass

#pragma once

#include <QString>

// The configuration-file operations. Section and key names match without regard to case;
// values read back without surrounding blanks and enclosing double quotes. The file is
// read or written anew on every call: nothing is cached.
namespace jx::ini {

// Throws jx::Error "Arquivo não existe!" when the file is missing; a missing key is "".
QString readValue(const QString& file, const QString& section, const QString& key);
// Updates or adds the key in an existing file (throws like readValue when it is missing).
void writeValue(const QString& file, const QString& section, const QString& key, const QString& value);
// Writes a new file, replacing any old one, with exactly "[SECTION]" and "FILEPATH = value".
void createFile(const QString& file, const QString& section, const QString& value);

inline constexpr char kMissingFileText[] = "Arquivo não existe!";

} // namespace jx::ini

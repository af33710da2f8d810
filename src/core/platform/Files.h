#pragma once

#include <QByteArray>
#include <QString>

namespace jx::files {

// Replaces the file's content: written beside it under a temporary name, then renamed over
// it, so a failure never leaves half a file. (No flush to the platter: these are working
// files the program can write again.) Throws jx::Error.
void replaceContent(const QString& path, const QByteArray& bytes);

} // namespace jx::files

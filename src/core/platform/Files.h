#pragma once

#include <QByteArray>
#include <QString>

namespace jx::files {

// Replaces the file's content (or creates the file): written beside it under a temporary
// name, then renamed over it, so a failure (disk full, quota) leaves the old file as it
// was and no temporary file behind. Throws jx::Error.
void replaceContent(const QString& path, const QByteArray& bytes);

} // namespace jx::files

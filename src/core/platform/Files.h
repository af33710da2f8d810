#pragma once

#include <QByteArray>
#include <QString>

namespace jx::files {

// Replaces the file's content (or creates the file): written beside it under a temporary
// name, then renamed over it, so a failure (disk full, quota) leaves the old file as it
// was and no temporary file behind. Throws jx::Error.
void replaceContent(const QString& path, const QByteArray& bytes);

// While one lives, files replaced directly in this folder are written over in place and not
// flushed to the disk: a working folder whose files live for one run and are deleted after it.
class ScratchWrites {
public:
    explicit ScratchWrites(const QString& folder);
    ~ScratchWrites();
    ScratchWrites(const ScratchWrites&) = delete;
    ScratchWrites& operator=(const ScratchWrites&) = delete;

private:
    QString m_folder;
};

} // namespace jx::files

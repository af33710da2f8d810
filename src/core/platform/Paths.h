#pragma once

#include <QString>

// Path and folder operations. The separator is the platform's own.
namespace jx::paths {

QChar separator();
QString withTrailingSeparator(const QString& path);
QString withoutTrailingSeparator(const QString& path);
QString withoutDoubledSeparator(const QString& path);
QString folderOf(const QString& path);
QString join(const QString& folder, const QString& name);

// Deletes the ordinary files directly in the folder, never sub-folders. A folder text of
// three characters or fewer (with its separator), or a file-system root, is left alone so
// that a drive is never emptied by accident. Returns how many files were deleted.
int deleteFilesInFolder(const QString& folder);

// Removes the folder with everything in it; failures are silent. False when something
// could not be removed.
bool deleteFolderTree(const QString& folder);

} // namespace jx::paths

#pragma once

#include <QList>
#include <QString>

#include <cstdint>

// The drives a delivery or a backup may be written to: the mounted file systems of removable
// block devices, and every folder named in JX_REMOVABLE (colon-separated), each standing in
// for one drive with the label and serial of its ".jxvolume" file.
namespace jx::removable {

struct Drive {
    QString root; // the mount point or folder, also the text shown
    QString label;
    std::uint32_t serial = 0;
};

QList<Drive> drives();

// The pieces, for tests: the mount points in a mounts table (as /proc/self/mounts writes it)
// whose device is removable according to the block folder (as /sys/block).
QStringList removableMounts(const QString& mountsText, const QString& blockFolder);
// Whether the block device behind a device path (/dev/sdb1, /dev/mmcblk0p1) is removable.
bool isRemovableDevice(const QString& device, const QString& blockFolder);
// The folders of JX_REMOVABLE's value that exist.
QStringList standInFolders(const QString& variable);

} // namespace jx::removable

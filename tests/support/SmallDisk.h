#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <sys/mount.h>

namespace jxtest {

// A folder on a file system of its own holding at most `bytes`: a full disk for the test that
// makes one. Mounting needs the privilege to; without it mounted() is false (skip the test).
class SmallDisk {
public:
    SmallDisk(const QString& folder, qint64 bytes)
        : m_folder(folder)
    {
        QDir().mkpath(folder);
        const QByteArray options = "size=" + QByteArray::number(bytes);
        m_mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};

} // namespace jxtest

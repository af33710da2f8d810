#include "platform/Volumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTextStream>

#include <optional>

namespace jx::volumes {

namespace {

struct VolumeFile {
    QString label;
    std::uint32_t serial = 0;
};

std::optional<VolumeFile> readVolumeFile(const QString& root)
{
    QFile file(QDir(root).filePath(QString::fromLatin1(kVolumeFileName)));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    VolumeFile volume;
    // A hostile medium could carry a huge file; the fields we want are tiny.
    const QString content = QString::fromUtf8(file.read(4096));
    for (const QString& line : content.split(u'\n')) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("label"))
            volume.label = value.left(255);
        else if (key == QLatin1String("serial"))
            volume.serial = parseSerial(value);
    }
    return volume;
}

// A real removable file system: its root is a mount point of a block device.
std::optional<QStorageInfo> mountedVolume(const QString& root)
{
    const QStorageInfo info(root);
    if (!info.isValid() || !info.isReady())
        return std::nullopt;
    if (QDir(info.rootPath()).canonicalPath() != QDir(root).canonicalPath())
        return std::nullopt;
    if (!info.device().startsWith("/dev/"))
        return std::nullopt;
    return info;
}

std::uint32_t serialOfDevice(const QByteArray& device)
{
    const QString devicePath = QFileInfo(QString::fromLocal8Bit(device)).canonicalFilePath();
    const QDir byUuid(QStringLiteral("/dev/disk/by-uuid"));
    const auto entries = byUuid.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.canonicalFilePath() == devicePath)
            return parseSerial(entry.fileName());
    }
    return 0;
}

} // namespace

std::uint32_t parseSerial(const QString& text)
{
    QString value = text.trimmed();
    bool ok = false;
    std::uint32_t result = 0;
    if (value.size() == 9 && value[4] == u'-') {
        result = value.remove(4, 1).toUInt(&ok, 16);
    } else if (value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        result = value.mid(2).toUInt(&ok, 16);
    } else {
        result = value.toUInt(&ok, 10);
    }
    return ok ? result : 0;
}

std::uint32_t serial(const QString& root)
{
    if (root.isEmpty() || !QFileInfo(root).isDir())
        return 0;
    if (const auto file = readVolumeFile(root))
        return file->serial;
    if (const auto mounted = mountedVolume(root))
        return serialOfDevice(mounted->device());
    return 0;
}

QString label(const QString& root)
{
    if (root.isEmpty() || !QFileInfo(root).isDir())
        return {};
    if (const auto file = readVolumeFile(root))
        return file->label;
    if (const auto mounted = mountedVolume(root))
        return mounted->name().left(255);
    return QDir(root).dirName();
}

} // namespace jx::volumes

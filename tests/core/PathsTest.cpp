#include "platform/Paths.h"
#include "platform/ProgramFolder.h"
#include "platform/RemovableMedia.h"
#include "platform/Volumes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace jx;

namespace {

void touch(const QString& path, const QByteArray& content = "x")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

TEST(PathText, SeparatorOperations)
{
    EXPECT_EQ(paths::withTrailingSeparator("/a/b"), QStringLiteral("/a/b/"));
    EXPECT_EQ(paths::withTrailingSeparator("/a/b/"), QStringLiteral("/a/b/"));
    EXPECT_EQ(paths::withoutTrailingSeparator("/a/b/"), QStringLiteral("/a/b"));
    EXPECT_EQ(paths::withoutTrailingSeparator("/a/b//"), QStringLiteral("/a/b/"));
    EXPECT_EQ(paths::withoutTrailingSeparator("/a/b"), QStringLiteral("/a/b"));
    EXPECT_EQ(paths::withoutDoubledSeparator("/a/b//"), QStringLiteral("/a/b/"));
    EXPECT_EQ(paths::withoutDoubledSeparator("/a/b/"), QStringLiteral("/a/b/"));
    EXPECT_EQ(paths::folderOf("/a/b/JX.mdb"), QStringLiteral("/a/b/"));
    EXPECT_EQ(paths::folderOf("JX.mdb"), QString());
}

TEST(DeleteFiles, OnlyOrdinaryFilesDirectlyInTheFolder)
{
    QTemporaryDir dir;
    touch(dir.filePath("a.xml"));
    touch(dir.filePath("semextensao"));
    touch(dir.filePath(".oculto"));
    QDir(dir.path()).mkdir("sub");
    touch(dir.filePath("sub/b.xml"));

    EXPECT_EQ(paths::deleteFilesInFolder(dir.path()), 3);
    EXPECT_FALSE(QFile::exists(dir.filePath("a.xml")));
    EXPECT_TRUE(QFile::exists(dir.filePath("sub/b.xml")));
}

TEST(DeleteFiles, NeverEmptiesARoot)
{
    EXPECT_EQ(paths::deleteFilesInFolder("C:"), 0);
    EXPECT_EQ(paths::deleteFilesInFolder("/"), 0);
    EXPECT_EQ(paths::deleteFilesInFolder(""), 0);
}

TEST(DeleteTree, RemovesEverythingAndToleratesAbsence)
{
    QTemporaryDir dir;
    const QString temp = dir.filePath("Temp");
    QDir().mkpath(temp + "/x/y");
    touch(temp + "/x/y/f.xml");
    EXPECT_TRUE(paths::deleteFolderTree(temp));
    EXPECT_FALSE(QFileInfo::exists(temp));
    EXPECT_TRUE(paths::deleteFolderTree(temp));
}

TEST(Volumes, FolderStandsInForADrive)
{
    QTemporaryDir dir;
    const QString drive = dir.filePath("PENDRIVE");
    QDir().mkpath(drive);
    EXPECT_EQ(volumes::label(drive), QStringLiteral("PENDRIVE"));
    EXPECT_EQ(volumes::serial(drive), 0u);

    touch(drive + "/.jxvolume", "label=ENTREGAS\nserial=1A2B-3C4D\n");
    EXPECT_EQ(volumes::label(drive), QStringLiteral("ENTREGAS"));
    EXPECT_EQ(volumes::serial(drive), 0x1A2B3C4Du);
}

TEST(Volumes, UnreadableMediaGiveZeroAndEmpty)
{
    EXPECT_EQ(volumes::serial("/nao/existe"), 0u);
    EXPECT_EQ(volumes::label("/nao/existe"), QString());
    EXPECT_EQ(volumes::serial(""), 0u);
    EXPECT_EQ(volumes::parseSerial("0x10"), 16u);
    EXPECT_EQ(volumes::parseSerial("123"), 123u);
    EXPECT_EQ(volumes::parseSerial("lixo"), 0u);
    EXPECT_EQ(volumes::parseSerial("FFFF-FFFF"), 0xFFFFFFFFu);
}

TEST(ProgramFolder, TheKeysFolderInEitherSpelling)
{
    QTemporaryDir root;
    // Neither yet: the program's own spelling.
    EXPECT_EQ(jx::programFolder::binFolderOf(root.path()), QDir(root.path()).filePath("BIN"));
    QDir(root.path()).mkpath("bin");
    EXPECT_EQ(jx::programFolder::binFolderOf(root.path()), QDir(root.path()).filePath("bin"));
    QDir(root.path()).mkpath("BIN");
    EXPECT_EQ(jx::programFolder::binFolderOf(root.path()), QDir(root.path()).filePath("BIN"));
}

TEST(RemovableMedia, MountsOfRemovableDisksAndStandInFolders)
{
    QTemporaryDir sys;
    const QString block = QDir(sys.path()).filePath("block");
    auto disk = [&block](const char* name, const char* removable) {
        QDir(block).mkpath(QLatin1String(name));
        QFile f(QDir(block).filePath(QLatin1String(name) + QStringLiteral("/removable")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(removable);
    };
    disk("sda", "0\n");
    disk("sdb", "1\n");
    disk("mmcblk0", "1\n");
    const QString mounts = QStringLiteral("/dev/sda1 / ext4 rw 0 0\n"
                                          "proc /proc proc rw 0 0\n"
                                          "/dev/sdb1 /media/PEN\\040DRIVE vfat rw 0 0\n"
                                          "/dev/mmcblk0p1 /media/card exfat rw 0 0\n"
                                          "/dev/sdb1 /media/PEN\\040DRIVE vfat rw 0 0\n"
                                          "tmpfs /run tmpfs rw 0 0\n");
    EXPECT_EQ(jx::removable::removableMounts(mounts, block), QStringList({ "/media/PEN DRIVE", "/media/card" }));
    EXPECT_FALSE(jx::removable::isRemovableDevice("/dev/sda2", block));
    EXPECT_FALSE(jx::removable::isRemovableDevice("tmpfs", block));

    // Folders standing in for drives: those that exist, once each.
    QTemporaryDir a;
    QTemporaryDir b;
    {
        QFile volume(QDir(a.path()).filePath(".jxvolume"));
        ASSERT_TRUE(volume.open(QIODevice::WriteOnly));
        volume.write("label=ZKF01\nserial=1A2B-3C4D\n");
    }
    const QString variable = a.path() + ":/nao/existe::" + b.path() + ":" + a.path();
    EXPECT_EQ(jx::removable::standInFolders(variable), QStringList({ a.path(), b.path() }));
    qputenv("JX_REMOVABLE", variable.toLocal8Bit());
    const QList<jx::removable::Drive> drives = jx::removable::drives();
    qunsetenv("JX_REMOVABLE");
    const auto standIn = std::find_if(drives.cbegin(), drives.cend(), [&a](const auto& d) { return d.root == a.path(); });
    ASSERT_NE(standIn, drives.cend());
    EXPECT_EQ(standIn->label, "ZKF01");
    EXPECT_EQ(standIn->serial, 0x1A2B3C4Du);
}

#include "platform/Paths.h"
#include "platform/ProgramFolder.h"
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

#include "platform/WorkingFolder.h"

#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace jx {

namespace {

const QString kPrefix = QStringLiteral("run-");
const QString kLockSuffix = QStringLiteral(".lock");
const QString kChildSuffix = QStringLiteral(".uso");

// Whether a program a dead run started still holds the folder; when none does, its mark goes.
bool heldByChild(const QString& folder)
{
#ifdef Q_OS_UNIX
    const QByteArray mark = QFile::encodeName(folder + kChildSuffix);
    const int fd = ::open(mark.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!held)
        ::unlink(mark.constData());
    ::close(fd);
    return held;
#else
    Q_UNUSED(folder);
    return false;
#endif
}

// A lock whose owner is gone is taken at once, whatever its age; a live owner's never.
std::unique_ptr<QLockFile> tryLock(const QString& path)
{
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

} // namespace

QString WorkingFolder::tempRoot(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Temp"));
}

WorkingFolder::WorkingFolder(const QString& programFolder, Rescue rescue)
    : m_programFolder(programFolder)
    , m_rescue(std::move(rescue))
{
    sweepStale(programFolder, m_rescue);
    const QString root = tempRoot(programFolder);
    // The lock comes before the folder and goes after it: a folder without a live lock is
    // always an orphan.
    for (int attempt = 0; attempt < 16 && !m_lock; ++attempt) {
        // Again each time: another run ending may remove an empty Temp meanwhile.
        if (!QDir().mkpath(root))
            throw Error(QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(root)));
        const QString name = kPrefix + QString::number(QRandomGenerator::system()->generate64(), 36);
        const QString folder = QDir(root).filePath(name);
        if (QFileInfo::exists(folder) || QFileInfo::exists(folder + kLockSuffix))
            continue;
        m_lock = tryLock(folder + kLockSuffix);
        if (m_lock && !QDir().mkdir(folder)) {
            m_lock.reset();
            throw Error(QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(folder)));
        }
        if (m_lock)
            m_path = folder;
    }
    if (!m_lock)
        throw Error(QStringLiteral("Não foi possível criar uma pasta de trabalho em %1.").arg(QDir::toNativeSeparators(root)));
}

WorkingFolder::~WorkingFolder()
{
    remove();
}

WorkingFolder::ChildHold::~ChildHold()
{
#ifdef Q_OS_UNIX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

std::unique_ptr<WorkingFolder::ChildHold> WorkingFolder::holdForChildren() const
{
#ifdef Q_OS_UNIX
    // Without close-on-exec: the started program inherits the descriptor, and with it the lock.
    const int fd = ::open(QFile::encodeName(m_path + kChildSuffix).constData(), O_RDWR | O_CREAT, 0644);
    if (fd >= 0 && ::flock(fd, LOCK_SH) != 0) {
        ::close(fd);
        return std::make_unique<ChildHold>(-1);
    }
    return std::make_unique<ChildHold>(fd);
#else
    return std::make_unique<ChildHold>(-1);
#endif
}

void WorkingFolder::remove()
{
    if (!m_lock)
        return;
    clear(m_path, m_rescue);
    QDir().rmdir(m_path);
    if (!heldByChild(m_path))
        QFile::remove(m_path + kChildSuffix);
    m_lock.reset(); // removes the lock file
    QDir().rmdir(tempRoot(m_programFolder)); // only when no other run is using it
}

void WorkingFolder::clear(const QString& folder, const Rescue& rescue)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        const QString file = entry.absoluteFilePath();
        if (!rescue || !rescue(file))
            QFile::remove(file);
    }
    // A run makes no sub-folders; one found here is no work of ours and stays.
}

void WorkingFolder::sweepStale(const QString& programFolder, const Rescue& rescue)
{
    const QString root = tempRoot(programFolder);
    const QDir dir(root);
    if (!dir.exists())
        return;
    const QFileInfoList folders = dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& folder : folders) {
        if (!folder.fileName().startsWith(kPrefix))
            continue;
        const std::unique_ptr<QLockFile> lock = tryLock(folder.absoluteFilePath() + kLockSuffix);
        if (!lock)
            continue; // its run is alive
        if (heldByChild(folder.absoluteFilePath()))
            continue; // its run died, but what it started still works on the files
        clear(folder.absoluteFilePath(), rescue);
        QDir().rmdir(folder.absoluteFilePath());
    }
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name.endsWith(kLockSuffix)) {
            // A lock left without its folder: taken and released when its owner is gone.
            if (!QFileInfo::exists(entry.absoluteFilePath().chopped(kLockSuffix.size())))
                tryLock(entry.absoluteFilePath());
            continue;
        }
        if (name.endsWith(kChildSuffix)) {
            if (!QFileInfo::exists(entry.absoluteFilePath().chopped(kChildSuffix.size())))
                heldByChild(entry.absoluteFilePath().chopped(kChildSuffix.size()));
            continue;
        }
        // Loose files are what earlier versions left directly in Temp: their delivery files and
        // decrypted copies. Anything else is no file of ours.
        if (!name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
            continue;
        if (!rescue || !rescue(entry.absoluteFilePath()))
            QFile::remove(entry.absoluteFilePath());
    }
    dir.rmdir(root);
}

} // namespace jx

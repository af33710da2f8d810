#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QLockFile;

namespace jx {

// The folder in which one run (a delivery, a backup) keeps its files: a folder of its own below
// the program folder's Temp, held by a lock file while the run lives, so that runs of several
// processes never touch each other's files. Only folders made this way are ever removed: the
// run's own when it ends, and those whose run died (its lock is stale), swept by the next run.
class WorkingFolder {
public:
    // Called for each file of a folder about to be removed: true when the file is not to be
    // deleted (moved elsewhere, or to stay until it can be; its folder then stays too). Must not
    // throw.
    using Rescue = std::function<bool(const QString& file)>;

    // Sweeps the stale folders, then makes this run's. Throws jx::Error when it cannot.
    WorkingFolder(const QString& programFolder, Rescue rescue);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    const QString& path() const { return m_path; }

    // Held while a program started by the run works on the folder's files: the program inherits
    // it, so the folder stays in use for as long as that program lives, even after the run died
    // (a transmitter that outlives a killed run still writes its protocols into the files).
    class ChildHold {
    public:
        explicit ChildHold(int fd)
            : m_fd(fd)
        {
        }
        ~ChildHold();
        ChildHold(const ChildHold&) = delete;
        ChildHold& operator=(const ChildHold&) = delete;

    private:
        int m_fd;
    };
    std::unique_ptr<ChildHold> holdForChildren() const;
    // Rescues and deletes the files, removes the folder, its lock and an empty Temp.
    void remove();

    // The folders of runs that died, rescued file by file and removed; loose files directly in
    // Temp (left by earlier versions) too.
    static void sweepStale(const QString& programFolder, const Rescue& rescue);
    static QString tempRoot(const QString& programFolder);

private:
    static void clear(const QString& folder, const Rescue& rescue);

    QString m_programFolder;
    QString m_path;
    Rescue m_rescue;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace jx

#include "backup/FilingBackup.h"

#include "Error.h"
#include "data/TdtmJX.h"
#include "db/TdtmDB.h"
#include "delivery/DeliveryCrypto.h"
#include "delivery/FileGeneration.h"
#include "delivery/ManipulaXml.h"
#include "delivery/UnregisteredDeliveries.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/UserPrompts.h"
#include "platform/WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

#include <memory>

namespace jx {

FilingBackup::FilingBackup(TdtmJX& jx, UserPrompts& prompts, const QString& programFolder)
    : m_jx(jx)
    , m_prompts(prompts)
    , m_programFolder(programFolder)
{
}

QString FilingBackup::defaultFolder(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("backup"));
}

bool FilingBackup::run(const QList<int>& rows, const QString& folderIn)
{
    m_memo.clear();
    m_written.clear();
    m_failures.clear();
    if (m_pump)
        m_pump();
    // A folder of this run's own; its files are sealed before their first write, so a kill
    // leaves no filing in plain text, and it goes whatever happens.
    // Protocol files a killed delivery left are kept aside by the sweep, and the user told.
    QStringList kept;
    struct KeptNotice {
        UserPrompts& prompts;
        const QString& programFolder;
        const QStringList& kept;
        ~KeptNotice()
        {
            if (!kept.isEmpty())
                prompts.warning(unregistered::keptText(programFolder, kept));
        }
    } notice { m_prompts, m_programFolder, kept };
    std::unique_ptr<WorkingFolder> work;
    try {
        work = std::make_unique<WorkingFolder>(m_programFolder, unregistered::rescuer(m_programFolder, &kept));
    } catch (const Error& e) {
        m_prompts.error(e.userText());
        return false;
    }
    const QString temp = work->path();
    const files::ScratchWrites scratch(temp);
    const QString folder = paths::withoutTrailingSeparator(QDir::toNativeSeparators(folderIn));
    const int kind = m_jx.TipoAtual == 1 ? 1 : 0;
    try {
        FileGeneration generation(m_jx, m_programFolder);
        if (!m_keysFolder.isEmpty())
            generation.setKeysFolder(m_keysFolder);
        // A backup brings back what was typed: accents and whole moments kept.
        generation.setBackupForm(true);
        // A backup whose data could not be encrypted would leave the filing in plain text and
        // could not be restored: it gets no file, and the run stops after the first such failure.
        DeliveryCrypto crypto(m_keysFolder.isEmpty() ? m_jx.crypto().keysFolder() : m_keysFolder, m_prompts);
        bool sealFailed = false;
        generation.setSeal([&](QByteArray& bytes, const QString& file) {
            if (sealFailed)
                return false;
            sealFailed = !crypto.seal(bytes, file);
            return !sealFailed;
        });
        QStringList ids;
        const QStringList files = generation.GerarArquivos(rows, ids, temp, m_failures);
        m_jx.TipoAtual = kind;
        if (files.isEmpty() && !sealFailed) {
            QString text = kind == 1 ? kRequestFailures : kEnablementFailures;
            for (const QString& id : std::as_const(m_failures))
                text += (kind == 1 ? QStringLiteral("-Cód. Solicitação:") : QStringLiteral("-Cód. Hab. Contabilista:")) + id
                    + QStringLiteral("\r\n");
            m_prompts.information(text);
            return false;
        }
        for (const QString& file : files)
            m_memo << folder + paths::separator() + QFileInfo(file).fileName();
        for (int i = 0; i < files.size(); ++i) {
            if (m_pump)
                m_pump();
            if (!QFileInfo(folder).isDir()) {
                m_memo[i] += kNo;
                m_prompts.error(kFolderMissing);
                return false;
            }
            const QString target = QDir(folder).filePath(QFileInfo(files[i]).fileName());
            errno = 0;
            try {
                QFile source(files[i]);
                if (!source.open(QIODevice::ReadOnly))
                    throw Error(source.errorString());
                const QByteArray bytes = source.readAll();
                files::replaceContent(target, bytes);
                QFile check(target);
                if (!check.open(QIODevice::ReadOnly) || check.readAll() != bytes)
                    throw Error(QStringLiteral("cópia incompleta"));
            } catch (const Error&) {
                m_memo[i] += kNo;
                // A full folder is the user's to mend: said as such, not as a fault of the program.
                const QStorageInfo storage(folder);
                const bool full = errno == ENOSPC || errno == EFBIG || errno == EDQUOT
                    || (storage.isValid() && storage.bytesAvailable() < QFileInfo(files[i]).size() + 4096);
                m_prompts.error(full ? kNoSpace.arg(QDir::toNativeSeparators(folder)) : kCopyFailed);
                return false;
            }
            m_memo[i] += kOk;
            m_written << target;
        }
        return !sealFailed;
    } catch (const ProgramEnd&) {
        throw;
    } catch (const std::exception& failure) {
        // Said, not swallowed: a backup the user believes made would be worse than none.
        const Error* error = dynamic_cast<const Error*>(&failure);
        m_prompts.error(error ? error->userText() : QString::fromLocal8Bit(failure.what()));
        m_jx.TipoAtual = kind;
        return false;
    }
}

} // namespace jx

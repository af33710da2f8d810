#include "db/TdtmDB.h"

#include "Error.h"
#include "config/IniFile.h"
#include "db/Schema.h"
#include "platform/UserPrompts.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>

namespace jx {

void endProgram(const TerminationHook& hook)
{
    if (hook)
        hook();
    else
        std::exit(1);
    throw ProgramEnd {};
}

namespace {

// The file name may be spelled in any case inside the chosen folder.
QString findDatabaseIn(const QString& folder)
{
    const QDir dir(folder);
    const QString exact = dir.filePath(QStringLiteral("JX.mdb"));
    if (QFileInfo(exact).isFile())
        return exact;
    const auto entries = dir.entryList(QDir::Files);
    for (const QString& name : entries) {
        if (name.compare(QLatin1String("JX.MDB"), Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    }
    return {};
}

} // namespace

QString TdtmDB::readOnlyText(const QString& path)
{
    return QStringLiteral("O arquivo de Banco de Dados (") + path + QStringLiteral(") está como 'Somente Leitura'\r\n")
        + QStringLiteral("e não poderá ser usado. O Programa será finalizado.");
}

QString TdtmDB::invalidText(const QString& path)
{
    return QStringLiteral("O arquivo de Banco de Dados (") + path + QStringLiteral(") não é válido para este programa.")
        + QStringLiteral("\r\nO Programa será finalizado.");
}

QString TdtmDB::locateDatabase(const QString& programFolder, UserPrompts& prompts)
{
    const QDir root(programFolder);
    root.mkpath(QStringLiteral("BIN"));
    const QString ini = root.filePath(QStringLiteral("BIN/JX.INI"));
    const bool iniExisted = QFileInfo(ini).isFile();

    if (iniExisted) {
        try {
            const QString stored = ini::readValue(ini, QStringLiteral("BANCO"), QStringLiteral("FILEPATH"));
            if (!stored.trimmed().isEmpty() && QFileInfo(stored).isFile())
                return stored;
        } catch (const Error&) {
            // An unreadable configuration counts as no stored path.
        }
    }

    QString found;
    const QString defaultPath = root.filePath(QStringLiteral("Banco/JX.mdb"));
    if (QFileInfo(defaultPath).isFile()) {
        found = defaultPath;
    } else {
        prompts.information(kNotFoundInfo);
        QString folder = prompts.chooseFolder(kFolderCaption, programFolder);
        if (folder.isEmpty())
            throw Error(kNotGiven);
        found = findDatabaseIn(folder);
        while (found.isEmpty()) {
            if (!prompts.confirmYesNo(kNotInFolder))
                throw Error(kNotGiven);
            const QString chosen = prompts.chooseFolder(kFolderCaption, folder);
            if (!chosen.isEmpty())
                folder = chosen;
            found = findDatabaseIn(folder);
        }
    }

    found = QDir::toNativeSeparators(QFileInfo(found).absoluteFilePath());
    const QString quoted = u'"' + found + u'"';
    if (iniExisted)
        ini::writeValue(ini, QStringLiteral("BANCO"), QStringLiteral("FILEPATH"), quoted);
    else
        ini::createFile(ini, QStringLiteral("BANCO"), quoted);
    return found;
}

bool TdtmDB::isReadOnly(const QString& path)
{
    // The owner's write bit stands for the read-only attribute (access() would let root
    // write anything).
    return !(QFileInfo(path).permissions() & QFileDevice::WriteOwner);
}

void TdtmDB::openValidated(db::Connection& connection, const QString& path)
{
    connection.open(path, QByteArray(db::kDatabaseKey));
    connection.setBusyTimeout(0);
    db::Statement probe
        = connection.prepare(QStringLiteral("SELECT * FROM SOLICITACAO_IE ORDER BY ID_SOLICITACAO LIMIT 0"));
    probe.run();
}

TdtmDB::TdtmDB(const QString& programFolder, UserPrompts& prompts, TerminationHook terminate)
{
    try {
        m_path = locateDatabase(programFolder, prompts);
    } catch (const Error&) {
        m_path.clear();
    }
    if (m_path.trimmed().isEmpty()) {
        prompts.information(kProgramEnds);
        endProgram(terminate);
    }
    if (isReadOnly(m_path)) {
        prompts.error(readOnlyText(m_path));
        endProgram(terminate);
    }
    try {
        openValidated(m_connection, m_path);
    } catch (const db::DbError&) {
        prompts.error(invalidText(m_path));
        endProgram(terminate);
    }
    // Files made before the indexes existed get them now; a file that refuses keeps working
    // without them.
    try {
        for (const QString& index : db::indexStatements())
            m_connection.exec(index);
    } catch (const db::DbError&) {
    }
}

TdtmDB::TdtmDB(const AtPath& file)
    : m_path(file.path)
{
    openValidated(m_connection, m_path);
}

db::Connection& TdtmDB::connection()
{
    if (!m_connection.isOpen())
        openValidated(m_connection, m_path);
    return m_connection;
}

void TdtmDB::beginTransaction()
{
    connection().begin();
}

void TdtmDB::commitTransaction()
{
    connection().commit();
}

void TdtmDB::rollbackTransaction()
{
    connection().rollback();
}

} // namespace jx

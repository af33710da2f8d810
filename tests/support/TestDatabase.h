#pragma once

#include "db/ReferenceData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace jxtest {

// A program folder holding a fresh copy of the shipped database (built once per run).
class TestProgramFolder {
public:
    TestProgramFolder()
    {
        static const QString shipped = [] {
            static QTemporaryDir store;
            const QString path = store.filePath("JX.mdb");
            jx::db::createDatabase(path);
            return path;
        }();
        QDir(m_dir.path()).mkpath("Banco");
        QDir(m_dir.path()).mkpath("BIN");
        QFile::copy(shipped, databasePath());
        QFile::setPermissions(databasePath(), QFile::ReadOwner | QFile::WriteOwner);
    }
    QString path() const { return m_dir.path(); }
    QString databasePath() const { return m_dir.filePath("Banco/JX.mdb"); }
    QString ini() const { return m_dir.filePath("BIN/JX.INI"); }

private:
    QTemporaryDir m_dir;
};

} // namespace jxtest

#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>
#include <vector>

namespace jx::db {
class Connection;
}

namespace jxctl {

// A usage or input error: its text goes to standard error and the exit status is 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& text)
        : std::runtime_error(text.toStdString())
        , m_text(text)
    {
    }
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

void out(const QString& line);
void err(const QString& line);

struct Command {
    QString name;
    QString usage;
    std::function<int(const QStringList&)> run;
};

// Each subject registers its commands here.
std::vector<Command> docCommands();
std::vector<Command> fileCommands();
std::vector<Command> dbCommands();
std::vector<Command> requestCommands();
std::vector<Command> verifyCommands();
std::vector<Command> deliveryCommands();
std::vector<Command> restoreCommands();
std::vector<Command> printCommands();
std::vector<Command> sampleCommands();

// The value after a "--flag" in args (removed from args), or fallback when absent.
QString takeOption(QStringList& args, const QString& flag, const QString& fallback = {});
bool takeFlag(QStringList& args, const QString& flag);
void requireCount(const QStringList& args, qsizetype count, const QString& usage);

// The database named by "--banco" (removed from args), else the program folder's.
QString databaseOption(QStringList& args);
// Opens and validates it; a missing or foreign file is a usage error.
void openDatabase(jx::db::Connection& connection, const QString& path);

} // namespace jxctl

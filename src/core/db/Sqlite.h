#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace jx::db {

// A failure reported by the database engine; code is the engine's primary result code.
class DbError : public std::runtime_error {
public:
    DbError(int code, const QString& message)
        : std::runtime_error(message.toStdString())
        , m_code(code)
        , m_message(message)
    {
    }
    int code() const { return m_code; }
    const QString& message() const { return m_message; }
    bool isBusy() const;

private:
    int m_code;
    QString m_message;
};

class Statement;

// One connection to an encrypted database file. Every value reaches SQL as a bound
// parameter; the text of a statement never carries user data.
class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens (creating when allowed) the file and applies the key; the key is proven by
    // reading the schema. Throws DbError.
    void open(const QString& path, const QByteArray& key, bool create = false);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    const QString& path() const { return m_path; }

    void exec(const QString& sql);
    Statement prepare(const QString& sql);
    qint64 lastInsertId() const;
    int changes() const;
    // Milliseconds to wait for another connection's lock before a write fails as busy.
    void setBusyTimeout(int milliseconds);

    // Flat transactions: begin does nothing inside an open transaction.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;

    sqlite3* handle() const { return m_db; }
    QString errorMessage() const;

private:
    sqlite3* m_db = nullptr;
    QString m_path;
};

class Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* stmt);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;

    // Binds by position (1-based) or by ":name". Null variants bind NULL.
    void bind(int index, const QVariant& value);
    void bind(const QString& name, const QVariant& value);
    void bindText(int index, const QByteArray& utf8);
    void bindInt64(int index, qint64 value);
    void bindDouble(int index, double value);
    void bindNull(int index);
    void reset();

    // True while a row is available. Throws DbError.
    bool step();
    void run(); // steps to the end, ignoring rows

    int columnCount() const;
    QString columnName(int column) const;
    QStringList columnNames() const;
    bool isNull(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    QString text(int column) const;
    QByteArray blob(int column) const;
    QVariant value(int column) const; // by the stored type

    sqlite3_stmt* handle() const { return m_stmt; }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt;
};

} // namespace jx::db

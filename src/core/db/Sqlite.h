#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace jx::db {

// How long a connection waits for another connection's lock before its statement fails as
// busy: long enough for another process's commit, short enough that a real conflict reaches
// the program's own conflict messages.
inline constexpr int kBusyTimeoutMs = 5000;

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
    // Another connection or process holds the lock the statement needed.
    bool isBusy() const;
    // The row was refused for its values (a CHECK, NOT NULL, UNIQUE or a trigger's refusal),
    // not for the state of the database.
    bool isRefusedValue() const;

private:
    int m_code;
    QString m_message;
};

class Statement;
class Connection;

// The engine's message in Portuguese for the failures a user can meet (locked, read-only
// or full database, refused values); other messages pass unchanged.
QString userMessage(int code, const QString& engineMessage);
// What the user is told of any failure: a jx::Error's text, the engine's in Portuguese, else
// the exception's own.
QString failureText(const std::exception& failure);

// Holds a transaction: begins one unless the connection already has one (transactions are
// flat), and rolls back what it began unless committed or handed on with release().
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool owns() const { return m_owns; }
    // Commits the transaction this guard began (nothing when it joined an open one).
    void commit();
    // Rolls back now what this guard began.
    void rollback();
    // Leaves the transaction open for a later step that commits or rolls it back.
    void release() { m_owns = false; }

private:
    Connection& m_connection;
    bool m_owns = false;
};

// Holds a savepoint: rolled back to and released unless release() kept its work.
class Savepoint {
public:
    Savepoint(Connection& connection, const QString& name);
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    void release();
    void rollback();

private:
    Connection& m_connection;
    QString m_name;
    bool m_open = true;
    bool m_outermost = false; // no transaction around it: RELEASE commits, ROLLBACK ends it
};

// One connection to an encrypted database file. Every value reaches SQL as a bound
// parameter; the text of a statement never carries user data.
class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens (creating when allowed) the file and applies the key; the key is proven by
    // reading the schema, waiting up to kBusyTimeoutMs for a writer. Throws DbError.
    void open(const QString& path, const QByteArray& key, bool create = false);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    const QString& path() const { return m_path; }

    void exec(const QString& sql);
    Statement prepare(const QString& sql);
    // The statement prepared once for this connection and reused: it comes back reset, its
    // bindings cleared, and returns to the cache when the Statement goes. One in use is never
    // handed out twice (a nested use gets one of its own); close() finalizes them all.
    Statement cached(const QString& sql);
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
    struct CachedStatement;
    friend class Statement;
    sqlite3* m_db = nullptr;
    QString m_path;
    std::unordered_map<QString, std::shared_ptr<CachedStatement>> m_cache;
};

class Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* stmt);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;

    // The named parameters the statement really has, with their prefix (":PAR"), by position.
    int parameterCount() const;
    QString parameterName(int index) const;

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
    friend class Connection;
    Statement(sqlite3* db, std::shared_ptr<Connection::CachedStatement> cached);

    sqlite3* m_db;
    sqlite3_stmt* m_stmt;
    std::shared_ptr<Connection::CachedStatement> m_cached; // null: the Statement owns m_stmt
};

} // namespace jx::db

#include "db/Sqlite.h"

#include "Error.h"

#include <QDateTime>

#include <sqlite3.h>

namespace jx::db {

namespace {

[[noreturn]] void raise(sqlite3* db, int code)
{
    const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    throw DbError(code & 0xFF, userMessage(code & 0xFF, message));
}

QString afterPrefix(const QString& message, const QString& prefix)
{
    return message.startsWith(prefix) ? message.mid(prefix.size()) : QString();
}

void check(sqlite3* db, int code)
{
    if (code != SQLITE_OK)
        raise(db, code);
}

} // namespace

QString userMessage(int code, const QString& engineMessage)
{
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("O banco de dados está bloqueado por outro processo.");
    case SQLITE_READONLY:
        return QStringLiteral("O banco de dados não aceita gravação (somente leitura).");
    case SQLITE_FULL:
        return QStringLiteral("Não há espaço em disco para gravar no banco de dados.");
    case SQLITE_IOERR:
        return QStringLiteral("Erro de leitura ou gravação no arquivo do banco de dados.");
    case SQLITE_CONSTRAINT: {
        QString detail = afterPrefix(engineMessage, QStringLiteral("CHECK constraint failed: "));
        if (!detail.isEmpty())
            return QStringLiteral("Valor recusado: ") + detail;
        detail = afterPrefix(engineMessage, QStringLiteral("UNIQUE constraint failed: "));
        if (!detail.isEmpty())
            return QStringLiteral("Valor repetido em ") + detail;
        detail = afterPrefix(engineMessage, QStringLiteral("NOT NULL constraint failed: "));
        if (!detail.isEmpty())
            return QStringLiteral("Valor obrigatório em branco: ") + detail;
        return engineMessage;
    }
    default:
        return engineMessage;
    }
}

Transaction::Transaction(Connection& connection)
    : m_connection(connection)
{
    if (!m_connection.inTransaction()) {
        m_connection.begin();
        m_owns = true;
    }
}

Transaction::~Transaction()
{
    if (!m_owns)
        return;
    try {
        m_connection.rollback();
    } catch (...) {
        // Nothing sensible is left to do: the engine rolls back on close.
    }
}

void Transaction::rollback()
{
    if (!m_owns)
        return;
    m_owns = false;
    m_connection.rollback();
}

void Transaction::commit()
{
    if (!m_owns)
        return;
    m_connection.commit();
    m_owns = false;
}

Savepoint::Savepoint(Connection& connection, const QString& name)
    : m_connection(connection)
    , m_name(name)
    , m_outermost(!connection.inTransaction())
{
    m_connection.exec(QStringLiteral("SAVEPOINT ") + m_name);
}

Savepoint::~Savepoint()
{
    if (!m_open)
        return;
    try {
        rollback();
    } catch (...) {
    }
}

void Savepoint::release()
{
    if (!m_open)
        return;
    // Closed only once the engine has taken it: a refused RELEASE leaves it to roll back.
    m_connection.exec(QStringLiteral("RELEASE ") + m_name);
    m_open = false;
}

void Savepoint::rollback()
{
    if (!m_open)
        return;
    if (!m_connection.inTransaction()) {
        // The engine already rolled everything back (a full disk, an I/O error): there is no
        // savepoint left to return to.
    } else if (m_outermost) {
        m_connection.rollback(); // ends the transaction the savepoint opened
    } else {
        m_connection.exec(QStringLiteral("ROLLBACK TO ") + m_name);
        m_connection.exec(QStringLiteral("RELEASE ") + m_name);
    }
    m_open = false;
}

QString failureText(const std::exception& failure)
{
    if (const auto* error = dynamic_cast<const Error*>(&failure))
        return error->userText();
    if (const auto* engine = dynamic_cast<const DbError*>(&failure))
        return userMessage(engine->code(), engine->message());
    return QString::fromLocal8Bit(failure.what());
}

bool DbError::isBusy() const
{
    return m_code == SQLITE_BUSY || m_code == SQLITE_LOCKED;
}

bool DbError::isRefusedValue() const
{
    return m_code == SQLITE_CONSTRAINT || m_code == SQLITE_MISMATCH || m_code == SQLITE_TOOBIG;
}

Connection::~Connection()
{
    close();
}

void Connection::open(const QString& path, const QByteArray& key, bool create)
{
    close();
    // A connection is only ever used by the thread that opened it: no engine mutex is needed.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        throw DbError(rc & 0xFF, message);
    }
    m_db = db;
    m_path = path;
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    try {
        check(m_db, sqlite3_key(m_db, key.constData(), int(key.size())));
        // The key is only tried on the first read: a wrong key or a plain file fails here.
        Statement probe = prepare(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        probe.step();
        Statement version = prepare(QStringLiteral("PRAGMA cipher_version"));
        if (!version.step() || version.text(0).isEmpty())
            throw DbError(SQLITE_NOTADB, QStringLiteral("a biblioteca do banco não cifra os arquivos"));
        exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    } catch (...) {
        close();
        throw;
    }
}

void Connection::close()
{
    // A cached statement still held by a Statement is finalized when that goes; close_v2
    // keeps the handle alive until then.
    m_cache.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void Connection::exec(const QString& sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString message = error ? QString::fromUtf8(error) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(error);
        throw DbError(rc & 0xFF, userMessage(rc, message));
    }
}

Statement Connection::prepare(const QString& sql)
{
    if (!m_db)
        throw DbError(SQLITE_MISUSE, QStringLiteral("conexão fechada"));
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    check(m_db, sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &stmt, nullptr));
    return Statement(m_db, stmt);
}

struct Connection::CachedStatement {
    sqlite3_stmt* stmt = nullptr;
    bool inUse = false;
    ~CachedStatement() { sqlite3_finalize(stmt); }
};

namespace {
// Far more than the program's distinct statements; a bound against texts built at run time.
constexpr size_t kCacheLimit = 256;
} // namespace

Statement Connection::cached(const QString& sql)
{
    if (!m_db)
        throw DbError(SQLITE_MISUSE, QStringLiteral("conexão fechada"));
    auto it = m_cache.find(sql);
    if (it != m_cache.end() && !it->second->inUse) {
        it->second->inUse = true;
        return Statement(m_db, it->second);
    }
    if (it != m_cache.end())
        return prepare(sql);
    if (m_cache.size() >= kCacheLimit) {
        for (auto e = m_cache.begin(); e != m_cache.end();)
            e = e->second->inUse ? std::next(e) : m_cache.erase(e);
    }
    auto entry = std::make_shared<CachedStatement>();
    const QByteArray text = sql.toUtf8();
    check(m_db, sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &entry->stmt, nullptr));
    entry->inUse = true;
    m_cache.emplace(sql, entry);
    return Statement(m_db, std::move(entry));
}

qint64 Connection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

int Connection::changes() const
{
    return sqlite3_changes(m_db);
}

void Connection::setBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(m_db, milliseconds);
}

// Transactions begin and end often (every group of reads): their statements are prepared once.
void Connection::begin()
{
    if (!inTransaction())
        cached(QStringLiteral("BEGIN")).run();
}

void Connection::commit()
{
    if (inTransaction())
        cached(QStringLiteral("COMMIT")).run();
}

void Connection::rollback()
{
    if (inTransaction())
        cached(QStringLiteral("ROLLBACK")).run();
}

bool Connection::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

QString Connection::errorMessage() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
}

Statement::Statement(sqlite3* db, sqlite3_stmt* stmt)
    : m_db(db)
    , m_stmt(stmt)
{
}

Statement::Statement(sqlite3* db, std::shared_ptr<Connection::CachedStatement> cached)
    : m_db(db)
    , m_stmt(cached->stmt)
    , m_cached(std::move(cached))
{
}

Statement::~Statement()
{
    if (m_cached) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        m_cached->inUse = false;
    } else if (m_stmt) {
        sqlite3_finalize(m_stmt);
    }
}

Statement::Statement(Statement&& other) noexcept
    : m_db(other.m_db)
    , m_stmt(other.m_stmt)
    , m_cached(std::move(other.m_cached))
{
    other.m_stmt = nullptr;
}

void Statement::bind(int index, const QVariant& value)
{
    if (value.isNull() || !value.isValid()) {
        bindNull(index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        bindInt64(index, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        bindDouble(index, value.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        check(m_db, sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT));
        break;
    }
    case QMetaType::QDate:
        bindText(index, value.toDate().toString(Qt::ISODate).toUtf8());
        break;
    case QMetaType::QDateTime:
        bindText(index, value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8());
        break;
    default:
        bindText(index, value.toString().toUtf8());
    }
}

int Statement::parameterCount() const
{
    return sqlite3_bind_parameter_count(m_stmt);
}

QString Statement::parameterName(int index) const
{
    const char* name = sqlite3_bind_parameter_name(m_stmt, index);
    return name ? QString::fromUtf8(name) : QString();
}

void Statement::bind(const QString& name, const QVariant& value)
{
    const int index = sqlite3_bind_parameter_index(m_stmt, name.toUtf8().constData());
    if (index == 0)
        throw DbError(SQLITE_RANGE, QStringLiteral("parâmetro desconhecido: ") + name);
    bind(index, value);
}

void Statement::bindText(int index, const QByteArray& utf8)
{
    check(m_db, sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
}

void Statement::bindInt64(int index, qint64 value)
{
    check(m_db, sqlite3_bind_int64(m_stmt, index, value));
}

void Statement::bindDouble(int index, double value)
{
    check(m_db, sqlite3_bind_double(m_stmt, index, value));
}

void Statement::bindNull(int index)
{
    check(m_db, sqlite3_bind_null(m_stmt, index));
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_reset(m_stmt);
    throw DbError(rc & 0xFF, userMessage(rc, message));
}

void Statement::run()
{
    while (step()) { }
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QStringList Statement::columnNames() const
{
    QStringList names;
    for (int i = 0; i < columnCount(); ++i)
        names << columnName(i);
    return names;
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 Statement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double Statement::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

QString Statement::text(int column) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, column)) : QString();
}

QByteArray Statement::blob(int column) const
{
    const void* p = sqlite3_column_blob(m_stmt, column);
    return p ? QByteArray(static_cast<const char*>(p), sqlite3_column_bytes(m_stmt, column)) : QByteArray();
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(int64(column));
    case SQLITE_FLOAT:
        return QVariant(real(column));
    case SQLITE_TEXT:
        return QVariant(text(column));
    case SQLITE_BLOB:
        return QVariant(blob(column));
    default:
        return QVariant();
    }
}

} // namespace jx::db

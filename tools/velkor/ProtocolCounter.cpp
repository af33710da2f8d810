#include "ProtocolCounter.h"

#include "Error.h"
#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

namespace velkor {

namespace {

constexpr int kLockWaitMs = 30000;
constexpr int kCounterDigits = 8;

qint64 storedValue(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return 0;
    if (!file.open(QIODevice::ReadOnly))
        throw jx::Error(QStringLiteral("Não foi possível ler o contador %1: %2").arg(path, file.errorString()));
    const QByteArray text = file.read(64).trimmed();
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    // Starting again from zero would hand out numbers already given.
    if (!ok || value < 0)
        throw jx::Error(QStringLiteral("O contador %1 está danificado: \"%2\".").arg(path, QString::fromLatin1(text)));
    return value;
}

} // namespace

ProtocolCounter::ProtocolCounter(const QString& homeFolder)
    : m_home(homeFolder)
{
}

QString ProtocolCounter::counterFile() const
{
    return QDir(m_home).filePath(QStringLiteral("contador"));
}

QString ProtocolCounter::next(const QDate& today)
{
    if (!QDir().mkpath(m_home))
        throw jx::Error(QStringLiteral("Não foi possível criar a pasta %1.").arg(m_home));
    QLockFile lock(QDir(m_home).filePath(QStringLiteral("contador.lock")));
    if (!lock.tryLock(kLockWaitMs))
        throw jx::Error(QStringLiteral("O contador de protocolos está bloqueado por outro processo."));

    const qint64 value = storedValue(counterFile()) + 1;
    const QString number = QString::number(today.year()).rightJustified(4, u'0')
        + QString::number(value).rightJustified(kCounterDigits, u'0');
    if (number.size() > kMaxNumberLength)
        throw jx::Error(QStringLiteral("O contador de protocolos esgotou."));
    // Written before the number is used: a crash afterwards skips a number, never repeats one.
    jx::files::replaceContent(counterFile(), QByteArray::number(value) + '\n');
    return number;
}

} // namespace velkor

#pragma once

#include "Error.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

namespace jxtest {

inline QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<ausente>");
}

inline bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// The user text of the jx::Error the action throws; empty when it throws none.
inline QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const jx::Error& e) {
        return e.userText();
    }
    return {};
}

} // namespace jxtest

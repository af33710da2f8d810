#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <initializer_list>

namespace jx::sha1 {

// 20-byte digest.
QByteArray digest(const QByteArray& bytes);
// 40 hexadecimal digits, letters upper case: the form of the integrity verifier.
QString hexUpper(const QByteArray& bytes);
// The same over the parts taken one after the other, as if joined.
QString hexUpper(std::initializer_list<QByteArrayView> parts);
// The file's digest, read in chunks of 1024 bytes. Throws jx::Error when unreadable.
QString hexUpperOfFile(const QString& path);

} // namespace jx::sha1

#pragma once

#include <QByteArray>

// RFC 4648 Base64 with "=" padding and no line breaks.
namespace jx::base64 {

QByteArray encode(const QByteArray& bytes);
// Strict: any character outside the alphabet (padding at the end excepted), a misplaced
// "=" or a dangling single character fails with "Invalid Base64 Character".
QByteArray decode(const QByteArray& text);

inline constexpr char kInvalidCharacterText[] = "Invalid Base64 Character";

} // namespace jx::base64

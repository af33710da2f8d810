#include "delivery/Base64.h"

#include "Error.h"

#include <array>

namespace jx::base64 {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int, 256> makeValues()
{
    std::array<int, 256> values {};
    for (int& v : values)
        v = -1;
    for (int i = 0; i < 64; ++i)
        values[static_cast<unsigned char>(kAlphabet[i])] = i;
    return values;
}
constexpr std::array<int, 256> kValues = makeValues();

[[noreturn]] void invalid()
{
    throw Error(QString::fromLatin1(kInvalidCharacterText));
}

} // namespace

QByteArray encode(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    for (; i + 2 < n; i += 3) {
        const unsigned v = (p[i] << 16) | (p[i + 1] << 8) | p[i + 2];
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (n - i == 1) {
        const unsigned v = p[i] << 16;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += "==";
    } else if (n - i == 2) {
        const unsigned v = (p[i] << 16) | (p[i + 1] << 8);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += '=';
    }
    return out;
}

QByteArray decode(const QByteArray& text)
{
    qsizetype end = text.size();
    int padding = 0;
    while (end > 0 && text[end - 1] == '=' && padding < 2) {
        --end;
        ++padding;
    }
    // Padding only completes a final group of four.
    if (padding > 0 && text.size() % 4 != 0)
        invalid();
    if (end % 4 == 1)
        invalid();

    QByteArray out;
    out.reserve(end / 4 * 3 + 2);
    unsigned buffer = 0;
    int bits = 0;
    for (qsizetype i = 0; i < end; ++i) {
        const int v = kValues[static_cast<unsigned char>(text[i])];
        if (v < 0)
            invalid();
        buffer = (buffer << 6) | unsigned(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += char((buffer >> bits) & 0xFF);
        }
    }
    return out;
}

} // namespace jx::base64

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
    // Qt writes the same alphabet and padding; only the decoder has to keep the format's errors.
    return bytes.toBase64();
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

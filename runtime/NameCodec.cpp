#include "runtime/NameCodec.h"

#include "runtime/VbError.h"

#include <cstring>

namespace rt {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // lone surrogate U+DC00 + byte

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence at bytes[0..available), 0 when the
// lead byte does not start one (overlong forms, encoded surrogates and values
// above U+10FFFF included). The ranges follow the Unicode table of
// well-formed byte sequences.
int sequenceLength(const unsigned char* bytes, std::size_t available, char32_t& codePoint)
{
    const unsigned char lead = bytes[0];
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (available < static_cast<std::size_t>(length))
        return 0;
    if (bytes[1] < low || bytes[1] > high)
        return 0;
    codePoint = (codePoint << 6) | (bytes[1] & 0x3F);
    for (int i = 2; i < length; ++i) {
        if (!isContinuation(bytes[i]))
            return 0;
        codePoint = (codePoint << 6) | (bytes[i] & 0x3F);
    }
    return length;
}

QString decodeMixed(const unsigned char* bytes, std::size_t length, std::size_t asciiPrefix)
{
    // UTF-16 never needs more code units than UTF-8 has bytes.
    QString result(static_cast<qsizetype>(length), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    char16_t* const begin = out;
    for (std::size_t i = 0; i < asciiPrefix; ++i)
        *out++ = bytes[i];
    std::size_t i = asciiPrefix;
    while (i < length) {
        const unsigned char byte = bytes[i];
        if (byte < 0x80) {
            *out++ = byte;
            ++i;
            continue;
        }
        char32_t codePoint = 0;
        const int sequence = sequenceLength(bytes + i, length - i, codePoint);
        if (sequence == 0) {
            *out++ = static_cast<char16_t>(kEscapeBase + byte);
            ++i;
        } else if (codePoint >= 0x10000) {
            *out++ = static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
            i += static_cast<std::size_t>(sequence);
        } else {
            *out++ = static_cast<char16_t>(codePoint);
            i += static_cast<std::size_t>(sequence);
        }
    }
    result.truncate(out - begin);
    return result;
}

void appendUtf8(QByteArray& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out.append(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.append(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.append(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.append(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.append(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.append(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.append(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

}  // namespace

QString decodeName(const char* bytes, std::size_t length)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t ascii = 0;
    while (ascii < length && data[ascii] < 0x80)
        ++ascii;
    if (ascii == length)  // the common case: plain ASCII names
        return QString::fromLatin1(bytes, static_cast<qsizetype>(length));
    return decodeMixed(data, length, ascii);
}

QString decodeName(const QByteArray& bytes)
{
    return decodeName(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void encodeNameInto(const QString& text, QByteArray& bytes)
{
    const char16_t* const units = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype length = text.size();
    bytes.resize(length);
    char* to = bytes.data();
    for (qsizetype i = 0; i < length; ++i) {
        if (units[i] == 0 || units[i] >= 0x80) {
            bytes = encodeName(text);
            return;
        }
        to[i] = static_cast<char>(units[i]);
    }
}

QByteArray encodeName(const QString& text)
{
    const char16_t* const begin = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype length = text.size();
    qsizetype ascii = 0;
    while (ascii < length && begin[ascii] != 0 && begin[ascii] < 0x80)
        ++ascii;
    if (ascii == length) {  // the common case: plain ASCII without NUL, byte for unit
        QByteArray bytes(length, Qt::Uninitialized);
        char* to = bytes.data();
        for (qsizetype i = 0; i < length; ++i)
            to[i] = static_cast<char>(begin[i]);
        return bytes;
    }
    QByteArray out;
    out.reserve(text.size());
    const char16_t* units = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (unit == 0)
            raiseError(kBadFileName, QStringLiteral("encodeName"));
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 < size && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) +
                                    (char32_t(units[i + 1]) - 0xDC00));
                ++i;
                continue;
            }
            raiseError(kBadFileName, QStringLiteral("encodeName"));
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            // Only an escaped byte may stand alone; it goes back to that byte.
            if (unit < 0xDC80 || unit > 0xDCFF)
                raiseError(kBadFileName, QStringLiteral("encodeName"));
            out.append(static_cast<char>(unit - kEscapeBase));
            continue;
        }
        appendUtf8(out, unit);
    }
    return out;
}

}  // namespace rt

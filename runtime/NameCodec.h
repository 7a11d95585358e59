#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// Lossless conversion between names on disk (bytes) and QString.
//
// Valid UTF-8 decodes as usual. Every byte that is not part of a valid UTF-8
// sequence becomes a lone surrogate U+DC80..U+DCFF (the byte's value + 0xDC00)
// and encodes back to that same byte, so every name on disk survives a round
// trip. QString::toUtf8/fromUtf8 are never used at the OS boundary: they turn
// such bytes into U+FFFD.
namespace rt {

QString decodeName(const char* bytes, std::size_t length);
QString decodeName(const QByteArray& bytes);

// Throws VbError 52 (bad file name) for a text that cannot name anything on
// disk: an embedded NUL, or a lone surrogate outside U+DC80..U+DCFF.
QByteArray encodeName(const QString& text);
// The same into bytes, whose memory is kept from one name to the next: a
// loop over many names allocates once.
void encodeNameInto(const QString& text, QByteArray& bytes);

}  // namespace rt

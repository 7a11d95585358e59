#include "runtime/StringFunctions.h"

#include <array>

namespace rt {
namespace {

constexpr char16_t kVoicedMark = 0xFF9E;      // ﾞ
constexpr char16_t kSemiVoicedMark = 0xFF9F;  // ﾟ

struct Narrow {
    char16_t base = 0;  // 0: no half-width form, the character stays
    char16_t mark = 0;  // ﾞ or ﾟ after the base, or 0
};

constexpr char16_t kKatakanaFirst = 0x30A1;  // ァ
constexpr char16_t kKatakanaLast = 0x30FC;   // ー

// Full-width katakana ァ..ー to half-width. The half-width block has no form
// for ヮ ヰ ヱ ヵ ヶ ヸ ヹ; rather than approximate them (ヵ as ｶ would change
// the word), they stay full-width. ヷ and ヺ are ワ and ヲ with the voiced mark,
// so they narrow like every other voiced kana.
constexpr std::array<Narrow, kKatakanaLast - kKatakanaFirst + 1> buildKatakanaTable()
{
    std::array<Narrow, kKatakanaLast - kKatakanaFirst + 1> table{};
    auto set = [&table](char16_t full, char16_t half, char16_t mark = 0) {
        table[full - kKatakanaFirst] = Narrow{half, mark};
    };
    // Small and plain vowels alternate from ァ (U+30A1) to オ (U+30AA).
    constexpr char16_t smallVowels[] = {0xFF67, 0xFF68, 0xFF69, 0xFF6A, 0xFF6B};
    for (int i = 0; i < 5; ++i) {
        set(static_cast<char16_t>(0x30A1 + 2 * i), smallVowels[i]);
        set(static_cast<char16_t>(0x30A2 + 2 * i), static_cast<char16_t>(0xFF71 + i));
    }
    set(0x30F4, 0xFF73, kVoicedMark);  // ヴ
    // カ..ヂ: each plain kana is followed by its voiced form.
    for (int i = 0; i < 12; ++i) {
        const auto full = static_cast<char16_t>(0x30AB + 2 * i);
        const auto half = static_cast<char16_t>(0xFF76 + i);
        set(full, half);
        set(static_cast<char16_t>(full + 1), half, kVoicedMark);
    }
    set(0x30C3, 0xFF6F);  // ッ
    // ツ..ド: plain and voiced pairs again.
    for (int i = 0; i < 3; ++i) {
        const auto full = static_cast<char16_t>(0x30C4 + 2 * i);
        const auto half = static_cast<char16_t>(0xFF82 + i);
        set(full, half);
        set(static_cast<char16_t>(full + 1), half, kVoicedMark);
    }
    for (int i = 0; i < 5; ++i)  // ナ..ノ
        set(static_cast<char16_t>(0x30CA + i), static_cast<char16_t>(0xFF85 + i));
    // ハ..ポ: plain, voiced, semi-voiced.
    for (int i = 0; i < 5; ++i) {
        const auto full = static_cast<char16_t>(0x30CF + 3 * i);
        const auto half = static_cast<char16_t>(0xFF8A + i);
        set(full, half);
        set(static_cast<char16_t>(full + 1), half, kVoicedMark);
        set(static_cast<char16_t>(full + 2), half, kSemiVoicedMark);
    }
    for (int i = 0; i < 5; ++i)  // マ..モ
        set(static_cast<char16_t>(0x30DE + i), static_cast<char16_t>(0xFF8F + i));
    // ャ ヤ ュ ユ ョ ヨ
    for (int i = 0; i < 3; ++i) {
        set(static_cast<char16_t>(0x30E3 + 2 * i), static_cast<char16_t>(0xFF6C + i));
        set(static_cast<char16_t>(0x30E4 + 2 * i), static_cast<char16_t>(0xFF94 + i));
    }
    for (int i = 0; i < 5; ++i)  // ラ..ロ
        set(static_cast<char16_t>(0x30E9 + i), static_cast<char16_t>(0xFF97 + i));
    set(0x30EF, 0xFF9C);               // ワ
    set(0x30F2, 0xFF66);               // ヲ
    set(0x30F7, 0xFF9C, kVoicedMark);  // ヷ
    set(0x30FA, 0xFF66, kVoicedMark);  // ヺ
    set(0x30F3, 0xFF9D);               // ン
    set(0x30FB, 0xFF65);               // ・
    set(0x30FC, 0xFF70);               // ー
    return table;
}

constexpr auto kKatakana = buildKatakanaTable();

Narrow narrowOf(char16_t c)
{
    if (c >= 0xFF01 && c <= 0xFF5E)  // full-width ASCII
        return {static_cast<char16_t>(c - 0xFEE0), 0};
    if (c >= kKatakanaFirst && c <= kKatakanaLast)
        return kKatakana[c - kKatakanaFirst];
    switch (c) {
    case 0x3000: return {u' ', 0};
    case 0x3001: return {0xFF64, 0};  // 、
    case 0x3002: return {0xFF61, 0};  // 。
    case 0x300C: return {0xFF62, 0};  // 「
    case 0x300D: return {0xFF63, 0};  // 」
    case 0x3099:                      // combining voiced mark
    case 0x309B: return {kVoicedMark, 0};
    case 0x309A:  // combining semi-voiced mark
    case 0x309C: return {kSemiVoicedMark, 0};
    default: return {};
    }
}

}  // namespace

// The full-width signs U+FFE0..U+FFEE (￠￡￢￣￤￥￦ and the arrows) and the
// white parentheses U+FF5F/U+FF60 are deliberately left unchanged: only the
// classes above are narrowed, so the result is predictable character by
// character.
QString StrConvNarrow(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const Narrow narrow = narrowOf(c.unicode());
        if (narrow.base == 0) {
            result.append(c);
            continue;
        }
        result.append(QChar(narrow.base));
        if (narrow.mark != 0)
            result.append(QChar(narrow.mark));
    }
    return result;
}

QString LCase(const QString& text)
{
    return text.toLower();
}

}  // namespace rt

#pragma once

#include <QString>

namespace rt {

// Half-width (narrow) conversion by an explicit table, never NFKC:
// U+FF01..U+FF5E -> U+0021..U+007E, U+3000 -> space, full-width katakana and
// 、。「」・ー゛゜ -> their U+FF61..U+FF9F forms, a voiced or semi-voiced kana
// becoming the plain half-width kana followed by ﾞ or ﾟ (the combining marks
// U+3099/U+309A become ﾞ/ﾟ too). Everything else, hiragana and kanji
// included, is unchanged. Deliberately unchanged as well: kana that have no
// half-width form (ヮ ヰ ヱ ヵ ヶ ヷ ヸ ヹ ヺ), the full-width signs
// U+FFE0..U+FFEE (￠￡￢￣￤￥￦ and the rest of that range) and the white
// parentheses U+FF5F/U+FF60; so the result never depends on a guess.
QString StrConvNarrow(const QString& text);

// Lower case (Qt's Unicode lower-case mapping).
QString LCase(const QString& text);

}  // namespace rt

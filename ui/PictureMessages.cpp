#include "ui/PictureMessages.h"

#include <array>
#include <cfenv>
#include <cmath>

double RndGenerator::Rnd()
{
    // 53 random bits over 2^53: never 1.0, unlike generate_canonical on some
    // library versions.
    const std::uint64_t high = m_engine() >> 5;
    const std::uint64_t low = m_engine() >> 6;
    return static_cast<double>((high << 26) | low) / 9007199254740992.0;
}

int FncInt_PictureMessageIndex(double r)
{
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);  // exact halves go to the even neighbour
    const auto n = static_cast<long>(std::nearbyint(r * 10.0));
    std::fesetround(previous);
    return static_cast<int>(((n % 5) + 5) % 5);
}

QString FncStr_PictureMessage(int index)
{
    static const std::array<QString, 5> messages = {
        QStringLiteral("何も起こりませんよ。"),
        QStringLiteral("痛いので押さないで下さい( ･ω･)oﾋﾞｼｯ"),
        QStringLiteral("私を押して楽しいですか？"),
        QStringLiteral("（n‘∀‘)η＜キャーキャー　　　　"),
        QStringLiteral("ごめんなさい。ほんと許してください。"),
    };
    return messages.at(static_cast<std::size_t>(index));
}

#include "FuzzTarget.h"

#include "engine/Cls_FileRename.h"
#include "runtime/VbError.h"

#include <QRegularExpression>

// Reaches the job's date procedures (one definition in this executable).
struct Cls_FileRenameTestAccess {
    using S = const QString&;
    using C = Cls_FileRename;
    static void setDateFilter(S d, S t, QString& text, bool& flag)
    {
        C::Sub_SetDateFilter(d, t, text, flag);
    }
    static QString layDigits(S text, S pattern) { return C::FncStr_LayDigits(text, pattern); }
    static QString format(S text) { return C::FncStr_FormatDateTime(text); }
};

// A date and a time text, as typed: the threshold is off for an empty date;
// otherwise a text of digits keeps its value when laid into the pattern, and
// the stamp is either refused with error 13 or a fixed point of the format.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype cut = input.indexOf(u'\n');
    const QString date = cut < 0 ? input : input.left(cut);
    const QString time = cut < 0 ? QString() : input.mid(cut + 1);
    using A = Cls_FileRenameTestAccess;

    QString text = QStringLiteral("kept");
    bool flag = true;
    A::setDateFilter(date, time, text, flag);
    if (date.isEmpty()) {
        FUZZ_CHECK(!flag && text == u"kept");
        return 0;
    }
    FUZZ_CHECK(flag);

    const QString pattern = QStringLiteral("0000/00/00");
    const QString laid = A::layDigits(date, pattern);
    // The digits, without the pattern's separators and leading zeros.
    const auto value = [](QString digits) {
        return digits.remove(u'/').remove(QRegularExpression(u"\\A0+(?=.)"_qs));
    };
    const bool digits = QRegularExpression(u"\\A[0-9]+\\z"_qs).match(date).hasMatch();
    FUZZ_CHECK(digits ? laid.size() >= pattern.size() && value(laid) == value(date) : laid == date);

    try {
        const QString stamp = A::format(text);
        FUZZ_CHECK(stamp.size() == 19 && A::format(stamp) == stamp);
    } catch (const rt::VbError& e) {
        FUZZ_CHECK(e.number() == 13);
    }
    return 0;
}

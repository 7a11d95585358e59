#include "FuzzTarget.h"

#include "engine/Cls_FileRename.h"
#include "runtime/VbError.h"

#include <algorithm>

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

namespace {

bool allDigits(const QString& text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QString withoutLeadingZeros(QString digits)
{
    while (digits.size() > 1 && digits.front() == u'0')
        digits.remove(0, 1);
    return digits;
}

}  // namespace

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
    if (allDigits(date)) {
        FUZZ_CHECK(laid.size() >= pattern.size());
        const QString digitsOnly = QString(laid).remove(u'/');
        FUZZ_CHECK(withoutLeadingZeros(digitsOnly) == withoutLeadingZeros(date));
    } else {
        FUZZ_CHECK(laid == date);
    }

    try {
        const QString stamp = A::format(text);
        FUZZ_CHECK(stamp.size() == 19);
        FUZZ_CHECK(A::format(stamp) == stamp);
    } catch (const rt::VbError& e) {
        FUZZ_CHECK(e.number() == 13);
    }
    return 0;
}

#include "FuzzTarget.h"

#include "runtime/StringFunctions.h"

// The half-width step: idempotent; never longer than twice the input (a
// voiced kana becomes two characters); never yields NUL from an input
// without it; yields a separator only from one already there or from the
// full-width solidus U+FF0F.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = QString::fromUtf16(reinterpret_cast<const char16_t*>(data),
                                             static_cast<qsizetype>(size / 2));
    const QString narrow = rt::StrConvNarrow(input);
    FUZZ_CHECK(rt::StrConvNarrow(narrow) == narrow);
    FUZZ_CHECK(narrow.size() <= 2 * input.size());
    FUZZ_CHECK(narrow.size() >= input.size());
    FUZZ_CHECK(narrow.count(QChar(u'\0')) == input.count(QChar(u'\0')));
    FUZZ_CHECK(narrow.count(QChar(u'/')) ==
               input.count(QChar(u'/')) + input.count(QChar(u'\xFF0F')));
    return 0;
}

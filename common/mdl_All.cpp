#include "common/mdl_All.h"

#include "common/mdl_ErrorFunction.h"
#include "runtime/VbError.h"

#include <algorithm>

std::int32_t FncLng_GetToken(const QString& source, const QString& delimiter, std::int32_t start,
                             QString& token)
{
    try {
        if (start < 1)
            rt::raiseError(rt::kInvalidCall, QStringLiteral("FncLng_GetToken"));
        const qsizetype from = start - 1;
        const qsizetype found = from > source.size() ? -1 : source.indexOf(delimiter, from);
        const std::int32_t p = found < 0 ? 0 : static_cast<std::int32_t>(found + 1);
        token = p == 0 ? source.mid(from) : source.mid(from, p - start);
        if (p == 0)
            return 1;
        // Just after the whole delimiter, however long it is.
        return p + static_cast<std::int32_t>(std::max<qsizetype>(delimiter.size(), 1));
    } catch (...) {
        Sub_ShowVbError();
        return 0;
    }
}

#include "common/mdl_ErrorFunction.h"

#include "runtime/MsgBox.h"
#include "runtime/VbError.h"

void Sub_ShowVbError()
{
    Sub_ShowVbError(rt::currentError());
}

void Sub_ShowVbError(const rt::VbError& error)
{
    const QString prompt =
        QString::number(error.number()) + u' ' + error.description() + u'\r' + error.source();
    rt::MsgBox(prompt, rt::kVbCritical, QStringLiteral("VB Error"));
}

std::int16_t FncInt_ShowMessage(std::int32_t style, const QString& prompt, const QString& title)
{
    return static_cast<std::int16_t>(rt::MsgBox(prompt, static_cast<std::int16_t>(style), title));
}

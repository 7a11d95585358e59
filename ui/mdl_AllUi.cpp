#include "ui/mdl_AllUi.h"

#include "forms/App.h"
#include "forms/Controls.h"
#include "forms/Interaction.h"
#include "ui/frm_Main.h"

QString Gstr_StartPath;

bool Main()
{
    if (forms::App::PrevInstance())
        return false;
    Gstr_StartPath = forms::App::Path();
    forms::installMessageBox();
    auto* form = new frm_Main;
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    return true;
}

void Sub_SetMousePointer(std::int32_t shape)
{
    forms::setMousePointer(static_cast<std::int16_t>(shape));
    forms::DoEvents();
}

void Sub_SelectAllText(forms::TextBox* box)
{
    box->setCursorPosition(0);
    box->setSelection(0, static_cast<int>(box->text().size()));
}

#include "app/create_pages.h"

#include "app/invisible_form.h"
#include "pages/frame_window.h"
#include "pages/main_form.h"

TFormInvisible *CreatePages(TFrameWindow *frame)
{
    auto *invisible = new TFormInvisible(frame);
    invisible->hide();
    new TFormMain(frame);
    return invisible;
}

#include "pages/play_messages.h"

#include "pages/page_form.h"
#include "pages/services.h"

TPlayerMessages &PlayerMessages()
{
    static TPlayerMessages messages;
    return messages;
}

void ShowPlayResult(TFormBase *page, int result)
{
    const TPlayerMessages &messages = PlayerMessages();
    if (result < 0)
        page->Messages()->Show(messages.NotInstalled, messages.Install);
    else if (result == 0)
        page->Messages()->Show(messages.PlDoNotHave, messages.ChooseAnother);
}

void PlayTrack(TFormBase *page, const QString &path)
{
    ShowPlayResult(page, page->Services().PlayFile(path));
}

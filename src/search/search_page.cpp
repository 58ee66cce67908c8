#include "search/search_page.h"

#include "search/select_files_page.h"

// Both fields are set before the switch so that the selection page's deferred scan finds them.
static void SearchDrives(TFormBase *page, int mode, bool fromRemovable)
{
    auto *selection = Page<TFormSelectFiles>();
    selection->SearchMode = mode;
    selection->FromRemovable = fromRemovable;
    SwitchPage(page, selection);
}

TFormSearch::TFormSearch(QWidget *parent)
    : TFormBase(Id, QStringLiteral("SearchTracks"), QStringLiteral("Tracks Search"), parent)
{
    CreateButtonGroup(
        TopBase,
        {
            ReturnToMainButton(),
            {"SearchOnRemovable", "Search on all removable (CD, flash etc)", "search_removable",
             [](TFormBase *page) { SearchDrives(page, 0, true); }},
            {"SearchOnFixed", "Search in internal of the computer", "search_fixed",
             [](TFormBase *page) { SearchDrives(page, 1, false); }},
            {"SearchInFolder", "Search in some folder", "search_folder",
             [](TFormBase *page) { SwitchPage(page, TPageId::SelectFolder); }},
            ExitButton(),
        },
        1);
    ApplySkinAndTexts();
}

void CreateReturnButtons(TFormBase *page)
{
    page->CreateButtonGroup(TFormBase::TopBase,
                            {
                                ReturnToMainButton(),
                                {"ReturnToSearch", "Return to search", "return_back",
                                 [](TFormBase *from) { SwitchPage(from, TPageId::Search); }},
                                ExitButton(),
                            });
}

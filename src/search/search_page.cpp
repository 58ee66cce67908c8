#include "search/search_page.h"

#include "pages/main_form.h"
#include "search/select_files_page.h"
#include "search/select_folder_page.h"

TFormSearch *FormSearch = nullptr;

// Both fields are set before the switch so that the selection page's deferred scan finds them.
static void SearchDrives(TFormBase *page, int mode, bool fromRemovable)
{
    FormSelectFiles->SearchMode = mode;
    FormSelectFiles->FromRemovable = fromRemovable;
    SwitchPage(page, FormSelectFiles);
}

TFormSearch::TFormSearch(QWidget *parent)
    : TFormBase(QStringLiteral("SearchTracks"), QStringLiteral("Tracks Search"), parent)
{
    FormSearch = this;
    CreateButtonGroup(
        TopBase,
        {
            ReturnToMainButton(),
            {"SearchOnRemovable", "Search on all removable (CD, flash etc)", "search_removable",
             [](TFormBase *page) { SearchDrives(page, 0, true); }},
            {"SearchOnFixed", "Search in internal of the computer", "search_fixed",
             [](TFormBase *page) { SearchDrives(page, 1, false); }},
            {"SearchInFolder", "Search in some folder", "search_folder",
             [](TFormBase *page) { SwitchPage(page, FormSelectFolder); }},
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
                                 [](TFormBase *from) { SwitchPage(from, FormSearch); }},
                                ExitButton(),
                            });
}

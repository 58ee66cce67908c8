#include "search/search_page.h"

#include "app/application.h"
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
    const QList<QPixmap> pictures = ButtonPictures(
        {"return_main", "search_removable", "search_fixed", "search_folder", "exit"});
    struct Entry {
        const char *label;
        const char *key;
        const char *text;
        TButtonAction action;
    };
    const Entry entries[] = {
        {"LabelReturnToMain", "ReturnToMain", "Return to main menu",
         [](TFormBase *page) { SwitchPage(page, FormMain); }},
        {"LabelSearchOnRemovable", "SearchOnRemovable", "Search on all removable (CD, flash etc)",
         [](TFormBase *page) { SearchDrives(page, 0, true); }},
        {"LabelSearchOnFixed", "SearchOnFixed", "Search in internal of the computer",
         [](TFormBase *page) { SearchDrives(page, 1, false); }},
        {"LabelSearchInFolder", "SearchInFolder", "Search in some folder",
         [](TFormBase *page) { SwitchPage(page, FormSelectFolder); }},
        {"LabelExit", "Exit", "Exit", [](TFormBase *) { EndApplication(); }},
    };
    int index = 0;
    for (const Entry &entry : entries) {
        CreateIconButton(TopBase, index, index == 1, entry.action, pictures,
                         QStringLiteral("Button") + QLatin1String(entry.key));
        CreateButtonLabel(QLatin1String(entry.label), TopBase, index, QLatin1String(entry.key),
                          QLatin1String(entry.text));
        ++index;
    }
    ApplySkinAndTexts();
}

void CreateReturnButtons(TFormBase *page)
{
    const QList<QPixmap> pictures = ButtonPictures({"return_main", "return_back", "exit"});
    page->CreateIconButton(TFormBase::TopBase, 0, false, [](TFormBase *from) { SwitchPage(from, FormMain); },
                           pictures, QStringLiteral("ButtonReturnToMain"));
    page->CreateIconButton(TFormBase::TopBase, 1, false,
                           [](TFormBase *from) { SwitchPage(from, FormSearch); }, pictures,
                           QStringLiteral("ButtonReturnToSearch"));
    page->CreateIconButton(TFormBase::TopBase, 2, false, [](TFormBase *) { EndApplication(); },
                           pictures, QStringLiteral("ButtonExit"));
    page->CreateButtonLabel(QStringLiteral("LabelReturnToMain"), TFormBase::TopBase, 0,
                            QStringLiteral("ReturnToMain"), QStringLiteral("Return to main menu"));
    page->CreateButtonLabel(QStringLiteral("LabelReturnToSearch"), TFormBase::TopBase, 1,
                            QStringLiteral("ReturnToSearch"), QStringLiteral("Return to search"));
    page->CreateButtonLabel(QStringLiteral("LabelExit"), TFormBase::TopBase, 2,
                            QStringLiteral("Exit"), QStringLiteral("Exit"));
}

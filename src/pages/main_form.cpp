#include "pages/main_form.h"

#include "app/application.h"
#include "app/locations.h"
#include "app/settings.h"
#include "catalog/view_catalog_page.h"
#include "playlists/create_playlist_page.h"
#include "playlists/play_list_page.h"
#include "search/search_page.h"

#include <QDesktopServices>
#include <QUrl>

TFormMain *FormMain = nullptr;

TFormMain::TFormMain(QWidget *parent)
    : TFormBase(QStringLiteral("Main"), QStringLiteral("Main Menu"), parent)
{
    FormMain = this;
    const QList<QPixmap> pictures = ButtonPictures({"play", "add", "catalog", "playlist_new", "exit", "help"});
    struct Entry {
        const char *label;
        const char *key;
        const char *text;
        TButtonAction action;
    };
    const Entry entries[] = {
        {"LabelPlayList", "PlayList", "Play a list", [](TFormBase *page) { SwitchPage(page, FormPlayList); }},
        {"LabelAddTracks", "AddTracks", "Add tracks to the catalog",
         [](TFormBase *page) { SwitchPage(page, FormSearch); }},
        {"LabelShowCatalogs", "ShowCatalogs", "Show catalog contents",
         [](TFormBase *page) { SwitchPage(page, FormViewCatalog); }},
        {"LabelCreatePlaylist", "CreatePlaylist", "Create playlist",
         [](TFormBase *page) { SwitchPage(page, FormCreatePlaylist); }},
        {"LabelExit", "Exit", "Exit", [](TFormBase *) { EndApplication(); }},
        {"LabelHelp", "Help", "Help", [](TFormBase *) { OpenHelp(); }},
    };
    int index = 0;
    for (const Entry &entry : entries) {
        CreateIconButton(TopBase, index, index == 0, entry.action, pictures,
                         QStringLiteral("Button") + QLatin1String(entry.key));
        CreateButtonLabel(QLatin1String(entry.label), TopBase, index, QLatin1String(entry.key),
                          QLatin1String(entry.text));
        ++index;
    }
    LoadSettings();
    ApplySkinAndTexts();
}

void TFormMain::OpenHelp()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(ProgramFolder() + QLatin1String(HelpFileName)));
}

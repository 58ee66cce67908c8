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
    CreateButtonGroup(TopBase,
                      {
                          {"PlayList", "Play a list", "play",
                           [](TFormBase *page) { SwitchPage(page, FormPlayList); }},
                          {"AddTracks", "Add tracks to the catalog", "add",
                           [](TFormBase *page) { SwitchPage(page, FormSearch); }},
                          {"ShowCatalogs", "Show catalog contents", "catalog",
                           [](TFormBase *page) { SwitchPage(page, FormViewCatalog); }},
                          {"CreatePlaylist", "Create playlist", "playlist_new",
                           [](TFormBase *page) { SwitchPage(page, FormCreatePlaylist); }},
                          ExitButton(),
                          {"Help", "Help", "help", [](TFormBase *) { OpenHelp(); }},
                      },
                      0);
    LoadSettings();
    ApplySkinAndTexts();
}

TButtonSpec ReturnToMainButton()
{
    return {"ReturnToMain", "Return to main menu", "return_main",
            [](TFormBase *page) { SwitchPage(page, FormMain); }};
}

TButtonSpec ExitButton()
{
    return {"Exit", "Exit", "exit", [](TFormBase *) { EndApplication(); }};
}

void TFormMain::OpenHelp()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(ProgramFolder() + QLatin1String(HelpFileName)));
}

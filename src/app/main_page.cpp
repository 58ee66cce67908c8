#include "app/main_page.h"

#include "base/locations.h"
#include "base/settings.h"

#include <QDesktopServices>
#include <QUrl>

TFormMain::TFormMain(QWidget *parent)
    : TFormBase(Id, QStringLiteral("Main"), QStringLiteral("Main Menu"), parent)
{
    CreateButtonGroup(TopBase,
                      {
                          {"PlayList", "Play a list", "play",
                           [](TFormBase *page) { SwitchPage(page, TPageId::PlayList); }},
                          {"AddTracks", "Add tracks to the catalog", "add",
                           [](TFormBase *page) { SwitchPage(page, TPageId::Search); }},
                          {"ShowCatalogs", "Show catalog contents", "catalog",
                           [](TFormBase *page) { SwitchPage(page, TPageId::ViewCatalog); }},
                          {"CreatePlaylist", "Create playlist", "playlist_new",
                           [](TFormBase *page) { SwitchPage(page, TPageId::CreatePlaylist); }},
                          ExitButton(),
                          {"Help", "Help", "help", [](TFormBase *) { OpenHelp(); }},
                      },
                      0);
    LoadSettings();
    ApplySkinAndTexts();
}

void TFormMain::OpenHelp()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(ProgramFolder() + QLatin1String(HelpFileName)));
}

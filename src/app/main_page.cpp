#include "app/main_page.h"

#include "base/locations.h"
#include "import/copy_journal.h"
#include "pages/services.h"
#include "pages/skin.h"

#include <QLabel>

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
                          {"Help", "Help", "help",
                           [](TFormBase *page) { static_cast<TFormMain *>(page)->OpenHelp(); }},
                      },
                      0);
    m_notice = CreateHintLabel(QRect(8, 8, 159, 365), QString(), Qt::white, QString());
    ApplySkinAndTexts();
}

void TFormMain::ReadTexts(const TSkinFile &texts)
{
    ImportWaitingText =
        ReadText(texts, Section(), QStringLiteral("ImportWaiting"), ImportWaitingText);
    ImportRefusedText =
        ReadText(texts, Section(), QStringLiteral("ImportRefused"), ImportRefusedText);
}

void TFormMain::ShowStartNotice(const TRecovery &recovery)
{
    QStringList lines;
    for (const QString &storage : recovery.Waiting)
        lines << ImportWaitingText << storage;
    for (const QString &journal : recovery.Refused)
        lines << ImportRefusedText << journal;
    m_notice->setText(lines.join(QLatin1Char('\n')));
}

void TFormMain::FormHide()
{
    m_notice->clear();
}

void TFormMain::OpenHelp()
{
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(Services().ProgramFolder + QLatin1String(HelpFileName)));
}

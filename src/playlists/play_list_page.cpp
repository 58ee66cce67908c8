#include "playlists/play_list_page.h"

#include "base/application.h"
#include "base/errors.h"
#include "base/folder_listing.h"
#include "base/ini_file.h"
#include "base/locations.h"
#include "pages/play_messages.h"
#include "pages/services.h"
#include "pages/skin.h"
#include "platform/file_system.h"
#include "platform/trash.h"
#include "playlists/playlist_file.h"
#include "playlists/playlist_player.h"
#include "playlists/view_play_list_page.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>

TFormPlayList::TFormPlayList(QWidget *parent)
    : TFormBase(Id, QStringLiteral("PlaylistChoice"), QStringLiteral("Playlist Choice"), parent)
{
    CreateButtonGroup(TopBase, {ReturnToMainButton(), ExitButton()});
    QLabel *aboveList =
        CreateLabel(QStringLiteral("LabelAboveList"), QRect(192, 96, 385, 23),
                    QStringLiteral("AboveList"), QStringLiteral("Choose a list to play."), 16);
    m_listBoxPlayLists = new QListWidget(this);
    m_listBoxPlayLists->setObjectName(QStringLiteral("ListBoxPlayLists"));
    m_listBoxPlayLists->setGeometry(192, 120, 393, 125);
    m_listBoxPlayLists->setFont(PageFont(13));
    m_listBoxPlayLists->setSortingEnabled(false);
    m_listBoxPlayLists->setUniformItemSizes(true);
    connect(m_listBoxPlayLists, &QListWidget::itemDoubleClicked, this,
            [this] { RunReporting([this] { Play(); }); });
    CreateButtonGroup(BottomBase(3),
                      {
                          {"DeletePlaylist", "Delete the playlist", "delete",
                           [this](TFormBase *) { DeletePlaylist(); }},
                          {"ShowListContent", "Show playlist content", "show_content",
                           [this](TFormBase *) { ShowContent(); }},
                          {"PlayList", "Play the list", "play", [this](TFormBase *) { Play(); }},
                      },
                      2);

    NameAfter(m_listBoxPlayLists, aboveList);
    SetupMessages({aboveList, m_listBoxPlayLists});
    PlayerMessages() = TPlayerMessages();
    ApplySkinAndTexts();
}

void TFormPlayList::ReadTexts(const TSkinFile &texts)
{
    TPlayerMessages &messages = PlayerMessages();
    messages.PlDoNotHave =
        ReadText(texts, Section(), QStringLiteral("PlDoNotHave"), messages.PlDoNotHave);
    messages.ChooseAnother =
        ReadText(texts, Section(), QStringLiteral("ChooseAnother"), messages.ChooseAnother);
    messages.NotInstalled =
        ReadText(texts, Section(), QStringLiteral("NotInstalled"), messages.NotInstalled);
    messages.Install = ReadText(texts, Section(), QStringLiteral("Install"), messages.Install);
}

void TFormPlayList::FormShow()
{
    if (Messages()->ShowTestMessageIfTestMode())
        return;
    ListPlaylists();
}

void TFormPlayList::ListPlaylists()
{
    // A listing started by an action that ran while this one let events in (Delete) replaces
    // it; this one then stops, so that no entry is listed twice.
    const int listing = ++m_listing;
    m_listBoxPlayLists->clear();
    const QString folder = DataFolder();
    const TFolderListing entries = ListFolderEntries(folder);
    int count = 0;
    for (const TFolderEntry &entry : entries.Entries) {
        // Only files are playlists. A link that points nowhere (its disk is away) is listed
        // too, so that it can be deleted.
        if ((entry.Kind != TEntryKind::File && entry.Kind != TEntryKind::DanglingLink)
            || !entry.Name.endsWith(QLatin1String(PlaylistExtension), Qt::CaseInsensitive))
            continue;
        if (ApplicationEnding() || isHidden())
            return;
        auto *item = new QListWidgetItem(PlaylistName(entry.Name), m_listBoxPlayLists);
        item->setSizeHint(QSize(m_listBoxPlayLists->viewport()->width(), 16));
        // The extension matches without regard to case: keep the name the file really has.
        item->setData(Qt::UserRole, folder + QLatin1Char('/') + entry.Name);
        if (++count >= 2) {
            QCoreApplication::processEvents();
            if (listing != m_listing)
                return;
        }
    }
    if (m_listBoxPlayLists->count() > 0)
        m_listBoxPlayLists->setCurrentRow(0);
}

bool TFormPlayList::SelectedPaths(QString &playlistPath, QString &m3uPath) const
{
    const QListWidgetItem *item = m_listBoxPlayLists->currentItem();
    if (!item || !item->isSelected())
        return false;
    playlistPath = item->data(Qt::UserRole).toString();
    m3uPath = QFileInfo(playlistPath).path() + QLatin1Char('/') + item->text()
        + QLatin1String(PlayableExtension);
    return true;
}

void TFormPlayList::DeletePlaylist()
{
    QString playlistPath;
    QString m3uPath;
    if (!SelectedPaths(playlistPath, m3uPath))
        return;
    // The playlist goes to the Trash, where the user can still get it back; the M3U file
    // beside it is the program's own, written anew at every play. A link goes itself, and what
    // it points to is never touched.
    if (!TrashOrDelete(playlistPath))
        throw EQuavermill(QStringLiteral("Cannot delete %1").arg(playlistPath));
    if (const int error = RemoveFileOrLink(m3uPath))
        throw ESystemError(error, m3uPath);
    ListPlaylists();
}

void TFormPlayList::ShowContent()
{
    auto *content = Page<TFormViewPlayList>();
    if (Services().Settings.WinMsgTestMode) {
        SwitchPage(this, content);
        return;
    }
    QString playlistPath;
    QString m3uPath;
    if (!SelectedPaths(playlistPath, m3uPath))
        return;
    content->PlaylistPath = playlistPath;
    content->M3uPath = m3uPath;
    SwitchPage(this, content);
}

void TFormPlayList::Play()
{
    QString playlistPath;
    QString m3uPath;
    if (SelectedPaths(playlistPath, m3uPath))
        ShowPlayResult(this, PlayPlaylist(playlistPath, m3uPath, [this](const QString &path) {
                           return Services().PlayFile(path);
                       }));
}

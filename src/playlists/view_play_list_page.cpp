#include "playlists/view_play_list_page.h"

#include "base/ini_file.h"
#include "catalog/base_string_list.h"
#include "pages/play_messages.h"
#include "pages/services.h"
#include "pages/skin.h"
#include "pages/state_tree.h"
#include "playlists/playlist_file.h"
#include "playlists/playlist_player.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>

namespace {
struct TColumn {
    const char *key;
    const char *caption;
    int width;
};
constexpr TColumn Columns[] = {
    {"HeaderComposer", "Composer", 100},  {"HeaderArtist", "Performer", 100},
    {"HeaderAlbum", "Album", 100},        {"HeaderName", "Name", 100},
    {"HeaderFileName", "File Name", 500},
};
} // namespace

TFormViewPlayList::TFormViewPlayList(QWidget *parent)
    : TFormBase(Id, QStringLiteral("ViewPlaylist"), QStringLiteral("Playlist Viewing"), parent)
{
    CreateButtonGroup(TopBase,
                      {
                          ReturnToMainButton(),
                          {"ReturnToSelection", "Return to playlist selection", "return_back",
                           [](TFormBase *page) { SwitchPage(page, TPageId::PlayList); }},
                          ExitButton(),
                      });
    CreateButtonGroup(BottomBase(1),
                      {{"PlayList", "Play the list", "play", [this](TFormBase *) { Play(); }}}, 0);

    m_listViewPlay = new TStateTree(this);
    m_listViewPlay->setObjectName(QStringLiteral("ListViewPlay"));
    m_listViewPlay->setGeometry(192, 136, 393, 193);
    m_listViewPlay->setRootIsDecorated(false);
    m_listViewPlay->setIndentation(0);
    m_listViewPlay->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listViewPlay->setHeaderHidden(false);
    m_listViewPlay->header()->setStretchLastSection(false);
    m_listViewPlay->SetStatePictures(TreePictures({nullptr, "mark_missing", "mark_present"}));
    QStringList captions;
    for (const TColumn &column : Columns)
        captions.append(QLatin1String(column.caption));
    m_listViewPlay->setHeaderLabels(captions);
    for (int i = 0; i < int(std::size(Columns)); ++i)
        m_listViewPlay->setColumnWidth(i, Columns[i].width);

    NameAfter(m_listViewPlay);
    SetupMessages({m_listViewPlay});
    ApplySkinAndTexts();
}

void TFormViewPlayList::ReadTexts(const TSkinFile &texts)
{
    QTreeWidgetItem *header = m_listViewPlay->headerItem();
    for (int i = 0; i < int(std::size(Columns)); ++i)
        header->setText(i,
                        ReadText(texts, Section(), QLatin1String(Columns[i].key), header->text(i)));
}

void TFormViewPlayList::FormShow()
{
    if (Messages()->ShowTestMessageIfTestMode())
        return;
    ListTracks();
}

void TFormViewPlayList::ListTracks()
{
    // Emptied first: a playlist that cannot be read must not show the rows of the last one.
    m_listViewPlay->clear();
    // Shown without a playlist (never by the play a list page): nothing to list.
    if (PlaylistPath.isEmpty())
        return;
    const std::unique_ptr<TBaseStringList> records = ReadPlaylistForDisplay(PlaylistPath);
    QList<QTreeWidgetItem *> rows;
    for (int i = 0; i < records->Count(); ++i) {
        const TCatalogRecord record = records->Record(i);
        if (!record.IsTrack())
            continue;
        const bool exists = QFileInfo(record.FileName).isFile();
        auto *row = new TStateTreeItem(record.Composer, exists ? MarkPresent : MarkMissing);
        row->setText(1, record.Artist);
        row->setText(2, record.Album);
        row->setText(3, record.Name);
        row->setText(4, record.FileName);
        rows.append(row);
    }
    m_listViewPlay->addTopLevelItems(rows);
}

void TFormViewPlayList::Play()
{
    ShowPlayResult(this, PlayPlaylist(PlaylistPath, M3uPath, [this](const QString &path) {
                       return Services().PlayFile(path);
                   }));
}

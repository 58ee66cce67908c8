#include "playlists/create_playlist_page.h"

#include "base/application.h"
#include "base/ini_file.h"
#include "catalog/catalog.h"
#include "catalog/catalog_tree.h"
#include "pages/skin.h"
#include "playlists/playlist_file.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

TFormCreatePlaylist::TFormCreatePlaylist(TCatalog &catalog, QWidget *parent)
    : TCatalogTreePage(Id, catalog, QStringLiteral("CreatePlaylist"),
                       QStringLiteral("Playlist Making"), QRect(8, 8, 153, 359),
                       QStringLiteral("Click tracks you want to add to the playlist, type playlist "
                                      "name and then press the button. Only checked tracks will "
                                      "be added!"),
                       QRect(192, 120, 393, 161), true, parent)
{
    QLabel *aboveTree =
        CreateLabel(QStringLiteral("LabelAboveListView"), QRect(192, 96, 385, 23),
                    QStringLiteral("AboveListView"),
                    QStringLiteral("Select tracks you want to include in playlist."), 16);
    QLabel *aboveName =
        CreateLabel(QStringLiteral("LabelAboveEditName"), QRect(192, 283, 385, 23),
                    QStringLiteral("AboveEditName"), QStringLiteral("Type playlist name."), 16);
    m_editName = new QLineEdit(this);
    m_editName->setObjectName(QStringLiteral("EditName"));
    m_editName->setGeometry(192, 305, 393, 24);
    m_editName->setFont(PageFont(13));
    CreateButtonGroup(
        BottomBase(1),
        {{"SavePlaylist", "Save the playlist", "save", [this](TFormBase *) { SavePlaylist(); }}},
        0);
    NameAfter(TreeViewCatalog(), aboveTree);
    NameAfter(m_editName, aboveName);
    FinishPage({aboveTree, TreeViewCatalog(), aboveName, m_editName});
}

void TFormCreatePlaylist::ReadTexts(const TSkinFile &texts)
{
    TCatalogTreePage::ReadTexts(texts);
    MustTypeText = ReadText(texts, Section(), QStringLiteral("MustType"), MustTypeText);
    PlaylistNameText = ReadText(texts, Section(), QStringLiteral("PlaylistName"), PlaylistNameText);
    WrongNameText = ReadText(texts, Section(), QStringLiteral("WrongName"), WrongNameText);
    TypeAnotherText =
        ReadText(texts, Section(), QStringLiteral("TypeAnotherName"), TypeAnotherText);
    MustCheckText = ReadText(texts, Section(), QStringLiteral("MustCheck"), MustCheckText);
    SomeTracksText = ReadText(texts, Section(), QStringLiteral("SomeTracks"), SomeTracksText);
}

void TFormCreatePlaylist::PageMessage(int message)
{
    if (message != MSG_LOAD_CATALOG)
        return;
    QCoreApplication::processEvents();
    if (ApplicationEnding() || isHidden())
        return;
    FillTree(false);
}

void TFormCreatePlaylist::SavePlaylist()
{
    const QString name = m_editName->text();
    if (name.isEmpty()) {
        Messages()->Show(MustTypeText, PlaylistNameText);
        return;
    }
    // The name becomes a file name in the data folder and must stay one.
    if (name.contains(QLatin1Char('/')) || name == QLatin1String(".")
        || name == QLatin1String("..")) {
        Messages()->Show(WrongNameText, TypeAnotherText);
        return;
    }
    const TBaseStringList &catalog = m_catalog.Records();
    QStringList records;
    ForEachTrackNode(TreeViewCatalog(), [&](TCatalogTreeItem *track) {
        if (track->Check() == CheckChecked && track->RecordIndex < catalog.Count())
            records.append(catalog.Line(track->RecordIndex));
    });
    // An empty playlist would only be listed to play nothing.
    if (records.isEmpty()) {
        Messages()->Show(MustCheckText, SomeTracksText);
        return;
    }
    WritePlaylist(name, records);
    SwitchPage(this, TPageId::PlayList);
}

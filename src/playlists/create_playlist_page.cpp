#include "playlists/create_playlist_page.h"

#include "app/application.h"
#include "app/ini_file.h"
#include "catalog/base_string_list.h"
#include "catalog/catalog_tree.h"
#include "catalog/view_catalog_page.h"
#include "pages/skin.h"
#include "pages/state_tree.h"
#include "playlists/play_list_page.h"
#include "playlists/playlist_file.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

TFormCreatePlaylist *FormCreatePlaylist = nullptr;

// The catalog of the catalog view page; an empty one while that page does not exist.
static TBaseStringList &SharedCatalog()
{
    static TBaseStringList empty;
    return FormViewCatalog ? FormViewCatalog->Catalog() : empty;
}

TFormCreatePlaylist::TFormCreatePlaylist(QWidget *parent)
    : TCatalogTreePage(QStringLiteral("CreatePlaylist"), QStringLiteral("Playlist Making"),
                       QRect(8, 8, 153, 359),
                       QStringLiteral("Click tracks you want to add to the playlist, type playlist "
                                      "name and then press the button. Only checked tracks will "
                                      "be added!"),
                       QRect(192, 120, 393, 161), true, parent)
{
    FormCreatePlaylist = this;
    QLabel *aboveTree =
        CreateLabel(QStringLiteral("LabelAboveListView"), QRect(192, 96, 385, 23),
                    QStringLiteral("AboveListView"),
                    QStringLiteral("Select tracks you want to include in playlist."));
    aboveTree->setFont(PageFont(16));
    QLabel *aboveName =
        CreateLabel(QStringLiteral("LabelAboveEditName"), QRect(192, 283, 385, 23),
                    QStringLiteral("AboveEditName"), QStringLiteral("Type playlist name."));
    aboveName->setFont(PageFont(16));
    EditName = new QLineEdit(this);
    EditName->setObjectName(QStringLiteral("EditName"));
    EditName->setGeometry(192, 305, 393, 24);
    EditName->setFont(PageFont(13));
    CreateButtonGroup(
        BottomBase(1),
        {{"SavePlaylist", "Save the playlist", "save", [this](TFormBase *) { SavePlaylist(); }}},
        0);
    FinishPage({aboveTree, TreeViewCatalog, aboveName, EditName});
}

TFormCreatePlaylist::~TFormCreatePlaylist()
{
    if (FormCreatePlaylist == this)
        FormCreatePlaylist = nullptr;
}

void TFormCreatePlaylist::ReadTexts(const TIniFile &texts)
{
    MustTypeText = ReadText(texts, Section(), QStringLiteral("MustType"), MustTypeText);
    PlaylistNameText = ReadText(texts, Section(), QStringLiteral("PlaylistName"), PlaylistNameText);
    WrongNameText = ReadText(texts, Section(), QStringLiteral("WrongName"), WrongNameText);
    TypeAnotherText =
        ReadText(texts, Section(), QStringLiteral("TypeAnotherName"), TypeAnotherText);
}

const TBaseStringList &TFormCreatePlaylist::ShownCatalog()
{
    return SharedCatalog();
}

void TFormCreatePlaylist::PageMessage(int message)
{
    if (message != MSG_LOAD_CATALOG)
        return;
    QCoreApplication::processEvents();
    if (ApplicationEnding() || isHidden())
        return;
    const QString composer =
        FormViewCatalog ? FormViewCatalog->ComposerRootText : QStringLiteral("Composer");
    const QString artist =
        FormViewCatalog ? FormViewCatalog->ArtistRootText : QStringLiteral("Artist");
    FillCatalogTree(TreeViewCatalog, SharedCatalog(), false, composer, artist);
}

void TFormCreatePlaylist::SavePlaylist()
{
    const QString name = EditName->text();
    if (name.isEmpty()) {
        ShowPageMessage(MustTypeText, PlaylistNameText);
        return;
    }
    // The name becomes a file name in the data folder and must stay one.
    if (name.contains(QLatin1Char('/')) || name == QLatin1String(".")
        || name == QLatin1String("..")) {
        ShowPageMessage(WrongNameText, TypeAnotherText);
        return;
    }
    const TBaseStringList &catalog = SharedCatalog();
    QStringList records;
    ForEachTrackNode(TreeViewCatalog, [&](TCatalogTreeItem *track) {
        if (track->Check() == CheckChecked && track->RecordIndex < catalog.Count())
            records.append(catalog.Line(track->RecordIndex));
    });
    WritePlaylist(name, records);
    SwitchPage(this, FormPlayList);
}

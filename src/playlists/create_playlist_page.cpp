#include "playlists/create_playlist_page.h"

#include "app/application.h"
#include "app/ini_file.h"
#include "catalog/base_string_list.h"
#include "catalog/catalog_tree.h"
#include "catalog/view_catalog_page.h"
#include "pages/main_form.h"
#include "pages/skin.h"
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
    : TFormBase(QStringLiteral("CreatePlaylist"), QStringLiteral("Playlist Making"), parent)
{
    FormCreatePlaylist = this;
    const QList<QPixmap> top = ButtonPictures({"return_main", "exit"});
    const QList<QPixmap> bottom = ButtonPictures({"save"});
    const int bottomBase = BottomBase(1);
    CreateIconButton(TopBase, 0, false, [](TFormBase *page) { SwitchPage(page, FormMain); }, top,
                     QStringLiteral("ButtonReturnToMain"));
    CreateIconButton(TopBase, 1, false, [](TFormBase *) { EndApplication(); }, top,
                     QStringLiteral("ButtonExit"));
    CreateIconButton(bottomBase, 0, true, [this](TFormBase *) { SavePlaylist(); }, bottom,
                     QStringLiteral("ButtonSavePlaylist"));

    LabelHint = CreateLabel(QStringLiteral("LabelHint"), QRect(8, 8, 153, 359), QStringLiteral("Hint"),
                            QStringLiteral("Click tracks you want to add to the playlist, type "
                                           "playlist name and then press the button. Only checked "
                                           "tracks will be added!"),
                            false);
    LabelHint->setFont(PageFont(13));
    LabelHint->setWordWrap(true);
    LabelHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTextColor(LabelHint, Qt::white);
    CreateButtonLabel(QStringLiteral("LabelReturnToMain"), TopBase, 0,
                      QStringLiteral("ReturnToMain"), QStringLiteral("Return to main menu"));
    CreateButtonLabel(QStringLiteral("LabelExit"), TopBase, 1, QStringLiteral("Exit"),
                      QStringLiteral("Exit"));
    QLabel *aboveTree = CreateLabel(QStringLiteral("LabelAboveListView"), QRect(192, 96, 385, 23),
                                    QStringLiteral("AboveListView"),
                                    QStringLiteral("Select tracks you want to include in playlist."));
    aboveTree->setFont(PageFont(16));

    TreeViewCatalog = new TStateTree(this);
    TreeViewCatalog->setObjectName(QStringLiteral("TreeViewCatalog"));
    TreeViewCatalog->setGeometry(192, 120, 393, 161);
    SetupCatalogTree(TreeViewCatalog);
    m_handler = new TCatalogTreeHandler(
        TreeViewCatalog, this, [](int index) { return SharedCatalog().Record(index).FileName; }, true);

    QLabel *aboveName = CreateLabel(QStringLiteral("LabelAboveEditName"), QRect(192, 283, 385, 23),
                                    QStringLiteral("AboveEditName"),
                                    QStringLiteral("Type playlist name."));
    aboveName->setFont(PageFont(16));
    EditName = new QLineEdit(this);
    EditName->setObjectName(QStringLiteral("EditName"));
    EditName->setGeometry(192, 305, 393, 24);
    EditName->setFont(PageFont(13));
    CreateButtonLabel(QStringLiteral("LabelSavePlaylist"), bottomBase, 0,
                      QStringLiteral("SavePlaylist"), QStringLiteral("Save the playlist"));

    SetupMessages(QRect(192, 176, 385, 23), QRect(192, 200, 385, 23),
                  {aboveTree, TreeViewCatalog, aboveName, EditName});
    Label1->setFont(PageFont(16));
    Label2->setFont(PageFont(16));
    ApplySkinAndTexts();
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
    TypeAnotherText = ReadText(texts, Section(), QStringLiteral("TypeAnotherName"), TypeAnotherText);
}

void TFormCreatePlaylist::FormShow()
{
    if (ShowTestMessageIfTestMode())
        return;
    PostPageMessage(this, MSG_LOAD_CATALOG);
}

void TFormCreatePlaylist::FormHide()
{
    m_handler->Stop();
    TreeViewCatalog->clear();
}

void TFormCreatePlaylist::PageMessage(int message)
{
    if (message != MSG_LOAD_CATALOG)
        return;
    QCoreApplication::processEvents();
    if (ApplicationEnding() || isHidden())
        return;
    const QString composer = FormViewCatalog ? FormViewCatalog->ComposerRootText : QStringLiteral("Composer");
    const QString artist = FormViewCatalog ? FormViewCatalog->ArtistRootText : QStringLiteral("Artist");
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
    if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") || name == QLatin1String("..")) {
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

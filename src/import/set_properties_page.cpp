#include "import/set_properties_page.h"

#include "catalog/catalog.h"
#include "catalog/catalog_record.h"
#include "import/copy_files_page.h"
#include "import/description_box.h"
#include "import/description_item.h"
#include "pages/services.h"
#include "pages/skin.h"
#include "platform/volumes.h"

#include <QLabel>
#include <QScopeGuard>
#include <QSet>
#include <QTimer>

TFormSetProperties::TFormSetProperties(TCatalog &catalog, QWidget *parent)
    : TFormBase(Id, QStringLiteral("SetDescription"),
                QStringLiteral("Setting Description of Tracks"), parent),
      m_catalog(catalog)
{
    LabelHint = CreateHintLabel(QRect(8, 8, 165, 363),
                                QStringLiteral("Click on every track or group of track "
                                               "successively and check that its description "
                                               "is valid."),
                                Qt::white);
    CreateButtonGroup(TopBase,
                      {
                          ReturnToMainButton(),
                          {"ReturnToSelection", "Return to group selection", "return_back",
                           [](TFormBase *from) { SwitchPage(from, TPageId::SelectFiles); }},
                          ExitButton(),
                      });
    CreateButtonGroup(BottomBase(1),
                      {{"AddToCatalog", "Add tracks to the catalog", "add_catalog",
                        [this](TFormBase *) { AddToCatalog(); }}},
                      0);

    TreeViewFiles = new TStateTree(this);
    TreeViewFiles->setObjectName(QStringLiteral("TreeViewFiles"));
    TreeViewFiles->setGeometry(192, 138, 393, 111);
    NameAfter(TreeViewFiles);
    // Only a click on a node's text selects it (TreeClicked); keys and the tree never do.
    TreeViewFiles->setSelectionMode(QAbstractItemView::NoSelection);
    // The selected node stays marked while the user types into a box.
    QPalette palette = TreeViewFiles->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    TreeViewFiles->setPalette(palette);
    TreeViewFiles->SetStatePictures(
        TreePictures({nullptr, "review_set", "review_new", "review_seen", "review_gone"}));
    // The hand-over brings the selection tree's pictures; these stand until then.
    TreeViewFiles->SetNodePictures(TreePictures({"track", "track_hot"}));
    TreeViewFiles->SetPointerVariants(1, 0);
    connect(TreeViewFiles, &TStateTree::ClickSettled, this,
            [this](const TTreeHit &hit) { RunReporting([&] { TreeClicked(hit); }); });
    // Moving with the keys loads a node as a click on its text does.
    connect(TreeViewFiles, &TStateTree::CurrentMovedByKey, this, [this](QTreeWidgetItem *item) {
        RunReporting([&] { TreeClicked({item, THitPart::Text}); });
    });
    connect(TreeViewFiles, &QTreeWidget::itemExpanded, this, [this] { ExpandedOrCollapsed(); });
    connect(TreeViewFiles, &QTreeWidget::itemCollapsed, this, [this] { ExpandedOrCollapsed(); });

    LabelAlbum = CreateCaption(QStringLiteral("Album"), QRect(192, 250, 121, 20));
    LabelComposer = CreateCaption(QStringLiteral("Composer"), QRect(328, 250, 121, 20));
    LabelArtist = CreateCaption(QStringLiteral("Artist"), QRect(464, 250, 121, 20));
    ComboBoxAlbum = CreateBox(QStringLiteral("ComboBoxAlbum"), QRect(192, 272, 121, 24));
    ComboBoxComposer = CreateBox(QStringLiteral("ComboBoxComposer"), QRect(328, 272, 121, 24));
    ComboBoxArtist = CreateBox(QStringLiteral("ComboBoxArtist"), QRect(464, 272, 121, 24));
    LabelName = CreateCaption(QStringLiteral("Name"), QRect(192, 306, 129, 20));
    ComboBoxName = CreateBox(QStringLiteral("ComboBoxName"), QRect(328, 304, 257, 24));
    NameAfter(ComboBoxAlbum, LabelAlbum);
    NameAfter(ComboBoxComposer, LabelComposer);
    NameAfter(ComboBoxArtist, LabelArtist);
    NameAfter(ComboBoxName, LabelName);
    setTabOrder(ComboBoxAlbum, ComboBoxComposer);
    setTabOrder(ComboBoxComposer, ComboBoxArtist);
    setTabOrder(ComboBoxArtist, ComboBoxName);
    m_fields = {
        {ComboBoxAlbum, &TNodeData::Albums, &TNodeData::Album, &TNodeData::SetAlbum},
        {ComboBoxComposer, &TNodeData::Composers, &TNodeData::Composer, &TNodeData::SetComposer},
        {ComboBoxArtist, &TNodeData::Artists, &TNodeData::Artist, &TNodeData::SetArtist},
        {ComboBoxName, &TNodeData::Names, &TNodeData::Name, &TNodeData::SetName},
    };
    for (const TBoxField &field : std::as_const(m_fields)) {
        connect(field.box, &QComboBox::editTextChanged, this,
                [this, field] { RunReporting([&] { BoxChanged(field); }); });
        if (field.box != ComboBoxName)
            connect(field.box, &TDescriptionBox::Left, this,
                    [this, box = field.box] { RememberTyped(box); });
    }

    SetupMessages({TreeViewFiles, LabelAlbum, LabelComposer, LabelArtist, LabelName, ComboBoxAlbum,
                   ComboBoxComposer, ComboBoxArtist, ComboBoxName});
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(3000);
    connect(Timer1, &QTimer::timeout, this, [this] { RunDropping([this] { CheckMedia(); }); });
    ApplySkinAndTexts();
}

QLabel *TFormSetProperties::CreateCaption(const QString &key, const QRect &place)
{
    QLabel *label = CreateLabel(QStringLiteral("Label") + key, place, key, key, 16);
    label->setTextFormat(Qt::PlainText);
    return label;
}

TDescriptionBox *TFormSetProperties::CreateBox(const QString &objectName, const QRect &place)
{
    auto *box = new TDescriptionBox(this);
    box->setObjectName(objectName);
    box->setGeometry(place);
    return box;
}

void TFormSetProperties::FormShow()
{
    TreeViewFiles->SetHotItem(nullptr);
    for (const TBoxField &field : std::as_const(m_fields)) {
        field.box->Reset();
        field.box->setEnabled(false);
    }
    Loading = false;
    Timer1->start();
    TreeViewFiles->clearSelection();
    Messages->ShowTestMessageIfTestMode();
}

void TFormSetProperties::FormHide()
{
    Timer1->stop();
    TreeViewFiles->DropHeldClick();
}

static const TVolume *FindVolume(const TVolumeList &volumes, const QString &root)
{
    for (const TVolume &volume : volumes.Volumes()) {
        if (volume.Root == root)
            return &volume;
    }
    return nullptr;
}

static void ShowGone(TDescriptionItem *group)
{
    group->SetStateIndex(ReviewGone);
    for (int i = 0; i < group->childCount(); ++i)
        group->Track(i)->SetStateIndex(ReviewGone);
}

void TFormSetProperties::CheckMedia()
{
    Timer1->stop();
    const auto restart = qScopeGuard([this] {
        if (!isHidden())
            Timer1->start();
    });
    const TVolumeList volumes = Services().CurrentVolumes();
    for (int i = 0; i < TreeViewFiles->topLevelItemCount(); ++i) {
        TDescriptionItem *group = TDescriptionItem::From(TreeViewFiles->topLevelItem(i));
        // A medium that is taken out is unmounted, so its volume leaves the list.
        const TVolume *volume = FindVolume(volumes, group->VolumeRoot);
        if (!volume || !MediaPresent(*volume)) {
            ShowGone(group);
            continue;
        }
        const QString folder = group->text(0);
        if (!volumes.FolderExists(folder))
            continue;
        group->SetStateIndex(group->Data.SavedState);
        const QStringList files = volumes.ListFolder(folder).Files;
        const QSet<QString> present(files.cbegin(), files.cend());
        for (int j = 0; j < group->childCount(); ++j) {
            TDescriptionItem *track = group->Track(j);
            if (present.contains(track->text(0)))
                track->SetStateIndex(track->Data.SavedState);
        }
    }
}

void TFormSetProperties::ReadTexts(const TSkinFile &texts)
{
    LeftOutText = ReadText(texts, Section(), QStringLiteral("LeftOut"), LeftOutText);
    LeftOutReasonText =
        ReadText(texts, Section(), QStringLiteral("LeftOutReason"), LeftOutReasonText);
}

void TFormSetProperties::TellLeftOut(int count)
{
    Messages->Show(LeftOutText + QLatin1Char(' ') + QString::number(count), LeftOutReasonText);
}

QStringList TFormSetProperties::BuildPendingRecords() const
{
    QStringList records;
    for (int i = 0; i < TreeViewFiles->topLevelItemCount(); ++i) {
        const TDescriptionItem *group = TDescriptionItem::From(TreeViewFiles->topLevelItem(i));
        for (int j = 0; j < group->childCount(); ++j) {
            const TDescriptionItem *track = group->Track(j);
            const TNodeData &chosen = track->Data;
            records.append(BuildRecord(QLatin1String(TrackKind), chosen.Composer, chosen.Artist,
                                       chosen.Album, QStringLiteral("0"), track->FullPath(),
                                       chosen.Name, QStringLiteral("0")));
        }
    }
    return records;
}

void TFormSetProperties::AddToCatalog()
{
    // An earlier list that never reached the catalog (its catalog view was left before it
    // merged) may name stored tracks: it joins the catalog before the new list takes its place.
    if (!m_catalog.PendingRecords.isEmpty())
        m_catalog.SavePending();
    m_catalog.PendingRecords = BuildPendingRecords();
    // Tracks from removable media are stored first; the copy page rewrites the records in
    // place to name the stored files. The others are catalogued where they are.
    if (auto *copy = Page<TFormCopyFiles>(); FromRemovable && copy) {
        copy->Catalog = &m_catalog;
        SwitchPage(this, copy);
    } else {
        SwitchPage(this, TPageId::ViewCatalog);
    }
}

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
    m_labelHint = CreateHintLabel(QRect(8, 8, 165, 363),
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

    m_treeViewFiles = new TStateTree(this);
    m_treeViewFiles->setObjectName(QStringLiteral("TreeViewFiles"));
    m_treeViewFiles->setGeometry(192, 138, 393, 111);
    NameAfter(m_treeViewFiles);
    // Only a click on a node's text selects it (TreeClicked); keys and the tree never do.
    m_treeViewFiles->setSelectionMode(QAbstractItemView::NoSelection);
    // The selected node stays marked while the user types into a box.
    QPalette palette = m_treeViewFiles->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    m_treeViewFiles->setPalette(palette);
    m_treeViewFiles->SetStatePictures(
        TreePictures({nullptr, "review_set", "review_new", "review_seen", "review_gone"}));
    // The hand-over brings the selection tree's pictures; these stand until then.
    m_treeViewFiles->SetNodePictures(TreePictures({"track", "track_hot"}));
    m_treeViewFiles->SetPointerVariants(1, 0);
    connect(m_treeViewFiles, &TStateTree::ClickSettled, this,
            [this](const TTreeHit &hit) { RunReporting([&] { TreeClicked(hit); }); });
    // Moving with the keys loads a node as a click on its text does.
    connect(m_treeViewFiles, &TStateTree::CurrentMovedByKey, this, [this](QTreeWidgetItem *item) {
        RunReporting([&] { TreeClicked({item, THitPart::Text}); });
    });
    connect(m_treeViewFiles, &QTreeWidget::itemExpanded, this, [this] { ExpandedOrCollapsed(); });
    connect(m_treeViewFiles, &QTreeWidget::itemCollapsed, this, [this] { ExpandedOrCollapsed(); });

    m_labelAlbum = CreateCaption(QStringLiteral("Album"), QRect(192, 250, 121, 20));
    m_labelComposer = CreateCaption(QStringLiteral("Composer"), QRect(328, 250, 121, 20));
    m_labelArtist = CreateCaption(QStringLiteral("Artist"), QRect(464, 250, 121, 20));
    m_comboBoxAlbum = CreateBox(QStringLiteral("ComboBoxAlbum"), QRect(192, 272, 121, 24));
    m_comboBoxComposer = CreateBox(QStringLiteral("ComboBoxComposer"), QRect(328, 272, 121, 24));
    m_comboBoxArtist = CreateBox(QStringLiteral("ComboBoxArtist"), QRect(464, 272, 121, 24));
    m_labelName = CreateCaption(QStringLiteral("Name"), QRect(192, 306, 129, 20));
    m_comboBoxName = CreateBox(QStringLiteral("ComboBoxName"), QRect(328, 304, 257, 24));
    NameAfter(m_comboBoxAlbum, m_labelAlbum);
    NameAfter(m_comboBoxComposer, m_labelComposer);
    NameAfter(m_comboBoxArtist, m_labelArtist);
    NameAfter(m_comboBoxName, m_labelName);
    setTabOrder(m_comboBoxAlbum, m_comboBoxComposer);
    setTabOrder(m_comboBoxComposer, m_comboBoxArtist);
    setTabOrder(m_comboBoxArtist, m_comboBoxName);
    m_fields = {
        {m_comboBoxAlbum, &TNodeData::Albums, &TNodeData::Album, &TNodeData::SetAlbum},
        {m_comboBoxComposer, &TNodeData::Composers, &TNodeData::Composer, &TNodeData::SetComposer},
        {m_comboBoxArtist, &TNodeData::Artists, &TNodeData::Artist, &TNodeData::SetArtist},
        {m_comboBoxName, &TNodeData::Names, &TNodeData::Name, &TNodeData::SetName},
    };
    for (const TBoxField &field : std::as_const(m_fields)) {
        connect(field.box, &QComboBox::editTextChanged, this,
                [this, field] { RunReporting([&] { BoxChanged(field); }); });
        if (field.box != m_comboBoxName)
            connect(field.box, &TDescriptionBox::Left, this,
                    [this, box = field.box] { RememberTyped(box); });
    }

    SetupMessages({m_treeViewFiles, m_labelAlbum, m_labelComposer, m_labelArtist, m_labelName,
                   m_comboBoxAlbum, m_comboBoxComposer, m_comboBoxArtist, m_comboBoxName});
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(3000);
    connect(m_timer1, &QTimer::timeout, this, [this] { RunDropping([this] { CheckMedia(); }); });
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
    m_treeViewFiles->SetHotItem(nullptr);
    for (const TBoxField &field : std::as_const(m_fields)) {
        field.box->Reset();
        field.box->setEnabled(false);
    }
    Loading = false;
    m_timer1->start();
    m_treeViewFiles->clearSelection();
    Messages()->ShowTestMessageIfTestMode();
}

void TFormSetProperties::FormHide()
{
    m_timer1->stop();
    m_treeViewFiles->DropHeldClick();
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
    m_timer1->stop();
    const auto restart = qScopeGuard([this] {
        if (!isHidden())
            m_timer1->start();
    });
    const TVolumeList volumes = Services().CurrentVolumes();
    for (int i = 0; i < m_treeViewFiles->topLevelItemCount(); ++i) {
        TDescriptionItem *group = TDescriptionItem::From(m_treeViewFiles->topLevelItem(i));
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
    Messages()->Show(LeftOutText + QLatin1Char(' ') + QString::number(count), LeftOutReasonText);
}

QStringList TFormSetProperties::BuildPendingRecords() const
{
    QStringList records;
    for (int i = 0; i < m_treeViewFiles->topLevelItemCount(); ++i) {
        const TDescriptionItem *group = TDescriptionItem::From(m_treeViewFiles->topLevelItem(i));
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

#include "search/select_files_page.h"

#include "base/application.h"
#include "base/ini_file.h"
#include "pages/services.h"
#include "pages/skin.h"
#include "platform/volumes.h"
#include "search/search_page.h"
#include "search/track_data.h"
#include "search/track_scan.h"

#include <QLabel>
#include <QTimer>

TSelectFilesItem *TFormSelectFiles::Node(QTreeWidgetItem *item)
{
    return TSelectFilesItem::From(item);
}

// Puts what a walk finds into the tree, and lets the walk go on only while its run is wanted.
class TFormSelectFiles::TTreeSink : public TTrackScanSink {
public:
    TTreeSink(TFormSelectFiles *page, int run, const TVolumeList &volumes)
        : m_page(page), m_run(run), m_volumes(volumes)
    {}

    bool Pump() override
    {
        m_page->m_pump.Pump();
        return m_page->StillWanted(m_run);
    }

    void BeginLocation(const QString &path) override
    {
        ++m_page->m_walkedLocations;
        if (const TVolume *volume = m_volumes.VolumeOf(path))
            m_page->m_settledVolumes.append(*volume);
    }

    void ShowFolder(const QString &folder) override { m_page->ShowScanFolder(folder); }

    void AddFolder(const QString &folder) override
    {
        m_folder = new TSelectFilesItem(folder, State(), 0);
        m_page->m_treeViewFiles->addTopLevelItem(m_folder);
        m_page->m_icons.FolderIcon(m_folder, folder, m_page->m_treeViewFiles, m_volumes);
        m_first = true;
    }

    void AddTrack(const QString &name, std::unique_ptr<TSelectFilesData> record) override
    {
        // Later tracks follow the folder, which the user may have toggled meanwhile.
        const int state = m_first ? State() : (Checked(m_folder) ? StateChecked : StateUnchecked);
        m_folder->addChild(new TSelectFilesItem(name, state, ImageTrack, std::move(record)));
        m_page->FoundTracks = true;
        m_first = false;
        m_page->ShowProgress(false);
    }

    void EndFolder() override { m_folder->sortChildren(0, Qt::AscendingOrder); }

private:
    int State() const { return m_page->DeselectPending ? StateUnchecked : StateChecked; }

    TFormSelectFiles *m_page;
    int m_run;
    const TVolumeList &m_volumes;
    TSelectFilesItem *m_folder = nullptr;
    bool m_first = false;
};

// Counts the scan and media-check handlers on the stack; when the last one returns, a start
// message that arrived meanwhile is posted again.
struct TFormSelectFiles::TWalkGuard {
    explicit TWalkGuard(TFormSelectFiles *page) : m_page(page) { ++m_page->m_activeWalks; }
    ~TWalkGuard()
    {
        if (--m_page->m_activeWalks == 0 && m_page->m_restartPending) {
            m_page->m_restartPending = false;
            if (!m_page->isHidden() && !ApplicationEnding())
                PostPageMessage(m_page, MSG_START_SCAN);
        }
    }
    TFormSelectFiles *m_page;
};

TFormSelectFiles::TFormSelectFiles(QWidget *parent)
    : TFormBase(Id, QStringLiteral("SelectTracks"),
                QStringLiteral("Tracks Selection to Add to the Catalog"), parent)
{
    m_labelHint = CreateHintLabel(
        QRect(8, 8, 165, 363), QStringLiteral("Click tracks you don't want to add to the catalog."),
        Qt::red);

    CreateReturnButtons(this);
    CreateButtonGroup(BottomBase(2),
                      {
                          {"DeselectAll", "Deselect all tracks", "deselect",
                           [this](TFormBase *) { DeselectAll(); }},
                          {"SetDescription", "Set tracks description", "describe",
                           [this](TFormBase *) { SetTracksDescription(); }},
                      },
                      1);
    m_labelAboveTreeView =
        CreateLabel(QStringLiteral("LabelAboveTreeView"), QRect(192, 136, 385, 23),
                    QStringLiteral("AboveTreeView"),
                    QStringLiteral("Choose tracks or groups of track to add to the catalog."), 16);

    m_treeViewFiles = new TStateTree(this);
    m_treeViewFiles->setObjectName(QStringLiteral("TreeViewFiles"));
    m_treeViewFiles->setGeometry(192, 162, 393, 120);
    NameAfter(m_treeViewFiles, m_labelAboveTreeView);
    m_treeViewFiles->SetStatePictures(
        TreePictures({nullptr, "check_on", "check_off", "check_on_hot", "check_off_hot"}));
    m_treeViewFiles->SetNodePictures(TreePictures({"track", "track_hot"}));
    m_treeViewFiles->SetPointerVariants(ImageTrackHot - ImageTrack, StateHotOffset);
    m_treeViewFiles->viewport()->installEventFilter(this);
    connect(m_treeViewFiles, &TStateTree::ClickSettled, this,
            [this](const TTreeHit &hit) { RunReporting([&] { TreeClicked(hit); }); });
    connect(m_treeViewFiles, &TStateTree::PointerMoved, this,
            [this](const TTreeHit &hit) { RunReporting([&] { ShowHoverHint(hit); }); });

    SetupMessages({m_labelAboveTreeView, m_treeViewFiles});
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, [this] { RunDropping([this] { WatchMedia(); }); });

    ApplySkinAndTexts();
    m_normalAboveText = m_labelAboveTreeView->text();
    m_normalHint = m_labelHint->text();
    m_normalCaption = CaptionText();
}

TFormSelectFiles::~TFormSelectFiles()
{
    // A walk still on the stack must not touch the tree once the page is going.
    ++m_run;
}

void TFormSelectFiles::ReadTexts(const TSkinFile &texts)
{
    m_seekingCaption =
        ReadText(texts, Section(), QStringLiteral("SeekingCaption"), m_seekingCaption);
    Services().UnknownText =
        ReadText(texts, Section(), QStringLiteral("Unknown"), QStringLiteral("Unknown"));
    // The hover hint names the title with the caption of the description page's name box.
    m_nameCaption =
        ReadText(texts, QStringLiteral("SetDescription"), QStringLiteral("Name"), m_nameCaption);
    LeftOutText = ReadText(texts, Section(), QStringLiteral("LeftOut"), LeftOutText);
    LeftOutReasonText =
        ReadText(texts, Section(), QStringLiteral("LeftOutReason"), LeftOutReasonText);
    FoundText = ReadText(texts, Section(), QStringLiteral("FoundSoFar"), FoundText);
    WaitText = ReadText(texts, Section(), QStringLiteral("WaitForSearch"), WaitText);
}

void TFormSelectFiles::FormShow()
{
    m_treeViewFiles->SetHotItem(nullptr);
    SetCaptionText(m_normalCaption);
    Scanning = false;
    DeselectPending = false;
    m_handOverWaits = false;
    m_labelHint->setText(m_normalHint);
    if (Messages()->ShowTestMessageIfTestMode())
        return;
    PostPageMessage(this, MSG_START_SCAN);
}

void TFormSelectFiles::FormHide()
{
    m_timer1->stop();
    m_handOverWaits = false;
    m_treeViewFiles->DropHeldClick();
}

void TFormSelectFiles::PageMessage(int message)
{
    if (message == MSG_START_SCAN)
        StartScan();
}

bool TFormSelectFiles::StillWanted(int run) const
{
    return run == m_run && !ApplicationEnding() && !isHidden();
}

void TFormSelectFiles::StartScan()
{
    // A start that arrives while a walk is still on the stack must not clear the tree under
    // it: the walk is told to end, and the scan starts afresh once it has returned.
    if (m_activeWalks > 0) {
        ++m_run;
        m_restartPending = true;
        return;
    }
    const TWalkGuard guard(this);
    const int run = ++m_run;
    Scanning = true;
    m_treeViewFiles->clear();
    m_leftOutTold.clear();
    m_treeViewFiles->TruncateNodePictures(FirstFolderImage);
    m_icons.Clear();
    SetCaptionText(m_seekingCaption);
    ShowProgress(true);
    m_pump.Force();
    if (ApplicationEnding())
        return;
    const TVolumeList volumes = Services().CurrentVolumes();
    m_settledVolumes.clear();
    m_chosenFolderSeen = SearchMode == 2 && volumes.FolderExists(ChosenFolder);
    TTreeSink sink(this, run, volumes);
    TTrackWalk walk(volumes, Services().Settings, Services().ProgramFolder, sink);
    if (SearchMode == 0 || SearchMode == 1)
        walk.DrivePass(SearchMode == 0);
    else
        walk.ScanLocation(ChosenFolder);
    if (ApplicationEnding() || run != m_run)
        return;
    SetCaptionText(m_normalCaption);
    m_treeViewFiles->sortItems(0, Qt::AscendingOrder);
    FinishWalk(walk);
}

void TFormSelectFiles::FinishWalk(const TTrackWalk &walk)
{
    Scanning = false;
    DeselectPending = false;
    m_labelHint->setText(m_normalHint);
    m_progressShown.invalidate();
    TellLeftOut(walk);
    if (isHidden())
        return;
    m_timer1->start();
    if (std::exchange(m_handOverWaits, false))
        SetTracksDescription();
}

void TFormSelectFiles::ShowProgress(bool force)
{
    if (!force && m_progressShown.isValid() && m_progressShown.elapsed() < ProgressIntervalMs)
        return;
    m_progressShown.start();
    int tracks = 0;
    for (int i = 0; i < m_treeViewFiles->topLevelItemCount(); ++i)
        tracks += m_treeViewFiles->topLevelItem(i)->childCount();
    QString text = m_normalHint + QStringLiteral("\n\n") + FoundText + QLatin1Char(' ')
        + QString::number(tracks);
    if (m_handOverWaits)
        text += QLatin1Char('\n') + WaitText;
    m_labelHint->setText(text);
}

// Measuring a text shapes it, which for the caption's fixed part costs more than the rest of
// a folder's scan: it is measured again only when that text or the font has changed.
int TFormSelectFiles::SeekingWidth()
{
    const QString seeking = Title() + QStringLiteral(" - ") + m_seekingCaption;
    if (seeking != m_seekingMeasured.Text || font() != m_seekingMeasured.Font)
        m_seekingMeasured = {seeking, font(), QFontMetrics(font()).horizontalAdvance(seeking)};
    return m_seekingMeasured.Width;
}

void TFormSelectFiles::ShowScanFolder(const QString &folder)
{
    const QFontMetrics metrics(font());
    const int width = qMax(0, this->width() - SeekingWidth() - 100);
    SetCaptionText(m_seekingCaption + QStringLiteral(" [")
                   + metrics.elidedText(folder, Qt::ElideMiddle, width) + QLatin1Char(']'));
}

// A media check walks a drive again when it comes back (a disc put in again): what was told
// once is not told again until the next scan.
void TFormSelectFiles::TellLeftOut(const TTrackWalk &walk)
{
    const QSet<QString> untold = walk.LeftOut() - m_leftOutTold;
    if (untold.isEmpty() || isHidden())
        return;
    m_leftOutTold += untold;
    Messages()->Show(LeftOutText + QLatin1Char(' ') + QString::number(untold.size()),
                     LeftOutReasonText);
}

void TFormSelectFiles::PruneGoneFolders(const TVolumeList &volumes)
{
    for (int i = m_treeViewFiles->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem *folder = m_treeViewFiles->topLevelItem(i);
        if (!volumes.FolderExists(folder->text(0)))
            delete folder;
    }
}

bool TFormSelectFiles::HasFolderNode(const TVolumeList &volumes, const TVolume &volume) const
{
    for (int i = 0; i < m_treeViewFiles->topLevelItemCount(); ++i) {
        if (volumes.VolumeOf(m_treeViewFiles->topLevelItem(i)->text(0)) == &volume)
            return true;
    }
    return false;
}

void TFormSelectFiles::WatchMedia()
{
    m_timer1->stop();
    const TWalkGuard guard(this);
    const int run = ++m_run;
    const TVolumeList volumes = Services().CurrentVolumes();
    PruneGoneFolders(volumes);
    Scanning = true;
    FoundTracks = false;
    const bool chosenExists = SearchMode == 2 && volumes.FolderExists(ChosenFolder);
    const bool chosenAppeared = chosenExists && !m_chosenFolderSeen;
    TTreeSink sink(this, run, volumes);
    TTrackWalk walk(volumes, Services().Settings, Services().ProgramFolder, sink);
    for (const TVolume &volume : volumes.Volumes()) {
        m_pump.Force();
        if (!StillWanted(run))
            return;
        if (!MediaPresent(volume) || HasFolderNode(volumes, volume))
            continue;
        // Only what came or changed since the last check is walked: a whole disk without
        // tracks would otherwise be walked again every second.
        const bool changed = !m_settledVolumes.contains(volume);
        if (SearchMode != 2 && changed && TakenByDrivePass(SearchMode == 0, DriveType(volume)))
            walk.ScanLocation(volume.Root);
        else if (SearchMode == 2 && (changed || chosenAppeared)
                 && volumes.VolumeOf(ChosenFolder) == &volume)
            walk.ScanLocation(ChosenFolder);
    }
    if (ApplicationEnding() || run != m_run)
        return;
    m_settledVolumes.clear();
    for (const TVolume &volume : volumes.Volumes()) {
        if (MediaPresent(volume))
            m_settledVolumes.append(volume);
    }
    m_chosenFolderSeen = chosenExists;
    if (FoundTracks) {
        // The user keeps the place he was looking at while the new folders fall into order.
        QTreeWidgetItem *top = m_treeViewFiles->itemAt(0, 0);
        m_treeViewFiles->setUpdatesEnabled(false);
        m_treeViewFiles->sortItems(0, Qt::AscendingOrder);
        if (top)
            m_treeViewFiles->scrollToItem(top, QAbstractItemView::PositionAtTop);
        m_treeViewFiles->setUpdatesEnabled(true);
        SetCaptionText(m_normalCaption);
    }
    FinishWalk(walk);
}

void TFormSelectFiles::SetTracksDescription()
{
    // Handed over now, the tracks still to be found would be left out without a word.
    if (Scanning) {
        m_handOverWaits = true;
        ShowProgress(true);
        return;
    }
    if (DescriptionHandOver)
        DescriptionHandOver();
}

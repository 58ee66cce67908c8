#pragma once

#include "pages/page_form.h"
#include "pages/state_tree.h"
#include "platform/volumes.h"
#include "search/folder_icon.h"
#include "search/message_pump.h"
#include "search/select_files_item.h"

#include <QElapsedTimer>
#include <QFont>
#include <QSet>
#include <functional>

class QLabel;
class QTimer;
class TTrackWalk;

// The track selection page: scans removable drives, fixed drives or one folder for MP3, WAV
// and WMA files, shows them as folders with tracks to check, and keeps watching the drives
// while it is shown.
class TFormSelectFiles final : public TFormBase {
    Q_OBJECT
public:
    // Check states and node pictures of the tree.
    enum {
        StateChecked = 1,
        StateUnchecked = 2,
        StateHotOffset = 2, // a state under the pointer is the normal one plus 2
        ImageTrack = 0,
        ImageTrackHot = 1,
        FirstFolderImage = 2
    };

    static constexpr TPageId Id = TPageId::SelectFiles;

    explicit TFormSelectFiles(QWidget *parent = nullptr);
    ~TFormSelectFiles() override;

    // Inputs, set by the page that switches here.
    int SearchMode = 0; // 0 removable, network and CD drives; 1 fixed drives; 2 ChosenFolder
    bool FromRemovable = false; // the tracks come from removable media and are to be copied
    QString ChosenFolder;       // mode 2: the folder, ending in "/"

    bool Scanning = false;
    bool DeselectPending = false;
    bool FoundTracks = false;
    bool MessageShown() const { return Messages()->Presenting(); }
    const QString &NormalAboveText() const { return m_normalAboveText; }

    QLabel *LabelHint() const { return m_labelHint; }
    QLabel *LabelAboveTreeView() const { return m_labelAboveTreeView; }
    TStateTree *TreeViewFiles() const { return m_treeViewFiles; }
    QTimer *Timer1() const { return m_timer1; }

    static TSelectFilesItem *Node(QTreeWidgetItem *item);
    // How many locations (volume roots, the chosen folder) the scans and media checks have
    // walked since the page was created.
    int WalkedLocations() const { return m_walkedLocations; }

    void DeselectAll();
    void WatchMedia();
    void ToggleCheck(QTreeWidgetItem *node, THitPart hit);
    // "Set tracks description" and Enter: runs DescriptionHandOver.
    void SetTracksDescription();
    // Hands the checked tracks to the description page. That page lies in a folder above
    // this one, so the program sets this when it creates its pages.
    std::function<void()> DescriptionHandOver;

    // The message after a scan that left out files or folders whose names are not UTF-8:
    // LeftOutText and the count, then LeftOutReasonText.
    QString LeftOutText = QStringLiteral("Tracks or folders left out:");
    QString LeftOutReasonText = QStringLiteral("their names are not valid UTF-8.");
    // Under the hint while the tracks are sought: FoundText and the number found so far; then
    // WaitText once "Set tracks description" waits for the search to end.
    QString FoundText = QStringLiteral("Tracks found so far:");
    QString WaitText = QStringLiteral("The description follows when the search ends.");

protected:
    void FormShow() override;
    void FormHide() override;
    void PageMessage(int message) override;
    void ReadTexts(const TSkinFile &texts) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class TTreeSink;
    friend class TTreeSink;
    struct TWalkGuard;

    void StartScan();
    // The end of a scan or media check that ran to its end.
    void FinishWalk(const TTrackWalk &walk);
    // The number of tracks in the tree under the hint, at most every ProgressIntervalMs
    // unless forced: the walk goes on between.
    void ShowProgress(bool force);
    bool StillWanted(int run) const;
    void ShowScanFolder(const QString &folder);
    int SeekingWidth();
    void TellLeftOut(const TTrackWalk &walk);
    void PruneGoneFolders(const TVolumeList &volumes);
    bool HasFolderNode(const TVolumeList &volumes, const TVolume &volume) const;
    void TreeClicked(const TTreeHit &hit);
    void ShowHoverHint(const TTreeHit &hit);

    QString m_normalCaption;
    QString m_seekingCaption = QStringLiteral("Seeking in");
    // The caption's fixed part while scanning, with the font it was measured in and its width.
    struct {
        QString Text;
        QFont Font;
        int Width = 0;
    } m_seekingMeasured;
    QString m_normalAboveText;
    QString m_normalHint;
    static constexpr int ProgressIntervalMs = 100;
    QElapsedTimer m_progressShown;
    bool m_handOverWaits = false; // "Set tracks description" waits for the walk's end
    QString m_nameCaption = QStringLiteral("Name");
    TFolderIconCache m_icons;
    TMessagePump m_pump;
    QSet<QString> m_leftOutTold; // since the scan began
    int m_run = 0;               // the scan or media check that may go on; older ones end
    int m_activeWalks = 0;       // handlers of scans and media checks on the stack
    bool m_restartPending = false;
    // The volumes a media check leaves alone unless they change: those walked since the scan
    // began and those present at the last check. Whether the chosen folder existed then.
    QList<TVolume> m_settledVolumes;
    bool m_chosenFolderSeen = false;
    int m_walkedLocations = 0;
    QLabel *m_labelHint;
    QLabel *m_labelAboveTreeView;
    TStateTree *m_treeViewFiles;
    QTimer *m_timer1; // media check
};

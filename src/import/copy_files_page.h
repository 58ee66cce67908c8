#pragma once

#include "import/copy_run.h"
#include "pages/page_form.h"

#include <QElapsedTimer>

class QProgressBar;
class TCatalog;

// The copy page: stores the described tracks of removable media in the storage folder (one
// folder per artist and album), ripping CD tracks and converting them to WMA, and rolls the
// whole run back when it cannot finish or the user stops it. Then it goes to the catalog view,
// which merges the stored records, or where the user asked to go meanwhile.
class TFormCopyFiles final : public TFormBase, private TCopyView {
    Q_OBJECT
public:
    static constexpr TPageId Id = TPageId::CopyFiles;

    explicit TFormCopyFiles(QWidget *parent = nullptr);

    // Set by the description page before it switches here: the catalog whose pending records
    // are to be stored; the run rewrites them in place. Dropped when a run ends.
    TCatalog *Catalog = nullptr;

    bool Busy = false;
    // Where to go once the run is over; the buttons and the close box only set it while Busy.
    TCopyRequest Request = rqNone;

    QLabel *LabelHint() const { return m_labelHint; }
    QLabel *LabelProgress() const { return m_labelProgress; }
    QLabel *LabelCopied() const { return m_labelCopied; }

    // The texts of the page's work, from section "CopyFiles" of the text file.
    struct TTexts {
        QString CopyingProgress = QStringLiteral("Tracks copying");
        QString CopyHint = QStringLiteral("Wait while copying finished.");
        QString RollbackProgress = QStringLiteral("Copying results rolling back");
        QString RollbackHint = QStringLiteral("Wait while rollback finished.");
        QString Copied = QStringLiteral("Copied");
        QString Deleted = QStringLiteral("Deleted");
        QString From = QStringLiteral("tracks from");
        QString Reason = QStringLiteral("Reason");
        QString Extracted = QStringLiteral("Extracted");
        QString SecondsOf = QStringLiteral("seconds of track");
        QString Minutes = QStringLiteral("minutes");
        QString Conversion = QStringLiteral("Conversion to WMA format. Please wait...");
        QString Skipped = QStringLiteral("Skipped");
        QString RecordsWaiting =
            QStringLiteral("The tracks just stored join the catalog at its next save or start.");
        QString StorageTooLong =
            QStringLiteral("The storage folder's path is too long for the catalog.");
        QString TimeLeft = QStringLiteral("Time left: about");
        QString Seconds = QStringLiteral("seconds");
    };
    const TTexts &Texts() const { return m_texts; }

    // Runs once per showing: stores the pending records, or rolls back, then switches.
    void CopyRun();
    bool FormCloseQuery() override;
    // Escape leaves a finished page only: during a run it would roll the import back.
    bool FormKeyPress(int key) override;

protected:
    void FormShow() override;
    void PageMessage(int message) override;
    void ReadTexts(const TSkinFile &texts) override;

private:
    void ShowTrack(const QString &source, int position, qint64 bytesDone,
                   qint64 bytesTotal) override;
    void ShowCopied(int position, int stored, int count) override;
    void ShowConverting(bool converting) override;
    bool ShowExtracted(int seconds, int track) override;
    bool PumpAndAskStop() override;
    void ShowDeleted(int done, int count) override;

    // A button or the close box: acts at once when idle, else records where to go.
    void Ask(TCopyRequest request);
    void Go(TCopyRequest request);
    void RollBack(TCopyRun &run, const QString &reason);
    // A completed run's records join the catalog, which keeps the run's journal (if any is
    // left to keep) until its file holds them; saved now when asked. The text of a failed
    // save, which leaves them waiting in the journal.
    QString HandOverRecords(TCatalog &catalog, const QString &journal, bool save);
    void ShowSkipped(int skipped, int count, const QString &reason);
    QString Counted(const QString &word, int done, int count) const;
    // Lets the page paint for ms milliseconds; user input waits unless allowed.
    void Pause(int ms, bool input);
    // Label2: the current track's name, then its step (extraction or conversion), if any.
    void ShowStep(const QString &step);

    TTexts m_texts;
    QString m_trackName;      // elided to the width of Label2
    QElapsedTimer m_runClock; // since the first track began
    QLabel *m_labelHint;
    QLabel *m_labelProgress;
    QProgressBar *m_progressBar1;
    QLabel *m_labelCopied; // "Label1": Copied n tracks from m; Deleted n tracks from m
    QLabel *m_labelStep;   // "Label2": the current track's extraction or conversion
};

// The last line of an error text (all of it when it has no line break).
QString LastLine(const QString &text);

// How long the rest of a run will take, in seconds, when its first bytesDone bytes took
// elapsedMs; -1 while too little is done to tell (the first few tracks, unless they hold a
// tenth of the bytes; no bytes).
qint64 SecondsLeft(int position, qint64 elapsedMs, qint64 bytesDone, qint64 bytesTotal);

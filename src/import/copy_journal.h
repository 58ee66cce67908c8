#pragma once

#include "platform/file_system.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class TCatalog;

// One step a copy run takes in the storage folder.
struct TJournalStep {
    enum TKind : char {
        Folder = 'D', // the folder Path is made
        Work = 'W',   // a hidden work file or folder of the run (".quavermill-…") is made at Path
        Aside = 'K',  // the file at Path, of an earlier import, is moved aside to Other
        Place = 'P',  // the finished file Other, whose identity is Id, takes the name Path
    };
    TKind Kind = Folder;
    QString Path;
    QString Other;
    TFileId Id;
};

// Undoes one step, whether or not it was taken, or taken and undone already: a folder goes
// when it is empty, a work file or folder goes, a file moved aside comes back under its name,
// a placed file goes when it is still the one placed. False only when something that is there
// cannot be changed now (a read-only or vanished volume).
bool UndoStep(const TJournalStep &step);

// The journal of one copy run: a file in the data folder where the run writes each step before
// it takes it, so that a run cut off by anything (a crash, a kill, a power cut) is undone at
// the next start, and one that completed has its leftovers cleaned. It lives in the data folder
// and not in storage: the storage volume may be gone or read-only at the next start, and the
// data folder is what the single-instance lock guards.
//
// Lines end with a checksum; a line that was torn or never ended counts as never written, and
// so do all after it. Every line reaches the system before its step is taken, which a crash of
// the program cannot undo. A power cut can: the lines before a step that hides a user's file
// (moving it aside) and the end mark are also flushed to the disk, so that a power cut can at
// worst leave a work file or an empty folder behind, never a user's file hidden.
class TCopyJournal {
public:
    // Starts the journal of a run into storage (an absolute path). Raises ESystemError.
    explicit TCopyJournal(const QString &storage);
    ~TCopyJournal();
    TCopyJournal(const TCopyJournal &) = delete;
    TCopyJournal &operator=(const TCopyJournal &) = delete;

    // Writes the step before the run takes it. Raises ESystemError when it cannot be written;
    // the step must not be taken then.
    void Write(const TJournalStep &step);
    // The run is complete with these catalog records: the one mark after which it is finished,
    // not undone. Raises ESystemError.
    void Complete(const QStringList &records);
    // Undoes every step, newest first; true when nothing is left to undo, and the journal is
    // removed then. Otherwise it stays for the next start.
    bool RollBack();
    // The leftovers of a complete run go: work files, and the files it replaced, which go to
    // the Trash under their own names. False when some could not go now.
    bool CleanUp();
    // The file of the journal, kept after a run completes until the catalog holds its records.
    const QString &Path() const { return m_path; }

    // Told the kind of every line once it is written: the crash tests stop the run there.
    static std::function<void(char kind)> AfterWrite;

private:
    void Append(const QByteArray &line, bool durable);

    QString m_storage;
    QString m_path;
    int m_fd = -1;
    QList<TJournalStep> m_steps;
};

// What the start did with the journals of runs that did not finish.
struct TRecovery {
    int Undone = 0;      // runs rolled back
    int Finished = 0;    // completed runs cleaned up, their records in the catalog
    QStringList Waiting; // storage folders that cannot be changed now: tried at the next start
    QStringList Refused; // journals that name something outside their storage folder
};

// Finishes every run that left its journal in the data folder. Runs at start, before the first
// page shows and while this instance holds the single-instance lock, so no run is alive. Records
// of complete runs join the catalog, which is saved. A refused journal is renamed
// "….journal.refused" and nothing it names is touched.
TRecovery RecoverImports(TCatalog &catalog);

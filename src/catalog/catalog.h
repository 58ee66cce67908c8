#pragma once

#include "catalog/base_string_list.h"

#include <QList>
#include <QStringList>

#include <functional>

// The catalog of the process: the records of "mp3_library.dat" in memory and the new records
// waiting to join them. One object, created at start-up and handed to the pages that show it,
// read it or add to it.
class TCatalog {
public:
    // Loads the catalog file (created when missing); an empty catalog gets its header record.
    // Raises as OpenCatalog does.
    void Open();

    TBaseStringList &Records() { return m_records; }
    const TBaseStringList &Records() const { return m_records; }

    // New records from the description or copy page, merged into the catalog (and emptied)
    // the next time the catalog view is shown. The copy page rewrites them in place.
    QStringList PendingRecords;

    // Merges the pending records into the records and empties them.
    void MergePending();
    // Merges the pending records and saves the catalog file, for records that must not wait
    // for the catalog view (it may never be shown). Raises as SaveCatalog does.
    void SavePending();
    // Saves the catalog file. Raises as SaveCatalog does.
    void Save();
    // Runs done once, after the next successful save: what keeps records safe until the
    // catalog file holds them (an import's journal) can go then.
    void WhenSaved(std::function<void()> done);
    // True while records wait for a successful save.
    bool RecordsWaiting() const { return !m_whenSaved.isEmpty(); }

private:
    TBaseStringList m_records;
    QList<std::function<void()>> m_whenSaved;
};

#pragma once

#include "catalog/base_string_list.h"

#include <QStringList>

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

private:
    TBaseStringList m_records;
};

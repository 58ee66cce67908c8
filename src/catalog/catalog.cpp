#include "catalog/catalog.h"

#include "catalog/catalog_file.h"

#include <utility>

void TCatalog::Open()
{
    m_records = std::move(*OpenCatalog(CatalogPath()));
    AddHeaderRecordIfEmpty(m_records);
}

void TCatalog::MergePending()
{
    ::MergePending(m_records, std::exchange(PendingRecords, QStringList()));
}

void TCatalog::SavePending()
{
    MergePending();
    SaveCatalog(m_records, CatalogPath());
}

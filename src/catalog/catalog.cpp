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
    Save();
}

void TCatalog::Save()
{
    SaveCatalog(m_records, CatalogPath());
    for (const auto &done : std::exchange(m_whenSaved, {}))
        done();
}

void TCatalog::WhenSaved(std::function<void()> done)
{
    m_whenSaved.append(std::move(done));
}

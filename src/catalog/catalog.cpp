#include "catalog/catalog.h"

#include "catalog/catalog_file.h"

void TCatalog::Open()
{
    m_records = std::move(*OpenCatalog(CatalogPath()));
    AddHeaderRecordIfEmpty(m_records);
}

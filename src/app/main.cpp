#include "app/create_pages.h"
#include "app/invisible_form.h"
#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/locations.h"
#include "catalog/catalog.h"
#include "catalog/catalog_file.h"
#include "pages/error_box.h"
#include "pages/frame_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>

// What saves that were cut off left behind, in the data folder and beside a catalog kept
// elsewhere through a link. This instance owns the data folder now: its socket is listening.
static void RemoveCutOffSaves()
{
    const QString data = QFileInfo(DataFolder()).canonicalFilePath();
    RemoveStaleTemporaryFiles(data);
    const QString catalog = QFileInfo(CatalogPath()).canonicalPath();
    if (!catalog.isEmpty() && catalog != data)
        RemoveStaleTemporaryFiles(catalog);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    try {
        QApplication::setApplicationName(QLatin1String(ProductName));
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quavermill.png")));
        if (TFormInvisible::ForwardToRunningInstance())
            return 0;
        // The catalog outlives the pages that use it.
        TCatalog catalog;
        TFrameWindow frame;
        CreatePages(&frame, catalog);
        RemoveCutOffSaves();
        QApplication::exec();
    } catch (...) {
        ShowErrorBox(nullptr, ErrorText(std::current_exception()));
    }
    return 0;
}

#include "app/create_pages.h"
#include "app/invisible_form.h"
#include "app/main_page.h"
#include "app/make_services.h"
#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/locations.h"
#include "catalog/catalog.h"
#include "catalog/catalog_file.h"
#include "import/copy_files_page.h"
#include "import/copy_journal.h"
#include "pages/error_box.h"
#include "pages/frame_window.h"
#include "platform/stop_signals.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>

#include <csignal>

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
    // A file grown past the user's size limit then fails to be written, and the copy run rolls
    // back as on a full disk, instead of the program being killed in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    try {
        QApplication::setApplicationName(QLatin1String(ProductName));
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quavermill.png")));
        if (TFormInvisible::ForwardToRunningInstance())
            return 0;
        // The services and the catalog outlive the pages that use them.
        TServices services = MakeServices();
        TCatalog catalog;
        TFrameWindow frame(services);
        CreatePages(&frame, catalog);
        RemoveCutOffSaves();
        Page<TFormMain>()->ShowStartNotice(RecoverImports(catalog));
        // A desktop logging out stops an import as the close box does: it is undone, then
        // the program ends. At any other time these signals end the program at once.
        WatchStopSignals(&frame, [](int signal) {
            TFormCopyFiles *copy = Page<TFormCopyFiles>();
            if (copy && copy->Busy)
                copy->Request = rqExit;
            else
                EndBySignal(signal);
        });
        QApplication::exec();
    } catch (...) {
        ShowErrorBox(nullptr, ErrorText(std::current_exception()));
    }
    return 0;
}

#include "app/create_pages.h"
#include "app/invisible_form.h"
#include "base/errors.h"
#include "base/locations.h"
#include "catalog/catalog.h"
#include "pages/error_box.h"
#include "pages/frame_window.h"

#include <QApplication>
#include <QIcon>

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
        QApplication::exec();
    } catch (...) {
        ShowErrorBox(nullptr, ErrorText(std::current_exception()));
    }
    return 0;
}

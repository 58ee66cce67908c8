#include "app/create_pages.h"
#include "app/invisible_form.h"
#include "base/application.h"
#include "base/errors.h"
#include "base/locations.h"
#include "catalog/catalog.h"
#include "pages/frame_window.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

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
        QMessageBox::critical(nullptr, Title(), ErrorText(std::current_exception()));
    }
    return 0;
}

#include "app/application.h"
#include "app/create_pages.h"
#include "app/errors.h"
#include "app/invisible_form.h"
#include "app/locations.h"
#include "pages/frame_window.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    try {
        QApplication::setApplicationName(QLatin1String(ProductName));
        if (TFormInvisible::ForwardToRunningInstance())
            return 0;
        TFrameWindow frame;
        CreatePages(&frame);
        QApplication::exec();
    } catch (...) {
        QMessageBox::critical(nullptr, Title(), ErrorText(std::current_exception()));
    }
    return 0;
}

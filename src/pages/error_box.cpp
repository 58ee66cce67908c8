#include "pages/error_box.h"

#include "base/application.h"

#include <QMessageBox>

void ShowErrorBox(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, Title(), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

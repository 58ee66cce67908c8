#pragma once

#include <QString>

class QWidget;

// The application's error presentation: a message box with the title and the text. The text
// comes from outside (a system error, a path, a line of a file) and is shown as it stands,
// never as markup.
void ShowErrorBox(QWidget *parent, const QString &text);

#pragma once

#include "pages/page_form.h"

// The main menu: the first page and the hub of the program.
class TFormMain : public TFormBase {
    Q_OBJECT
public:
    explicit TFormMain(QWidget *parent = nullptr);

    static void OpenHelp();
};

extern TFormMain *FormMain;

// The buttons most pages share: back to the main menu, and the end of the program.
TButtonSpec ReturnToMainButton();
TButtonSpec ExitButton();

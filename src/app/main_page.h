#pragma once

#include "pages/page_form.h"

// The main menu: the first page and the hub of the program.
class TFormMain : public TFormBase {
    Q_OBJECT
public:
    static constexpr TPageId Id = TPageId::Main;

    explicit TFormMain(QWidget *parent = nullptr);

    static void OpenHelp();
};

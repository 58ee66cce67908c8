#pragma once

#include "pages/page_form.h"

// Where to look for tracks: every removable medium, the internal disks, or one folder.
class TFormSearch final : public TFormBase {
    Q_OBJECT
public:
    static constexpr TPageId Id = TPageId::Search;

    explicit TFormSearch(QWidget *parent = nullptr);
};

// The top group of the folder chooser and the track selection page: "Return to main menu",
// "Return to search" and "Exit", with their labels.
void CreateReturnButtons(TFormBase *page);

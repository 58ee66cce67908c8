#pragma once

#include "pages/page_form.h"

struct TRecovery;

// The main menu: the first page and the hub of the program.
class TFormMain final : public TFormBase {
    Q_OBJECT
public:
    static constexpr TPageId Id = TPageId::Main;

    explicit TFormMain(QWidget *parent = nullptr);

    void OpenHelp();

    // Tells, on the left picture while the menu is shown, what the start found of imports cut
    // off earlier that it could not finish; nothing when it finished them all.
    void ShowStartNotice(const TRecovery &recovery);

    // The notice's texts: an import that waits for its storage folder, and a journal refused.
    QString ImportWaitingText = QStringLiteral(
        "An import that was cut off could not be undone yet: its storage folder cannot be "
        "changed now. Quavermill tries again at its next start. Storage folder:");
    QString ImportRefusedText = QStringLiteral(
        "The record of an import that was cut off names files outside its storage folder and "
        "was left alone:");

protected:
    void FormHide() override;
    void ReadTexts(const TSkinFile &texts) override;

private:
    QLabel *m_notice;
};

#pragma once

#include "pages/page_form.h"

class QLineEdit;
class TCatalogTreeHandler;
class TStateTree;

// The playlist making page: the catalog tree with every track unchecked at first, a name box
// and "Save the playlist", which writes the checked tracks into a playlist file and goes on to
// the play a list page. It reads the catalog of the catalog view page and never changes it.
class TFormCreatePlaylist : public TFormBase {
    Q_OBJECT
public:
    explicit TFormCreatePlaylist(QWidget *parent = nullptr);
    ~TFormCreatePlaylist() override;

    TStateTree *TreeViewCatalog;
    QLineEdit *EditName;
    QLabel *LabelHint;

    // The two lines shown when the name is missing, and when it cannot name a file of the
    // data folder ("/" inside, or "." or "..").
    QString MustTypeText = QStringLiteral("You must type");
    QString PlaylistNameText = QStringLiteral("a playlist name.");
    QString WrongNameText = QStringLiteral("A playlist name cannot hold \"/\" or be \".\" or \"..\".");
    QString TypeAnotherText = QStringLiteral("Please type another playlist name.");

    void SavePlaylist();

protected:
    void FormShow() override;
    void FormHide() override;
    void PageMessage(int message) override;
    void ReadTexts(const TIniFile &texts) override;
    QLabel *HintLabel() const override { return LabelHint; }

private:
    TCatalogTreeHandler *m_handler;
};

extern TFormCreatePlaylist *FormCreatePlaylist;

#pragma once

#include "catalog/catalog_page_base.h"

class QLineEdit;

// The playlist making page: the catalog tree with every track unchecked at first, a name box
// and "Save the playlist", which writes the checked tracks into a playlist file and goes on to
// the play a list page. It reads the catalog and never changes it.
class TFormCreatePlaylist final : public TCatalogTreePage {
    Q_OBJECT
public:
    static constexpr TPageId Id = TPageId::CreatePlaylist;

    explicit TFormCreatePlaylist(TCatalog &catalog, QWidget *parent = nullptr);

    QLineEdit *EditName() const { return m_editName; }

    // The two lines shown when the name is missing, and when it cannot name a file of the
    // data folder ("/" inside, or "." or "..").
    QString MustTypeText = QStringLiteral("You must type");
    QString PlaylistNameText = QStringLiteral("a playlist name.");
    QString WrongNameText =
        QStringLiteral("A playlist name cannot hold \"/\" or be \".\" or \"..\".");
    QString TypeAnotherText = QStringLiteral("Please type another playlist name.");
    // The two lines shown when no track is checked.
    QString MustCheckText = QStringLiteral("You must check");
    QString SomeTracksText = QStringLiteral("the tracks of the playlist.");

    void SavePlaylist();

protected:
    void PageMessage(int message) override;
    void ReadTexts(const TSkinFile &texts) override;

private:
    QLineEdit *m_editName;
};

#pragma once

#include "pages/page_form.h"

class QListWidget;

// The play a list page: the saved playlists of the data folder, to play, to look into or to
// delete. Creating it sets the player's process-wide message texts.
class TFormPlayList final : public TFormBase {
    Q_OBJECT
public:
    static constexpr TPageId Id = TPageId::PlayList;

    explicit TFormPlayList(QWidget *parent = nullptr);

    QListWidget *ListBoxPlayLists() const { return m_listBoxPlayLists; }

    // Lists the "*.list" entries of the data folder, each without its last extension.
    void ListPlaylists();
    void DeletePlaylist();
    void ShowContent();
    void Play();

protected:
    void FormShow() override;
    void ReadTexts(const TSkinFile &texts) override;

private:
    // The ".list" and ".m3u" paths of the selected playlist; false when none is selected.
    bool SelectedPaths(QString &playlistPath, QString &m3uPath) const;

    int m_listing = 0; // counts the listings started
    QListWidget *m_listBoxPlayLists;
};

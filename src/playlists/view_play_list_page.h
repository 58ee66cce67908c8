#pragma once

#include "pages/page_form.h"

class TStateTree;

// The playlist content page: the tracks of one playlist in a table, marked when their file is
// missing, and "Play the list".
class TFormViewPlayList final : public TFormBase {
    Q_OBJECT
public:
    static constexpr TPageId Id = TPageId::ViewPlayList;

    explicit TFormViewPlayList(QWidget *parent = nullptr);

    // Set by the play a list page before it switches here.
    QString PlaylistPath;
    QString M3uPath;

    // Row marks.
    enum { MarkMissing = 1, MarkPresent = 2 };
    TStateTree *ListViewPlay() const { return m_listViewPlay; }

    void ListTracks();
    void Play();

protected:
    void FormShow() override;
    void ReadTexts(const TSkinFile &texts) override;

private:
    TStateTree *m_listViewPlay;
};

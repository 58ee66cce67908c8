#pragma once

#include "pages/page_form.h"

#include <QStringList>
#include <memory>

class TBaseStringList;
class TCatalogTreeHandler;
class TStateTree;

// The catalog view page: the catalog as a tree by composer and by artist with its size total,
// playing a track, deleting tracks and the way on to playlist making. It owns the process's
// in-memory catalog, loaded while the page is created.
class TFormViewCatalog : public TFormBase {
    Q_OBJECT
public:
    explicit TFormViewCatalog(QWidget *parent = nullptr);
    ~TFormViewCatalog() override;

    TBaseStringList &Catalog() { return *m_catalog; }
    // New catalog records handed over by the description or copy page; merged into the
    // catalog (and emptied) the next time this page is shown.
    QStringList PendingRecords;

    // The root texts of both catalog trees ("Composer", "Artist" by default).
    QString ComposerRootText = QStringLiteral("Composer");
    QString ArtistRootText = QStringLiteral("Artist");

    TStateTree *TreeViewCatalog;
    QLabel *LabelHint;

    // Removes every unchecked or unavailable track from the catalog, deleting the files of
    // unchecked tracks that lie inside the storage folder, then shows the new catalog.
    void DeleteTracks();

protected:
    void FormShow() override;
    void FormHide() override;
    void PageMessage(int message) override;
    void ReadTexts(const TIniFile &texts) override;
    QLabel *HintLabel() const override { return LabelHint; }

private:
    void ShowCatalog();

    std::unique_ptr<TBaseStringList> m_catalog;
    TCatalogTreeHandler *m_handler;
};

extern TFormViewCatalog *FormViewCatalog;

// Deletes a track file that lies inside the storage folder, and the folders this leaves empty
// up to, never including, the storage folder. Anything outside the storage folder, and the
// storage folder itself, is left alone. Failures are ignored.
void DeleteStoredTrack(const QString &fileName, const QString &storageFolder);

#pragma once

#include "catalog/catalog_tree_page.h"

#include <QStringList>
#include <memory>

// The catalog view page: the catalog as a tree by composer and by artist with its size total,
// playing a track, deleting tracks and the way on to playlist making. It owns the process's
// in-memory catalog, loaded while the page is created.
class TFormViewCatalog : public TCatalogTreePage {
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

    // Removes every unchecked or unavailable track from the catalog, deleting the files of
    // unchecked tracks that lie inside the storage folder, then shows the new catalog.
    void DeleteTracks();

protected:
    const TBaseStringList &ShownCatalog() override { return *m_catalog; }
    void PageMessage(int message) override;
    void ReadTexts(const TIniFile &texts) override;

private:
    void ShowCatalog();

    std::unique_ptr<TBaseStringList> m_catalog;
};

extern TFormViewCatalog *FormViewCatalog;

// Deletes a track file that lies inside the storage folder, and the folders this leaves empty
// up to, never including, the storage folder. Anything outside the storage folder, and the
// storage folder itself, is left alone. Failures are ignored.
void DeleteStoredTrack(const QString &fileName, const QString &storageFolder);

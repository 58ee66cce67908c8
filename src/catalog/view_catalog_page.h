#pragma once

#include "catalog/catalog_page_base.h"

// The catalog view page: the catalog as a tree by composer and by artist with its size total,
// playing a track, deleting tracks and the way on to playlist making. It loads the catalog
// while it is created, and merges the catalog's pending records each time it is shown.
class TFormViewCatalog final : public TCatalogTreePage {
    Q_OBJECT
public:
    static constexpr TPageId Id = TPageId::ViewCatalog;

    explicit TFormViewCatalog(TCatalog &catalog, QWidget *parent = nullptr);

    // Removes every unchecked or unavailable track from the catalog, deleting the files of
    // unchecked tracks that lie inside the storage folder, then shows the new catalog.
    void DeleteTracks();

    // The first line of the message that tells the catalog could not be saved; the second
    // line is the reason.
    QString NotSavedText = QStringLiteral("The catalog could not be saved:");
    // The second line instead when tracks an import stored wait to join the catalog.
    QString RecordsWaitingText =
        QStringLiteral("The tracks just stored join it at the next save or start.");

protected:
    void PageMessage(int message) override;
    void ReadTexts(const TSkinFile &texts) override;

private:
    // Saves the catalog, then shows it, and tells on the page when the save failed: what was
    // read stays on view whatever the disk does.
    void SaveAndShowCatalog();
    void ShowCatalog();
};

// Deletes a track file that lies inside the storage folder, and the folders this leaves empty
// up to, never including, the storage folder; a file that is gone already has its empty
// folders removed all the same. Anything outside the storage folder, and the storage folder
// itself, is left alone. Failures are ignored.
void DeleteStoredTrack(const QString &fileName, const QString &storageFolder);

#pragma once

#include "pages/page_form.h"

class TCatalog;
class TStateTree;

// A page that shows the catalog tree, with "Return to main menu" and "Exit" as its top buttons
// and a hint on the left picture: the catalog view and the playlist making pages.
class TCatalogTreePage : public TFormBase {
    Q_OBJECT
public:
    TStateTree *TreeViewCatalog() const { return m_treeViewCatalog; }
    QLabel *LabelHint() const { return m_labelHint; }

    // The root texts of the catalog tree, from the catalog view's texts ("Composer" and
    // "Artist" by default) on both pages.
    QString ComposerRootText = QStringLiteral("Composer");
    QString ArtistRootText = QStringLiteral("Artist");

protected:
    TCatalogTreePage(TPageId id, TCatalog &catalog, const QString &section, const QString &caption,
                     const QRect &hintPlace, const QString &hint, const QRect &treePlace,
                     bool playMissing, QWidget *parent);
    // Sets up the page messages over the replaced controls and applies skin and texts; the
    // page's constructor calls it once every control exists.
    void FinishPage(const QList<QWidget *> &replaced);
    // Fills the tree from the catalog, every track checked or not; returns the size total.
    qint64 FillTree(bool checked);

    // Posts the start message (the test lines instead in test mode).
    void FormShow() override;
    // Empties the tree, so that no node outlives the catalog it was made from.
    void FormHide() override;
    void ReadTexts(const TSkinFile &texts) override;

    TCatalog &m_catalog;

private:
    TStateTree *m_treeViewCatalog;
    QLabel *m_labelHint;
};

#include "catalog/catalog_page_base.h"

#include "catalog/catalog.h"
#include "catalog/catalog_tree.h"
#include "pages/skin.h"

#include <QLabel>

TCatalogTreePage::TCatalogTreePage(TPageId id, TCatalog &catalog, const QString &section,
                                   const QString &caption, const QRect &hintPlace,
                                   const QString &hint, const QRect &treePlace, bool playMissing,
                                   QWidget *parent)
    : TFormBase(id, section, caption, parent), m_catalog(catalog)
{
    CreateButtonGroup(TopBase, {ReturnToMainButton(), ExitButton()});
    m_labelHint = CreateHintLabel(hintPlace, hint, Qt::white);

    m_treeViewCatalog = new TStateTree(this);
    m_treeViewCatalog->setObjectName(QStringLiteral("TreeViewCatalog"));
    m_treeViewCatalog->setGeometry(treePlace);
    SetupCatalogTree(m_treeViewCatalog);
    // The page owns the handler.
    new TCatalogTreeHandler(
        m_treeViewCatalog, this,
        [this](int index) { return m_catalog.Records().Record(index).FileName; }, playMissing);
}

void TCatalogTreePage::FinishPage(const QList<QWidget *> &replaced)
{
    SetupMessages(replaced);
    ApplySkinAndTexts();
}

qint64 TCatalogTreePage::FillTree(bool checked)
{
    return FillCatalogTree(m_treeViewCatalog, m_catalog.Records(), checked, ComposerRootText,
                           ArtistRootText);
}

void TCatalogTreePage::ReadTexts(const TSkinFile &texts)
{
    const QString section = QStringLiteral("ViewCatalog");
    ComposerRootText = ReadText(texts, section, QStringLiteral("Composer"), ComposerRootText);
    ArtistRootText = ReadText(texts, section, QStringLiteral("Artist"), ArtistRootText);
}

void TCatalogTreePage::FormShow()
{
    if (Messages()->ShowTestMessageIfTestMode())
        return;
    PostPageMessage(this, MSG_LOAD_CATALOG);
}

void TCatalogTreePage::FormHide()
{
    // Clearing the tree also drops a group click still waiting.
    m_treeViewCatalog->clear();
}

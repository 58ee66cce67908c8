#include "catalog/catalog_tree_page.h"

#include "catalog/base_string_list.h"
#include "catalog/catalog_tree.h"
#include "pages/main_form.h"
#include "pages/skin.h"

#include <QLabel>

TCatalogTreePage::TCatalogTreePage(const QString &section, const QString &caption,
                                   const QRect &hintPlace, const QString &hint,
                                   const QRect &treePlace, bool playMissing, QWidget *parent)
    : TFormBase(section, caption, parent)
{
    CreateButtonGroup(TopBase, {ReturnToMainButton(), ExitButton()});
    LabelHint =
        CreateLabel(QStringLiteral("LabelHint"), hintPlace, QStringLiteral("Hint"), hint, false);
    LabelHint->setFont(PageFont(13));
    LabelHint->setWordWrap(true);
    LabelHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTextColor(LabelHint, Qt::white);

    TreeViewCatalog = new TStateTree(this);
    TreeViewCatalog->setObjectName(QStringLiteral("TreeViewCatalog"));
    TreeViewCatalog->setGeometry(treePlace);
    SetupCatalogTree(TreeViewCatalog);
    // The page owns the handler.
    new TCatalogTreeHandler(
        TreeViewCatalog, this, [this](int index) { return ShownCatalog().Record(index).FileName; },
        playMissing);
}

void TCatalogTreePage::FinishPage(const QList<QWidget *> &replaced)
{
    SetupMessages(replaced);
    ApplySkinAndTexts();
}

void TCatalogTreePage::FormShow()
{
    if (ShowTestMessageIfTestMode())
        return;
    PostPageMessage(this, MSG_LOAD_CATALOG);
}

void TCatalogTreePage::FormHide()
{
    // Clearing the tree also drops a group click still waiting.
    TreeViewCatalog->clear();
}

#include "catalog/view_catalog_page.h"

#include "base/application.h"
#include "base/errors.h"
#include "catalog/catalog.h"
#include "catalog/catalog_file.h"
#include "catalog/catalog_tree.h"
#include "pages/services.h"
#include "pages/skin.h"
#include "platform/trash.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

TFormViewCatalog::TFormViewCatalog(TCatalog &catalog, QWidget *parent)
    : TCatalogTreePage(Id, catalog, QStringLiteral("ViewCatalog"),
                       QStringLiteral("Catalog Viewing"), QRect(8, 8, 159, 365),
                       QStringLiteral("Click catalog items you want to delete and then press the "
                                      "button. Only unchecked items will be deleted!"),
                       QRect(192, 96, 393, 191), false, parent)
{
    CreateButtonGroup(
        BottomBase(2),
        {
            {"DeleteTracks", "Delete tracks", "delete", [this](TFormBase *) { DeleteTracks(); }},
            {"CreatePlaylist", "Create playlist", "playlist_new",
             [](TFormBase *page) { SwitchPage(page, TPageId::CreatePlaylist); }},
        },
        1);
    NameAfter(TreeViewCatalog());
    FinishPage({TreeViewCatalog()});
    m_catalog.Open();
}

void TFormViewCatalog::PageMessage(int message)
{
    if (message != MSG_LOAD_CATALOG)
        return;
    QCoreApplication::processEvents();
    // A page left before its start message arrived merges at its next showing: by then the
    // pending records may belong to a copy run that is still storing them.
    if (ApplicationEnding() || isHidden())
        return;
    m_catalog.MergePending();
    SaveAndShowCatalog();
}

void TFormViewCatalog::ReadTexts(const TSkinFile &texts)
{
    TCatalogTreePage::ReadTexts(texts);
    NotSavedText = ReadText(texts, Section(), QStringLiteral("NotSaved"), NotSavedText);
    RecordsWaitingText =
        ReadText(texts, Section(), QStringLiteral("RecordsWaiting"), RecordsWaitingText);
}

void TFormViewCatalog::SaveAndShowCatalog()
{
    bool saved = false;
    QString failure;
    try {
        m_catalog.Save();
        saved = true;
    } catch (const ESystemError &error) {
        failure = error.reason();
    } catch (const EQuavermill &error) {
        failure = error.message();
    }
    // A page left meanwhile keeps its tree empty until it is shown again.
    if (ApplicationEnding() || isHidden())
        return;
    ShowCatalog();
    if (saved)
        return;
    // Tracks an import stored are safe in its journal and join the catalog at a later save.
    if (m_catalog.RecordsWaiting())
        Messages()->Show(NotSavedText + QLatin1Char(' ') + failure, RecordsWaitingText);
    else
        Messages()->Show(NotSavedText, failure);
}

void TFormViewCatalog::ShowCatalog()
{
    const qint64 total = FillTree(true);
    setWindowTitle(Title() + QStringLiteral(" - ") + CaptionText()
                   + QStringLiteral(" [ %1 MB ]").arg(total / 1048576));
}

void TFormViewCatalog::DeleteTracks()
{
    // Runs without letting the event loop in, so nothing changes the catalog or the tree
    // while files go.
    TBaseStringList &catalog = m_catalog.Records();
    QStringList uncheckedFiles;
    ForEachTrackNode(TreeViewCatalog(), [&](TCatalogTreeItem *track) {
        const int check = track->Check();
        if (check == CheckChecked || catalog.Mark(track->RecordIndex) != 0)
            return;
        if (check == CheckUnchecked)
            uncheckedFiles.append(catalog.Record(track->RecordIndex).FileName);
        catalog.SetMark(track->RecordIndex, 1);
    });
    if (!uncheckedFiles.isEmpty()) {
        // Two records may name one stored file (a copy that overwrote an earlier one): a file
        // that a track staying in the catalog still names is kept.
        QSet<QString> kept;
        for (int i = 0; i < catalog.Count(); ++i) {
            if (catalog.Mark(i) != 0)
                continue;
            const TCatalogRecord record = catalog.Record(i);
            if (record.IsTrack())
                kept.insert(record.FileName);
        }
        const QString storage = Services().Settings.StorageDir;
        for (const QString &file : std::as_const(uncheckedFiles)) {
            if (!kept.contains(file))
                DeleteStoredTrack(file, storage);
        }
    }
    Purge(catalog);
    // The tree is rebuilt in any case: it must not keep indexes of records that are gone.
    SaveAndShowCatalog();
}

static bool InsideFolder(const QString &path, const QString &folder)
{
    return path.startsWith(folder + QLatin1Char('/'));
}

// The nearest folder of the path that exists, links and ".." resolved; empty when none does.
static QString ExistingFolder(QString folder)
{
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            return QString();
        folder = parent;
    }
    return QFileInfo(folder).canonicalFilePath();
}

void DeleteStoredTrack(const QString &fileName, const QString &storageFolder)
{
    if (fileName.isEmpty() || storageFolder.isEmpty())
        return;
    // Links and ".." are resolved first, so that no path that merely names the storage folder
    // reaches outside it.
    const QString root = QFileInfo(storageFolder).canonicalFilePath();
    const QFileInfo file(fileName);
    // A file that is gone already may still leave its album and artist folders empty, even
    // when its album folder went with it.
    QString folder = ExistingFolder(file.absolutePath());
    if (root.isEmpty() || folder.isEmpty() || (folder != root && !InsideFolder(folder, root)))
        return;
    // The track goes to the Trash, where the user can still get it back.
    if (QFileInfo(file.absolutePath()).isDir()
        && !TrashOrDelete(folder + QLatin1Char('/') + file.fileName()))
        return;
    while (InsideFolder(folder, root) && QDir().rmdir(folder))
        folder = QFileInfo(folder).path();
}

#include "app/create_pages.h"

#include "app/invisible_form.h"
#include "app/main_page.h"
#include "catalog/view_catalog_page.h"
#include "import/copy_files_page.h"
#include "import/hand_over.h"
#include "import/set_properties_page.h"
#include "pages/frame_window.h"
#include "playlists/create_playlist_page.h"
#include "playlists/play_list_page.h"
#include "playlists/view_play_list_page.h"
#include "search/search_page.h"
#include "search/select_files_page.h"
#include "search/select_folder_page.h"

TFormInvisible *CreatePages(TFrameWindow *frame, TCatalog &catalog)
{
    auto *invisible = new TFormInvisible(frame);
    invisible->hide();
    new TFormMain(frame);
    new TFormPlayList(frame);
    new TFormSelectFiles(frame);
    new TFormSelectFolder(frame);
    new TFormCopyFiles(frame);
    new TFormViewCatalog(catalog, frame);
    new TFormViewPlayList(frame);
    new TFormSetProperties(catalog, frame);
    new TFormSearch(frame);
    new TFormCreatePlaylist(catalog, frame);
    ConnectPages();
    return invisible;
}

void ConnectPages()
{
    if (TFormSelectFiles *selection = Page<TFormSelectFiles>()) {
        selection->DescriptionHandOver = [selection] {
            HandOverToDescription(selection, *selection->TreeViewFiles(), selection->FromRemovable);
        };
    }
}

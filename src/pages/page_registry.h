#pragma once

#include <QObject>

#include <exception>
#include <functional>

class TFormBase;

// How pages find one another, how one takes another's place, and how the errors of their
// actions and handlers reach the user.

// Messages a page posts to itself; the numbers lie in Qt's user event range.
enum TPageMessage : int {
    MSG_START_SCAN = 0x8001,
    MSG_START_COPY = 0x8002,
    MSG_LOAD_CATALOG = 0x8003,
    MSG_SHOW_MAIN_MENU = 0x8004,
    MSG_MINIMIZE_APP = 0x8006,
};
void PostPageMessage(QObject *target, TPageMessage message);

// Runs an action and swallows whatever it throws (start messages, timers).
void RunDropping(const std::function<void()> &action);
// Runs an action and shows whatever it throws in a message box (buttons, Enter, controls).
void RunReporting(const std::function<void()> &action);

// Every page of the program, one instance each. Pages find one another by id through the
// registry, never through each other's types, so that a page needs no other feature's header
// to switch to it.
enum class TPageId {
    Main,
    PlayList,
    SelectFiles,
    SelectFolder,
    CopyFiles,
    ViewCatalog,
    ViewPlayList,
    SetProperties,
    Search,
    CreatePlaylist,
};
inline constexpr int PageCount = int(TPageId::CreatePlaylist) + 1;

// The page with that id, or null while it does not exist (not yet created, or destroyed).
TFormBase *FindPage(TPageId id);
// The same, typed, for code that may include the page's header (its own folder, app, tests).
template <class TPage>
TPage *Page()
{
    return static_cast<TPage *>(FindPage(TPage::Id));
}
// A page enters the registry when it is made and leaves it when it is destroyed.
void RegisterPage(TPageId id, TFormBase *page);
void UnregisterPage(TPageId id, TFormBase *page);

// Shows `to` where `from` stands (restoring the application if it is minimised), then hides
// `from`. `from` may be null at start. An error of `to`'s show handler or `from`'s hide
// handler is raised here once the switch is done, for the caller's guard.
void SwitchPage(TFormBase *from, TFormBase *to);
// The same for the page with that id; nothing happens while that page does not exist.
void SwitchPage(TFormBase *from, TPageId to);

// Runs a page's show or hide handler. Within a switch its error goes to the action that
// called SwitchPage; outside one it is reported.
void RunPageHandler(const std::function<void()> &handler);

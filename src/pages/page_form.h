#pragma once

#include <QList>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

#include <functional>

class QLabel;
class QTimer;
class TFormBase;
class TIniFile;

// Messages a page posts to itself; the numbers lie in Qt's user event range.
enum TPageMessage : int {
    MSG_START_SCAN = 0x8001,
    MSG_START_COPY = 0x8002,
    MSG_LOAD_CATALOG = 0x8003,
    MSG_SHOW_MAIN_MENU = 0x8004,
    MSG_MINIMIZE_APP = 0x8006,
};
void PostPageMessage(QObject *target, TPageMessage message);

// Runs an action and swallows whatever it throws (start messages, media watching timers).
void RunDropping(const std::function<void()> &action);
// Runs an action and shows whatever it throws in a message box (icon buttons, Enter, control
// events).
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

using TButtonAction = std::function<void(TFormBase *)>;

// What an icon button does and shows.
struct TButtonData {
    QPixmap picture; // silver is transparent
    TButtonAction action;
    TFormBase *argument = nullptr;
};

// A 38 x 38 push button with a 16 x 16 picture drawn in its centre.
class TIconButton : public QPushButton {
    Q_OBJECT
public:
    TIconButton(TButtonData data, QWidget *parent);
    const TButtonData &data() const { return m_data; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TButtonData m_data;
};

// One icon button and its label in a group. The button is named "Button" + key and the label
// "Label" + key; the label's text is read from the text file under key.
struct TButtonSpec {
    const char *key;
    const char *text; // the designed label text
    // One of the named 16 x 16 button pictures on silver (":/buttons/<name>.png"): play, add,
    // catalog, playlist_new, exit, help, return_main, return_back, search_removable,
    // search_fixed, search_folder, start_search, deselect, describe, add_catalog, delete, save,
    // show_content.
    const char *picture;
    TButtonAction action;
};

// One page of the program: a child of the frame window that fills its client area, with a
// picture on the left, a picture on the right, large labels on the right picture and an icon
// button beside each label.
class TFormBase : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 639;
    static constexpr int ClientHeight = 381;
    static constexpr int TopBase = 14;
    // Base of a bottom group of `count` buttons: its last button stands at top 330.
    static constexpr int BottomBase(int count) { return 330 - 42 * (count - 1); }

    // Registers the page under id; the destructor takes it off again.
    TFormBase(TPageId id, const QString &section, const QString &designedCaption,
              QWidget *parent = nullptr);
    ~TFormBase() override;

    TPageId Id() const { return m_id; }
    const QString &Section() const { return m_section; }
    // The caption text without the title; the window title is Title() + " - " + text.
    const QString &CaptionText() const { return m_captionText; }
    void SetCaptionText(const QString &text);

    QLabel *ImageLeft;
    QLabel *ImageRight;

    TIconButton *CreateIconButton(int base, int index, bool isDefault, TButtonAction action,
                                  const QList<QPixmap> &pictures, const QString &objectName);
    // A label on the right picture that takes "RightTextColor", in the pages' font at the
    // designed height (21 for the large labels beside the buttons, 16 for headings); the text
    // file names it by `textKey` (empty: none).
    QLabel *CreateLabel(const QString &objectName, const QRect &place, const QString &textKey,
                        const QString &text, int designedHeight = 21);
    // The hint on the left picture, "LabelHint": 13 pixels, word-wrapped, its text read under
    // textKey (none when empty); "LeftTextColor" replaces its designed colour.
    QLabel *CreateHintLabel(const QRect &place, const QString &text, const QColor &color,
                            const QString &textKey = QStringLiteral("Hint"));
    // A group of icon buttons with their labels from `base` down; button `defaultIndex` (if
    // any) is the page's default button.
    void CreateButtonGroup(int base, std::initializer_list<TButtonSpec> buttons,
                           int defaultIndex = -1);
    // Runs the button's action, reporting what it throws.
    void RunButton(QPushButton *button);

    // Reads "ui.ini" and "Quavermill.ini" for this page; call at the end of the page's
    // constructor, once every control exists.
    void ApplySkinAndTexts();

    // Message presentation: two centred lines on the right picture that replace `replaced`
    // for a while.
    void SetupMessages(const QList<QWidget *> &replaced);
    void ShowPageMessage(const QString &line1, const QString &line2);
    bool PresentingMessage() const;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QTimer *MessageTimer = nullptr;
    // In test mode shows the two test lines for ten minutes and returns true; the page then
    // skips the work its show handler would start.
    bool ShowTestMessageIfTestMode();

    // Called by the frame: whether the page lets the application end now.
    virtual bool FormCloseQuery() { return true; }
    // Enter runs the default button; return true when the key was used.
    virtual bool FormKeyPress(int key);

protected:
    // Show and hide as SwitchPage does them (not the frame's minimise and restore).
    virtual void FormShow() {}
    virtual void FormHide() {}
    // A message the page posted to itself (MSG_START_SCAN ...).
    virtual void PageMessage(int message) { Q_UNUSED(message); }
    // Reads the page's message texts and other keys beyond its labels.
    virtual void ReadTexts(const TIniFile &texts) { Q_UNUSED(texts); }

    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QLabel *MakeLabel(const QString &objectName, const QRect &place, const QString &textKey,
                      const QString &text);
    // A large label at left 192, 6 pixels below button `index` of the group at `base`. Its
    // text is read from the text file under `textKey` and it takes "RightTextColor".
    QLabel *CreateButtonLabel(const QString &objectName, int base, int index,
                              const QString &textKey, const QString &text);
    void ApplyRightSkin(const QString &imageKey, const QString &colorKey);
    void EndMessage();

    TPageId m_id;
    QString m_section;
    QString m_captionText;
    TIconButton *m_defaultButton = nullptr;
    QLabel *m_hintLabel = nullptr;
    QList<QPair<QLabel *, QString>> m_textLabels;
    QList<QLabel *> m_rightLabels;
    QList<QWidget *> m_replaced;
    QList<QWidget *> m_hiddenByMessage;
};

// Shows `to` where `from` stands (restoring the application if it is minimised), then hides
// `from`. `from` may be null at start. An error of `to`'s show handler or `from`'s hide
// handler is raised here once the switch is done, for the caller's guard.
void SwitchPage(TFormBase *from, TFormBase *to);
// The same for the page with that id; nothing happens while that page does not exist.
void SwitchPage(TFormBase *from, TPageId to);

// The buttons most pages share: back to the main menu, and the end of the program.
TButtonSpec ReturnToMainButton();
TButtonSpec ExitButton();

#pragma once

#include "pages/icon_button.h"
#include "pages/page_messages.h"
#include "pages/page_registry.h"

#include <QList>
#include <QPixmap>
#include <QWidget>

class QLabel;
class TSkinFile;
struct TServices;

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

    // Registers the page under id; the destructor takes it off again. The frame window must
    // exist: the page takes its services.
    TFormBase(TPageId id, const QString &section, const QString &designedCaption,
              QWidget *parent = nullptr);
    ~TFormBase() override;

    TPageId Id() const { return m_id; }
    const QString &Section() const { return m_section; }
    // The caption text without the title; the window title is Title() + " - " + text.
    const QString &CaptionText() const { return m_captionText; }
    void SetCaptionText(const QString &text);
    TServices &Services() const { return m_services; }

    QLabel *ImageLeft() const { return m_imageLeft; }
    QLabel *ImageRight() const { return m_imageRight; }

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
    // Screen readers name `control` after the label's text (a box after its caption, a tree
    // after its heading; without a label, the page's caption), as the text file gives it; a
    // tree's header reads it too. A box is also labelled by its caption: on Linux Qt names an
    // edit or combo box by its text and leaves the caption to that relation.
    void NameAfter(QWidget *control, QLabel *label = nullptr);

    // Reads "ui.ini" and "Quavermill.ini" for this page; call at the end of the page's
    // constructor, once every control exists.
    void ApplySkinAndTexts();

    // Gives the page its message presentation, whose two lines replace `replaced` for a
    // while; null on a page without one.
    void SetupMessages(const QList<QWidget *> &replaced);
    TPageMessages *Messages() const { return m_messages; }
    // Loads the skin's picture and text colour of the right side under the keys given (the
    // page's own, or those of its messages).
    void ApplyRightSkin(const QString &imageKey, const QString &colorKey);

    // The keyboard starts on the page's first control, not wherever the hidden page's focus
    // happened to move.
    void FocusFirstControl();

    // Called by the frame: whether the page lets the application end now.
    virtual bool FormCloseQuery() { return true; }
    // Enter runs the default button, Escape the button back to the previous page or the main
    // menu (the one named "return_back" before "return_main"); return true when the key was
    // used.
    virtual bool FormKeyPress(int key);

protected:
    // Show and hide as SwitchPage does them (not the frame's minimise and restore).
    virtual void FormShow() {}
    virtual void FormHide() {}
    // A message the page posted to itself (MSG_START_SCAN ...).
    virtual void PageMessage(int message) { Q_UNUSED(message); }
    // Reads the page's message texts and other keys beyond its labels.
    virtual void ReadTexts(const TSkinFile &texts) { Q_UNUSED(texts); }

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

    TServices &m_services;
    TPageId m_id;
    QString m_section;
    QString m_captionText;
    TIconButton *m_defaultButton = nullptr;
    TIconButton *m_backButton = nullptr;
    QList<QPair<QWidget *, QLabel *>> m_namedControls;
    QLabel *m_hintLabel = nullptr;
    QList<QPair<QLabel *, QString>> m_textLabels;
    QList<QLabel *> m_rightLabels;
    QLabel *m_imageLeft;
    QLabel *m_imageRight;
    TPageMessages *m_messages = nullptr;
};

// The buttons most pages share: back to the main menu, and the end of the program.
TButtonSpec ReturnToMainButton();
TButtonSpec ExitButton();

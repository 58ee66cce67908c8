#pragma once

#include <QComboBox>

// An editable box of the description page. It has two looks: a plain edit field, or an edit
// field with a drop-down list, which its button or the down-arrow key opens. The plain look
// opens no list. Its value shows from its beginning and whole in its tool tip; typing offers
// the candidates that begin with what was typed, and never adds to it.
class TDescriptionBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDescriptionBox(QWidget *parent = nullptr);

    bool DropDownLook() const { return m_dropDown; }
    void SetDropDownLook(bool dropDown);

    // No text, no items, the plain look.
    void Reset();
    // Sizes the drop-down list to its widest item; an enabled box then takes the drop-down look
    // when it has items and the plain look when it has none.
    void Fit();
    // Sets the text of an enabled box and chooses its look: plain when the box has no items or
    // its only item is the text, else the drop-down look. A disabled box is left alone.
    void ChooseLook(const QString &text);

    // Whether the text differs from the one the box was loaded with (ChooseLook, Reset).
    bool Edited() const;

    // How many items came from the node's candidates at the last load (the typed values
    // follow them).
    int OwnCount = 0;

    void showPopup() override;

Q_SIGNALS:
    // The box lost the focus to another control of the page.
    void Left();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    bool m_dropDown = true;
    QString m_loaded;
};

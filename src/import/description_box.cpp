#include "import/description_box.h"

#include "pages/skin.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComboBox>

namespace {

// Draws a box in the plain look as a line edit: no list button, the edit field across the
// whole box. Everything else is the application's style.
class TBoxStyle : public QProxyStyle {
public:
    explicit TBoxStyle(QStyle *base) : QProxyStyle(base) {}

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget) const override
    {
        if (control != CC_ComboBox || !Plain(widget)) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        QStyleOptionFrame frame;
        frame.QStyleOption::operator=(*option);
        frame.lineWidth = pixelMetric(PM_DefaultFrameWidth, option, widget);
        frame.midLineWidth = 0;
        frame.state |= State_Sunken;
        drawPrimitive(PE_PanelLineEdit, &frame, painter, widget);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override
    {
        QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
        if (control != CC_ComboBox || !Plain(widget))
            return rect;
        if (part == SC_ComboBoxArrow)
            return {};
        if (part == SC_ComboBoxEditField)
            rect.setRight(option->rect.right() - (rect.left() - option->rect.left()));
        return rect;
    }

private:
    static bool Plain(const QWidget *widget)
    {
        const auto *box = qobject_cast<const TDescriptionBox *>(widget);
        return box && !box->DropDownLook();
    }
};

// One style for every box, living as long as the application.
QStyle *BoxStyle()
{
    static QPointer<TBoxStyle> style;
    if (!style) {
        QStyle *base = QStyleFactory::create(QApplication::style()->name());
        style = new TBoxStyle(base);
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

// A tool tip that shows the text as it is: a tag may hold "<b>", which a tool tip would take
// for markup.
QString PlainToolTip(const QString &text)
{
    if (text.isEmpty())
        return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped()
        + QStringLiteral("</p>");
}

} // namespace

TDescriptionBox::TDescriptionBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setStyle(BoxStyle());
    setFont(PageFont(13));
    view()->setFont(font());
    // What the user types is a value for the track, never a new item of the list.
    setInsertPolicy(QComboBox::NoInsert);
    // Candidates that differ only in case ("Pink Floyd", "pink floyd") are all offered, so
    // completing must not turn the one the user types into another.
    completer()->setCaseSensitivity(Qt::CaseSensitive);
    // Candidates are offered in a list under the box; appending the rest of one to what the
    // user types would turn "Field Recordings" into a folder name "Field Recordings Wav".
    completer()->setCompletionMode(QCompleter::PopupCompletion);
    completer()->popup()->setFont(font());
    // The box is narrow: its whole value shows when the pointer rests on it.
    connect(this, &QComboBox::editTextChanged, this,
            [this](const QString &text) { setToolTip(PlainToolTip(text)); });
    SetDropDownLook(false);
}

void TDescriptionBox::SetDropDownLook(bool dropDown)
{
    if (m_dropDown == dropDown)
        return;
    m_dropDown = dropDown;
    if (!dropDown)
        hidePopup();
    // The edit field takes the room of the list button or gives it back.
    QResizeEvent resize(size(), size());
    QComboBox::resizeEvent(&resize);
    update();
}

void TDescriptionBox::Reset()
{
    clear();
    clearEditText();
    m_loaded.clear();
    OwnCount = 0;
    SetDropDownLook(false);
}

void TDescriptionBox::Fit()
{
    const QFontMetrics metrics(view()->font());
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = qMax(widest, metrics.horizontalAdvance(itemText(i)));
    // Room for the item's margins, the list's frame and its scroll bar.
    const QStyle *style = view()->style();
    const int margins = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view()) + 1)
        + 2 * view()->frameWidth();
    const int listWidth =
        widest + margins + style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view()) + 5;
    view()->setMinimumWidth(listWidth);
    completer()->popup()->setMinimumWidth(listWidth);
    if (isEnabled())
        SetDropDownLook(count() > 0);
}

void TDescriptionBox::ChooseLook(const QString &text)
{
    if (!isEnabled())
        return;
    // The list marks the item that is the text, if any; a long text shows its beginning.
    setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    setEditText(text);
    lineEdit()->setCursorPosition(0);
    m_loaded = text;
    SetDropDownLook(count() > 1 || (count() == 1 && itemText(0) != text));
}

bool TDescriptionBox::Edited() const
{
    return currentText() != m_loaded;
}

void TDescriptionBox::showPopup()
{
    if (m_dropDown && count() > 0)
        QComboBox::showPopup();
}

void TDescriptionBox::keyPressEvent(QKeyEvent *event)
{
    // The down-arrow key opens the list rather than stepping to the next item.
    if (event->key() == Qt::Key_Down && !(event->modifiers() & ~Qt::KeypadModifier)) {
        showPopup();
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void TDescriptionBox::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    // A value selected whole on the way in (the Tab key) still shows its beginning.
    QLineEdit *edit = lineEdit();
    if (edit->hasSelectedText() && edit->selectedText() == edit->text())
        edit->setSelection(int(edit->text().size()), -int(edit->text().size()));
}

void TDescriptionBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    // Opening the list or switching to another window does not leave the box.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        Q_EMIT Left();
}

void TDescriptionBox::wheelEvent(QWheelEvent *event)
{
    // Scrolling over the page must not change a track's description by the way.
    if (hasFocus())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}

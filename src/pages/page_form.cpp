#include "pages/page_form.h"

#include "base/application.h"
#include "base/errors.h"
#include "base/ini_file.h"
#include "base/locations.h"
#include "base/settings.h"
#include "pages/error_box.h"
#include "pages/frame_window.h"
#include "pages/skin.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QTimer>

void PostPageMessage(QObject *target, TPageMessage message)
{
    QCoreApplication::postEvent(target, new QEvent(QEvent::Type(int(message))));
}

void RunDropping(const std::function<void()> &action)
{
    try {
        action();
    } catch (...) {}
}

void RunReporting(const std::function<void()> &action)
{
    try {
        action();
    } catch (...) {
        ShowErrorBox(Frame(), ErrorText(std::current_exception()));
    }
}

static TFormBase *g_pages[PageCount] = {};

TFormBase *FindPage(TPageId id)
{
    return g_pages[int(id)];
}

static QPixmap WithSilverTransparent(const QPixmap &picture)
{
    QPixmap result = picture;
    result.setMask(picture.createMaskFromColor(QColor(192, 192, 192), Qt::MaskInColor));
    return result;
}

TIconButton::TIconButton(TButtonData data, QWidget *parent)
    : QPushButton(parent), m_data(std::move(data))
{
    m_data.picture = WithSilverTransparent(m_data.picture);
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
}

void TIconButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    if (m_data.picture.isNull())
        return;
    QPainter painter(this);
    const QSize picture = m_data.picture.size() / m_data.picture.devicePixelRatio();
    painter.drawPixmap((width() - picture.width()) / 2, (height() - picture.height()) / 2,
                       m_data.picture);
}

TFormBase::TFormBase(TPageId id, const QString &section, const QString &designedCaption,
                     QWidget *parent)
    : QWidget(parent ? parent : Frame()), m_id(id), m_section(section)
{
    g_pages[int(id)] = this;
    setObjectName(QStringLiteral("TForm") + section);
    setGeometry(0, 0, ClientWidth, ClientHeight);
    setAutoFillBackground(true);
    hide();
    ImageLeft = new QLabel(this);
    ImageLeft->setObjectName(QStringLiteral("ImageLeft"));
    ImageLeft->setTextFormat(Qt::PlainText);
    ImageLeft->setGeometry(1, 1, 177, 379);
    ImageLeft->setPixmap(
        BuiltInPicture(QStringLiteral(":/pictures/left_%1.jpg").arg(section.toLower())));
    ImageRight = new QLabel(this);
    ImageRight->setObjectName(QStringLiteral("ImageRight"));
    ImageRight->setTextFormat(Qt::PlainText);
    ImageRight->setGeometry(180, 1, 457, 379);
    ImageRight->setPixmap(BuiltInPicture(QStringLiteral(":/pictures/right.jpg")));
    SetCaptionText(designedCaption);
}

TFormBase::~TFormBase()
{
    if (g_pages[int(m_id)] == this)
        g_pages[int(m_id)] = nullptr;
}

void TFormBase::SetCaptionText(const QString &text)
{
    m_captionText = text;
    setWindowTitle(Title() + QStringLiteral(" - ") + text);
}

TIconButton *TFormBase::CreateIconButton(int base, int index, bool isDefault, TButtonAction action,
                                         const QList<QPixmap> &pictures, const QString &objectName)
{
    TButtonData buttonData;
    if (index >= 0 && index < pictures.size())
        buttonData.picture = pictures.at(index);
    buttonData.action = std::move(action);
    buttonData.argument = this;
    auto *button = new TIconButton(std::move(buttonData), this);
    button->setObjectName(objectName);
    button->setGeometry(ClientWidth - 52, base + 42 * index, 38, 38);
    if (isDefault) {
        button->setDefault(true);
        m_defaultButton = button;
    }
    connect(button, &QPushButton::clicked, this, [this, button] { RunButton(button); });
    return button;
}

QLabel *TFormBase::CreateLabel(const QString &objectName, const QRect &place,
                               const QString &textKey, const QString &text, int designedHeight)
{
    QLabel *label = MakeLabel(objectName, place, textKey, text);
    label->setFont(PageFont(designedHeight));
    SetTextColor(label, Qt::black);
    m_rightLabels.append(label);
    return label;
}

QLabel *TFormBase::CreateHintLabel(const QRect &place, const QString &text, const QColor &color,
                                   const QString &textKey)
{
    m_hintLabel = MakeLabel(QStringLiteral("LabelHint"), place, textKey, text);
    m_hintLabel->setFont(PageFont(13));
    m_hintLabel->setWordWrap(true);
    m_hintLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTextColor(m_hintLabel, color);
    return m_hintLabel;
}

QLabel *TFormBase::MakeLabel(const QString &objectName, const QRect &place, const QString &textKey,
                             const QString &text)
{
    auto *label = new QLabel(this);
    // Texts come from tags, file names and ini files: a title "<img src=...>" is shown as
    // written, never loaded.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setObjectName(objectName);
    label->setGeometry(place);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (!textKey.isEmpty())
        m_textLabels.append({label, textKey});
    return label;
}

QLabel *TFormBase::CreateButtonLabel(const QString &objectName, int base, int index,
                                     const QString &textKey, const QString &text)
{
    return CreateLabel(objectName, QRect(192, base + 42 * index + 6, 385, 25), textKey, text);
}

void TFormBase::CreateButtonGroup(int base, std::initializer_list<TButtonSpec> buttons,
                                  int defaultIndex)
{
    QList<QPixmap> pictures;
    for (const TButtonSpec &button : buttons)
        pictures.append(
            BuiltInPicture(QStringLiteral(":/buttons/%1.png").arg(QLatin1String(button.picture))));
    int index = 0;
    for (const TButtonSpec &button : buttons) {
        const QLatin1String key(button.key);
        CreateIconButton(base, index, index == defaultIndex, button.action, pictures,
                         QStringLiteral("Button") + key);
        CreateButtonLabel(QStringLiteral("Label") + key, base, index, key,
                          QLatin1String(button.text));
        ++index;
    }
}

// A click and Enter run a button's action alike: what fails is told, whichever way it came.
void TFormBase::RunButton(QPushButton *button)
{
    auto *icon = qobject_cast<TIconButton *>(button);
    if (!icon || !icon->data().action)
        return;
    RunReporting([icon] { icon->data().action(icon->data().argument); });
}

bool TFormBase::FormKeyPress(int key)
{
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !m_defaultButton)
        return false;
    RunButton(m_defaultButton);
    return true;
}

void TFormBase::ApplySkinAndTexts()
{
    const QString skinPath = DataFile(QLatin1String(SkinFileName));
    if (QFileInfo::exists(skinPath)) {
        const TIniFile skin(skinPath);
        LoadImage(skin, m_section, QStringLiteral("RightImage"), ImageRight);
        LoadImage(skin, m_section, QStringLiteral("LeftImage"), ImageLeft);
        if (m_hintLabel) {
            SetTextColor(m_hintLabel,
                         ReadColor(skin, m_section, QStringLiteral("LeftTextColor"),
                                   m_hintLabel->palette().color(QPalette::WindowText)));
        }
        const QColor right =
            ReadColor(skin, m_section, QStringLiteral("RightTextColor"), Qt::black);
        for (QLabel *label : std::as_const(m_rightLabels))
            SetTextColor(label, right);
    }
    const QString textPath = ConfigFile(TextFileName);
    if (QFileInfo::exists(textPath)) {
        const TIniFile texts(textPath);
        SetCaptionText(ReadText(texts, m_section, QStringLiteral("Caption"), m_captionText));
        for (const auto &[label, key] : std::as_const(m_textLabels))
            label->setText(ReadText(texts, m_section, key, label->text()));
        ReadTexts(texts);
    } else {
        SetCaptionText(m_captionText);
    }
}

void TFormBase::SetupMessages(const QList<QWidget *> &replaced)
{
    Label1 =
        CreateLabel(QStringLiteral("Label1"), QRect(192, 176, 385, 23), QString(), QString(), 16);
    Label2 =
        CreateLabel(QStringLiteral("Label2"), QRect(192, 200, 385, 23), QString(), QString(), 16);
    for (QLabel *label : {Label1, Label2}) {
        label->setAlignment(Qt::AlignCenter);
        label->hide();
    }
    m_replaced = replaced;
    MessageTimer = new QTimer(this);
    MessageTimer->setObjectName(QStringLiteral("MessageTimer"));
    MessageTimer->setInterval(3000);
    connect(MessageTimer, &QTimer::timeout, this,
            [this] { RunDropping([this] { EndMessage(); }); });
}

void TFormBase::ApplyRightSkin(const QString &imageKey, const QString &colorKey)
{
    const QString skinPath = DataFile(QLatin1String(SkinFileName));
    if (!QFileInfo::exists(skinPath))
        return;
    const TIniFile skin(skinPath);
    LoadImage(skin, m_section, imageKey, ImageRight);
    const QColor color = ReadColor(skin, m_section, colorKey, Qt::black);
    for (QLabel *label : std::as_const(m_rightLabels))
        SetTextColor(label, color);
}

void TFormBase::ShowPageMessage(const QString &line1, const QString &line2)
{
    Q_ASSERT(Label1 && MessageTimer);
    ApplyRightSkin(QStringLiteral("RightMsgImage"), QStringLiteral("RightMsgTextColor"));
    Label1->setText(line1);
    Label2->setText(line2);
    // A second message while one is shown keeps the controls the first one hid.
    if (!PresentingMessage()) {
        m_hiddenByMessage.clear();
        for (QWidget *widget : std::as_const(m_replaced)) {
            if (!widget->isHidden()) {
                m_hiddenByMessage.append(widget);
                widget->hide();
            }
        }
    }
    Label1->show();
    Label2->show();
    MessageTimer->start();
}

bool TFormBase::PresentingMessage() const
{
    return Label1 && !Label1->isHidden();
}

void TFormBase::EndMessage()
{
    MessageTimer->stop();
    if (!PresentingMessage())
        return;
    ApplyRightSkin(QStringLiteral("RightImage"), QStringLiteral("RightTextColor"));
    for (QWidget *widget : std::as_const(m_hiddenByMessage))
        widget->show();
    m_hiddenByMessage.clear();
    for (QLabel *label : {Label1, Label2}) {
        label->clear();
        label->hide();
    }
}

bool TFormBase::ShowTestMessageIfTestMode()
{
    if (!Settings().WinMsgTestMode)
        return false;
    MessageTimer->setInterval(600000);
    ShowPageMessage(QStringLiteral("Test message, string 1."),
                    QStringLiteral("Test message, string 2."));
    return true;
}

bool TFormBase::event(QEvent *event)
{
    const int type = int(event->type());
    if (type == MSG_MINIMIZE_APP) {
        if (Frame())
            Frame()->MinimizeApplication();
        return true;
    }
    if (type >= MSG_START_SCAN && type <= MSG_SHOW_MAIN_MENU) {
        RunDropping([this, type] { PageMessage(type); });
        return true;
    }
    return QWidget::event(event);
}

// Where the running SwitchPage keeps the first error of a show or hide handler; null outside
// a switch.
static std::exception_ptr *g_switchError = nullptr;

// Errors cannot cross Qt's event delivery. Within a switch a handler's error goes to the
// action that called SwitchPage, whose guard reports it (an icon button, Enter, a control's
// event) or drops it (a start message); outside one it is reported.
static void RunPageHandler(const std::function<void()> &handler)
{
    if (!g_switchError) {
        RunReporting(handler);
        return;
    }
    try {
        handler();
    } catch (...) {
        if (!*g_switchError)
            *g_switchError = std::current_exception();
    }
}

void TFormBase::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        RunPageHandler([this] { FormShow(); });
}

void TFormBase::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    RunPageHandler([this] { FormHide(); });
    // A page that is left while it shows a message comes back in its normal look.
    if (MessageTimer)
        EndMessage();
}

void SwitchPage(TFormBase *from, TFormBase *to)
{
    // The switch is completed before a handler's error passes on, so that one page is shown.
    std::exception_ptr error;
    {
        const QScopedValueRollback<std::exception_ptr *> catching(g_switchError, &error);
        TFrameWindow *frame = Frame();
        if (ApplicationMinimized() && frame)
            frame->RestoreApplication();
        if (from)
            to->setGeometry(from->geometry());
        to->show();
        to->raise();
        if (frame) {
            frame->SetCurrentPage(to);
            if (frame->isHidden())
                frame->show();
        }
        if (from && from != to)
            from->hide();
    }
    if (error)
        std::rethrow_exception(error);
}

void SwitchPage(TFormBase *from, TPageId to)
{
    if (TFormBase *page = FindPage(to))
        SwitchPage(from, page);
}

TButtonSpec ReturnToMainButton()
{
    return {"ReturnToMain", "Return to main menu", "return_main",
            [](TFormBase *page) { SwitchPage(page, TPageId::Main); }};
}

TButtonSpec ExitButton()
{
    return {"Exit", "Exit", "exit", [](TFormBase *) { EndApplication(); }};
}

#include "pages/page_form.h"

#include "base/application.h"
#include "base/errors.h"
#include "base/ini_file.h"
#include "base/locations.h"
#include "base/settings.h"
#include "pages/frame_window.h"
#include "pages/page_messages.h"
#include "pages/skin.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QTreeWidget>

TFormBase::TFormBase(TPageId id, const QString &section, const QString &designedCaption,
                     QWidget *parent)
    : QWidget(parent ? parent : Frame()), m_services(Frame()->Services()), m_id(id),
      m_section(section)
{
    RegisterPage(id, this);
    setObjectName(QStringLiteral("TForm") + section);
    setGeometry(0, 0, ClientWidth, ClientHeight);
    setAutoFillBackground(true);
    hide();
    m_imageLeft = new QLabel(this);
    m_imageLeft->setObjectName(QStringLiteral("ImageLeft"));
    m_imageLeft->setTextFormat(Qt::PlainText);
    m_imageLeft->setGeometry(1, 1, 177, 379);
    m_imageLeft->setPixmap(
        BuiltInPicture(QStringLiteral(":/pictures/left_%1.jpg").arg(section.toLower())));
    m_imageRight = new QLabel(this);
    m_imageRight->setObjectName(QStringLiteral("ImageRight"));
    m_imageRight->setTextFormat(Qt::PlainText);
    m_imageRight->setGeometry(180, 1, 457, 379);
    m_imageRight->setPixmap(BuiltInPicture(QStringLiteral(":/pictures/right.jpg")));
    SetCaptionText(designedCaption);
}

TFormBase::~TFormBase()
{
    UnregisterPage(m_id, this);
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
        TIconButton *icon = CreateIconButton(base, index, index == defaultIndex, button.action,
                                             pictures, QStringLiteral("Button") + key);
        NameAfter(icon,
                  CreateButtonLabel(QStringLiteral("Label") + key, base, index, key,
                                    QLatin1String(button.text)));
        const QLatin1String picture(button.picture);
        if (picture == QLatin1String("return_back")
            || (picture == QLatin1String("return_main") && !m_backButton))
            m_backButton = icon;
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

void TFormBase::NameAfter(QWidget *control, QLabel *label)
{
    m_namedControls.append({control, label});
    if (label && (qobject_cast<QComboBox *>(control) || qobject_cast<QLineEdit *>(control)))
        label->setBuddy(control);
}

void TFormBase::FocusFirstControl()
{
    setFocus();
    focusNextChild();
}

bool TFormBase::FormKeyPress(int key)
{
    TIconButton *button = nullptr;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        button = m_defaultButton;
    else if (key == Qt::Key_Escape)
        button = m_backButton;
    if (!button)
        return false;
    RunButton(button);
    return true;
}

// A label that names a box takes "&" as the mark of a keyboard shortcut; a caption from the
// text file ("Rock & Roll") is shown as it is written, and names its box so.
static QString WrittenText(const QLabel *label)
{
    QString text = label->text();
    return label->buddy() ? text.replace(QLatin1String("&&"), QLatin1String("&")) : text;
}

static void SetWrittenText(QLabel *label, QString text)
{
    label->setText(label->buddy() ? text.replace(QLatin1Char('&'), QLatin1String("&&")) : text);
}

void TFormBase::ApplySkinAndTexts()
{
    const QString skinPath = DataFile(QLatin1String(SkinFileName));
    if (QFileInfo::exists(skinPath)) {
        const TSkinFile skin(skinPath, m_services.SkinKeyRecorder);
        LoadImage(skin, m_section, QStringLiteral("RightImage"), m_imageRight);
        LoadImage(skin, m_section, QStringLiteral("LeftImage"), m_imageLeft);
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
    const QString textPath = ConfigFile(m_services.ProgramFolder, TextFileName);
    if (QFileInfo::exists(textPath)) {
        const TSkinFile texts(textPath, m_services.SkinKeyRecorder);
        SetCaptionText(ReadText(texts, m_section, QStringLiteral("Caption"), m_captionText));
        for (const auto &[label, key] : std::as_const(m_textLabels))
            SetWrittenText(label, ReadText(texts, m_section, key, WrittenText(label)));
        ReadTexts(texts);
    } else {
        SetCaptionText(m_captionText);
    }
    for (const auto &[control, label] : std::as_const(m_namedControls)) {
        const QString name = label ? WrittenText(label) : m_captionText;
        control->setAccessibleName(name);
        if (auto *tree = qobject_cast<QTreeWidget *>(control); tree && tree->columnCount() == 1)
            tree->setHeaderLabel(name);
    }
}

void TFormBase::SetupMessages(const QList<QWidget *> &replaced)
{
    m_messages = new TPageMessages(this, replaced);
}

void TFormBase::ApplyRightSkin(const QString &imageKey, const QString &colorKey)
{
    const QString skinPath = DataFile(QLatin1String(SkinFileName));
    if (!QFileInfo::exists(skinPath))
        return;
    const TSkinFile skin(skinPath, m_services.SkinKeyRecorder);
    LoadImage(skin, m_section, imageKey, m_imageRight);
    const QColor color = ReadColor(skin, m_section, colorKey, Qt::black);
    for (QLabel *label : std::as_const(m_rightLabels))
        SetTextColor(label, color);
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
    if (m_messages)
        m_messages->End();
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

#include "pages/skin.h"

#include "base/errors.h"
#include "base/ini_file.h"
#include "base/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>

namespace {
// The largest picture a skin may name. Decoding costs grow with the pixels, not the file: a
// small PNG can claim thousands of pixels a side and take seconds and gigabytes per page.
constexpr int MaxPictureSide = 4096;
constexpr int PictureAllocationMb = (MaxPictureSide * MaxPictureSide * 4 >> 20) + 1;

struct TColorName {
    const char *name;
    QRgb rgb;
};
// Searched from the top; the first match wins.
constexpr TColorName ColorNames[] = {
    {"BLACK", qRgb(0, 0, 0)},       {"MAROON", qRgb(128, 0, 0)},    {"GREEN", qRgb(0, 128, 0)},
    {"OLIVE", qRgb(128, 128, 0)},   {"NAVY", qRgb(0, 0, 128)},      {"PURPLE", qRgb(128, 0, 128)},
    {"TEAL", qRgb(0, 128, 128)},    {"GRAY", qRgb(128, 128, 128)},  {"SILVER", qRgb(192, 192, 192)},
    {"RED", qRgb(255, 0, 0)},       {"LIME", qRgb(0, 255, 0)},      {"YELLOW", qRgb(255, 255, 0)},
    {"BLUE", qRgb(0, 0, 255)},      {"FUCHSIA", qRgb(255, 0, 255)}, {"AQUA", qRgb(0, 255, 255)},
    {"WHITE", qRgb(255, 255, 255)},
};
} // namespace

TSkinFile::TSkinFile(const QString &path, TSkinKeyRecorder recorder)
    : m_ini(path), m_recorder(std::move(recorder))
{}

void TSkinFile::Record(const QString &section, const QString &key,
                       const QString &defaultValue) const
{
    if (m_recorder)
        m_recorder({QFileInfo(m_ini.path()).fileName(), section, key, defaultValue});
}

static QString ColorName(const QColor &color)
{
    for (const TColorName &entry : ColorNames) {
        if (color.rgb() == entry.rgb)
            return QLatin1String(entry.name);
    }
    return color.name();
}

QColor ColorByName(const QString &name)
{
    const QString upper = name.toUpper();
    for (const TColorName &entry : ColorNames) {
        if (upper == QLatin1String(entry.name))
            return QColor(entry.rgb);
    }
    return QColor();
}

QColor ReadColor(const TSkinFile &skin, const QString &section, const QString &key,
                 const QColor &defaultColor)
{
    skin.Record(section, key, ColorName(defaultColor));
    const QString text = skin.Ini().ReadString(section, key, QStringLiteral("NO_COLOR"));
    if (text == QLatin1String("NO_COLOR"))
        return defaultColor;
    const QColor color = ColorByName(text);
    return color.isValid() ? color : defaultColor;
}

// The picture of a regular file, read at no more than the size it is shown at (it still covers
// that size); a null image when it cannot be read or claims more than MaxPictureSide a side.
static QImage ReadPicture(const QString &path, const QSize &shown)
{
    try {
        const TRegularFile file(path);
        QFile device;
        if (!device.open(file.Handle(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
            return {};
        QImageReader reader(&device);
        // Formats that tell no size in their header are held to the same bound.
        reader.setAllocationLimit(PictureAllocationMb);
        const QSize size = reader.size();
        if (size.width() > MaxPictureSide || size.height() > MaxPictureSide)
            return {};
        if (size.isValid() && !shown.isEmpty()
            && (size.width() > shown.width() || size.height() > shown.height()))
            reader.setScaledSize(size.scaled(shown, Qt::KeepAspectRatioByExpanding));
        return reader.read();
    } catch (const EQuavermill &) {
        return {};
    }
}

void LoadImage(const TSkinFile &skin, const QString &section, const QString &key, QLabel *image)
{
    skin.Record(section, key, QString());
    const QString path = skin.Ini().ReadString(section, key, QStringLiteral("NO_FILE"));
    if (path == QLatin1String("NO_FILE"))
        return;
    const QImage picture = ReadPicture(path, image->size());
    if (!picture.isNull()) {
        image->setPixmap(QPixmap::fromImage(picture));
        image->show();
    } else {
        image->hide();
    }
}

QPixmap BuiltInPicture(const QString &path)
{
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1) {
        const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
        QPixmap sharp(path.left(dot) + QStringLiteral("@2x") + path.mid(dot));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2);
            return sharp;
        }
    }
    return QPixmap(path);
}

QString ReadText(const TSkinFile &texts, const QString &section, const QString &key,
                 const QString &defaultText)
{
    texts.Record(section, key, defaultText);
    return texts.Ini().ReadString(section, key, defaultText);
}

// The pages were designed for a Windows sans-serif whose heights count the whole character
// cell. Liberation Sans has Arial's metrics; one pixel less than the designed height gives a
// line that fits the designed label boxes, and the longest designed label ("Search on all
// removable (CD, flash etc)", 349 pixels at 20) stays inside its 385 pixels.
QFont PageFont(int designedHeight)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, designedHeight - 1));
    return font;
}

void SetTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

// Regenerate every built-in picture (run from the source folder):
//   cmake --build build --target make_artwork && build/resources/make_artwork resources
//
// Draws the page pictures (pictures/*.jpg), the button pictures on silver (buttons/*.png) and
// the tree pictures (tree/*.png) into the given resources folder, each also at twice the size
// for high-density screens (Qt's "@2x" beside the name), the program's icon for the desktop
// (desktop/icons/hicolor/), and refreshes the copies of the small pictures embedded in the
// help page. The build compiles the committed files; it
// never runs this program. "--preview <folder>" also writes enlarged
// contact sheets and a page mock-up for checking the look by eye.
#include "artwork.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <cstdio>

namespace {

const QRgb Silver = qRgb(192, 192, 192);

void Save(const QImage &image, const QString &path, const char *format, int quality = -1)
{
    QDir().mkpath(QFileInfo(path).path());
    if (!image.save(path, format, quality)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

// One of the 16 x 16 drawings at `scale` times its size.
QImage DrawSmall(const TNamedDrawing &drawing, int scale)
{
    QImage image(16 * scale, 16 * scale, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    drawing.draw(p);
    return image;
}

// Qt loads "name@2x.png" as the picture for screens of twice the pixel density.
QString AtScale(const QString &path, int scale)
{
    if (scale == 1)
        return path;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return path.left(dot) + QStringLiteral("@%1x").arg(scale) + path.mid(dot);
}

// The program draws button pictures with silver as the transparent colour. Edges are blended
// against silver; nearly clear pixels become silver outright so that no grey halo remains, and
// a drawn pixel that happens to blend to silver exactly is moved off it so it stays visible.
QImage OnSilver(const QImage &drawn)
{
    QImage image(drawn.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = drawn.pixel(x, y);
            const double a = qAlpha(c) / 255.0;
            if (a < 0.15) {
                image.setPixel(x, y, Silver);
                continue;
            }
            auto mix = [a](int front) { return qRound(front * a + 192 * (1 - a)); };
            QRgb out = qRgb(mix(qRed(c)), mix(qGreen(c)), mix(qBlue(c)));
            if (out == Silver)
                out = qRgb(190, 190, 190);
            image.setPixel(x, y, out);
        }
    }
    return image;
}

// The help page shows the small pictures without needing other files: every picture that an
// element names with data-picture="buttons/play" gets one style rule carrying the current
// picture as a data URL, written between the two marker comments of the page.
void EmbedInHelp(const QString &path, const QHash<QString, QImage> &pictures)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString before = QString::fromUtf8(file.readAll());
    file.close();
    const QString open =
        QStringLiteral("/* pictures: written by resources/artwork/make_artwork */\n");
    const QString close = QStringLiteral("/* end of pictures */");
    const qsizetype from = before.indexOf(open);
    const qsizetype to = before.indexOf(close);
    if (from < 0 || to < from) {
        std::fprintf(stderr, "%s: no picture markers\n", qPrintable(path));
        return;
    }
    static const QRegularExpression named(QStringLiteral("data-picture=\"([a-z_]+/[a-z_]+)\""));
    QStringList used;
    for (const QRegularExpressionMatch &match : named.globalMatch(before))
        if (!used.contains(match.captured(1)))
            used.append(match.captured(1));
    QString rules;
    for (const QString &name : std::as_const(used)) {
        if (!pictures.contains(name)) {
            std::fprintf(stderr, "%s: no picture %s\n", qPrintable(path), qPrintable(name));
            continue;
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        pictures.value(name).save(&buffer, "PNG");
        rules += QStringLiteral(
                     "[data-picture=\"%1\"] { background-image: url(data:image/png;base64,%2); }\n")
                     .arg(name, QString::fromLatin1(png.toBase64()));
    }
    const QString after = before.left(from + open.size()) + rules + before.mid(to);
    if (after != before && file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(after.toUtf8());
}

// The program shows silver as transparent; a web page needs real transparency.
QImage SilverCleared(const QImage &picture)
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == Silver)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
}

QImage ContactSheet(const std::vector<QImage> &pictures, const QColor &background)
{
    const int scale = 4;
    const int cell = 16 * scale + 12;
    const int columns = 6;
    const int rows = int(pictures.size() + columns - 1) / columns;
    QImage sheet(columns * cell, rows * (cell + 20), QImage::Format_RGB32);
    sheet.fill(background);
    QPainter p(&sheet);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const int x = int(i % columns) * cell + 6;
        const int y = int(i / columns) * (cell + 20) + 6;
        p.drawImage(QRect(x, y, 16 * scale, 16 * scale), pictures[i]);
        p.drawImage(QPoint(x, y + 16 * scale + 4), pictures[i]);
    }
    return sheet;
}

// A page as the program lays it out: left picture, right picture, labels and buttons.
QImage PageMockup(const QImage &left, const QImage &right, const QStringList &labels,
                  const QString &hint, Qt::Alignment hintAlignment)
{
    QImage page(639, 381, QImage::Format_RGB32);
    page.fill(QColor(239, 239, 239));
    QPainter p(&page);
    p.drawImage(1, 1, left);
    p.drawImage(180, 1, right);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(20);
    p.setFont(font);
    for (int i = 0; i < labels.size(); ++i) {
        p.setPen(Qt::black);
        p.drawText(QRect(192, 20 + 42 * i, 385, 25), Qt::AlignLeft | Qt::AlignTop, labels[i]);
        p.setPen(QColor(160, 160, 160));
        p.setBrush(QColor(236, 236, 236));
        p.drawRoundedRect(QRect(587, 14 + 42 * i, 37, 37), 3, 3);
    }
    QFont small(QStringLiteral("Liberation Sans"));
    small.setPixelSize(13);
    p.setFont(small);
    p.setPen(Qt::white);
    p.drawText(QRect(9, 9, 153, 359), Qt::AlignLeft | hintAlignment | Qt::TextWordWrap, hint);
    return page;
}

void SaveAppIcons(const QString &folder)
{
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        QImage icon(size, size, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        DrawAppIcon(p, size);
        p.end();
        Save(icon, folder + QStringLiteral("/%1x%1/apps/quavermill.png").arg(size), "PNG");
    }
    const QString svg = folder + QStringLiteral("/scalable/apps/quavermill.svg");
    QDir().mkpath(QFileInfo(svg).path());
    QSvgGenerator generator;
    generator.setFileName(svg);
    generator.setSize(QSize(256, 256));
    generator.setViewBox(QRect(0, 0, 256, 256));
    generator.setResolution(96); // so that the stated size is 256 CSS pixels
    generator.setTitle(QStringLiteral("Quavermill"));
    generator.setDescription(QStringLiteral("The icon of Quavermill, a music catalog"));
    QPainter p(&generator);
    DrawAppIcon(p, 256);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString out = args.size() > 1 ? args.at(1) : QStringLiteral(QUAVERMILL_RESOURCES_DIR);
    const int previewAt = int(args.indexOf(QStringLiteral("--preview")));
    const QString preview =
        previewAt > 0 && previewAt + 1 < args.size() ? args.at(previewAt + 1) : QString();

    // The help page and the preview show the pictures at their own size.
    QHash<QString, QImage> forHelp;
    std::vector<QImage> buttons;
    std::vector<QImage> tree;
    for (const int scale : {1, 2}) {
        Save(RightPicture(scale), AtScale(out + QStringLiteral("/pictures/right.jpg"), scale),
             "JPG", 93);
        for (const QString &section : LeftSections())
            Save(LeftPicture(section, scale),
                 AtScale(out + QStringLiteral("/pictures/left_%1.jpg").arg(section.toLower()),
                         scale),
                 "JPG", 93);
        for (const TNamedDrawing &drawing : ButtonDrawings()) {
            const QImage button = OnSilver(DrawSmall(drawing, scale));
            Save(button, AtScale(out + QStringLiteral("/buttons/%1.png").arg(drawing.name), scale),
                 "PNG");
            if (scale == 1) {
                buttons.push_back(button);
                forHelp.insert(QStringLiteral("buttons/") + drawing.name, SilverCleared(button));
            }
        }
        for (const TNamedDrawing &drawing : TreeDrawings()) {
            const QImage picture = DrawSmall(drawing, scale);
            Save(picture, AtScale(out + QStringLiteral("/tree/%1.png").arg(drawing.name), scale),
                 "PNG");
            if (scale == 1) {
                tree.push_back(picture);
                forHelp.insert(QStringLiteral("tree/") + drawing.name, picture);
            }
        }
    }
    SaveAppIcons(out + QStringLiteral("/desktop/icons/hicolor"));
    EmbedInHelp(out + QStringLiteral("/Quavermill.html"), forHelp);

    if (!preview.isEmpty()) {
        Save(ContactSheet(buttons, QColor(192, 192, 192)), preview + QStringLiteral("/buttons.png"),
             "PNG");
        Save(ContactSheet(tree, Qt::white), preview + QStringLiteral("/tree.png"), "PNG");
        const QString hint = QStringLiteral("Click tracks you want to add to the playlist, type "
                                            "playlist name and then press the button. Only "
                                            "checked tracks will be added!");
        const QStringList labels = {QStringLiteral("Play a list"),
                                    QStringLiteral("Search on all removable (CD, flash etc)"),
                                    QStringLiteral("Show catalog contents"),
                                    QStringLiteral("Create playlist"),
                                    QStringLiteral("Exit"),
                                    QStringLiteral("Help"),
                                    QStringLiteral("Return to tracks selection"),
                                    QStringLiteral("Save the playlist")};
        // Hint labels may stand at the top or at the bottom of the left picture.
        const QImage right = RightPicture(1);
        for (const QString &section : LeftSections()) {
            const QImage left = LeftPicture(section, 1);
            const QString name = preview + QStringLiteral("/page_") + section.toLower();
            Save(PageMockup(left, right, labels, hint, Qt::AlignTop), name + QStringLiteral(".png"),
                 "PNG");
            Save(PageMockup(left, right, labels, hint, Qt::AlignBottom),
                 name + QStringLiteral("_low.png"), "PNG");
        }
    }
    return 0;
}

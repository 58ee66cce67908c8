#include "artwork.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr int Width = 177;
constexpr int Height = 379;
// The emblem (motif and name) stands in the middle band, y 104 to 276. The pages' hint text
// goes above it (a hint label at the top) or below it (one aligned to the bottom), so both
// ends of the picture stay calm.
constexpr QPointF MotifCentre(88.5, 168);
constexpr double NameTop = 240;

QColor Faded(QColor colour, double alpha)
{
    colour.setAlphaF(float(alpha));
    return colour;
}

QPen LinePen(double width = 3.0)
{
    return QPen(Palette::Chalk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPen AccentPen(double width = 3.0)
{
    return QPen(Palette::Amber, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

const QBrush SoftFill()
{
    return Faded(Palette::Chalk, 0.14);
}

} // namespace

void DrawMainMotif(QPainter &p)
{
    p.setPen(QPen(Faded(Palette::Chalk, 0.30), 1.2));
    for (int i = -2; i <= 2; ++i)
        p.drawLine(QPointF(-48, 11 * i + 6), QPointF(48, 11 * i + 6));
    DrawQuaver(p, QPointF(-10, 28), 1.35, Palette::Chalk);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::Amber);
    p.save();
    p.translate(-10, 28);
    p.rotate(-22);
    p.drawEllipse(QPointF(0, 0), 10.5 * 1.35, 7.4 * 1.35);
    p.restore();
}

namespace {

void Disc(QPainter &p, QPointF centre, double radius)
{
    p.setPen(LinePen());
    p.setBrush(SoftFill());
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(Faded(Palette::Chalk, 0.35), 1.2));
    p.setBrush(Qt::NoBrush);
    for (double r = radius - 7; r > radius * 0.45; r -= 5)
        p.drawEllipse(centre, r, r);
    p.setPen(LinePen(2.2));
    p.drawEllipse(centre, radius * 0.3, radius * 0.3);
    p.setBrush(Palette::Chalk);
    p.drawEllipse(centre, 2.5, 2.5);
}

// Search: a magnifier over a disc.
void DrawSearch(QPainter &p)
{
    Disc(p, QPointF(-10, -10), 36);
    const QPointF lens(16, 16);
    p.setPen(LinePen(3.5));
    p.setBrush(Faded(Palette::Ink, 0.55));
    p.drawEllipse(lens, 18, 18);
    p.setPen(QPen(Faded(Palette::Chalk, 0.55), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(lens.x() - 12, lens.y() - 12, 24, 24), 100 * 16, 70 * 16);
    p.setPen(AccentPen(8));
    p.drawLine(QPointF(30, 30), QPointF(44, 44));
}

QPainterPath FolderBack(QRectF r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.bottom());
    path.lineTo(r.left(), r.top() + 4);
    path.quadTo(r.left(), r.top(), r.left() + 4, r.top());
    path.lineTo(r.left() + r.width() * 0.36, r.top());
    path.lineTo(r.left() + r.width() * 0.44, r.top() + 9);
    path.lineTo(r.right() - 4, r.top() + 9);
    path.quadTo(r.right(), r.top() + 9, r.right(), r.top() + 13);
    path.lineTo(r.right(), r.bottom());
    path.closeSubpath();
    return path;
}

// Folder chooser: an open folder holding a note.
void DrawFolder(QPainter &p)
{
    const QRectF body(-44, -34, 88, 70);
    p.setPen(LinePen());
    p.setBrush(SoftFill());
    p.drawPath(FolderBack(body));
    const QPainterPath front = ClosedPath({{-44, 36}, {-36, -6}, {50, -6}, {44, 36}});
    p.setPen(LinePen());
    p.setBrush(Faded(Palette::DeepTeal, 0.85));
    p.drawPath(front);
    p.setBrush(SoftFill());
    p.drawPath(front);
    DrawQuaver(p, QPointF(-2, 26), 0.62, Palette::Amber);
}

// Track selection: rows with check boxes, two of them checked.
void DrawSelect(QPainter &p)
{
    for (int row = 0; row < 3; ++row) {
        const double y = -30 + 30 * row;
        p.setPen(LinePen(2.5));
        p.setBrush(SoftFill());
        p.drawRoundedRect(QRectF(-44, y - 10, 20, 20), 4, 4);
        p.setPen(QPen(Faded(Palette::Chalk, 0.75), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(-12, y - 3), QPointF(44 - 12 * (row % 2), y - 3));
        p.setPen(QPen(Faded(Palette::Chalk, 0.4), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(-12, y + 5), QPointF(22 - 8 * row, y + 5));
        if (row != 1) {
            p.setPen(AccentPen(3.5));
            QPainterPath tick;
            tick.moveTo(-40, y);
            tick.lineTo(-34.5, y + 6);
            tick.lineTo(-22, y - 12);
            p.setBrush(Qt::NoBrush);
            p.drawPath(tick);
        }
    }
}

// Description: a luggage tag and a pen.
void DrawDescribe(QPainter &p)
{
    p.save();
    p.rotate(-28);
    const QPainterPath tag = ClosedPath({{-40, -20}, {18, -20}, {40, 0}, {18, 20}, {-40, 20}});
    p.setPen(LinePen());
    p.setBrush(SoftFill());
    p.drawPath(tag);
    p.drawEllipse(QPointF(20, 0), 4.5, 4.5);
    p.setPen(QPen(Faded(Palette::Chalk, 0.6), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-30, -6), QPointF(4, -6));
    p.drawLine(QPointF(-30, 5), QPointF(-6, 5));
    p.restore();
    p.setPen(QPen(Faded(Palette::Chalk, 0.55), 1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath string;
    string.moveTo(18, -12);
    string.cubicTo(30, -34, 44, -30, 46, -44);
    p.drawPath(string);
    // The pen crosses the lower corner of the tag.
    p.save();
    p.translate(14, 30);
    p.rotate(-45);
    p.setPen(QPen(Palette::Chalk, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Palette::Amber);
    p.drawRoundedRect(QRectF(-26, -5.5, 44, 11), 2.5, 2.5);
    const QPainterPath nib = ClosedPath({{-26, -5.5}, {-38, 0}, {-26, 5.5}});
    p.setBrush(Palette::Chalk);
    p.drawPath(nib);
    p.restore();
}

// Copy: an arrow bending down into an open box.
void DrawCopy(QPainter &p)
{
    QPainterPath box;
    box.moveTo(-40, 4);
    box.lineTo(-40, 42);
    box.lineTo(40, 42);
    box.lineTo(40, 4);
    p.setPen(LinePen());
    p.setBrush(SoftFill());
    p.drawPath(box);
    p.drawLine(QPointF(-40, 4), QPointF(-50, -8));
    p.drawLine(QPointF(40, 4), QPointF(50, -8));
    p.setPen(QPen(Faded(Palette::Chalk, 0.45), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-26, 30), QPointF(26, 30));
    QPainterPath arrow;
    arrow.moveTo(-30, -44);
    arrow.cubicTo(-4, -48, 4, -34, 4, -2);
    p.setPen(AccentPen(5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    QPainterPath head;
    head.moveTo(-8, -10);
    head.lineTo(4, 8);
    head.lineTo(16, -10);
    p.drawPath(head);
}

// Catalog: two shelves of records, one record standing out of its sleeve.
void DrawCatalog(QPainter &p)
{
    p.setPen(LinePen(3));
    p.drawLine(QPointF(-48, -6), QPointF(48, -6));
    p.drawLine(QPointF(-48, 44), QPointF(48, 44));
    const double spines[] = {7, 9, 6, 10, 8, 7, 9};
    double x = -42;
    p.setBrush(SoftFill());
    for (int i = 0; i < 7; ++i) {
        const double h = 34 - (i % 3) * 3;
        p.setPen(LinePen(2));
        p.drawRect(QRectF(x, -8 - h, spines[i], h));
        x += spines[i] + 3;
    }
    x = -42;
    for (int i = 0; i < 3; ++i) {
        p.drawRect(QRectF(x, 42 - 36, 8, 36));
        x += 11;
    }
    p.save();
    p.translate(-8, 24);
    p.rotate(14);
    p.drawRect(QRectF(0, -20, 8, 38));
    p.restore();
    p.setPen(LinePen(2.5));
    p.setBrush(Palette::Amber);
    p.drawEllipse(QPointF(26, 24), 19, 19);
    p.setBrush(Faded(Palette::Ink, 0.8));
    p.drawEllipse(QPointF(26, 24), 6, 6);
}

void ListLines(QPainter &p, double left, double top, int rows, double gap)
{
    for (int i = 0; i < rows; ++i) {
        const double y = top + gap * i;
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::Chalk);
        p.drawEllipse(QPointF(left, y), 3.5, 3.5);
        p.setPen(QPen(Faded(Palette::Chalk, i == 0 ? 0.95 : 0.7), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(left + 12, y), QPointF(left + 62 - 9 * (i % 3), y));
    }
}

// Create playlist: a list with a plus.
void DrawCreatePlaylist(QPainter &p)
{
    ListLines(p, -42, -34, 4, 18);
    const QPointF plus(28, 26);
    p.setPen(AccentPen(3));
    p.setBrush(Faded(Palette::Ink, 0.85));
    p.drawEllipse(plus, 19, 19);
    p.setPen(AccentPen(4.5));
    p.drawLine(plus + QPointF(-9, 0), plus + QPointF(9, 0));
    p.drawLine(plus + QPointF(0, -9), plus + QPointF(0, 9));
}

// Playlist content: a sheet listing tracks, each with a note.
void DrawViewPlaylist(QPainter &p)
{
    p.setPen(LinePen());
    p.setBrush(SoftFill());
    p.drawRoundedRect(QRectF(-38, -46, 76, 92), 6, 6);
    for (int i = 0; i < 4; ++i) {
        const double y = -26 + 19 * i;
        DrawQuaver(p, QPointF(-24, y + 4), 0.3, Palette::Amber);
        p.setPen(QPen(Faded(Palette::Chalk, 0.8), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(-12, y), QPointF(26 - 8 * (i % 2), y));
    }
}

// Play a list: a play sign in a ring with a list beside it.
void DrawPlay(QPainter &p)
{
    p.setPen(LinePen(3));
    p.setBrush(SoftFill());
    p.drawEllipse(QPointF(0, 0), 40, 40);
    p.setPen(QPen(Faded(Palette::Chalk, 0.3), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), 48, 48);
    const QPainterPath play = ClosedPath({{-12, -22}, {24, 0}, {-12, 22}});
    p.setPen(QPen(Palette::Amber, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Palette::Amber);
    p.drawPath(play);
}

using TMotif = void (*)(QPainter &);

const QHash<QString, TMotif> &Motifs()
{
    static const QHash<QString, TMotif> motifs = {
        {QStringLiteral("Main"), DrawMainMotif},
        {QStringLiteral("SearchTracks"), DrawSearch},
        {QStringLiteral("SelectFolder"), DrawFolder},
        {QStringLiteral("SelectTracks"), DrawSelect},
        {QStringLiteral("SetDescription"), DrawDescribe},
        {QStringLiteral("CopyFiles"), DrawCopy},
        {QStringLiteral("ViewCatalog"), DrawCatalog},
        {QStringLiteral("CreatePlaylist"), DrawCreatePlaylist},
        {QStringLiteral("ViewPlaylist"), DrawViewPlaylist},
        {QStringLiteral("PlaylistChoice"), DrawPlay},
    };
    return motifs;
}

void DrawBackground(QPainter &p)
{
    QLinearGradient deep(0, 0, Width * 0.45, Height);
    deep.setColorAt(0.0, Palette::Ink);
    deep.setColorAt(0.55, QColor(16, 54, 78));
    deep.setColorAt(1.0, Palette::DeepTeal);
    p.fillRect(QRect(0, 0, Width, Height), deep);
    // The hints at the top are written in the pages' own colours, red among them: a shade
    // keeps their band dark enough for 4.5:1 and fades out before the emblem.
    QLinearGradient shade(0, 0, 0, 104);
    shade.setColorAt(0.0, QColor(0, 0, 0, 150));
    shade.setColorAt(0.6, QColor(0, 0, 0, 130));
    shade.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.fillRect(QRect(0, 0, Width, 104), shade);

    QRadialGradient halo(MotifCentre, 78);
    halo.setColorAt(0.0, QColor(140, 210, 220, 46));
    halo.setColorAt(0.7, QColor(140, 210, 220, 14));
    halo.setColorAt(1.0, QColor(140, 210, 220, 0));
    p.fillRect(QRect(0, 0, Width, Height), halo);
    p.setPen(QPen(Faded(Palette::Chalk, 0.10), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(MotifCentre, 64, 64);

    // A whisper of the right picture's staff near the bottom ties the two pictures together;
    // it stays faint enough for the hint text that may stand over it.
    p.setPen(QPen(Faded(Palette::Chalk, 0.07), 1.0));
    for (int line = 0; line < 5; ++line) {
        QPainterPath staff;
        const double y = 322 + 7 * line;
        staff.moveTo(-2, y + 10);
        staff.cubicTo(50, y - 16, 120, y + 22, Width + 2, y - 8);
        p.drawPath(staff);
    }

    // A faint light rim on the right edge separates the picture from the page beside it.
    QLinearGradient rim(Width - 6, 0, Width, 0);
    rim.setColorAt(0.0, QColor(255, 255, 255, 0));
    rim.setColorAt(1.0, QColor(255, 255, 255, 18));
    p.fillRect(QRectF(Width - 6, 0, 6, Height), rim);
}

void DrawWordmark(QPainter &p)
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(22);
    font.setItalic(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    p.setFont(font);
    p.setPen(Faded(Palette::Chalk, 0.92));
    const QRectF box(0, NameTop, Width, 28);
    p.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Quavermill"));
    const double y = NameTop + 34.5;
    p.setPen(QPen(Faded(Palette::Chalk, 0.35), 1.0));
    p.drawLine(QPointF(42, y), QPointF(80, y));
    p.drawLine(QPointF(97, y), QPointF(135, y));
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::Amber);
    const QPainterPath diamond = ClosedPath({{88.5, y - 3.5}, {92, y}, {88.5, y + 3.5}, {85, y}});
    p.drawPath(diamond);
}

} // namespace

QStringList LeftSections()
{
    return {QStringLiteral("Main"),           QStringLiteral("SearchTracks"),
            QStringLiteral("SelectFolder"),   QStringLiteral("SelectTracks"),
            QStringLiteral("SetDescription"), QStringLiteral("CopyFiles"),
            QStringLiteral("ViewCatalog"),    QStringLiteral("CreatePlaylist"),
            QStringLiteral("ViewPlaylist"),   QStringLiteral("PlaylistChoice")};
}

QImage LeftPicture(const QString &section, int scale)
{
    QImage image(Width * scale, Height * scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    DrawBackground(p);
    DrawWordmark(p);
    p.translate(MotifCentre);
    Motifs().value(section)(p);
    p.end();
    AddGrain(image, 1.4, quint32(qHash(section)));
    return image;
}

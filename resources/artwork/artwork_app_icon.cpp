#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

// The icon is a tile of the left pictures' night blue holding the main menu's note. It is drawn
// on a 256-unit grid; below 48 pixels the staff and the ring would blur into grey, so small
// icons show a bolder note alone.
namespace {

constexpr double Grid = 256;
constexpr double SmallBelow = 48;

QColor Faded(QColor colour, double alpha)
{
    colour.setAlphaF(float(alpha));
    return colour;
}

void Tile(QPainter &p, bool small)
{
    // Small icons need the tile up to the edge and a tighter corner to keep their outline.
    const QRectF tile = small ? QRectF(8, 8, 240, 240) : QRectF(16, 16, 224, 224);
    const double corner = small ? 40 : 48;
    QLinearGradient deep(tile.topLeft(), QPointF(tile.left() + tile.width() * 0.45, tile.bottom()));
    deep.setColorAt(0.0, Palette::Ink);
    deep.setColorAt(0.55, QColor(16, 54, 78));
    deep.setColorAt(1.0, Palette::DeepTeal);
    p.setPen(Qt::NoPen);
    p.setBrush(deep);
    p.drawRoundedRect(tile, corner, corner);

    QRadialGradient halo(QPointF(128, 124), 110);
    halo.setColorAt(0.0, QColor(140, 210, 220, 60));
    halo.setColorAt(0.7, QColor(140, 210, 220, 18));
    halo.setColorAt(1.0, QColor(140, 210, 220, 0));
    p.setBrush(halo);
    p.drawRoundedRect(tile, corner, corner);

    // A faint light rim lifts the tile off dark panels.
    const double rim = small ? 8 : 3;
    p.setPen(QPen(Faded(Palette::Chalk, 0.22), rim));
    p.setBrush(Qt::NoBrush);
    const double inset = rim / 2;
    p.drawRoundedRect(tile.adjusted(inset, inset, -inset, -inset), corner - inset, corner - inset);
}

// The small pictures' note, nudged to the tile's centre: its stem and flag stay at least a
// pixel wide, and its head takes the accent colour as on the main menu's picture.
void BoldNote(QPainter &p)
{
    p.save();
    p.scale(Grid / 16, Grid / 16);
    p.translate(0.9, -0.4);
    DrawSmallNote(p, Palette::Chalk, Palette::Amber);
    p.restore();
}

} // namespace

void DrawAppIcon(QPainter &p, int size)
{
    const bool small = size < SmallBelow;
    p.save();
    p.scale(size / Grid, size / Grid);
    Tile(p, small);
    if (small) {
        BoldNote(p);
    } else {
        p.setPen(QPen(Faded(Palette::Chalk, 0.14), 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(128, 124), 92, 92);
        p.translate(128, 130);
        p.scale(1.75, 1.75);
        DrawMainMotif(p);
    }
    p.restore();
}

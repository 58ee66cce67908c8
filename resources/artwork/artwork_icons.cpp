#include "artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

// Every small picture is drawn on a 16 x 16 grid: a one-pixel outline sits on half-pixel
// coordinates so that it covers whole pixels, and fills use a top-to-bottom light gradient.
namespace {

using namespace Palette;

QPen Outline(const QColor &colour = Navy, double width = 1.0)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QBrush Shaded(const QColor &colour, double top = 0, double bottom = 16)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0.0, colour.lighter(135));
    gradient.setColorAt(1.0, colour);
    return gradient;
}

void Arrowhead(QPainter &p, QPointF tip, QPointF back1, QPointF back2, const QColor &colour)
{
    const QPainterPath head = ClosedPath({tip, back1, back2});
    p.setPen(Outline(colour));
    p.setBrush(colour);
    p.drawPath(head);
}

// A circle at the centre of the 16 x 16 grid.
void Centred(QPainter &p, double radius, const QBrush &brush, const QPen &pen = Qt::NoPen)
{
    p.setPen(pen);
    p.setBrush(brush);
    p.drawEllipse(QPointF(8, 8), radius, radius);
}

// The background that marks a picture under the mouse pointer.
void HotBackground(QPainter &p)
{
    p.setPen(Outline(HotEdge));
    p.setBrush(Shaded(HotFill));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
}

void CheckBox(QPainter &p, bool hot, bool available)
{
    const QColor edge = !available ? Grey : hot ? HotEdge : QColor(84, 104, 136);
    const QColor fill = !available ? QColor(222, 225, 230) : hot ? HotFill : Paper;
    p.setPen(Outline(edge));
    QLinearGradient gradient(0, 2, 0, 14);
    gradient.setColorAt(0.0, fill.darker(hot ? 100 : 106));
    gradient.setColorAt(1.0, fill.lighter(104));
    p.setBrush(gradient);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2.5, 2.5);
}

void Tick(QPainter &p, const QColor &colour, double width = 2.2)
{
    QPainterPath tick;
    tick.moveTo(4.2, 8.2);
    tick.lineTo(6.9, 11);
    tick.lineTo(11.8, 4.6);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

void CheckOn(QPainter &p, bool hot)
{
    CheckBox(p, hot, true);
    Tick(p, hot ? HotEdge.darker(130) : Teal);
}

void CheckUnavailable(QPainter &p, bool hot)
{
    CheckBox(p, hot, false);
    p.setPen(QPen(hot ? HotEdge : Grey, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 8), QPointF(11, 8));
}

void Track(QPainter &p, bool hot)
{
    if (hot)
        HotBackground(p);
    DrawSmallNote(p, hot ? Navy : Teal, hot ? Navy : Teal);
}

void TrackMissing(QPainter &p, bool hot)
{
    if (hot)
        HotBackground(p);
    DrawSmallNote(p, Grey.lighter(115), Grey.lighter(115));
    p.setPen(Outline(Red, 1.8));
    p.drawLine(QPointF(10.5, 10.5), QPointF(14, 14));
    p.drawLine(QPointF(14, 10.5), QPointF(10.5, 14));
}

void Disc(QPainter &p, const QColor &label)
{
    p.setPen(Outline());
    QRadialGradient shine(QPointF(6, 6), 9);
    shine.setColorAt(0.0, QColor(232, 246, 250));
    shine.setColorAt(1.0, Sea);
    p.setBrush(shine);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setBrush(label);
    p.drawEllipse(QPointF(8, 8), 2.3, 2.3);
}

void Folder(QPainter &p)
{
    const QPainterPath back =
        ClosedPath({{1.5, 13.5}, {1.5, 3.5}, {6, 3.5}, {7.5, 5}, {14.5, 5}, {14.5, 13.5}});
    p.setPen(Outline(Gold.darker(170)));
    p.setBrush(Shaded(Gold.darker(112)));
    p.drawPath(back);
    p.setBrush(Shaded(Gold, 6, 14));
    p.drawRect(QRectF(1.5, 6.5, 13, 7));
}

void Shelf(QPainter &p)
{
    p.setPen(Outline());
    p.setBrush(Shaded(Teal));
    p.drawRect(QRectF(2.5, 3.5, 3, 10));
    p.setBrush(Shaded(Gold));
    p.drawRect(QRectF(6.5, 2.5, 3, 11));
    p.setBrush(Shaded(Red));
    p.save();
    p.translate(11, 13.5);
    p.rotate(12);
    p.drawRect(QRectF(-0.5, -9, 3, 9));
    p.restore();
    p.setPen(Outline(Navy, 1.6));
    p.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
}

void ListLines(QPainter &p, int rows, double right)
{
    for (int i = 0; i < rows; ++i) {
        const double y = 3.5 + 4 * i;
        p.setPen(Qt::NoPen);
        p.setBrush(Teal);
        p.drawRect(QRectF(1.5, y - 1, 2, 2));
        p.setPen(Outline(Navy, 1.6));
        p.drawLine(QPointF(5.5, y), QPointF(right - 2 * (i % 2), y));
    }
}

void Plus(QPainter &p, QPointF centre, double arm, const QColor &colour)
{
    QPainterPath cross;
    cross.addRect(QRectF(centre.x() - arm, centre.y() - 1.5, 2 * arm, 3));
    cross.addRect(QRectF(centre.x() - 1.5, centre.y() - arm, 3, 2 * arm));
    p.setPen(Outline(colour.darker(170)));
    p.setBrush(Shaded(colour, centre.y() - arm, centre.y() + arm));
    p.drawPath(cross.simplified());
}

void Circled(QPainter &p, const QColor &colour)
{
    Centred(p, 6.5, Shaded(colour, 1, 15), Outline(colour.darker(150)));
}

void Pencil(QPainter &p, QPointF tip, double length, const QColor &body)
{
    p.save();
    p.translate(tip);
    p.rotate(-45);
    p.setPen(Outline());
    p.setBrush(body);
    p.drawRect(QRectF(3.5, -2, length - 3.5, 4));
    p.setBrush(Red.lighter(120));
    p.drawRect(QRectF(length - 2, -2, 2, 4));
    const QPainterPath nib = ClosedPath({{0, 0}, {3.5, -2}, {3.5, 2}});
    p.setBrush(Paper);
    p.drawPath(nib);
    p.restore();
}

void Magnifier(QPainter &p)
{
    p.setPen(QPen(Navy, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 10.5), QPointF(13.8, 13.8));
    p.setPen(Outline(Navy, 1.6));
    QRadialGradient glass(QPointF(5, 5), 6);
    glass.setColorAt(0.0, QColor(244, 252, 253));
    glass.setColorAt(1.0, Sea);
    p.setBrush(glass);
    p.drawEllipse(QPointF(6.5, 6.5), 4.6, 4.6);
}

// The buttons -----------------------------------------------------------------------------

void Play(QPainter &p)
{
    const QPainterPath play = ClosedPath({{4.5, 2.5}, {13.5, 8}, {4.5, 13.5}});
    p.setPen(Outline(Green.darker(170)));
    p.setBrush(Shaded(Green, 2, 14));
    p.drawPath(play);
}

void Exit(QPainter &p)
{
    p.setPen(Outline());
    p.setBrush(Shaded(Paper.darker(108)));
    p.drawRect(QRectF(2.5, 1.5, 8, 13));
    const QPainterPath door = ClosedPath({{2.5, 1.5}, {7.5, 3.5}, {7.5, 15}, {2.5, 14.5}});
    p.setBrush(Shaded(Gold.darker(115)));
    p.drawPath(door);
    p.setPen(QPen(Red, 2.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(8, 8), QPointF(12, 8));
    Arrowhead(p, QPointF(15.2, 8), QPointF(11.5, 4.8), QPointF(11.5, 11.2), Red);
}

void Help(QPainter &p)
{
    Circled(p, HotEdge);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Paper);
    p.drawText(QRectF(0, 0, 16, 16.5), Qt::AlignCenter, QStringLiteral("?"));
}

void House(QPainter &p)
{
    p.setPen(Outline());
    p.setBrush(Shaded(Paper.darker(104)));
    p.drawRect(QRectF(3.5, 7.5, 9, 7));
    p.setBrush(Shaded(Teal, 10, 15));
    p.drawRect(QRectF(6.5, 10.5, 3, 4));
    const QPainterPath roof =
        ClosedPath({{0.8, 8.5}, {8, 1.5}, {15.2, 8.5}, {13, 8.5}, {8, 3.8}, {3, 8.5}});
    p.setPen(Outline(Red.darker(150)));
    p.setBrush(Red);
    p.drawPath(roof);
}

void Back(QPainter &p)
{
    QPainterPath bend;
    bend.moveTo(5, 6);
    bend.lineTo(10, 6);
    bend.cubicTo(13.5, 6, 14.5, 8.5, 14.5, 10);
    bend.cubicTo(14.5, 12, 13, 14, 10, 14);
    bend.lineTo(7, 14);
    p.setPen(QPen(Teal.darker(120), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bend);
    Arrowhead(p, QPointF(1, 6), QPointF(6, 1.8), QPointF(6, 10.2), Teal.darker(120));
}

void HardDisk(QPainter &p)
{
    p.setPen(Outline());
    p.setBrush(Shaded(QColor(150, 168, 190), 4, 12));
    p.drawRoundedRect(QRectF(1.5, 3.5, 13, 9), 1.5, 1.5);
    p.setPen(Outline(QColor(70, 86, 112)));
    p.drawLine(QPointF(3.5, 9.5), QPointF(9.5, 9.5));
    p.drawLine(QPointF(3.5, 6.5), QPointF(12.5, 6.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 200, 90));
    p.drawEllipse(QPointF(12.2, 9.5), 1.3, 1.3);
}

void Deselect(QPainter &p)
{
    CheckBox(p, false, true);
    p.setPen(QPen(Red, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 5), QPointF(11, 11));
    p.drawLine(QPointF(11, 5), QPointF(5, 11));
}

void AddToCatalog(QPainter &p)
{
    QPainterPath tray;
    tray.moveTo(1.5, 9.5);
    tray.lineTo(1.5, 14.5);
    tray.lineTo(14.5, 14.5);
    tray.lineTo(14.5, 9.5);
    p.setPen(Outline(Navy, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tray);
    p.setPen(QPen(Green, 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(8, 1), QPointF(8, 7));
    Arrowhead(p, QPointF(8, 12.5), QPointF(3.8, 7), QPointF(12.2, 7), Green);
}

void Bin(QPainter &p)
{
    p.setPen(Outline(Red.darker(170)));
    p.setBrush(Shaded(Red, 4, 15));
    const QPainterPath can = ClosedPath({{3.5, 4.5}, {12.5, 4.5}, {11.5, 14.5}, {4.5, 14.5}});
    p.drawPath(can);
    p.setPen(Outline(Paper.darker(110), 1.0));
    p.drawLine(QPointF(6.5, 6.5), QPointF(6.5, 12.5));
    p.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
    p.setPen(Outline(Navy, 1.6));
    p.drawLine(QPointF(2, 3), QPointF(14, 3));
    p.drawLine(QPointF(6.5, 1.2), QPointF(9.5, 1.2));
}

void Floppy(QPainter &p)
{
    const QPainterPath body =
        ClosedPath({{1.5, 1.5}, {12, 1.5}, {14.5, 4}, {14.5, 14.5}, {1.5, 14.5}});
    p.setPen(Outline());
    p.setBrush(Shaded(HotEdge.darker(120)));
    p.drawPath(body);
    p.setBrush(Paper);
    p.drawRect(QRectF(3.5, 8.5, 9, 6));
    p.setBrush(Shaded(QColor(170, 186, 206)));
    p.drawRect(QRectF(4.5, 1.5, 6, 4));
    p.setPen(Outline(Teal, 1.0));
    p.drawLine(QPointF(5, 11), QPointF(11, 11));
}

void Sheet(QPainter &p)
{
    const QPainterPath sheet =
        ClosedPath({{2.5, 0.5}, {10, 0.5}, {13.5, 4}, {13.5, 15.5}, {2.5, 15.5}});
    p.setPen(Outline());
    p.setBrush(Shaded(Paper));
    p.drawPath(sheet);
    p.setPen(Outline(Teal, 1.2));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(4.5, 5.5 + 2.6 * i), QPointF(i % 2 ? 9.5 : 11.5, 5.5 + 2.6 * i));
}

// The tree pictures -----------------------------------------------------------------------

void Person(QPainter &p)
{
    p.setPen(Outline());
    p.setBrush(Shaded(Teal, 9, 16));
    QPainterPath body;
    body.moveTo(2, 15.5);
    body.cubicTo(2, 10, 5, 9, 8, 9);
    body.cubicTo(11, 9, 14, 10, 14, 15.5);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(Shaded(Gold.lighter(130), 1, 9));
    p.drawEllipse(QPointF(8, 5), 3.4, 3.4);
}

void Record(QPainter &p)
{
    const QColor vinyl(34, 40, 52);
    Centred(p, 6.8, vinyl, Outline());
    Centred(p, 4.8, Qt::NoBrush, Outline(QColor(90, 100, 118), 0.8));
    Centred(p, 2.4, Gold);
    Centred(p, 0.8, vinyl);
}

void Cross(QPainter &p, const QColor &colour)
{
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
    p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
}

void ReviewNew(QPainter &p)
{
    Centred(p, 6, Paper, Outline(Gold.darker(130), 1.6));
    Centred(p, 2.2, Gold);
}

void ReviewSeen(QPainter &p)
{
    QPainterPath eye;
    eye.moveTo(0.8, 8);
    eye.quadTo(8, 0.5, 15.2, 8);
    eye.quadTo(8, 15.5, 0.8, 8);
    eye.closeSubpath();
    p.setPen(Outline(Teal.darker(140)));
    p.setBrush(Paper);
    p.drawPath(eye);
    Centred(p, 3.1, Teal, Outline(Teal.darker(140)));
    Centred(p, 1.3, Navy);
}

void ReviewSet(QPainter &p)
{
    Circled(p, Green);
    Pencil(p, QPointF(4.2, 11.8), 10, Gold);
}

void ReviewGone(QPainter &p)
{
    Centred(p, 6.5, QColor(214, 218, 224), Outline(Grey));
    Centred(p, 2.2, QColor(214, 218, 224), Outline(Grey));
    p.setPen(QPen(Red, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.2, 12.8), QPointF(12.8, 3.2));
}

} // namespace

void DrawSmallNote(QPainter &p, const QColor &colour, const QColor &head)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(QRectF(7.6, 2, 1.5, 10));
    QPainterPath flag;
    flag.moveTo(7.6, 2);
    flag.cubicTo(8.5, 5, 13.5, 5, 12.5, 10);
    flag.cubicTo(12.2, 7.5, 10.5, 6.6, 9.1, 6.4);
    flag.closeSubpath();
    p.drawPath(flag);
    p.setBrush(head);
    p.save();
    p.translate(5.5, 12);
    p.rotate(-22);
    p.drawEllipse(QPointF(0, 0), 3.4, 2.5);
    p.restore();
}

std::vector<TNamedDrawing> ButtonDrawings()
{
    auto named = [](const char *name, std::function<void(QPainter &)> draw) {
        return TNamedDrawing{QLatin1String(name), std::move(draw)};
    };
    return {
        named("play", Play),
        named("add", [](QPainter &p) { Plus(p, QPointF(8, 8), 6.5, Green); }),
        named("catalog", Shelf),
        named("playlist_new",
              [](QPainter &p) {
                  ListLines(p, 3, 10);
                  p.setPen(Qt::NoPen);
                  p.setBrush(Green);
                  p.drawRect(QRectF(8, 10, 8, 3));
                  p.drawRect(QRectF(10.5, 7.5, 3, 8));
              }),
        named("exit", Exit),
        named("help", Help),
        named("return_main", House),
        named("return_back", Back),
        named("search_removable", [](QPainter &p) { Disc(p, Gold); }),
        named("search_fixed", HardDisk),
        named("search_folder", Folder),
        named("start_search", Magnifier),
        named("deselect", Deselect),
        named("describe", [](QPainter &p) { Pencil(p, QPointF(2, 14), 16, Gold); }),
        named("add_catalog", AddToCatalog),
        named("delete", Bin),
        named("save", Floppy),
        named("show_content", Sheet),
    };
}

std::vector<TNamedDrawing> TreeDrawings()
{
    auto named = [](const char *name, std::function<void(QPainter &)> draw) {
        return TNamedDrawing{QLatin1String(name), std::move(draw)};
    };
    return {
        named("check_on", [](QPainter &p) { CheckOn(p, false); }),
        named("check_off", [](QPainter &p) { CheckBox(p, false, true); }),
        named("check_unavailable", [](QPainter &p) { CheckUnavailable(p, false); }),
        named("check_on_hot", [](QPainter &p) { CheckOn(p, true); }),
        named("check_off_hot", [](QPainter &p) { CheckBox(p, true, true); }),
        named("check_unavailable_hot", [](QPainter &p) { CheckUnavailable(p, true); }),
        named("track", [](QPainter &p) { Track(p, false); }),
        named("track_hot", [](QPainter &p) { Track(p, true); }),
        named("track_missing", [](QPainter &p) { TrackMissing(p, false); }),
        named("track_missing_hot", [](QPainter &p) { TrackMissing(p, true); }),
        named("root", Shelf),
        named("person", Person),
        named("album", Record),
        named("folder", Folder),
        named("mark_present",
              [](QPainter &p) {
                  Circled(p, Green);
                  Tick(p, Paper, 2);
              }),
        named("mark_missing",
              [](QPainter &p) {
                  Circled(p, Red);
                  Cross(p, Paper);
              }),
        named("review_new", ReviewNew),
        named("review_seen", ReviewSeen),
        named("review_set", ReviewSet),
        named("review_gone", ReviewGone),
    };
}

#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QString>

#include <functional>
#include <initializer_list>
#include <vector>

class QPainter;

// One palette for every picture, so that pages, buttons and tree pictures read as one family.
namespace Palette {
inline const QColor Ink(22, 36, 66);      // deep ink blue, top of the left pictures
inline const QColor DeepTeal(12, 74, 84); // bottom of the left pictures
inline const QColor Chalk(228, 240, 243); // line art on the left pictures
inline const QColor Amber(240, 188, 96);  // the one warm accent of each drawing
inline const QColor Navy(30, 50, 88);     // outlines of the small pictures
inline const QColor Teal(24, 128, 138);
inline const QColor Sea(120, 196, 204); // light teal fill
inline const QColor Gold(226, 158, 42);
inline const QColor Green(44, 142, 74);
inline const QColor Red(200, 52, 46);
inline const QColor Paper(252, 250, 244);   // light fills of the small pictures
inline const QColor Grey(128, 134, 142);    // unavailable things
inline const QColor HotFill(206, 228, 250); // background of a picture under the pointer
inline const QColor HotEdge(64, 132, 214);
} // namespace Palette

// A named picture and the function that draws it on a painter already set up for it.
struct TNamedDrawing {
    QString name;
    std::function<void(QPainter &)> draw;
};

// The picture behind the right side of every page (457 x 379 times `scale`: 2 draws the
// picture for screens of twice the pixel density).
QImage RightPicture(int scale);
// The left picture of one page section (177 x 379 times `scale`), e.g. "Main" or "SearchTracks".
QImage LeftPicture(const QString &section, int scale);
// The sections that have a left picture, in page order.
QStringList LeftSections();

// 16 x 16 button pictures, drawn on silver (the colour the program makes transparent).
std::vector<TNamedDrawing> ButtonDrawings();
// 16 x 16 tree and list pictures, drawn on a transparent background.
std::vector<TNamedDrawing> TreeDrawings();

// The motif of the main menu's left picture, an eighth note on a short staff, centred on the
// origin and about 100 units wide.
void DrawMainMotif(QPainter &p);

// An eighth note on the 16 x 16 grid of the small pictures, its head in `head`.
void DrawSmallNote(QPainter &p, const QColor &colour, const QColor &head);

// The program's icon, `size` pixels square, drawn on a painter already set up for that size;
// small sizes get a bolder drawing without the fine lines.
void DrawAppIcon(QPainter &p, int size);

// A closed outline through straight lines, for the many polygons of the drawings.
QPainterPath ClosedPath(std::initializer_list<QPointF> points);

// An eighth note, filled with `brush`; `head` is the centre of its head and at scale 1 the
// stem rises 52 pixels above it.
void DrawQuaver(QPainter &p, QPointF head, double scale, const QBrush &brush);

// A fixed-seed grain so that the pictures come out the same on every run.
void AddGrain(QImage &image, double strength, quint32 seed);

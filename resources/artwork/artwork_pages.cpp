#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtMath>

namespace {

constexpr int RightWidth = 457;
constexpr int Height = 379;

constexpr double StaffTop = 300; // the top line's height at the left edge
constexpr double StaffGap = 9;

// The height of the top staff line at x: a gentle wave rising to the right.
double StaffY(double x)
{
    const double t = x / RightWidth;
    return StaffTop - 58 * t + 16 * qSin(2 * M_PI * 1.1 * t + 0.6);
}

void DrawStaffWave(QPainter &p, const QColor &colour)
{
    p.setPen(QPen(colour, 1.0));
    p.setBrush(Qt::NoBrush);
    for (int line = 0; line < 5; ++line) {
        QPainterPath path;
        path.moveTo(-4, StaffY(-4) + StaffGap * line);
        for (int x = -1; x <= RightWidth + 4; x += 3)
            path.lineTo(x, StaffY(x) + StaffGap * line);
        p.drawPath(path);
    }
}

} // namespace

QPainterPath ClosedPath(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

void DrawQuaver(QPainter &p, QPointF head, double scale, const QBrush &brush)
{
    p.save();
    p.translate(head);
    p.scale(scale, scale);
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.save();
    p.rotate(-22);
    p.drawEllipse(QPointF(0, 0), 10.5, 7.4);
    p.restore();
    p.drawRect(QRectF(7.4, -52, 2.8, 50));
    QPainterPath flag;
    flag.moveTo(7.4, -52);
    flag.cubicTo(10, -40, 27, -35, 21, -13);
    flag.cubicTo(21.5, -28, 14, -34, 10.2, -37);
    flag.closeSubpath();
    p.drawPath(flag);
    p.restore();
}

void AddGrain(QImage &image, double strength, quint32 seed)
{
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int delta = int(qRound((random.generateDouble() - 0.5) * 2 * strength));
            const QRgb c = line[x];
            line[x] = qRgba(qBound(0, qRed(c) + delta, 255), qBound(0, qGreen(c) + delta, 255),
                            qBound(0, qBlue(c) + delta, 255), qAlpha(c));
        }
    }
}

// Pale warm paper with a soft light from the upper left, a faint staff wave low across the
// picture and a quiet band behind the button column. Every element stays within a few
// percent of the paper's brightness, so black labels read the same everywhere.
QImage RightPicture(int scale)
{
    QImage image(RightWidth * scale, Height * scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);

    QLinearGradient paper(0, 0, RightWidth, Height);
    paper.setColorAt(0.0, QColor(252, 249, 242));
    paper.setColorAt(0.55, QColor(247, 242, 232));
    paper.setColorAt(1.0, QColor(240, 232, 217));
    p.fillRect(QRect(0, 0, RightWidth, Height), paper);

    QRadialGradient light(QPointF(70, 40), 330);
    light.setColorAt(0.0, QColor(255, 255, 255, 110));
    light.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, 0, RightWidth, Height), light);

    // The button column: a slightly deeper strip with a hairline, giving the buttons a rail.
    QLinearGradient rail(398, 0, RightWidth, 0);
    rail.setColorAt(0.0, QColor(120, 96, 60, 0));
    rail.setColorAt(0.08, QColor(120, 96, 60, 12));
    rail.setColorAt(1.0, QColor(120, 96, 60, 18));
    p.fillRect(QRectF(398, 0, RightWidth - 398, Height), rail);
    p.setPen(QPen(QColor(150, 120, 80, 34), 1.0));
    p.drawLine(QPointF(398.5, 10), QPointF(398.5, Height - 10));

    DrawStaffWave(p, QColor(140, 110, 70, 30));
    // A short phrase on the staff: each head sits on a line or in a space.
    const struct {
        double x;
        double step; // half-gaps below the top line
    } notes[] = {{96, 5}, {150, 3}, {256, 4}, {318, 2}};
    for (const auto &note : notes)
        DrawQuaver(p, QPointF(note.x, StaffY(note.x) + StaffGap / 2 * note.step), 0.7,
                   QColor(140, 110, 70, 24));

    // A soft shade along the edges frames the page without a hard border.
    QLinearGradient bottom(0, Height - 40, 0, Height);
    bottom.setColorAt(0.0, QColor(120, 96, 60, 0));
    bottom.setColorAt(1.0, QColor(120, 96, 60, 16));
    p.fillRect(QRectF(0, Height - 40, RightWidth, 40), bottom);
    p.end();
    AddGrain(image, 1.6, 457);
    return image;
}

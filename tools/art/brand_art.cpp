// The splash picture and the application icon. Both carry the same motif:
// a flight route drawn in the map's speed colours, with a quadcopter at its
// end; the icon bends the route into a "V".
#include "artkit.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

namespace art {

namespace {

// Catmull-Rom spline through `pts`, sampled `perSpan` times per span.
QVector<QPointF> spline(const QVector<QPointF> &pts, int perSpan)
{
    QVector<QPointF> out;
    const int n = pts.size();
    for (int i = 0; i + 1 < n; ++i) {
        const QPointF p0 = pts[std::max(i - 1, 0)], p1 = pts[i], p2 = pts[i + 1], p3 = pts[std::min(i + 2, n - 1)];
        for (int k = 0; k < perSpan; ++k) {
            const double t = double(k) / perSpan, t2 = t * t, t3 = t2 * t;
            out << 0.5 * ((2 * p1) + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t2 +
                          (-p0 + 3 * p1 - 3 * p2 + p3) * t3);
        }
    }
    out << pts.last();
    return out;
}

// Colour of the route at fraction u of its length: a made-up speed profile
// (slow start, fast middle, slow end) through the 14-level table.
QColor routeColour(double u)
{
    static const QVector<QColor> table = speedColours(14);
    const double speed = std::sin(u * M_PI) * (0.75 + 0.25 * std::sin(u * 7.0));
    const int k = qBound(0, int(speed * table.size()), table.size() - 1);
    return table[k];
}

// Draws the route segment by segment in its speed colours, over a soft glow.
// The glow is drawn opaque on a layer of its own and laid down translucent
// as a whole, so overlapping segment ends do not show as beads.
void drawRoute(QPainter &p, const QVector<QPointF> &line, double width, double glow = 3.2)
{
    const int n = line.size();
    if (glow > 1.0 && p.device()) {
        QImage layer(p.device()->width(), p.device()->height(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.setTransform(p.transform());
        for (int i = 0; i + 1 < n; ++i) {
            lp.setPen(QPen(routeColour(double(i) / (n - 1)), width * glow, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            lp.drawLine(line[i], line[i + 1]);
        }
        lp.end();
        p.save();
        p.resetTransform();
        p.setOpacity(0.2);
        p.drawImage(0, 0, layer);
        p.restore();
    }
    for (int i = 0; i + 1 < n; ++i) {
        p.setPen(QPen(routeColour(double(i) / (n - 1)), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(line[i], line[i + 1]);
    }
}

double headingAt(const QVector<QPointF> &line, int i)
{
    const QPointF d = line[std::min(i + 1, line.size() - 1)] - line[std::max(i - 1, 0)];
    return qRadiansToDegrees(std::atan2(d.x(), -d.y()));
}

void splash(QPainter &p)
{
    const double W = 1280, H = 720;
    // night background that fades to black at the edges, so the picture
    // melts into the black window around it
    QRadialGradient bg(QPointF(W * 0.55, H * 0.45), W * 0.62);
    bg.setColorAt(0.0, QColor(0x15, 0x25, 0x45));
    bg.setColorAt(0.55, QColor(0x0a, 0x12, 0x24));
    bg.setColorAt(1.0, QColor(0, 0, 0));
    p.fillRect(QRectF(0, 0, W, H), bg);

    // map grid
    p.setPen(QPen(QColor(148, 163, 184, 14), 1));
    for (int x = 0; x <= W; x += 64)
        p.drawLine(QLineF(x, 0, x, H));
    for (int y = 0; y <= H; y += 64)
        p.drawLine(QLineF(0, y, W, y));

    // contour lines of a hill under the route
    const QPointF hill(930, 360);
    for (int ring = 1; ring <= 9; ++ring) {
        QPainterPath contour;
        const double r = 34.0 * ring;
        for (int k = 0; k <= 180; ++k) {
            const double a = k * 2 * M_PI / 180;
            const double wobble = 1 + 0.10 * std::sin(3 * a + ring * 0.7) + 0.05 * std::sin(5 * a - ring);
            const QPointF pt(hill.x() + r * 1.25 * wobble * std::cos(a), hill.y() + r * 0.8 * wobble * std::sin(a));
            if (k == 0)
                contour.moveTo(pt);
            else
                contour.lineTo(pt);
        }
        p.setPen(QPen(QColor(94, 234, 212, 30 - ring * 2), 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(contour);
    }

    // vignette: everything fades to pure black towards the edges
    QRadialGradient vignette(QPointF(W * 0.5, H * 0.48), W * 0.6);
    vignette.setColorAt(0.0, QColor(0, 0, 0, 0));
    vignette.setColorAt(0.62, QColor(0, 0, 0, 0));
    vignette.setColorAt(1.0, QColor(0, 0, 0, 255));
    p.fillRect(QRectF(0, 0, W, H), vignette);

    // the route: take-off lower left of the hill, a loop over it, away to the right
    const QVector<QPointF> route = spline({{640, 640}, {700, 540}, {820, 500}, {990, 560}, {1120, 470},
                                           {1110, 300}, {960, 200}, {800, 250}, {790, 380}, {930, 420},
                                           {1060, 330}, {1150, 190}},
                                          24);
    drawRoute(p, route, 6);
    // take-off point
    p.setPen(QPen(QColor(255, 255, 255, 230), 3));
    p.setBrush(QColor(0x16, 0xa3, 0x4a));
    p.drawEllipse(route.first(), 10, 10);
    // waypoint dots
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    for (int i = 24; i + 24 < route.size(); i += 48)
        p.drawEllipse(route[i], 4, 4);
    // the quadcopter at the end, turned along the route
    p.save();
    p.translate(route.last());
    p.rotate(headingAt(route, route.size() - 2));
    p.scale(1.3, 1.3);
    p.translate(-50, -50);
    paintQuadcopter(p);
    p.restore();

    // name and line
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setBold(true);
    title.setPixelSize(132);
    title.setLetterSpacing(QFont::PercentageSpacing, 98);
    p.setFont(title);
    QLinearGradient ink(0, 220, 0, 360);
    ink.setColorAt(0, QColor(0xff, 0xff, 0xff));
    ink.setColorAt(1, QColor(0xcb, 0xd5, 0xe1));
    p.setPen(QPen(QBrush(ink), 1));
    p.drawText(QRectF(110, 200, 700, 170), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Volantix"));
    // underline in the route colours
    for (int i = 0; i < 14; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(speedColours(14)[i]);
        p.drawRect(QRectF(118 + i * 34, 382, 34, 6));
    }
    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(31);
    p.setFont(sub);
    p.setPen(QColor(0x94, 0xa3, 0xb8));
    p.drawText(QRectF(116, 404, 700, 50), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Flight movies and telemetry, in sync"));
}

// A bold, simplified quadcopter for small sizes, centred on the origin.
void boldQuad(QPainter &p, double size, const QColor &colour)
{
    const double arm = size * 0.36;
    p.setPen(QPen(colour, size * 0.11, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-arm, -arm), QPointF(arm, arm));
    p.drawLine(QPointF(-arm, arm), QPointF(arm, -arm));
    p.setPen(QPen(colour, size * 0.07));
    p.setBrush(QColor(colour.red(), colour.green(), colour.blue(), 70));
    for (int sx : {-1, 1})
        for (int sy : {-1, 1})
            p.drawEllipse(QPointF(sx * arm, sy * arm), size * 0.2, size * 0.2);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(-size * 0.14, -size * 0.2, size * 0.28, size * 0.4), size * 0.12, size * 0.12);
}

void appIcon(QPainter &p)
{
    const double S = 256;
    // rounded tile
    QLinearGradient tile(0, 0, S, S);
    tile.setColorAt(0, QColor(0x1e, 0x29, 0x3b));
    tile.setColorAt(1, QColor(0x0b, 0x12, 0x20));
    p.setPen(QPen(QColor(0x47, 0x55, 0x69), 3));
    p.setBrush(tile);
    const QRectF tileRect(10, 10, S - 20, S - 20);
    p.drawRoundedRect(tileRect, 54, 54);
    // faint map grid on the tile
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(tileRect.adjusted(2, 2, -2, -2), 52, 52);
    p.setClipPath(clip);
    p.setPen(QPen(QColor(148, 163, 184, 26), 2));
    for (int x = 28; x < S; x += 40) {
        p.drawLine(QLineF(x, 0, x, S));
        p.drawLine(QLineF(0, x, S, x));
    }
    p.restore();
    // the "V" route: down from the upper left, a rounded bottom, up to the
    // right, coloured from slow (red) to fast (blue)
    const QVector<QPointF> route = spline({{58, 66}, {88, 134}, {114, 190}, {128, 204}, {144, 190}, {166, 140}},
                                          24);
    const QVector<QColor> table = speedColours(14);
    const int n = route.size();
    p.setPen(QPen(QColor(0x0b, 0x12, 0x20), 34, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(route);
    for (int i = 0; i + 1 < n; ++i) {
        const double u = double(i) / (n - 2);
        const double k = u * (table.size() - 1);
        const int k0 = int(k), k1 = std::min(k0 + 1, table.size() - 1);
        const double f = k - k0;
        const QColor a = table[k0], b = table[k1];
        const QColor c = QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * f, a.greenF() + (b.greenF() - a.greenF()) * f,
                                          a.blueF() + (b.blueF() - a.blueF()) * f);
        p.setPen(QPen(c, 24, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(route[i], route[i + 1]);
    }
    // take-off ring
    p.setPen(QPen(QColor(0xf8, 0xfa, 0xfc), 7));
    p.setBrush(QColor(0x16, 0xa3, 0x4a));
    p.drawEllipse(route.first(), 17, 17);
    // the quadcopter flying on from the end of the route
    p.save();
    p.translate(QPointF(184, 88));
    p.rotate(25);
    boldQuad(p, 78, QColor(0xf8, 0xfa, 0xfc));
    p.restore();
}

} // namespace

void addBrandArt(std::vector<ArtImage> &out)
{
    out.push_back({QStringLiteral("volantix_pro_splash"), 1280, 720, splash, ArtImage::Large});
    out.push_back({QStringLiteral("volantix"), 256, 256, appIcon, ArtImage::Large});
}

} // namespace art

// Toolbar icons: open, export, clip, merge, recenter, preferences and the
// window-sync padlocks. Drawn on a 48 grid as flat, two-tone glyphs for the
// light toolbar; rendered at 48 × 48 so they stay crisp at 24 px on HiDPI.
#include "artkit.h"

#include <QPainter>
#include <QtMath>

namespace art {

namespace {

const int kIcon = 48;

void openFolder(QPainter &p)
{
    useGrid(p, kIcon);
    p.setPen(Qt::NoPen);
    // back panel with its tab
    p.setBrush(vgrad(pal::amberDark, pal::amberDark.darker(115), 8, 40));
    p.drawPath(roundedPolygon({{4, 9}, {18, 9}, {22, 13}, {42, 13}, {42, 40}, {4, 40}}, 3));
    // a sheet of paper inside
    p.setBrush(pal::paper);
    p.drawRoundedRect(QRectF(9, 15, 28, 20), 2, 2);
    p.setBrush(pal::cloud);
    p.drawRect(QRectF(12, 19, 18, 1.6));
    p.drawRect(QRectF(12, 23, 14, 1.6));
    // the open front flap
    p.setBrush(vgrad(pal::amberLight, pal::amber, 20, 41));
    p.drawPath(roundedPolygon({{9, 21}, {46, 21}, {40, 41}, {3, 41}}, 3));
}

void openFiles(QPainter &p)
{
    useGrid(p, kIcon);
    // back page
    p.setPen(QPen(pal::mist, 2));
    p.setBrush(pal::cloud);
    p.drawPath(pagePath(QRectF(15, 3, 24, 31), 7));
    // front page
    p.setBrush(pal::paper);
    p.drawPath(pagePath(QRectF(8, 10, 24, 32), 7));
    p.setPen(Qt::NoPen);
    p.setBrush(pal::cloud);
    p.drawRect(QRectF(12, 18, 12, 2));
    p.drawRect(QRectF(12, 23, 9, 2));
    // movie badge
    p.setPen(QPen(pal::paper, 2));
    drawDisc(p, QPointF(33, 34), 11, pal::blue);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    p.drawPath(roundedPolygon({{30, 28.5}, {38.5, 34}, {30, 39.5}}, 1.5));
}

// A document with a coloured type label and a glyph on the page.
void exportDoc(QPainter &p, const QString &label, const QColor &colour, const std::function<void(QPainter &)> &glyph)
{
    useGrid(p, kIcon);
    p.setPen(QPen(pal::mist, 2));
    p.setBrush(pal::paper);
    const QPainterPath page = pagePath(QRectF(10, 3, 28, 41), 9);
    p.drawPath(page);
    // the folded corner
    p.setBrush(pal::cloud);
    p.drawPath(roundedPolygon({{29, 3}, {29, 12}, {38, 12}}, 1));
    p.setPen(Qt::NoPen);
    glyph(p);
    // type label, overhanging the page
    p.setBrush(vgrad(colour.lighter(108), colour.darker(108), 27, 41));
    p.drawRoundedRect(QRectF(4, 27, 40, 14), 3, 3);
    drawLabel(p, QRectF(4, 27, 40, 14), label, 10.5, pal::paper);
}

void csvGlyph(QPainter &p)
{
    p.setPen(QPen(pal::inkSoft, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(15, 9, 18, 14));
    p.drawLine(QLineF(15, 13.7, 33, 13.7));
    p.drawLine(QLineF(15, 18.3, 33, 18.3));
    p.drawLine(QLineF(21, 9, 21, 23));
    p.drawLine(QLineF(27, 9, 27, 23));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(pal::green.red(), pal::green.green(), pal::green.blue(), 70));
    p.drawRect(QRectF(15, 9, 18, 4.7));
}

void gpxGlyph(QPainter &p)
{
    QPen pen(pal::blue, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath route;
    route.moveTo(15, 21);
    route.cubicTo(18, 10, 22, 22, 26, 15);
    route.cubicTo(28, 11, 30, 10, 33, 10);
    p.drawPath(route);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::green);
    p.drawEllipse(QPointF(15, 21), 2.6, 2.6);
    p.setBrush(pal::red);
    p.drawEllipse(QPointF(33, 10), 2.6, 2.6);
}

void kmlGlyph(QPainter &p)
{
    const QPointF c(24, 15.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xdb, 0xea, 0xfe));
    p.drawEllipse(c, 8, 8);
    p.setPen(QPen(pal::orange, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 8, 8);
    p.drawEllipse(c, 3.6, 8);
    p.drawLine(QLineF(c.x() - 8, c.y(), c.x() + 8, c.y()));
    p.drawLine(QLineF(c.x(), c.y() - 8, c.x(), c.y() + 8));
}

void pictureGlyph(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xdb, 0xea, 0xfe));
    p.drawRoundedRect(QRectF(14, 8, 20, 16), 2, 2);
    p.setBrush(pal::amberLight);
    p.drawEllipse(QPointF(29, 12.5), 2.4, 2.4);
    p.setBrush(pal::green);
    p.drawPath(roundedPolygon({{14, 24}, {20.5, 14.5}, {25, 20}, {27.5, 17.5}, {34, 24}}, 1));
}

void exportClip(QPainter &p)
{
    useGrid(p, kIcon);
    p.setPen(Qt::NoPen);
    // film strip across the top
    p.setBrush(vgrad(pal::inkSoft, pal::ink, 4, 26));
    p.drawRoundedRect(QRectF(3, 4, 42, 21), 3, 3);
    p.setBrush(pal::cloud);
    for (int i = 0; i < 7; ++i) {
        p.drawRoundedRect(QRectF(6 + i * 5.9, 6, 3, 2.4), 0.6, 0.6);
        p.drawRoundedRect(QRectF(6 + i * 5.9, 20.6, 3, 2.4), 0.6, 0.6);
    }
    p.setBrush(vgrad(pal::blueLight, pal::sky, 10, 19));
    p.drawRoundedRect(QRectF(6, 10.2, 16, 8.6), 1.2, 1.2);
    p.drawRoundedRect(QRectF(26, 10.2, 16, 8.6), 1.2, 1.2);
    // scissors cutting up into the strip, between the two frames
    const QLineF bladeA(QPointF(20, 37), QPointF(28.5, 12));
    const QLineF bladeB(QPointF(28, 37), QPointF(19.5, 12));
    p.setPen(QPen(pal::paper, 5.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(bladeA);
    p.drawLine(bladeB);
    p.setPen(QPen(pal::red, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(bladeA);
    p.drawLine(bladeB);
    p.setPen(QPen(pal::red, 2.8));
    p.setBrush(pal::paper);
    p.drawEllipse(QPointF(17.5, 40.5), 4.6, 4.6);
    p.drawEllipse(QPointF(30.5, 40.5), 4.6, 4.6);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::ink);
    p.drawEllipse(QPointF(24, 25), 1.5, 1.5);
}

void merge(QPainter &p)
{
    useGrid(p, kIcon);
    // two short film pieces on the left join into one arrow
    p.setPen(Qt::NoPen);
    for (double y : {6.0, 31.0}) {
        p.setBrush(pal::inkSoft);
        p.drawRoundedRect(QRectF(3, y, 13, 11), 2, 2);
        p.setBrush(pal::blueLight);
        p.drawRoundedRect(QRectF(5.5, y + 2.5, 8, 6), 1, 1);
    }
    QPen pen(pal::teal, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath a;
    a.moveTo(17, 11.5);
    a.cubicTo(25, 11.5, 24, 24, 32, 24);
    QPainterPath b;
    b.moveTo(17, 36.5);
    b.cubicTo(25, 36.5, 24, 24, 32, 24);
    p.drawPath(a);
    p.drawPath(b);
    p.drawLine(QLineF(30, 24, 36, 24));
    p.setPen(Qt::NoPen);
    p.setBrush(pal::teal);
    p.drawPath(roundedPolygon({{35, 16}, {46, 24}, {35, 32}}, 2));
}

void recenter(QPainter &p)
{
    useGrid(p, kIcon);
    QPen pen(pal::ink, 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double l = 5, t = 8, r = 43, b = 40, k = 9;
    p.drawPolyline(QPolygonF({{l, t + k}, {l, t}, {l + k, t}}));
    p.drawPolyline(QPolygonF({{r - k, t}, {r, t}, {r, t + k}}));
    p.drawPolyline(QPolygonF({{r, b - k}, {r, b}, {r - k, b}}));
    p.drawPolyline(QPolygonF({{l + k, b}, {l, b}, {l, b - k}}));
    const QPointF c(24, 24);
    p.setPen(QPen(pal::blue, 3));
    p.drawEllipse(c, 7.5, 7.5);
    p.setPen(QPen(pal::blue, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QLineF(24, 12.5, 24, 16));
    p.drawLine(QLineF(24, 32, 24, 35.5));
    p.drawLine(QLineF(12.5, 24, 16, 24));
    p.drawLine(QLineF(32, 24, 35.5, 24));
    p.setPen(Qt::NoPen);
    p.setBrush(pal::blue);
    p.drawEllipse(c, 2.6, 2.6);
}

void preferences(QPainter &p)
{
    useGrid(p, kIcon);
    p.setPen(Qt::NoPen);
    p.setBrush(vgrad(pal::inkSoft.lighter(125), pal::inkSoft.darker(110), 3, 45));
    p.drawPath(gearPath(QPointF(24, 24), 15, 21.5, 8, 7));
    p.setPen(QPen(pal::blue, 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(24, 24), 7, 7);
}

void padlock(QPainter &p, bool locked)
{
    useGrid(p, kIcon);
    QPen shackle(locked ? pal::inkSoft : pal::mist, 4.2, Qt::SolidLine, Qt::FlatCap);
    p.setPen(shackle);
    p.setBrush(Qt::NoBrush);
    QPainterPath s;
    if (locked) {
        s.moveTo(15, 23);
        s.lineTo(15, 16);
        s.arcTo(QRectF(15, 7, 18, 18), 180, -180);
        s.lineTo(33, 23);
    } else {
        // swung open: the right leg leaves the body
        s.moveTo(15, 23);
        s.lineTo(15, 11);
        s.arcTo(QRectF(15, 2, 18, 18), 180, -180);
        s.lineTo(33, 14);
    }
    p.drawPath(s);
    p.setPen(Qt::NoPen);
    const QColor body = locked ? pal::teal : pal::mist;
    p.setBrush(vgrad(body.lighter(115), body.darker(108), 21, 44));
    p.drawRoundedRect(QRectF(9, 21, 30, 23), 4.5, 4.5);
    p.setBrush(pal::paper);
    p.drawEllipse(QPointF(24, 30.5), 3.4, 3.4);
    p.drawPath(roundedPolygon({{22.3, 31}, {25.7, 31}, {26.6, 38.5}, {21.4, 38.5}}, 0.8));
}

ArtImage icon(const char *name, std::function<void(QPainter &)> paint)
{
    return ArtImage{QString::fromLatin1(name), kIcon, kIcon, std::move(paint), ArtImage::Icon};
}

} // namespace

void addToolbarIcons(std::vector<ArtImage> &out)
{
    out.push_back(icon("open_folder", openFolder));
    out.push_back(icon("open_files", openFiles));
    out.push_back(icon("export_csv", [](QPainter &p) { exportDoc(p, QStringLiteral("CSV"), pal::green, csvGlyph); }));
    out.push_back(icon("export_gpx", [](QPainter &p) { exportDoc(p, QStringLiteral("GPX"), pal::blue, gpxGlyph); }));
    out.push_back(icon("export_kml", [](QPainter &p) { exportDoc(p, QStringLiteral("KML"), pal::orange, kmlGlyph); }));
    out.push_back(icon("export_jpg", [](QPainter &p) { exportDoc(p, QStringLiteral("JPG"), pal::purple, pictureGlyph); }));
    out.push_back(icon("export_png", [](QPainter &p) { exportDoc(p, QStringLiteral("PNG"), pal::pink, pictureGlyph); }));
    out.push_back(icon("export_clip", exportClip));
    out.push_back(icon("merge", merge));
    out.push_back(icon("recenter", recenter));
    out.push_back(icon("preferences", preferences));
    out.push_back(icon("sync_lock24", [](QPainter &p) { padlock(p, true); }));
    out.push_back(icon("sync_unlock24", [](QPainter &p) { padlock(p, false); }));
}

} // namespace art

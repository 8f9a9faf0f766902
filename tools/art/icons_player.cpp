// Player buttons (white glyphs on coloured discs, readable on light and dark
// panels) and the small icons of the movie and geotag lists.
#include "artkit.h"

#include <QPainter>
#include <QtMath>

namespace art {

namespace {

const int kIcon = 48;
const QPointF kCentre(24, 24);
const double kDiscR = 22;

void glyphPen(QPainter &p, double width)
{
    p.setPen(QPen(pal::paper, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

void play(QPainter &p)
{
    useGrid(p, kIcon);
    drawDisc(p, kCentre, kDiscR, pal::blue);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    p.drawPath(roundedPolygon({{18.5, 13.5}, {35.5, 24}, {18.5, 34.5}}, 2.6));
}

void pause(QPainter &p)
{
    useGrid(p, kIcon);
    drawDisc(p, kCentre, kDiscR, pal::blue);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    p.drawRoundedRect(QRectF(15.5, 14, 6.5, 20), 2, 2);
    p.drawRoundedRect(QRectF(26, 14, 6.5, 20), 2, 2);
}

void skip(QPainter &p, bool forward)
{
    useGrid(p, kIcon);
    drawDisc(p, kCentre, kDiscR, pal::inkSoft);
    if (!forward) {
        p.translate(48, 0);
        p.scale(-1, 1);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    p.drawPath(roundedPolygon({{15, 15}, {29, 24}, {15, 33}}, 2.2));
    p.drawRoundedRect(QRectF(29.5, 15, 4.5, 18), 1.6, 1.6);
}

void instantReplay(QPainter &p)
{
    useGrid(p, kIcon);
    drawDisc(p, kCentre, kDiscR, pal::teal);
    glyphPen(p, 3.4);
    // three quarters of a circle running counter-clockwise, arrow at its start
    p.drawArc(QRectF(13.5, 13.5, 21, 21), 100 * 16, 290 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    p.drawPath(roundedPolygon({{15.5, 9.5}, {24.5, 13.2}, {16.8, 19.5}}, 1.2));
    p.drawPath(roundedPolygon({{21.5, 19.5}, {29, 24}, {21.5, 28.5}}, 1.2));
}

void chevrons(QPainter &p, bool faster)
{
    useGrid(p, kIcon);
    drawDisc(p, kCentre, kDiscR, pal::indigo);
    if (!faster) {
        p.translate(48, 0);
        p.scale(-1, 1);
    }
    glyphPen(p, 3.8);
    p.drawPolyline(QPolygonF({{15, 15}, {23, 24}, {15, 33}}));
    p.drawPolyline(QPolygonF({{25, 15}, {33, 24}, {25, 33}}));
}

void geotag(QPainter &p)
{
    useGrid(p, kIcon);
    drawDisc(p, kCentre, kDiscR, pal::orange);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    p.drawPath(pinPath(QPointF(24, 38), 9.5, 27));
    p.setBrush(pal::orange);
    p.drawRoundedRect(QRectF(22.6, 15, 2.8, 12), 1, 1);
    p.drawRoundedRect(QRectF(18, 19.6, 12, 2.8), 1, 1);
}

void movie(QPainter &p)
{
    useGrid(p, kIcon);
    drawDisc(p, kCentre, kDiscR, pal::inkSoft);
    p.setPen(Qt::NoPen);
    // board
    p.setBrush(pal::paper);
    p.drawRoundedRect(QRectF(12, 21, 24, 15), 2, 2);
    // clapper, lifted
    p.save();
    p.translate(12, 19);
    p.rotate(-16);
    p.drawRoundedRect(QRectF(0, -5, 24, 5), 1.2, 1.2);
    p.setBrush(pal::inkSoft);
    for (int i = 0; i < 4; ++i)
        p.drawPolygon(QPolygonF({{3.0 + i * 6, -5}, {6.0 + i * 6, -5}, {4.0 + i * 6, 0}, {1.0 + i * 6, 0}}));
    p.restore();
    p.setBrush(pal::inkSoft);
    p.drawRect(QRectF(15, 25, 18, 1.6));
    p.drawRect(QRectF(15, 29, 12, 1.6));
}

// --- list icons ---

void checkeredFlag(QPainter &p)
{
    useGrid(p, kIcon);
    // pole
    p.setPen(Qt::NoPen);
    p.setBrush(pal::inkSoft);
    p.drawRoundedRect(QRectF(8, 5, 3.5, 39), 1.5, 1.5);
    p.setBrush(pal::ink);
    p.drawEllipse(QPointF(9.75, 5.5), 3, 3);
    // waving cloth: a 5 × 4 checker bent by a sine
    const int cols = 5, rows = 4;
    const double x0 = 11.5, y0 = 8, w = 32, h = 22;
    auto pt = [&](double u, double v) {
        const double x = x0 + u * w;
        const double y = y0 + v * h + 2.6 * std::sin(u * 2 * M_PI) * (0.4 + 0.6 * u);
        return QPointF(x, y);
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            QPainterPath cell;
            const int n = 6;
            const double u0 = double(c) / cols, u1 = double(c + 1) / cols;
            const double v0 = double(r) / rows, v1 = double(r + 1) / rows;
            cell.moveTo(pt(u0, v0));
            for (int k = 1; k <= n; ++k)
                cell.lineTo(pt(u0 + (u1 - u0) * k / n, v0));
            for (int k = 0; k <= n; ++k)
                cell.lineTo(pt(u1 - (u1 - u0) * k / n, v1));
            cell.closeSubpath();
            p.setBrush((r + c) % 2 ? pal::paper : pal::ink);
            p.drawPath(cell);
        }
    // outline of the cloth
    QPainterPath edge;
    edge.moveTo(pt(0, 0));
    for (int k = 1; k <= 24; ++k)
        edge.lineTo(pt(k / 24.0, 0));
    for (int k = 0; k <= 24; ++k)
        edge.lineTo(pt(1 - k / 24.0, 1));
    edge.closeSubpath();
    p.setPen(QPen(pal::ink, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(edge);
}

void wrench(QPainter &p, int px)
{
    useGrid(p, px);
    p.translate(24, 24);
    p.rotate(45);
    p.setPen(Qt::NoPen);
    // handle
    p.setBrush(vgrad(pal::orange.lighter(112), pal::orange.darker(110), -4, 4));
    p.drawRoundedRect(QRectF(-3.8, -4, 7.6, 26), 3.8, 3.8);
    // open jaw: a ring with a slot cut out at the top
    QPainterPath head;
    head.addEllipse(QPointF(0, -11), 10, 10);
    QPainterPath slot;
    slot.addRoundedRect(QRectF(-3.8, -23, 7.6, 14), 1.5, 1.5);
    p.drawPath(head.subtracted(slot));
}

void gearSmall(QPainter &p)
{
    useGrid(p, kIcon);
    p.setPen(Qt::NoPen);
    p.setBrush(vgrad(pal::inkSoft.lighter(120), pal::inkSoft, 4, 44));
    p.drawPath(gearPath(QPointF(24, 24), 14, 20.5, 8, 6.5));
}

void trash(QPainter &p)
{
    useGrid(p, kIcon);
    p.setPen(Qt::NoPen);
    // lid and handle
    p.setBrush(pal::inkSoft);
    p.drawRoundedRect(QRectF(8, 9, 32, 5), 2, 2);
    p.drawRoundedRect(QRectF(18, 5, 12, 6), 2, 2);
    p.setBrush(pal::paper);
    p.drawRoundedRect(QRectF(21, 7.5, 6, 2), 0.8, 0.8);
    // can
    p.setBrush(vgrad(pal::inkSoft.lighter(118), pal::inkSoft, 16, 44));
    p.drawPath(roundedPolygon({{10.5, 16}, {37.5, 16}, {35, 44}, {13, 44}}, 3));
    p.setBrush(QColor(255, 255, 255, 200));
    for (double x : {17.0, 23.0, 29.0})
        p.drawRoundedRect(QRectF(x, 20, 2.6, 19), 1.3, 1.3);
}

void floppy(QPainter &p, const QColor &body, bool saved)
{
    useGrid(p, kIcon);
    p.setPen(Qt::NoPen);
    p.setBrush(vgrad(body.lighter(112), body.darker(108), 5, 43));
    p.drawPath(roundedPolygon({{5, 5}, {36, 5}, {43, 12}, {43, 43}, {5, 43}}, 4));
    // metal shutter
    p.setBrush(pal::cloud);
    p.drawRoundedRect(QRectF(13, 5, 19, 12), 1.5, 1.5);
    p.setBrush(body.darker(110));
    p.drawRoundedRect(QRectF(25, 7.5, 4, 7), 1, 1);
    // label
    p.setBrush(pal::paper);
    p.drawRoundedRect(QRectF(10, 24, 28, 16), 2, 2);
    if (saved) {
        p.setPen(QPen(body, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({{17, 32}, {22, 36.5}, {31, 27.5}}));
    } else {
        p.setBrush(pal::cloud);
        p.drawRect(QRectF(14, 28.5, 20, 2));
        p.drawRect(QRectF(14, 33, 14, 2));
    }
}

ArtImage icon(const char *name, std::function<void(QPainter &)> paint, int px = kIcon)
{
    return ArtImage{QString::fromLatin1(name), px, px, std::move(paint), ArtImage::Icon};
}

} // namespace

void addPlayerIcons(std::vector<ArtImage> &out)
{
    out.push_back(icon("play", play));
    out.push_back(icon("pause", pause));
    out.push_back(icon("previous_movie", [](QPainter &p) { skip(p, false); }));
    out.push_back(icon("next_movie", [](QPainter &p) { skip(p, true); }));
    out.push_back(icon("instant_replay", instantReplay));
    out.push_back(icon("geotag", geotag));
    out.push_back(icon("faster", [](QPainter &p) { chevrons(p, true); }));
    out.push_back(icon("slower", [](QPainter &p) { chevrons(p, false); }));
    out.push_back(icon("movie", movie));
}

void addListIcons(std::vector<ArtImage> &out)
{
    out.push_back(icon("checkered_flag", checkeredFlag));
    // Shown at about 14 px in the movie rows; drawn at twice that for HiDPI.
    out.push_back(icon("wrench14", [](QPainter &p) { wrench(p, 28); }, 28));
    out.push_back(icon("settings24", gearSmall));
    out.push_back(icon("trash", trash));
    out.push_back(icon("disc_blue", [](QPainter &p) { floppy(p, pal::blue, false); }));
    out.push_back(icon("disc_green", [](QPainter &p) { floppy(p, pal::green, true); }));
}

} // namespace art

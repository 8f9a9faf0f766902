// Map preference pictures: the seven vehicle-marker symbols and the route
// colour previews. Both repeat colours the map page receives, so their fills
// are flat: the middle of each marker and of each colour band is exactly the
// table colour.
#include "artkit.h"

#include <QPainter>
#include <QtMath>

namespace art {

namespace {

void circleMarker(QPainter &p, const QColor &fill)
{
    p.setPen(QPen(Qt::black, 2.5));
    p.setBrush(fill);
    p.drawEllipse(QPointF(24, 24), 15, 15);
}

void pinMarker(QPainter &p)
{
    const QPainterPath pin = pinPath(QPointF(24, 46), 13, 43);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QPointF(24, 45.5), 6, 1.8);
    p.setPen(QPen(QColor(0x99, 0x1b, 0x1b), 1.8));
    p.setBrush(vgrad(QColor(0xf8, 0x71, 0x71), pal::red, 3, 46));
    p.drawPath(pin);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7f, 0x1d, 0x1d));
    p.drawEllipse(QPointF(24, 16), 5, 5);
}

// Equal bands in table order (slowest speed on the left) inside a rounded
// frame. Band edges fall on whole pixels, so no band blends into the next.
void levels(QPainter &p, int count, int w, int h)
{
    const QVector<QColor> colours = speedColours(count);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 4, 4);
    p.save();
    p.setClipPath(clip);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < colours.size(); ++i) {
        const int x0 = i * w / colours.size();
        const int x1 = (i + 1) * w / colours.size();
        p.setBrush(colours[i]);
        p.drawRect(x0, 0, x1 - x0, h);
    }
    p.restore();
    p.setPen(QPen(QColor(15, 23, 42, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(clip);
}

} // namespace

void addMapArt(std::vector<ArtImage> &out)
{
    const QVector<QColor> fills = markerColours();
    for (int i = 0; i < fills.size(); ++i) {
        const QColor fill = fills[i];
        out.push_back({QStringLiteral("marker-%1").arg(i), 48, 48, [fill](QPainter &p) { circleMarker(p, fill); },
                       ArtImage::Icon});
    }
    out.push_back({QStringLiteral("marker-6"), 48, 48, pinMarker, ArtImage::Icon});
    for (int n : {1, 5, 10, 14})
        out.push_back({QStringLiteral("levels-%1").arg(n), 280, 24, [n](QPainter &p) { levels(p, n, 280, 24); },
                       ArtImage::Large});
}

} // namespace art

#include "artkit.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QtMath>

namespace art {

std::vector<ArtImage> allArt()
{
    std::vector<ArtImage> out;
    addBrandArt(out);
    addToolbarIcons(out);
    addPlayerIcons(out);
    addListIcons(out);
    addDashboardArt(out);
    addMapArt(out);
    return out;
}

QImage render(const ArtImage &image)
{
    QImage img(image.width, image.height, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    image.paint(p);
    p.end();
    return img;
}

void useGrid(QPainter &p, int pixelSize, double units)
{
    p.scale(pixelSize / units, pixelSize / units);
}

QBrush vgrad(const QColor &top, const QColor &bottom, double y0, double y1)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return QBrush(g);
}

QPainterPath gearPath(QPointF c, double rIn, double rOut, int teeth, double rHole)
{
    QPainterPath path;
    const double step = 2 * M_PI / teeth;
    // Each tooth: flank up, flat top, flank down, then the root arc. The top
    // is narrower than the root gap so the teeth read as trapezoids.
    auto at = [&](double r, double a) { return QPointF(c.x() + r * std::sin(a), c.y() - r * std::cos(a)); };
    for (int i = 0; i < teeth; ++i) {
        const double a = i * step;
        const double rootHalf = step * 0.27;
        const double topHalf = step * 0.17;
        const QPointF p0 = at(rIn, a - rootHalf);
        if (i == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(at(rOut, a - topHalf));
        path.lineTo(at(rOut, a + topHalf));
        path.lineTo(at(rIn, a + rootHalf));
        // root arc to the next tooth, as a few short segments
        const double a0 = a + rootHalf, a1 = a + step - rootHalf;
        for (int k = 1; k <= 4; ++k)
            path.lineTo(at(rIn, a0 + (a1 - a0) * k / 4.0));
    }
    path.closeSubpath();
    path.addEllipse(c, rHole, rHole);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

QPainterPath pagePath(QRectF r, double fold)
{
    QPainterPath path;
    const double rad = 2.5;
    path.moveTo(r.left() + rad, r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom() - rad);
    path.quadTo(r.right(), r.bottom(), r.right() - rad, r.bottom());
    path.lineTo(r.left() + rad, r.bottom());
    path.quadTo(r.left(), r.bottom(), r.left(), r.bottom() - rad);
    path.lineTo(r.left(), r.top() + rad);
    path.quadTo(r.left(), r.top(), r.left() + rad, r.top());
    path.closeSubpath();
    return path;
}

QPainterPath pinPath(QPointF tip, double r, double height)
{
    // Head circle centred height - r above the tip; the two sides are the
    // tangents from the tip to the circle.
    const QPointF c(tip.x(), tip.y() - height + r);
    const double d = height - r;
    const double a = std::asin(qBound(-1.0, r / d, 1.0)); // half-angle at the tip
    const double tangentLen = std::sqrt(std::max(0.0, d * d - r * r));
    const QPointF left(tip.x() - tangentLen * std::sin(a), tip.y() - tangentLen * std::cos(a));
    // Angle of the left tangent point seen from the centre, in Qt's degrees
    // (counter-clockwise from 3 o'clock), normalised to 180..270.
    double leftDeg = qRadiansToDegrees(std::atan2(-(left.y() - c.y()), left.x() - c.x()));
    if (leftDeg < 0)
        leftDeg += 360.0;
    const double rightDeg = 180.0 - leftDeg; // the mirror point, below 0
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(left);
    path.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), leftDeg, rightDeg - leftDeg);
    path.closeSubpath();
    return path;
}

QPainterPath roundedPolygon(const QVector<QPointF> &points, double radius)
{
    QPainterPath path;
    const int n = points.size();
    if (n < 3)
        return path;
    auto unit = [](QPointF v) {
        const double len = std::hypot(v.x(), v.y());
        return len > 0 ? v / len : v;
    };
    for (int i = 0; i < n; ++i) {
        const QPointF prev = points[(i + n - 1) % n], cur = points[i], next = points[(i + 1) % n];
        const double lenIn = std::hypot(cur.x() - prev.x(), cur.y() - prev.y());
        const double lenOut = std::hypot(next.x() - cur.x(), next.y() - cur.y());
        const double r = std::min({radius, lenIn / 2, lenOut / 2});
        const QPointF a = cur + unit(prev - cur) * r;
        const QPointF b = cur + unit(next - cur) * r;
        if (i == 0)
            path.moveTo(a);
        else
            path.lineTo(a);
        path.quadTo(cur, b);
    }
    path.closeSubpath();
    return path;
}

void drawDisc(QPainter &p, QPointF c, double r, const QColor &base)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(vgrad(base.lighter(118), base.darker(112), c.y() - r, c.y() + r));
    p.drawEllipse(c, r, r);
    // a thin inner highlight on the upper rim
    QPen rim(QColor(255, 255, 255, 60), 1.0);
    p.setPen(rim);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r + 1.2, c.y() - r + 1.2, 2 * r - 2.4, 2 * r - 2.4), 30 * 16, 120 * 16);
    p.restore();
}

void drawLabel(QPainter &p, const QRectF &r, const QString &text, double pixelSize, const QColor &colour, bool bold)
{
    p.save();
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(100);
    f.setBold(bold);
    f.setLetterSpacing(QFont::PercentageSpacing, 96);
    // Text is laid out at 100 px and scaled, so fractional grid sizes stay exact.
    p.setFont(f);
    p.setPen(colour);
    const double s = pixelSize / 100.0;
    p.translate(r.center());
    p.scale(s, s);
    const QRectF big(-r.width() / 2 / s, -r.height() / 2 / s, r.width() / s, r.height() / s);
    p.drawText(big, Qt::AlignCenter, text);
    p.restore();
}

QVector<QColor> speedColours(int levels)
{
    switch (levels) {
    case 1:
        return {QColor("#FF0000")};
    case 5:
        return {QColor("#B40032"), QColor("#FF005A"), QColor("#FFE200"), QColor("#6CFF00"), QColor("#00CFFF")};
    case 10:
        return {QColor("#B40032"), QColor("#FF005A"), QColor("#FF9800"), QColor("#FFD600"), QColor("#F9FF00"),
                QColor("#ABFF00"), QColor("#00FF84"), QColor("#00F3FF"), QColor("#00C1FF"), QColor("#0078FF")};
    case 14:
        return {QColor("#B40032"), QColor("#FF005A"), QColor("#FF8100"), QColor("#FFB400"), QColor("#FFDA00"),
                QColor("#FFFA00"), QColor("#D9FF00"), QColor("#9BFF00"), QColor("#00FF5A"), QColor("#00FFEB"),
                QColor("#00E8FF"), QColor("#00C5FF"), QColor("#0098FF"), QColor("#0050FF")};
    default:
        return {};
    }
}

QVector<QColor> markerColours()
{
    return {QColor("#FF0000"), QColor("#00FF00"), QColor("#0000FF"), QColor("#FFFF00"), QColor("#FF00FF"),
            QColor("#00FFFF")};
}

} // namespace art

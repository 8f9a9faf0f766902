// Dashboard pictures, all drawn for its black background: the compass rose,
// the two vehicle images (a quadcopter and a heading arrow, both nose up),
// the page arrows and the GPS accuracy bars.
#include "artkit.h"

#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

#include <utility>

namespace art {

namespace {

// The compass view is 180 × 170 pixels; the vehicle view sits a few pixels
// below its middle, so the rose is centred there too.
const int kCompassW = 180;
const int kCompassH = 170;
const QPointF kCompassCentre(90, 88);
const double kCompassR = 80;

QPointF polar(QPointF c, double r, double bearingDeg)
{
    const double a = qDegreesToRadians(bearingDeg);
    return QPointF(c.x() + r * std::sin(a), c.y() - r * std::cos(a));
}

void compass(QPainter &p)
{
    const QPointF c = kCompassCentre;
    const double R = kCompassR;
    // faint dial face
    QRadialGradient face(c, R);
    face.setColorAt(0.0, QColor(30, 41, 59, 150));
    face.setColorAt(0.85, QColor(15, 23, 42, 190));
    face.setColorAt(1.0, QColor(15, 23, 42, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawEllipse(c, R, R);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x47, 0x55, 0x69), 1.5));
    p.drawEllipse(c, R - 1.5, R - 1.5);
    p.setPen(QPen(QColor(0x33, 0x41, 0x55), 1));
    p.drawEllipse(c, R - 33, R - 33);

    // faint eight-point star behind the vehicle
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i) {
        const double b = i * 45.0;
        const double len = (i % 2) ? R - 44 : R - 34;
        QPolygonF ray({c, polar(c, 6, b - 45), polar(c, len, b), polar(c, 6, b + 45)});
        p.setBrush(QColor(148, 163, 184, (i % 2) ? 22 : 34));
        p.drawPolygon(ray);
    }

    // tick marks every 5 degrees
    for (int deg = 0; deg < 360; deg += 5) {
        double len = 3.5, w = 1.0;
        QColor col(0x64, 0x74, 0x8b);
        if (deg % 90 == 0) {
            len = 11;
            w = 2.2;
            col = QColor(0xe2, 0xe8, 0xf0);
        } else if (deg % 30 == 0) {
            len = 8;
            w = 1.6;
            col = QColor(0xcb, 0xd5, 0xe1);
        } else if (deg % 10 == 0) {
            len = 5.5;
            w = 1.2;
            col = QColor(0x94, 0xa3, 0xb8);
        }
        if (deg == 0)
            col = pal::redLight;
        p.setPen(QPen(col, w, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(polar(c, R - 3, deg), polar(c, R - 3 - len, deg));
    }

    // letters and degree numbers
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(13);
    p.setFont(f);
    const struct { const char *text; int deg; } cardinals[] = {{"N", 0}, {"E", 90}, {"S", 180}, {"W", 270}};
    for (const auto &cd : cardinals) {
        const QPointF at = polar(c, R - 22, cd.deg);
        p.setPen(cd.deg == 0 ? pal::redLight : QColor(0xe2, 0xe8, 0xf0));
        p.drawText(QRectF(at.x() - 12, at.y() - 10, 24, 20), Qt::AlignCenter, QString::fromLatin1(cd.text));
    }
    f.setBold(false);
    f.setPixelSize(8);
    p.setFont(f);
    p.setPen(QColor(0x94, 0xa3, 0xb8));
    for (int deg = 30; deg < 360; deg += 30) {
        if (deg % 90 == 0)
            continue;
        const QPointF at = polar(c, R - 21, deg);
        p.drawText(QRectF(at.x() - 12, at.y() - 8, 24, 16), Qt::AlignCenter, QString::number(deg));
    }
}

} // namespace

void paintQuadcopter(QPainter &p)
{
    const QPointF c(50, 50);
    const double armLen = 31;
    const double bearings[] = {-45, 45, 135, -135}; // front left, front right, rear right, rear left
    // arms
    for (double b : bearings) {
        p.setPen(QPen(QColor(0x9c, 0xa3, 0xaf), 8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, polar(c, armLen, b));
        p.setPen(QPen(QColor(0xe5, 0xe7, 0xeb), 5.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, polar(c, armLen, b));
    }
    // spinning propeller discs and blades
    for (int i = 0; i < 4; ++i) {
        const QPointF m = polar(c, armLen, bearings[i]);
        p.setPen(QPen(QColor(255, 255, 255, 110), 1.2));
        p.setBrush(QColor(186, 230, 253, 45));
        p.drawEllipse(m, 15, 15);
        p.setPen(QPen(QColor(255, 255, 255, 150), 2.6, Qt::SolidLine, Qt::RoundCap));
        const double blade = (i % 2 ? 20.0 : -25.0);
        p.drawLine(polar(m, 13, blade), polar(m, 13, blade + 180));
        // motor bell; the front pair carries red caps
        p.setPen(QPen(QColor(0x6b, 0x72, 0x80), 1));
        p.setBrush(QColor(0xf3, 0xf4, 0xf6));
        p.drawEllipse(m, 5, 5);
        p.setPen(Qt::NoPen);
        p.setBrush(i < 2 ? pal::redLight : QColor(0x9c, 0xa3, 0xaf));
        p.drawEllipse(m, 2.4, 2.4);
    }
    // body shell
    p.setPen(QPen(QColor(0x9c, 0xa3, 0xaf), 1.2));
    p.setBrush(vgrad(QColor(0xff, 0xff, 0xff), QColor(0xd1, 0xd5, 0xdb), 32, 70));
    p.drawRoundedRect(QRectF(38, 31, 24, 40), 11, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9c, 0xa3, 0xaf));
    p.drawRoundedRect(QRectF(47.5, 40, 5, 24), 2.5, 2.5);
    // camera at the nose
    p.setBrush(QColor(0x37, 0x41, 0x51));
    p.drawRoundedRect(QRectF(43, 24, 14, 10), 3, 3);
    p.setBrush(pal::sky);
    p.drawEllipse(QPointF(50, 27.5), 2.6, 2.6);
}

namespace {

void headingArrow(QPainter &p)
{
    // Within 46 pixels of the centre, so that no heading cuts a corner off
    // in the 94-pixel-wide vehicle view.
    const QVector<QPointF> shape = {{50, 6}, {78, 84}, {50, 68}, {22, 84}};
    const QPainterPath path = roundedPolygon(shape, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(vgrad(QColor(0x7d, 0xd3, 0xfc), pal::blue, 6, 84));
    p.drawPath(path);
    // darker right half gives a folded, three-dimensional look
    p.setBrush(QColor(15, 23, 42, 60));
    p.drawPath(path.intersected([] {
        QPainterPath half;
        half.addRect(QRectF(50, 0, 50, 100));
        return half;
    }()));
    p.setPen(QPen(QColor(0xf8, 0xfa, 0xfc), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void pageArrow(QPainter &p, bool right)
{
    useGrid(p, 48);
    p.setPen(QPen(QColor(0x47, 0x55, 0x69), 1.5));
    p.setBrush(vgrad(QColor(0x33, 0x41, 0x55), QColor(0x11, 0x18, 0x27), 3, 45));
    p.drawEllipse(QPointF(24, 24), 20.5, 20.5);
    if (!right) {
        p.translate(48, 0);
        p.scale(-1, 1);
    }
    p.setPen(QPen(QColor(0xe2, 0xe8, 0xf0), 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{20, 14}, {30, 24}, {20, 34}}));
}

// GPS accuracy: 0 = no data, 1 = poorest … 5 = best. Lit bars take the
// level's colour, from red to green.
void meter(QPainter &p, int level)
{
    const QColor lit[] = {QColor(), pal::redLight, QColor(0xf9, 0x73, 0x16), QColor(0xfa, 0xcc, 0x15),
                          QColor(0x84, 0xcc, 0x16), pal::greenLight};
    const QColor off(0x37, 0x41, 0x51);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        const double h = 8 + i * 6.5;
        const QRectF bar(5 + i * 15, 37 - h, 11, h);
        p.setBrush(i < level ? lit[level] : off);
        p.drawRoundedRect(bar, 2, 2);
    }
    if (level == 0) {
        // a small red cross: no position fix
        p.setPen(QPen(pal::redLight, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QLineF(7, 4, 17, 14));
        p.drawLine(QLineF(17, 4, 7, 14));
    }
}

} // namespace

void addDashboardArt(std::vector<ArtImage> &out)
{
    out.push_back({QStringLiteral("compass"), kCompassW, kCompassH, compass, ArtImage::Dashboard});
    // The compass view draws its background at 1:1; a double-size copy keeps
    // it sharp where the screen has two device pixels per point.
    out.push_back({QStringLiteral("compass@2x"), 2 * kCompassW, 2 * kCompassH,
                   [](QPainter &p) {
                       p.scale(2, 2);
                       compass(p);
                   },
                   ArtImage::Dashboard});
    // The two vehicles, each also at twice the pixels for high-density screens.
    for (const auto &vehicle : {std::make_pair(QStringLiteral("phantom"), &paintQuadcopter),
                                std::make_pair(QStringLiteral("arrow"), &headingArrow)}) {
        const auto paint = vehicle.second;
        out.push_back({vehicle.first, 100, 100, paint, ArtImage::Dashboard});
        out.push_back({vehicle.first + QStringLiteral("@2x"), 200, 200,
                       [paint](QPainter &p) {
                           p.scale(2, 2);
                           paint(p);
                       },
                       ArtImage::Dashboard});
    }
    out.push_back({QStringLiteral("left_arrow"), 48, 48, [](QPainter &p) { pageArrow(p, false); }, ArtImage::Dashboard});
    out.push_back({QStringLiteral("right_arrow"), 48, 48, [](QPainter &p) { pageArrow(p, true); }, ArtImage::Dashboard});
    for (int level = 0; level <= 5; ++level)
        out.push_back({QStringLiteral("meter-%1").arg(level), 80, 40, [level](QPainter &p) { meter(p, level); },
                       ArtImage::Dashboard});
}

} // namespace art

// Shared drawing kit of the art generator: the palette every picture takes
// its colours from, the list of pictures, and small path builders (gears,
// rounded polygons, pins, documents) used by more than one picture.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QString>
#include <QVector>

#include <functional>
#include <vector>

class QPainter;

namespace art {

// The palette: one ink for outlines and glyphs, and a handful of accents.
namespace pal {
const QColor ink(0x1f, 0x29, 0x37);       // glyphs, outlines
const QColor inkSoft(0x47, 0x55, 0x69);   // secondary glyphs
const QColor mist(0x94, 0xa3, 0xb8);      // page outlines, inactive parts
const QColor cloud(0xe2, 0xe8, 0xf0);     // light fills
const QColor paper(0xff, 0xff, 0xff);
const QColor blue(0x25, 0x63, 0xeb);
const QColor blueLight(0x60, 0xa5, 0xfa);
const QColor blueDark(0x1d, 0x4e, 0xd8);
const QColor sky(0x0e, 0xa5, 0xe9);
const QColor teal(0x0d, 0x94, 0x88);
const QColor tealLight(0x2d, 0xd4, 0xbf);
const QColor amber(0xf5, 0x9e, 0x0b);
const QColor amberLight(0xfb, 0xbf, 0x24);
const QColor amberDark(0xd9, 0x77, 0x06);
const QColor orange(0xea, 0x58, 0x0c);
const QColor red(0xdc, 0x26, 0x26);
const QColor redLight(0xef, 0x44, 0x44);
const QColor green(0x16, 0xa3, 0x4a);
const QColor greenLight(0x22, 0xc5, 0x5e);
const QColor purple(0x7c, 0x3a, 0xed);
const QColor pink(0xdb, 0x27, 0x77);
const QColor indigo(0x4f, 0x46, 0xe5);
const QColor night(0x0b, 0x12, 0x20);     // splash and dashboard backgrounds
} // namespace pal

// One picture of the program: its resource name (without ".png"), its pixel
// size, and the painter routine that draws it on a transparent canvas.
struct ArtImage {
    QString name;
    int width;
    int height;
    std::function<void(QPainter &)> paint;
    // Kind shown on the contact sheet: toolbar icons are also previewed at
    // 24 pixels, dashboard pictures on black.
    enum Kind { Icon, Dashboard, Large } kind = Icon;
};

// The groups of pictures, each defined in its own file.
void addToolbarIcons(std::vector<ArtImage> &out);
void addPlayerIcons(std::vector<ArtImage> &out);
void addListIcons(std::vector<ArtImage> &out);
void addDashboardArt(std::vector<ArtImage> &out);
void addMapArt(std::vector<ArtImage> &out);
void addBrandArt(std::vector<ArtImage> &out);

std::vector<ArtImage> allArt();

// Draws one picture into a new transparent ARGB image with antialiasing on.
QImage render(const ArtImage &image);

// Sets the painter up so that the routine draws on a `units` × `units` grid
// whatever the picture's pixel size (icons are designed on a 48 grid).
void useGrid(QPainter &p, int pixelSize, double units = 48.0);

// A vertical two-stop gradient brush from `top` to `bottom` over y0..y1.
QBrush vgrad(const QColor &top, const QColor &bottom, double y0, double y1);

// A gear: `teeth` trapezoid teeth between radii rIn and rOut around c, with
// a hole of radius rHole (odd-even fill).
QPainterPath gearPath(QPointF c, double rIn, double rOut, int teeth, double rHole);

// A document page with a folded top-right corner.
QPainterPath pagePath(QRectF r, double fold);

// A classic map pin (teardrop) whose tip touches `tip`; `r` is the head radius.
QPainterPath pinPath(QPointF tip, double r, double height);

// A polygon whose corners are rounded with radius `radius`.
QPainterPath roundedPolygon(const QVector<QPointF> &points, double radius);

// A filled disc with a soft vertical gradient, used behind transport glyphs.
void drawDisc(QPainter &p, QPointF c, double r, const QColor &base);

// Bold text centred in `r`, `pixelSize` in grid units.
void drawLabel(QPainter &p, const QRectF &r, const QString &text, double pixelSize,
               const QColor &colour, bool bold = true);

// The quadcopter seen from above, nose up, filling a 100 × 100 box.
void paintQuadcopter(QPainter &p);

// The speed colour tables of the map route (1, 5, 10 and 14 levels), slowest
// first, exactly as the map page receives them.
QVector<QColor> speedColours(int levels);

// Marker fill colours of the vehicle-marker symbols 0..5.
QVector<QColor> markerColours();

} // namespace art

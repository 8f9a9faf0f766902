// Build-time generator of the program's pictures and sounds. Everything is
// drawn or synthesised here; nothing is taken from elsewhere.
//
//   makeart --images DIR --qrc FILE --sounds DIR [--expect "a,b,c"]
//       writes DIR/<name>.png for every picture, the resource list FILE
//       (prefix "/", aliases "images/<name>.png", paths relative to FILE),
//       and click.wav and boing.wav into the sounds directory. With
//       --expect, fails unless the pictures written are exactly those names
//       (the build declares its outputs from the same list).
//   makeart --app-icons DIR --app-icon-name NAME --sizes 16,32,...
//       writes DIR/<n>x<n>/apps/NAME.png, the application icon ("volantix")
//       drawn at each size, as the desktop's hicolor icon theme lays it out.
//   makeart --contact-sheet FILE
//       writes one PNG showing every picture (icons also at 24 px, dashboard
//       pictures on black) for a look at the whole set; --only a,b limits
//       it to the pictures whose names start with a or b, --zoom N draws
//       them N times larger.
//
// Run with QT_QPA_PLATFORM=offscreen; fonts come from fonts-dejavu-core.
#include "art/artkit.h"
#include "art/sounds.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "makeart: cannot write %s\n", qPrintable(path));
        return false;
    }
    f.write(bytes);
    return f.commit();
}

bool writeImages(const std::vector<art::ArtImage> &all, const QString &imagesDir, const QString &qrcPath)
{
    if (!QDir().mkpath(imagesDir) || !QDir().mkpath(QFileInfo(qrcPath).absolutePath())) {
        std::fprintf(stderr, "makeart: cannot create the output folders\n");
        return false;
    }
    const QDir qrcDir = QFileInfo(qrcPath).absoluteDir();
    QString qrc;
    QTextStream xml(&qrc);
    xml << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const art::ArtImage &a : all) {
        const QImage img = art::render(a);
        const QString path = QDir(imagesDir).filePath(a.name + QStringLiteral(".png"));
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly) || !img.save(&f, "PNG") || !f.commit()) {
            std::fprintf(stderr, "makeart: cannot write %s\n", qPrintable(path));
            return false;
        }
        xml << "  <file alias=\"images/" << a.name << ".png\">" << qrcDir.relativeFilePath(path) << "</file>\n";
    }
    xml << "</qresource>\n</RCC>\n";
    xml.flush();
    return writeBytes(qrcPath, qrc.toUtf8());
}

bool writeSounds(const QString &dir)
{
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "makeart: cannot create %s\n", qPrintable(dir));
        return false;
    }
    return writeBytes(QDir(dir).filePath(QStringLiteral("click.wav")), art::wavFile(art::synthClick())) &&
           writeBytes(QDir(dir).filePath(QStringLiteral("boing.wav")), art::wavFile(art::synthBoing()));
}

// The names the build expects must be exactly the names drawn here.
bool checkExpected(const std::vector<art::ArtImage> &all, const QString &expected)
{
    QSet<QString> want;
    for (const QString &n : expected.split(QLatin1Char(','), Qt::SkipEmptyParts))
        want.insert(n.trimmed());
    QSet<QString> have;
    for (const art::ArtImage &a : all) {
        if (have.contains(a.name)) {
            std::fprintf(stderr, "makeart: picture %s is defined twice\n", qPrintable(a.name));
            return false;
        }
        have.insert(a.name);
    }
    bool ok = true;
    for (const QString &n : want - have) {
        std::fprintf(stderr, "makeart: the build expects %s.png but nothing draws it\n", qPrintable(n));
        ok = false;
    }
    for (const QString &n : have - want) {
        std::fprintf(stderr, "makeart: %s.png is drawn but not declared in tools/art.cmake\n", qPrintable(n));
        ok = false;
    }
    return ok;
}

bool writeContactSheet(const std::vector<art::ArtImage> &all, const QString &path)
{
    const int tile = 170, cols = 5, label = 22;
    int smallCount = 0, largeHeight = 0;
    for (const art::ArtImage &a : all) {
        if (a.kind == art::ArtImage::Large)
            largeHeight += (a.width > 640 ? 640 * a.height / a.width : a.height) + label + 20;
        else
            ++smallCount;
    }
    const int rows = (smallCount + cols - 1) / cols;
    QImage sheet(cols * tile, rows * tile + largeHeight + 20, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xf1, 0xf5, 0xf9));
    QPainter p(&sheet);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    p.setFont(f);
    int i = 0;
    int y = rows * tile + 10;
    for (const art::ArtImage &a : all) {
        const QImage img = art::render(a);
        if (a.kind == art::ArtImage::Large) {
            // large pictures at up to 640 px wide, one per row
            const QImage shown = img.width() > 640 ? img.scaledToWidth(640, Qt::SmoothTransformation) : img;
            p.fillRect(QRect(10, y, shown.width() + 20, shown.height() + 20), QColor(0x0f, 0x17, 0x2a));
            p.drawImage(20, y + 10, shown);
            p.setPen(Qt::black);
            p.drawText(QRect(shown.width() + 40, y, 400, label), Qt::AlignLeft | Qt::AlignVCenter,
                       a.name + QStringLiteral(" (%1 × %2)").arg(a.width).arg(a.height));
            y += shown.height() + label + 20;
            continue;
        }
        const QRect cell((i % cols) * tile, (i / cols) * tile, tile, tile);
        ++i;
        const bool dark = a.kind == art::ArtImage::Dashboard;
        p.fillRect(cell.adjusted(4, 4, -4, -4), dark ? Qt::black : QColor(0xe2, 0xe8, 0xf0));
        const QImage big = img.width() > 150 || img.height() > 120
                               ? img.scaled(150, 120, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                               : img;
        p.drawImage(cell.left() + 10, cell.top() + 10, big);
        if (a.kind == art::ArtImage::Icon) {
            // the same icon at toolbar size, on light and on dark
            const QImage small = img.scaled(24, 24, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            p.drawImage(cell.right() - 34, cell.top() + 14, small);
            p.fillRect(QRect(cell.right() - 38, cell.top() + 44, 32, 32), QColor(0x1f, 0x29, 0x37));
            p.drawImage(cell.right() - 34, cell.top() + 48, small);
        }
        p.setPen(dark ? Qt::white : Qt::black);
        p.drawText(QRect(cell.left() + 6, cell.bottom() - label - 4, tile - 12, label), Qt::AlignCenter, a.name);
    }
    p.end();
    return sheet.save(path, "PNG");
}

// The application icon drawn afresh at every size (not scaled from one
// bitmap), so that each size is sharp.
bool writeAppIcons(const std::vector<art::ArtImage> &all, const QString &dir, const QString &name,
                   const QString &sizes)
{
    const auto icon = std::find_if(all.begin(), all.end(),
                                   [](const art::ArtImage &a) { return a.name == QLatin1String("volantix"); });
    if (icon == all.end() || name.isEmpty())
        return false;
    for (const QString &text : sizes.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int n = text.toInt();
        if (n < 8 || n > 1024) {
            std::fprintf(stderr, "makeart: no icon size %s\n", qPrintable(text));
            return false;
        }
        art::ArtImage a = *icon;
        a.width = a.height = n;
        a.paint = [n, w = icon->width, paint = icon->paint](QPainter &p) {
            p.scale(double(n) / w, double(n) / w);
            paint(p);
        };
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(dir).arg(n);
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        if (!QDir().mkpath(folder) || !art::render(a).save(&png, "PNG") ||
            !writeBytes(QDir(folder).filePath(name + QStringLiteral(".png")), png.data()))
            return false;
    }
    return true;
}

QString option(const QStringList &args, const QString &name)
{
    const int i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const std::vector<art::ArtImage> all = art::allArt();

    const QString sheet = option(args, QStringLiteral("--contact-sheet"));
    if (!sheet.isEmpty()) {
        // --only a,b,c limits the sheet to pictures whose names start so
        const QStringList only = option(args, QStringLiteral("--only")).split(QLatin1Char(','), Qt::SkipEmptyParts);
        // --zoom N draws each picture N times larger, to judge its details
        const int zoom = std::max(1, option(args, QStringLiteral("--zoom")).toInt());
        std::vector<art::ArtImage> shown;
        for (art::ArtImage a : all) {
            if (!only.isEmpty() &&
                std::none_of(only.begin(), only.end(), [&](const QString &o) { return a.name.startsWith(o); }))
                continue;
            if (zoom > 1) {
                a.width *= zoom;
                a.height *= zoom;
                a.paint = [zoom, paint = a.paint](QPainter &p) {
                    p.scale(zoom, zoom);
                    paint(p);
                };
            }
            shown.push_back(a);
        }
        return writeContactSheet(shown, sheet) ? 0 : 1;
    }

    const QString appIcons = option(args, QStringLiteral("--app-icons"));
    if (!appIcons.isEmpty())
        return writeAppIcons(all, appIcons, option(args, QStringLiteral("--app-icon-name")),
                             option(args, QStringLiteral("--sizes")))
                   ? 0
                   : 1;

    const QString images = option(args, QStringLiteral("--images"));
    const QString qrc = option(args, QStringLiteral("--qrc"));
    const QString sounds = option(args, QStringLiteral("--sounds"));
    if (images.isEmpty() || qrc.isEmpty() || sounds.isEmpty()) {
        std::fprintf(stderr, "usage: makeart --images DIR --qrc FILE --sounds DIR [--expect NAMES]\n"
                             "       makeart --app-icons DIR --app-icon-name NAME --sizes 16,32,...\n"
                             "       makeart --contact-sheet FILE\n");
        return 2;
    }
    if (args.contains(QStringLiteral("--expect")) && !checkExpected(all, option(args, QStringLiteral("--expect"))))
        return 1;
    if (!writeImages(all, images, qrc) || !writeSounds(sounds))
        return 1;
    return 0;
}

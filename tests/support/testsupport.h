// Small helpers shared by the tests.
#pragma once

#include <QByteArray>
#include <QString>

namespace vx {
struct MovieBlock;
}

namespace vxtest {

// tests/data/<name> in the source tree (real-world samples and hand-made files).
QString dataPath(const QString &name);
// <build>/generated/<name>: movies and files made by the build for the tests.
QString generatedPath(const QString &name);
// Writes `content` to `path` (creating folders); fails the caller's QVERIFY when false.
bool writeFile(const QString &path, const QByteArray &content);
// The whole file, or "<unreadable>".
QByteArray readFile(const QString &path);

// Point i of a block as text, one value per letter of `fields`: t time ("none" for
// NO_TIME), y latitude, x longitude, a altitude, v speed, s satellites, d segDist,
// b bearing, l los, c cumDist. Doubles print with 10 significant digits, speeds with 7.
QString pointText(const vx::MovieBlock &b, int i, const char *fields = "tyxavs");
// One field (a letter as above) of points [from, to), space-separated; to < 0 = numPoints.
QString column(const vx::MovieBlock &b, char field, int from = 0, int to = -1);

} // namespace vxtest

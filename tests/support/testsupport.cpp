#include "testsupport.h"

#include "track/trackstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace vxtest {

QString dataPath(const QString &name) { return QStringLiteral(VX_TEST_DATA_DIR "/") + name; }

QString generatedPath(const QString &name) { return QStringLiteral(VX_GENERATED_DIR "/") + name; }

bool writeFile(const QString &path, const QByteArray &content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(content) == content.size();
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

static QString field(const vx::MovieBlock &b, int i, char f) {
    auto num = [](double v) { return QString::number(v, 'g', 10); };
    switch (f) {
    case 't': return b.gpsTime[i] == vx::NO_TIME ? QStringLiteral("none") : QString::number(b.gpsTime[i]);
    case 'y': return num(b.lat[i]);
    case 'x': return num(b.lon[i]);
    case 'a': return num(b.altitude[i]);
    case 'v': return QString::number(double(b.speed[i]), 'g', 7);
    case 's': return QString::number(b.sats[i]);
    case 'd': return num(b.segDist[i]);
    case 'b': return num(b.bearing[i]);
    case 'l': return num(b.los[i]);
    case 'c': return num(b.cumDist[i]);
    default: return QStringLiteral("?");
    }
}

QString pointText(const vx::MovieBlock &b, int i, const char *fields) {
    QStringList out;
    for (const char *f = fields; *f; ++f)
        out << field(b, i, *f);
    return out.join(QLatin1Char(' '));
}

QString column(const vx::MovieBlock &b, char f, int from, int to) {
    QStringList out;
    for (int i = from; i < (to < 0 ? b.numPoints : to); ++i)
        out << field(b, i, f);
    return out.join(QLatin1Char(' '));
}

} // namespace vxtest

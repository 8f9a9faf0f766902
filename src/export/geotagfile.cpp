#include "geotagfile.h"

#include "formatters.h"
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTextCodec>

#include <cmath>

namespace vx {

namespace {

constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
constexpr double kMphToKmh = 1.60934;
constexpr double kMsToKmh = 3.6;
constexpr double kMaxSpeedKmh = 1.0e6;
constexpr double kMaxSeconds = 1.0e9;  // movie points and durations

// ---- writing ----------------------------------------------------------------

QByteArray oneLine(const QString &text)
{
    QByteArray out = text.toUtf8();
    for (char &c : out) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return out.isEmpty() ? QByteArray(" ") : out;
}

void appendHeader(QByteArray &out, int format, const QString &speedUnit)
{
    QStringList names = {QStringLiteral("ID"), QStringLiteral("GeoTag Name"), QStringLiteral("GeoTag Date"),
                         QStringLiteral("GeoTag Time"), QStringLiteral("Movie Name"),
                         QStringLiteral("Movie Point (sec)"), QStringLiteral("Speed (%1)").arg(speedUnit)};
    if (format == 0)
        names << QStringLiteral("Latitude (deg)") << QStringLiteral("Longitude (deg)");
    else if (format == 1)
        names << QStringLiteral("Latitude (deg)") << QStringLiteral("Latitude (min)")
              << QStringLiteral("Longitude (deg)") << QStringLiteral("Longitude (min)");
    else
        names << QStringLiteral("Latitude (deg)") << QStringLiteral("Latitude (min)")
              << QStringLiteral("Latitude (sec)") << QStringLiteral("Longitude (deg)")
              << QStringLiteral("Longitude (min)") << QStringLiteral("Longitude (sec)");
    names << QStringLiteral("Movie Duration (secs)") << QStringLiteral("mSeconds1970");
    out += names.join(QLatin1Char('\t')).toUtf8() + '\n';
}

// ---- reading ----------------------------------------------------------------

// [-+]?[0-9]*\.?[0-9]+ , the whole field.
bool isDecimal(const QByteArray &f)
{
    int i = 0;
    const int n = f.size();
    if (i < n && (f[i] == '-' || f[i] == '+'))
        ++i;
    int before = 0;
    while (i < n && f[i] >= '0' && f[i] <= '9') {
        ++i;
        ++before;
    }
    if (i < n && f[i] == '.') {
        ++i;
        int after = 0;
        while (i < n && f[i] >= '0' && f[i] <= '9') {
            ++i;
            ++after;
        }
        return i == n && after > 0;
    }
    return i == n && before > 0;
}

bool isWholeNumber(const QByteArray &f)
{
    if (f.isEmpty())
        return false;
    for (char c : f) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

bool decimalValue(const QByteArray &f, double *value)
{
    if (!isDecimal(f))
        return false;
    bool ok = false;
    *value = f.toDouble(&ok);  // the C locale, whatever the process's locale
    return ok && std::isfinite(*value);
}

QString fieldText(const QByteArray &f)
{
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(f.constData(), f.size(), &state);
    return state.invalidChars > 0 ? QString::fromLatin1(f.constData(), f.size()) : text;
}

// One coordinate from its degree, minute and second texts (minutes and
// seconds may be absent): |degrees| + minutes / 60 + seconds / 3600 with the
// sign written before the degrees, so "-00" and "-0.5" stay negative.
bool coordinate(const QByteArray &deg, const QByteArray *min, const QByteArray *sec, double limit, double *value)
{
    double d = 0, m = 0, s = 0;
    if (!decimalValue(deg, &d))
        return false;
    if (min && (!decimalValue(*min, &m) || m < 0 || m > 60))
        return false;
    if (sec && (!decimalValue(*sec, &s) || s < 0 || s > 60))
        return false;
    const double v = std::fabs(d) + m / 60.0 + s / 3600.0;
    if (!(v <= limit))
        return false;
    *value = deg.startsWith('-') ? -v : v;
    return true;
}

bool parseRecord(const QList<QByteArray> &f, double speedToKmh, const QString &movieDir, Geotag *out)
{
    const int n = f.size();
    if (n != 11 && n != 13 && n != 15)
        return false;
    if (!isWholeNumber(f[0]) || !isWholeNumber(f[n - 1]) || f[n - 1].size() > 18)
        return false;
    for (int i = 1; i <= 4; ++i) {
        if (f[i].isEmpty())
            return false;
    }
    for (int i = 5; i < n - 1; ++i) {
        if (!isDecimal(f[i]))
            return false;
    }
    double seconds = 0, speed = 0, duration = 0;
    decimalValue(f[5], &seconds);
    decimalValue(f[6], &speed);
    decimalValue(f[n - 2], &duration);
    speed *= speedToKmh;
    if (!(std::fabs(seconds) <= kMaxSeconds) || !(std::fabs(duration) <= kMaxSeconds)
        || !(std::fabs(speed) <= kMaxSpeedKmh))
        return false;
    double lat = 0, lon = 0;
    bool ok = false;
    if (n == 11)
        ok = coordinate(f[7], nullptr, nullptr, 90, &lat) && coordinate(f[8], nullptr, nullptr, 180, &lon);
    else if (n == 13)
        ok = coordinate(f[7], &f[8], nullptr, 90, &lat) && coordinate(f[9], &f[10], nullptr, 180, &lon);
    else
        ok = coordinate(f[7], &f[8], &f[9], 90, &lat) && coordinate(f[10], &f[11], &f[12], 180, &lon);
    if (!ok)
        return false;

    Geotag g;
    g.title = fieldText(f[1]);
    // Only the file name counts: the movie is looked for beside the others.
    const QString name = QFileInfo(fieldText(f[4])).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    g.movieFile = QFileInfo(movieDir + QLatin1Char('/') + name);
    g.moviePoint = std::llround(std::max(seconds, 0.0) * 1000.0);
    g.speed = static_cast<float>(speed);
    g.lat = lat;
    g.lon = lon;
    g.movieDuration = static_cast<float>(duration);
    g.dateTime = QDateTime::fromMSecsSinceEpoch(f[n - 1].toLongLong(), Qt::UTC);
    if (!g.dateTime.isValid())
        return false;
    *out = g;
    return true;
}

// ---- the store ----------------------------------------------------------------

bool finiteWithin(const QJsonValue &v, double limit, double *out)
{
    if (!v.isDouble())
        return false;
    *out = v.toDouble();
    return std::isfinite(*out) && std::fabs(*out) <= limit;
}

bool storeRecord(const QJsonValue &value, Geotag *out)
{
    if (!value.isObject())
        return false;
    const QJsonObject o = value.toObject();
    const QString movie = o.value(QStringLiteral("movieFile")).toString();
    double duration = 0, point = 0, when = 0, speed = 0, lat = 0, lon = 0, altitude = 0;
    if (movie.isEmpty() || !o.value(QStringLiteral("title")).isString()
        || !finiteWithin(o.value(QStringLiteral("movieDuration")), kMaxSeconds, &duration)
        || !finiteWithin(o.value(QStringLiteral("moviePoint")), kMaxSeconds * 1000, &point)
        || !finiteWithin(o.value(QStringLiteral("dateTime")), 8.0e15, &when)
        || !finiteWithin(o.value(QStringLiteral("speed")), kMaxSpeedKmh, &speed)
        || !finiteWithin(o.value(QStringLiteral("lat")), 90, &lat)
        || !finiteWithin(o.value(QStringLiteral("lon")), 180, &lon)
        || !finiteWithin(o.value(QStringLiteral("altitude")), 1.0e7, &altitude))
        return false;
    Geotag g;
    g.title = o.value(QStringLiteral("title")).toString();
    g.movieFile = QFileInfo(movie);
    g.movieDuration = static_cast<float>(duration);
    g.moviePoint = std::llround(std::max(point, 0.0));
    g.dateTime = QDateTime::fromMSecsSinceEpoch(std::llround(when), Qt::UTC);
    g.speed = static_cast<float>(speed);
    g.lat = lat;
    g.lon = lon;
    g.altitude = altitude;
    g.hasAltitude = o.value(QStringLiteral("hasAltitude")).toBool();
    *out = g;
    return true;
}

} // namespace

QByteArray geotagFileText(const GeotagList &tags, const SettingsRecord &s)
{
    const int format = s.datumFormat == 0 || s.datumFormat == 1 ? s.datumFormat : 2;
    QByteArray out;
    appendHeader(out, format, speedUnitName(s.speedUnitIndex));
    const int count = std::clamp(tags.count, 0, MAX_GEOTAGS);
    for (int i = 0; i < count; ++i) {
        const Geotag &g = tags.tag[i];
        const QDateTime local = g.dateTime.toLocalTime();
        const QDateTime when = local.isValid() ? local : QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
        const CoordinateText c = formatCoordinates(format, true, g.lat, g.lon);
        appendCFormat(out, "%d\t", i + 1);
        out += oneLine(g.title) + '\t' + when.toString(QStringLiteral("yyyy-MM-dd\thh:mm:ss")).toLatin1() + '\t'
               + oneLine(g.movieFile.fileName()) + '\t';
        appendCFormat(out, "%.1f\t%.1f\t", static_cast<double>(g.moviePoint) / 1000.0,
                      static_cast<double>(g.speed) * s.speedFactor);
        if (format == 0)
            out += c.latDeg + '\t' + c.lonDeg;
        else if (format == 1)
            out += c.latDeg + '\t' + c.latMin + '\t' + c.lonDeg + '\t' + c.lonMin;
        else
            out += c.latDeg + '\t' + c.latMin + '\t' + c.latSec + '\t' + c.lonDeg + '\t' + c.lonMin + '\t' + c.lonSec;
        appendCFormat(out, "\t%.1f\t%lld\n", static_cast<double>(g.movieDuration),
                      static_cast<long long>(g.dateTime.isValid() ? g.dateTime.toMSecsSinceEpoch() : 0));
    }
    return out;
}

ExportResult exportGeotags(const QString &path)
{
    ExportFile file(path);
    if (!file.open())
        return file.failure();
    file.write(geotagFileText(geotags(), settings()));
    return file.finish();
}

GeotagImport parseGeotagText(const QByteArray &text, const QString &movieDir)
{
    GeotagImport out;
    double speedToKmh = 1.0;
    int start = text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const int size = text.size();
    while (start < size && out.tags.size() < MAX_GEOTAGS) {
        int end = start;
        while (end < size && text[end] != '\n' && text[end] != '\r')
            ++end;
        const QByteArray line = QByteArray::fromRawData(text.constData() + start, end - start);
        start = end + (end + 1 < size && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
        const int columns = line.count('\t') + 1;
        Geotag tag;
        if ((columns == 11 || columns == 13 || columns == 15)
            && parseRecord(line.split('\t'), speedToKmh, movieDir, &tag)) {
            out.tags.push_back(tag);
            continue;
        }
        if (out.tags.isEmpty()) {
            // A header line: the unit of the speed column.
            if (line.contains("(mph)"))
                speedToKmh = kMphToKmh;
            else if (line.contains("(m/s)"))
                speedToKmh = kMsToKmh;
            else if (line.contains("(km/h)"))
                speedToKmh = 1.0;
        } else if (!line.trimmed().isEmpty()) {
            ++out.skippedLines;
        }
    }
    return out;
}

GeotagFileRead readGeotagFile(const QString &path, const QString &movieDir)
{
    GeotagFileRead r;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.errorText = QStringLiteral("File error. Could not read: %1").arg(path);
        return r;
    }
    if (file.size() > kMaxFileBytes) {
        r.errorText = QStringLiteral("%1 is too large to be a geotag file.").arg(path);
        return r;
    }
    r.import = parseGeotagText(file.read(kMaxFileBytes), movieDir);
    if (r.import.tags.isEmpty()) {
        r.errorText = geotagNothingImportedText(path);
        return r;
    }
    for (const Geotag &g : r.import.tags) {
        if (!g.movieFile.exists())
            r.missingMovie = g.movieFile.absoluteFilePath();
    }
    r.ok = true;
    return r;
}

QString geotagMissingMovieText(const QString &expectedPath)
{
    return QStringLiteral("One or more videos referenced in the geotag file was not found. Be sure that the geotag "
                          "file is in the same location as the movie files. Here is the path expected path for one "
                          "of the videos: ")
         + expectedPath;
}

QString geotagNothingImportedText(const QString &path)
{
    return QStringLiteral("No geotags were found in %1.").arg(path);
}

QString geotagStorePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/')
         + QLatin1String(keys::ORGANIZATION) + QLatin1Char('/') + QLatin1String(keys::APPLICATION)
         + QStringLiteral("/geotags.json");
}

QByteArray geotagStoreText(const GeotagList &tags)
{
    QJsonArray list;
    const int count = std::clamp(tags.count, 0, MAX_GEOTAGS);
    for (int i = 0; i < count; ++i) {
        const Geotag &g = tags.tag[i];
        QJsonObject o;
        o.insert(QStringLiteral("title"), g.title);
        o.insert(QStringLiteral("movieFile"), g.movieFile.absoluteFilePath());
        o.insert(QStringLiteral("movieDuration"), static_cast<double>(g.movieDuration));
        o.insert(QStringLiteral("moviePoint"), static_cast<double>(g.moviePoint));
        o.insert(QStringLiteral("dateTime"), static_cast<double>(g.dateTime.toMSecsSinceEpoch()));
        o.insert(QStringLiteral("speed"), static_cast<double>(g.speed));
        o.insert(QStringLiteral("lat"), g.lat);
        o.insert(QStringLiteral("lon"), g.lon);
        o.insert(QStringLiteral("altitude"), g.altitude);
        o.insert(QStringLiteral("hasAltitude"), g.hasAltitude);
        list.append(o);
    }
    QJsonObject root;
    root.insert(QStringLiteral("geotags"), list);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QVector<Geotag> parseGeotagStore(const QByteArray &text, bool *ok)
{
    QVector<Geotag> tags;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    const bool isStore = error.error == QJsonParseError::NoError && doc.isObject()
                         && doc.object().value(QStringLiteral("geotags")).isArray();
    if (ok)
        *ok = isStore;
    if (!isStore)
        return tags;
    const QJsonArray list = doc.object().value(QStringLiteral("geotags")).toArray();
    for (const QJsonValue &v : list) {
        Geotag g;
        if (tags.size() < MAX_GEOTAGS && storeRecord(v, &g))
            tags.push_back(g);
    }
    return tags;
}

ExportResult saveGeotagStore(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    ExportFile file(path);
    if (!file.open())
        return file.failure();
    file.write(geotagStoreText(geotags()));
    return file.finish();
}

bool restoreGeotagStore(const QString &path)
{
    clearGeotags();
    QFile file(path);
    if (!file.exists())
        return true;
    bool ok = false;
    QVector<Geotag> tags;
    if (file.size() <= kMaxFileBytes && file.open(QIODevice::ReadOnly)) {
        tags = parseGeotagStore(file.read(kMaxFileBytes), &ok);
        file.close();
    }
    if (!ok) {
        const QString aside = path + QStringLiteral(".damaged");
        QFile::remove(aside);
        QFile::rename(path, aside);
        return false;
    }
    replaceGeotags(tags);
    return true;
}

} // namespace vx

#include "views/weather.h"

#include "export/formatters.h"
#include "settings/settings.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSettings>
#include <QTimer>
#include <QUrlQuery>

#include <cmath>
#include <optional>

namespace vx {

// ---- texts ----------------------------------------------------------------------

namespace {

const double kPrecipitationFactor[] = {1.0, 2.54, 2.54};
const char *const kPrecipitationSuffix[] = {" in", " cm", " cm"};
const double kVisibilityFactor[] = {1.0, 1.60934, 1609.34};
const char *const kVisibilitySuffix[] = {" mi", " km", " m"};
const QString kNoValue = QStringLiteral("--- ");

bool known(double v) { return std::isfinite(v) && v >= -10000; }

// "%.0f", without a minus sign on a value that rounds to zero.
QString whole(double v)
{
    QString s = QString::asprintf("%.0f", v);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

QString temperatureText(double fahrenheit, int tempUnits)
{
    if (!known(fahrenheit))
        return kNoValue;
    const bool celsius = tempUnits == 1;
    const double t = celsius ? (fahrenheit - 32) * 5 / 9 : fahrenheit;
    return whole(t) + QChar(0x00b0) + (celsius ? QStringLiteral(" C") : QStringLiteral(" F"));
}

void yesNo(int value, QString *text, QString *style)
{
    if (value < 0) {
        *text = kNoValue;
        style->clear();
    } else {
        *text = value ? QStringLiteral("Yes") : QStringLiteral("No");
        *style = value ? QStringLiteral("color:red;") : QStringLiteral("color:green;");
    }
}

} // namespace

WeatherTexts weatherTexts(const WeatherValues &v, int distUnitIndex, int tempUnits)
{
    const int d = distUnitIndex >= 0 && distUnitIndex <= 2 ? distUnitIndex : 0;
    WeatherTexts t;
    t.high = temperatureText(v.highF, tempUnits);
    t.low = temperatureText(v.lowF, tempUnits);
    t.rain = known(v.precipitationIn)
                 ? whole(v.precipitationIn * kPrecipitationFactor[d]) + QLatin1String(kPrecipitationSuffix[d])
                 : kNoValue;
    t.visibility = known(v.visibilityMi)
                       ? whole(v.visibilityMi * kVisibilityFactor[d]) + QLatin1String(kVisibilitySuffix[d])
                       : kNoValue;
    yesNo(v.fog, &t.fog, &t.fogStyle);
    yesNo(v.snow, &t.snow, &t.snowStyle);
    return t;
}

// ---- addresses ------------------------------------------------------------------

namespace {

QUrl serviceUrl(const char *envName, const QSettings &store, const QString &key, const char *fallback)
{
    QString text = qEnvironmentVariable(envName);
    if (text.isEmpty())
        text = store.value(key).toString();
    const QUrl url(text, QUrl::StrictMode);
    if (url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) &&
        !url.host().isEmpty())
        return url;
    return QUrl(QString::fromLatin1(fallback));
}

QString isoDay(const QDate &d) { return d.toString(Qt::ISODate); }

// The shared part of both requests; empty when the point cannot be asked about.
QUrlQuery baseQuery(const WeatherService &service, qint64 utcSeconds, double latitude, double longitude)
{
    QUrlQuery q;
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::fabs(latitude) > 90 ||
        std::fabs(longitude) > 180)
        return q;
    const QDate day = QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::UTC).date();
    if (!day.isValid() || day.year() < 1 || day.year() > 9999)
        return q;
    // The UTC day and its neighbours hold the local day of any place.
    q.addQueryItem(QStringLiteral("latitude"), QString::fromLatin1(cFormat("%.6f", latitude)));
    q.addQueryItem(QStringLiteral("longitude"), QString::fromLatin1(cFormat("%.6f", longitude)));
    q.addQueryItem(QStringLiteral("start_date"), isoDay(day.addDays(-1)));
    q.addQueryItem(QStringLiteral("end_date"), isoDay(day.addDays(1)));
    q.addQueryItem(QStringLiteral("timezone"), QStringLiteral("auto"));
    if (!service.apiKey.isEmpty())
        q.addQueryItem(QStringLiteral("apikey"), service.apiKey);
    return q;
}

QUrl withQuery(const QUrl &base, const QUrlQuery &query)
{
    if (query.isEmpty() || !base.isValid())
        return QUrl();
    QUrlQuery all(base);
    for (const auto &item : query.queryItems())
        all.addQueryItem(item.first, item.second);
    QUrl url = base;
    url.setQuery(all);
    return url;
}

} // namespace

WeatherService weatherService()
{
    const QSettings store(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
    WeatherService s;
    s.archiveUrl = serviceUrl("VOLANTIX_WEATHER_ARCHIVE_URL", store, QStringLiteral("weather/archiveUrl"),
                              "https://archive-api.open-meteo.com/v1/archive");
    s.forecastUrl = serviceUrl("VOLANTIX_WEATHER_FORECAST_URL", store, QStringLiteral("weather/forecastUrl"),
                               "https://historical-forecast-api.open-meteo.com/v1/forecast");
    s.apiKey = qEnvironmentVariable("VOLANTIX_WEATHER_APIKEY");
    if (s.apiKey.isEmpty())
        s.apiKey = store.value(QStringLiteral("weather/apikey")).toString();
    return s;
}

QUrl archiveRequest(const WeatherService &service, qint64 utcSeconds, double latitude, double longitude)
{
    QUrlQuery q = baseQuery(service, utcSeconds, latitude, longitude);
    if (q.isEmpty())
        return QUrl();
    q.addQueryItem(QStringLiteral("daily"),
                   QStringLiteral("temperature_2m_max,temperature_2m_min,precipitation_sum,snowfall_sum"));
    q.addQueryItem(QStringLiteral("hourly"), QStringLiteral("weather_code"));
    q.addQueryItem(QStringLiteral("temperature_unit"), QStringLiteral("fahrenheit"));
    q.addQueryItem(QStringLiteral("precipitation_unit"), QStringLiteral("inch"));
    return withQuery(service.archiveUrl, q);
}

QUrl visibilityRequest(const WeatherService &service, qint64 utcSeconds, double latitude, double longitude)
{
    QUrlQuery q = baseQuery(service, utcSeconds, latitude, longitude);
    if (q.isEmpty())
        return QUrl();
    q.addQueryItem(QStringLiteral("hourly"), QStringLiteral("visibility"));
    return withQuery(service.forecastUrl, q);
}

// ---- answers --------------------------------------------------------------------

namespace {

// One series of an answer ("daily" or "hourly"): its times and the units.
struct Series {
    QJsonObject values;
    QJsonObject units;
    QJsonArray times;
};

// The answer's root, the local day and the series `group`; false when any
// part is missing or of the wrong kind.
bool readSeries(const QByteArray &json, qint64 utcSeconds, const QString &group, Series *series, QString *localDay)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("error")).toBool())
        return false;
    const QJsonValue offset = root.value(QStringLiteral("utc_offset_seconds"));
    if (!offset.isDouble() || !(std::fabs(offset.toDouble()) <= 18 * 3600))
        return false;
    const qint64 local = utcSeconds + qint64(offset.toDouble());
    *localDay = isoDay(QDateTime::fromSecsSinceEpoch(local, Qt::UTC).date());
    const QJsonValue values = root.value(group);
    const QJsonValue times = values.toObject().value(QStringLiteral("time"));
    if (!values.isObject() || !times.isArray())
        return false;
    series->values = values.toObject();
    series->units = root.value(group + QStringLiteral("_units")).toObject();
    series->times = times.toArray();
    return true;
}

// A series column; false when it is missing or shorter than the times.
bool column(const Series &s, const char *name, QJsonArray *out)
{
    const QJsonValue v = s.values.value(QLatin1String(name));
    if (!v.isArray() || v.toArray().size() < s.times.size())
        return false;
    *out = v.toArray();
    return true;
}

// A number of a column, nullopt for null (no data) and for anything else.
std::optional<double> number(const QJsonArray &a, int i)
{
    const QJsonValue v = a.at(i);
    if (!v.isDouble() || !std::isfinite(v.toDouble()))
        return std::nullopt;
    return v.toDouble();
}

// Factor to the kept unit from the unit an answer names; nullopt for a
// unit not known here. An absent unit is the one asked for.
std::optional<double> unitFactor(const Series &s, const char *name, const char *asked,
                                 std::initializer_list<std::pair<const char *, double>> known)
{
    const QString unit = s.units.value(QLatin1String(name)).toString(QLatin1String(asked));
    for (const auto &k : known) {
        if (unit == QString::fromUtf8(k.first))
            return k.second;
    }
    return std::nullopt;
}

std::optional<double> fahrenheit(const Series &s, const char *name, std::optional<double> value)
{
    if (!value)
        return value;
    const QString unit = s.units.value(QLatin1String(name)).toString(QStringLiteral("°F"));
    if (unit == QStringLiteral("°F"))
        return value;
    if (unit == QStringLiteral("°C"))
        return *value * 9 / 5 + 32;
    return std::nullopt;
}

// Indexes of the times that fall on `day` (daily "2017-03-10", hourly
// "2017-03-10T13:00").
QVector<int> indexesOfDay(const QJsonArray &times, const QString &day)
{
    QVector<int> out;
    for (int i = 0; i < times.size(); ++i) {
        const QString t = times.at(i).toString();
        if (t == day || (t.startsWith(day) && t.size() > day.size() && t.at(day.size()) == QLatin1Char('T')))
            out.append(i);
    }
    return out;
}

} // namespace

bool parseArchiveAnswer(const QByteArray &json, qint64 utcSeconds, WeatherValues *values)
{
    Series daily, hourly;
    QString day;
    if (!readSeries(json, utcSeconds, QStringLiteral("daily"), &daily, &day) ||
        !readSeries(json, utcSeconds, QStringLiteral("hourly"), &hourly, &day))
        return false;
    QJsonArray maxT, minT, precipitation, snowfall, codes;
    if (!column(daily, "temperature_2m_max", &maxT) || !column(daily, "temperature_2m_min", &minT) ||
        !column(daily, "precipitation_sum", &precipitation) || !column(daily, "snowfall_sum", &snowfall) ||
        !column(hourly, "weather_code", &codes))
        return false;
    const QVector<int> days = indexesOfDay(daily.times, day);
    if (days.size() != 1)
        return false;
    const int i = days.first();
    const std::optional<double> inches =
        unitFactor(daily, "precipitation_sum", "inch", {{"inch", 1.0}, {"mm", 1 / 25.4}});
    if (!inches)
        return false;
    WeatherValues v = *values;
    const std::optional<double> high = fahrenheit(daily, "temperature_2m_max", number(maxT, i));
    const std::optional<double> low = fahrenheit(daily, "temperature_2m_min", number(minT, i));
    const std::optional<double> rain = number(precipitation, i);
    const std::optional<double> snow = number(snowfall, i);
    if (!high && !low && !rain)
        return false;  // nothing known about that day (not in the archive yet)
    v.highF = high.value_or(NO_WEATHER_VALUE);
    v.lowF = low.value_or(NO_WEATHER_VALUE);
    v.precipitationIn = rain ? *rain * *inches : NO_WEATHER_VALUE;

    bool anyCode = false, fog = false, snowCode = false;
    for (int h : indexesOfDay(hourly.times, day)) {
        // WMO codes are whole numbers 0..99; anything else is no code.
        const std::optional<double> code = number(codes, h);
        if (!code || *code < 0 || *code > 99 || *code != std::floor(*code))
            continue;
        anyCode = true;
        const int c = int(*code);
        fog = fog || c == 45 || c == 48;
        snowCode = snowCode || (c >= 71 && c <= 77) || c == 85 || c == 86;
    }
    v.fog = anyCode ? int(fog) : -1;
    if ((snow && *snow > 0) || snowCode)
        v.snow = 1;
    else
        v.snow = (snow || anyCode) ? 0 : -1;
    *values = v;
    return true;
}

bool parseVisibilityAnswer(const QByteArray &json, qint64 utcSeconds, double *visibilityMi)
{
    Series hourly;
    QString day;
    QJsonArray visibility;
    if (!readSeries(json, utcSeconds, QStringLiteral("hourly"), &hourly, &day) ||
        !column(hourly, "visibility", &visibility))
        return false;
    const std::optional<double> toMiles = unitFactor(
        hourly, "visibility", "m", {{"m", 1 / 1609.344}, {"km", 1 / 1.609344}, {"ft", 1 / 5280.0}, {"mi", 1.0}});
    if (!toMiles)
        return false;
    double sum = 0;
    int n = 0;
    for (int h : indexesOfDay(hourly.times, day)) {
        if (const std::optional<double> v = number(visibility, h)) {
            sum += *v;
            ++n;
        }
    }
    if (n == 0)
        return false;
    *visibilityMi = sum / n * *toMiles;
    return true;
}

// ---- the lookup -----------------------------------------------------------------

WeatherLookup::WeatherLookup(QObject *parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
    , m_timer(new QTimer(this))
    , m_service(weatherService())
{
    qRegisterMetaType<vx::WeatherValues>();
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (m_reply)
            m_reply->abort();  // finishes with an error: the lookup fails
    });
}

WeatherLookup::~WeatherLookup() { cancel(); }

void WeatherLookup::start(qint64 utcSeconds, double latitude, double longitude)
{
    cancel();
    m_utcSeconds = utcSeconds;
    m_latitude = latitude;
    m_longitude = longitude;
    m_values = WeatherValues();
    const QUrl url = archiveRequest(m_service, utcSeconds, latitude, longitude);
    if (url.isEmpty()) {
        emit failed();
        return;
    }
    request(url, Stage::Archive);
}

void WeatherLookup::cancel()
{
    m_timer->stop();
    if (QNetworkReply *reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void WeatherLookup::request(const QUrl &url, Stage stage)
{
    QNetworkRequest req(url);
    req.setHeader(QNetworkRequest::UserAgentHeader,
                  QStringLiteral("%1/%2 (weather lookup)").arg(exportApplicationName(), exportApplicationVersion()));
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = m_network->get(req);
    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply, stage] { replyFinished(reply, stage); });
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64) {
        if (received > MAX_ANSWER_BYTES)
            reply->abort();
    });
    m_timer->start(m_timeoutMs);
}

void WeatherLookup::replyFinished(QNetworkReply *reply, Stage stage)
{
    reply->deleteLater();
    if (reply != m_reply)
        return;  // abandoned
    m_reply = nullptr;
    m_timer->stop();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = reply->error() == QNetworkReply::NoError && status == 200;
    const QByteArray body = ok ? reply->read(MAX_ANSWER_BYTES) : QByteArray();
    if (stage == Stage::Archive) {
        if (!ok || !parseArchiveAnswer(body, m_utcSeconds, &m_values)) {
            emit failed();
            return;
        }
        emit answered(m_values);
        const QUrl url = visibilityRequest(m_service, m_utcSeconds, m_latitude, m_longitude);
        if (!url.isEmpty())
            request(url, Stage::Visibility);
        return;
    }
    double visibility = 0;
    if (ok && parseVisibilityAnswer(body, m_utcSeconds, &visibility)) {
        m_values.visibilityMi = visibility;
        emit answered(m_values);
    }
}

} // namespace vx

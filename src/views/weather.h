// The day's weather at a place and time, from Open-Meteo's keyless
// historical archive (daily high and low temperature, precipitation and
// snowfall sums, hourly weather codes) and its historical forecast archive
// (hourly visibility, only for recent years). Both answers are JSON:
//
//   { "utc_offset_seconds": -25200,
//     "daily": { "time": ["2017-03-10", ...], "temperature_2m_max": [82.1, ...],
//                "temperature_2m_min": [...], "precipitation_sum": [...],
//                "snowfall_sum": [...] },
//     "daily_units": { "temperature_2m_max": "°F", "precipitation_sum": "inch", ... },
//     "hourly": { "time": ["2017-03-10T00:00", ...], "weather_code": [3, 45, ...] } }
//
// The request asks for the UTC day of the point and the days on either side
// with timezone=auto, so the answer's days are local at the place; the day
// read is the one that is local at the point's instant (its UTC time plus
// utc_offset_seconds). A value may be null (no data): it shows "--- ".
// Fog: any hourly code 45 or 48 that day; snow: snowfall above 0 or a code
// 71-77, 85 or 86. Values are kept in Fahrenheit, inches and miles and
// converted for display.
//
// The pure parts (addresses, parsing, texts) are separate from WeatherLookup,
// which runs the requests one at a time.
#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

class QTimer;

namespace vx {

// Marks a number the answer did not give (the design's "no value").
constexpr double NO_WEATHER_VALUE = -1000000.0;

struct WeatherValues {
    double highF = NO_WEATHER_VALUE;
    double lowF = NO_WEATHER_VALUE;
    double precipitationIn = NO_WEATHER_VALUE;
    double visibilityMi = NO_WEATHER_VALUE;
    int fog = -1;   // -1 unknown, 0 no, otherwise yes
    int snow = -1;
};

// The six texts of the weather page in the user's units, and the style
// sheets of the fog and snow texts ("color:green;" for No, "color:red;" for
// Yes, empty while unknown).
struct WeatherTexts {
    QString high, low, rain, visibility, fog, snow;
    QString fogStyle, snowStyle;
};
// distUnitIndex 0 miles, 1 km, 2 meters; tempUnits 0 Fahrenheit, 1 Celsius.
WeatherTexts weatherTexts(const WeatherValues &values, int distUnitIndex, int tempUnits);

// The services' addresses: the defaults, or VOLANTIX_WEATHER_ARCHIVE_URL /
// VOLANTIX_WEATHER_FORECAST_URL from the environment, or the keys
// "weather/archiveUrl" / "weather/forecastUrl" of the settings store (a
// customer address for users with a key). A key in VOLANTIX_WEATHER_APIKEY
// or "weather/apikey" is sent as the apikey parameter.
struct WeatherService {
    QUrl archiveUrl;   // https://archive-api.open-meteo.com/v1/archive
    QUrl forecastUrl;  // https://historical-forecast-api.open-meteo.com/v1/forecast
    QString apiKey;
};
WeatherService weatherService();

constexpr const char *WEATHER_ATTRIBUTION = "Weather data by Open-Meteo.com";
constexpr const char *WEATHER_ATTRIBUTION_URL = "https://open-meteo.com/";
constexpr const char *WEATHER_FAILED = "Sorry, could not retrieve weather at that lat/lon.";

// The two requests for the point at `utcSeconds`, latitude and longitude in
// degrees (numbers always with a decimal point). Empty for a position or
// time that cannot be asked about.
QUrl archiveRequest(const WeatherService &service, qint64 utcSeconds, double latitude, double longitude);
QUrl visibilityRequest(const WeatherService &service, qint64 utcSeconds, double latitude, double longitude);

// Reads the archive answer into `values` (visibility untouched); false,
// leaving `values` alone, when the answer is not the expected JSON, lacks a
// field, does not hold the local day, or holds no value at all for it.
bool parseArchiveAnswer(const QByteArray &json, qint64 utcSeconds, WeatherValues *values);
// The mean hourly visibility of the local day in miles; false when the
// answer has none.
bool parseVisibilityAnswer(const QByteArray &json, qint64 utcSeconds, double *visibilityMi);

// Runs a lookup: the archive request, then the visibility request. One
// lookup at a time: a new start abandons the one running. Each request has
// a time limit (15 s) and a size limit; failures of the visibility request
// only leave the visibility unknown.
class WeatherLookup : public QObject {
    Q_OBJECT

public:
    explicit WeatherLookup(QObject *parent = nullptr);
    ~WeatherLookup() override;

    static constexpr int TIMEOUT_MS = 15000;
    static constexpr qint64 MAX_ANSWER_BYTES = 8 * 1024 * 1024;

    void setService(const WeatherService &service) { m_service = service; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    void start(qint64 utcSeconds, double latitude, double longitude);
    void cancel();
    bool running() const { return m_reply != nullptr; }

signals:
    // The day's values; emitted after the archive answer and again with
    // the visibility when that arrives.
    void answered(const vx::WeatherValues &values);
    void failed();

private:
    enum class Stage { Archive, Visibility };
    void request(const QUrl &url, Stage stage);
    void replyFinished(QNetworkReply *reply, Stage stage);

    QNetworkAccessManager *m_network;
    QTimer *m_timer;
    QPointer<QNetworkReply> m_reply;
    WeatherService m_service;
    int m_timeoutMs = TIMEOUT_MS;
    qint64 m_utcSeconds = 0;
    double m_latitude = 0;
    double m_longitude = 0;
    WeatherValues m_values;
};

} // namespace vx

Q_DECLARE_METATYPE(vx::WeatherValues)

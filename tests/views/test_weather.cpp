// The weather lookup against a local HTTP server started by the test: good answers, nulls, errors of every kind, a
// refused connection, a timeout, two lookups answered in reverse order, and the local day across UTC midnight; the
// request's text and the page's texts; the dashboard's page.
#include "settings/settings.h"
#include "views/datadialog.h"
#include "views/viewhost.h"
#include "views/weather.h"

#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>

#include <functional>

using namespace vx;

namespace {

struct Reply {
    int status = 200;
    QByteArray body;
    int delayMs = 0;
    bool hang = false;  // never answers
};
using Handler = std::function<Reply(const QUrl &)>;
// A tiny HTTP/1.1 server: one request per connection, answered by the handler after its delay (or never), then the
// connection is closed.
class LocalServer : public QTcpServer {
public:
    Handler handler;
    QList<QUrl> requests;
    LocalServer()
    {
        QVERIFY(listen(QHostAddress::LocalHost, 0));
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, this, [this, s] {
                    QByteArray &buffer = m_buffers[s];
                    buffer += s->readAll();
                    if (!buffer.contains("\r\n\r\n"))
                        return;
                    requests << url(QString::fromLatin1(buffer.split(' ').value(1)));
                    const Reply r = handler(requests.last());
                    if (!r.hang)
                        QTimer::singleShot(r.delayMs, s, [s, r] {
                            s->write("HTTP/1.1 " + QByteArray::number(r.status) + " X\r\nContent-Type: application/json"
                                     "\r\nContent-Length: " + QByteArray::number(r.body.size())
                                     + "\r\nConnection: close\r\n\r\n" + r.body);
                            s->disconnectFromHost();
                        });
                });
        });
    }
    QUrl url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path); }
    WeatherService service() const { return {url(QStringLiteral("/v1/archive")), url("/v1/forecast"), {}}; }
private:
    QHash<QTcpSocket *, QByteArray> m_buffers;
};
// The hourly time `h` hours after the midnight of the request's start date.
QString hourOf(const QUrl &request, int h)
{
    const QDate start = QDate::fromString(QUrlQuery(request).queryItemValue(QStringLiteral("start_date")), Qt::ISODate);
    return start.addDays(h / 24).toString(Qt::ISODate) + QStringLiteral("T%1:00").arg(h % 24, 2, 10, QLatin1Char('0'));
}
// Three days from the request's start date, values per day; hourly codes with `code` at noon of each day listed in
// `codeDays`.
QByteArray archiveAnswer(const QUrl &request, int offset, const QJsonArray &high, const QJsonArray &low,
                         const QJsonArray &rain, const QJsonArray &snow, int code = 3, QVector<int> codeDays = {})
{
    QJsonArray days, hours, codes;
    for (int h = 0; h < 72; ++h) {
        hours << hourOf(request, h);
        if (h % 24 == 0)
            days << hours.last().toString().left(10);
        codes << (h % 24 == 12 && codeDays.contains(h / 24) ? code : 3);
    }
    QJsonObject root{{"utc_offset_seconds", offset},
                     {"daily_units", QJsonObject{{"temperature_2m_max", QStringLiteral("°F")},
                                                 {"precipitation_sum", QStringLiteral("inch")}}},
                     {"daily", QJsonObject{{"time", days}, {"temperature_2m_max", high}, {"temperature_2m_min", low},
                                           {"precipitation_sum", rain}, {"snowfall_sum", snow}}},
                     {"hourly", QJsonObject{{"time", hours}, {"weather_code", codes}}}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}
QByteArray visibilityAnswer(const QUrl &request, double metres)
{
    QJsonArray hours, vis;
    for (int h = 0; h < 72; ++h) {
        hours << hourOf(request, h);
        vis << (h % 24 < 12 ? metres / 2 : metres * 1.5);  // mean: metres
    }
    return QJsonDocument(QJsonObject{{"utc_offset_seconds", 0}, {"hourly_units", QJsonObject{{"visibility", "m"}}},
                                     {"hourly", QJsonObject{{"time", hours}, {"visibility", vis}}}}).toJson();
}
bool isArchive(const QUrl &u) { return u.path() == QLatin1String("/v1/archive"); }
// The archive answers with `archive`, the visibility request with `visibility`.
Handler serve(std::function<QByteArray(const QUrl &)> archive, Reply visibility = {404, ""})
{
    return [=](const QUrl &u) { return isArchive(u) ? Reply{200, archive(u)} : visibility; };
}
Handler fixed(Reply r) { return [=](const QUrl &) { return r; }; }
const QJsonArray kHigh = QJsonArray({50.0, 82.4, 60.0});
const QJsonArray kLow = QJsonArray({40.0, 55.2, 45.0});
const QJsonArray kRain = QJsonArray({0.0, 0.3, 1.0});
const QJsonArray kNoSnow = QJsonArray({0.0, 0.0, 0.0});
const QDateTime kNoonUtc(QDate(2017, 3, 11), QTime(12, 0), Qt::UTC);
// A good archive answer (fog on the middle day) and 10 miles of visibility.
Reply goodAnswer(const QUrl &u)
{
    return {200, isArchive(u) ? archiveAnswer(u, 0, kHigh, kLow, kRain, kNoSnow, 45, {1})
                              : visibilityAnswer(u, 16093.44)};
}

} // namespace

Q_DECLARE_METATYPE(Handler)

class TestWeather : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setDefaultSettings(); }
    // Numbers always with a decimal point, the day and its neighbours, local time at the place, the units the values
    // are kept in; the address's own query stays; a position that cannot be asked about gives no request.
    void requests()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        WeatherService s{QUrl(QStringLiteral("https://example.test/v1/archive?apikey=abc")),
                         QUrl(QStringLiteral("https://example.test/v1/forecast")), QStringLiteral("k1")};
        const QUrlQuery a(archiveRequest(s, kNoonUtc.toSecsSinceEpoch(), -33.8568, -151.2153));
        QStringList asked;
        for (const char *key : {"latitude", "longitude", "start_date", "end_date", "timezone", "temperature_unit",
                                "precipitation_unit"})
            asked << a.queryItemValue(QLatin1String(key));
        QCOMPARE(asked.join(' '), QStringLiteral("-33.856800 -151.215300 2017-03-10 2017-03-12 auto fahrenheit inch"));
        QVERIFY(a.allQueryItemValues("apikey") == QStringList({"abc", "k1"})
                && a.queryItemValue("daily").contains("snowfall_sum"));
        const QUrl v = visibilityRequest(s, kNoonUtc.toSecsSinceEpoch(), 1, 2);
        QVERIFY(QUrlQuery(v).queryItemValue(QStringLiteral("hourly")) == QLatin1String("visibility")
                && v.path() == QLatin1String("/v1/forecast"));
        QVERIFY(archiveRequest(s, 0, 91, 0).isEmpty() && archiveRequest(s, 0, qQNaN(), 0).isEmpty());
        QLocale::setDefault(QLocale::c());
        // The addresses: from the environment when it names a web address.
        qputenv("VOLANTIX_WEATHER_ARCHIVE_URL", "http://127.0.0.1:9/v1/archive");
        qputenv("VOLANTIX_WEATHER_FORECAST_URL", "file:///etc/passwd");
        const WeatherService env = weatherService();
        QCOMPARE(env.archiveUrl, QUrl(QStringLiteral("http://127.0.0.1:9/v1/archive")));
        QCOMPARE(env.forecastUrl.host(), QStringLiteral("historical-forecast-api.open-meteo.com"));
        qunsetenv("VOLANTIX_WEATHER_ARCHIVE_URL");
        qunsetenv("VOLANTIX_WEATHER_FORECAST_URL");
        QCOMPARE(weatherService().archiveUrl.host(), QStringLiteral("archive-api.open-meteo.com"));
    }
    // The page's texts in the user's units: high, rain, visibility, fog.
    void texts()
    {
        WeatherValues v;
        std::tie(v.highF, v.precipitationIn, v.visibilityMi, v.fog, v.snow) = std::tuple(82, 0.3, 10, 1, 0);
        const struct { int distUnits, tempUnits; const char *shown; } rows[] = {
            {0, 0, "82° F|0 in|10 mi|Yes|color:red;"}, {1, 1, "28° C|1 cm|16 km|Yes|color:red;"},
            {2, 1, "28° C|1 cm|16093 m|Yes|color:red;"}};
        for (const auto &row : rows) {
            const WeatherTexts t = weatherTexts(v, row.distUnits, row.tempUnits);
            QCOMPARE(QStringList({t.high, t.rain, t.visibility, t.fog, t.fogStyle}).join('|'), row.shown);
            QCOMPARE(t.low + t.snow + t.snowStyle, QStringLiteral("--- Nocolor:green;"));
        }
        QCOMPARE(weatherTexts(WeatherValues(), 0, 0).fog, QStringLiteral("--- "));
        v.highF = 31.9;  // -0.06 C
        QCOMPARE(weatherTexts(v, 0, 1).high, QStringLiteral("0° C"));
    }
    // Weather codes that are no WMO code (huge, negative, fractional) are skipped, not converted.
    void oddWeatherCodes()
    {
        const QByteArray json = R"({"utc_offset_seconds":0,
            "daily":{"time":["2017-03-11"],"temperature_2m_max":[1],"temperature_2m_min":[0],
                     "precipitation_sum":[null],"snowfall_sum":[null]},
            "hourly":{"time":["2017-03-11T00:00","2017-03-11T01:00","2017-03-11T02:00","2017-03-11T03:00"],
                      "weather_code":[1e300,-45,45.5,null]}})";
        WeatherValues v;
        QVERIFY(parseArchiveAnswer(json, kNoonUtc.toSecsSinceEpoch(), &v));
        QVERIFY(v.fog == -1 && v.snow == -1);
    }
    // One lookup against the local server: what the page gets, or a failure (no values).
    void lookup_data()
    {
        QTest::addColumn<Handler>("handler");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QList<double>>("values");  // high, low, rain, visibility, fog, snow
        const double no = NO_WEATHER_VALUE;
        const QList<double> failed;
        QTest::newRow("good answer") << Handler(goodAnswer) << kNoonUtc << QList<double>{82.4, 55.2, 0.3, 10, 1, 0};
        QTest::newRow("nulls for some values")
            << Handler([](const QUrl &u) {
                   const QJsonArray high{50.0, QJsonValue(), 60.0}, rain{0, QJsonValue(), 0}, snow{0, 0.2, 0};
                   return Reply{200, isArchive(u) ? archiveAnswer(u, 0, high, kLow, rain, snow)
                                                  : visibilityAnswer(u, 1000)};
               })
            << kNoonUtc << QList<double>{no, 55.2, no, 1000 / 1609.344, 0, 1};
        QTest::newRow("no value for the day") << serve([](const QUrl &u) {
            const QJsonArray nulls{QJsonValue(), QJsonValue(), QJsonValue()};
            return archiveAnswer(u, 0, nulls, nulls, nulls, nulls);
        }) << kNoonUtc << failed;
        QTest::newRow("snow by code 73, visibility fails")
            << serve([](const QUrl &u) { return archiveAnswer(u, 0, kHigh, kLow, kRain, kNoSnow, 73, {1}); },
                     {500, "oops"})
            << kNoonUtc << QList<double>{82.4, 55.2, 0.3, no, 0, 1};
        QTest::newRow("400 with the service's error")
            << fixed({400, R"({"error":true,"reason":"Parameter out of range"})"}) << kNoonUtc << failed;
        QTest::newRow("500") << fixed({500, "Internal error"}) << kNoonUtc << failed;
        QTest::newRow("HTML") << fixed({200, "<html><body>Hi</body></html>"}) << kNoonUtc << failed;
        QTest::newRow("empty body") << fixed({200, ""}) << kNoonUtc << failed;
        QTest::newRow("error flag in a 200") << fixed({200, R"({"error":true,"utc_offset_seconds":0})"}) << kNoonUtc
                                             << failed;
        QTest::newRow("missing field") << serve([](const QUrl &u) {
            return archiveAnswer(u, 0, kHigh, kLow, kRain, kNoSnow).replace("precipitation_sum", "precip");
        }) << kNoonUtc << failed;
        QTest::newRow("short column")
            << serve([](const QUrl &u) { return archiveAnswer(u, 0, QJsonArray({1.0}), kLow, kRain, kNoSnow); })
            << kNoonUtc << failed;
        // 03:00 UTC is still the evening before seven hours west.
        QTest::newRow("west of UTC: the day before")
            << serve([](const QUrl &u) { return archiveAnswer(u, -7 * 3600, kHigh, kLow, kRain, kNoSnow); })
            << QDateTime(QDate(2017, 3, 11), QTime(3, 0), Qt::UTC) << QList<double>{50, 40, 0, no, 0, 0};
        // 20:00 UTC is already the next morning ten hours east.
        QTest::newRow("east of UTC: the day after")
            << serve([](const QUrl &u) { return archiveAnswer(u, 10 * 3600, kHigh, kLow, kRain, kNoSnow); })
            << QDateTime(QDate(2017, 3, 10), QTime(20, 0), Qt::UTC) << QList<double>{60, 45, 1, no, 0, 0};
        QTest::newRow("no answer within the limit") << fixed({200, "", 0, true}) << kNoonUtc << failed;
        QTest::newRow("connection refused") << Handler() << kNoonUtc << failed;
    }
    void lookup()
    {
        QFETCH(Handler, handler);
        QFETCH(QDateTime, when);
        QFETCH(QList<double>, values);
        LocalServer server;
        server.handler = handler;
        WeatherLookup lookup;
        lookup.setService(server.service());
        lookup.setTimeoutMs(handler ? 500 : 60000);  // a refused connection fails at once, not by the time limit
        if (!handler)
            server.close();
        QSignalSpy answered(&lookup, &WeatherLookup::answered);
        QSignalSpy failed(&lookup, &WeatherLookup::failed);
        lookup.start(when.toSecsSinceEpoch(), 45.5, -122.25);
        QTRY_VERIFY(!lookup.running());
        QCOMPARE(failed.count(), values.isEmpty() ? 1 : 0);
        QCOMPARE(answered.isEmpty(), values.isEmpty());
        if (values.isEmpty())
            return;
        const WeatherValues v = answered.last().first().value<WeatherValues>();
        const QList<double> got{v.highF, v.lowF, v.precipitationIn, v.visibilityMi, double(v.fog), double(v.snow)};
        for (int i = 0; i < got.size(); ++i)
            QVERIFY2(qAbs(got[i] - values[i]) < 1e-9, qPrintable(QStringLiteral("value %1: %2").arg(i).arg(got[i])));
    }
    // A second lookup abandons the first, whose late answer changes nothing.
    void replaced()
    {
        WeatherLookup lookup;
        QSignalSpy answered(&lookup, &WeatherLookup::answered), failed(&lookup, &WeatherLookup::failed);
        LocalServer server;
        server.handler = [](const QUrl &u) {
            // The first place answers late with other values.
            const bool first = QUrlQuery(u).queryItemValue(QStringLiteral("latitude")) == QLatin1String("1.000000");
            const QJsonArray high = first ? QJsonArray({1.0, 1.0, 1.0}) : kHigh;
            return isArchive(u) ? Reply{200, archiveAnswer(u, 0, high, kLow, kRain, kNoSnow), first ? 400 : 0}
                                : Reply{404, ""};
        };
        lookup.setService(server.service());
        lookup.start(kNoonUtc.toSecsSinceEpoch(), 1, 2);
        QTRY_COMPARE(server.requests.size(), 1);
        lookup.start(kNoonUtc.toSecsSinceEpoch(), 3, 4);
        QTRY_VERIFY(!lookup.running());
        QTest::qWait(600);
        QVERIFY(answered.count() == 1 && failed.isEmpty());
        QCOMPARE(answered.first().first().value<WeatherValues>().highF, 82.4);
    }
    // The dashboard's page: "Get Weather" waits for a point; a lookup clears the old values first; a failure says so
    // and leaves "--- ".
    void dashboardPage()
    {
        LocalServer server;
        bool fail = false;
        server.handler = [&](const QUrl &u) { return fail ? Reply{500, ""} : goodAnswer(u); };
        dataDialog dash(false);
        dash.weatherLookup()->setService(server.service());
        const DashboardForm &f = dash.form();
        QVERIFY(!f.getWeatherButton->isEnabled());
        DashboardPoint p;
        std::tie(p.time, p.latitude, p.longitude) = std::tuple(kNoonUtc, 45, 7);
        dash.updatePoint(p);
        f.getWeatherButton->click();
        QTRY_COMPARE(f.visLabel->text(), QStringLiteral("10 mi"));
        QCOMPARE(f.hiLabel->text() + f.fogLabel->text() + f.fogLabel->styleSheet(), "82° FYescolor:red;");
        settings().tempUnits = 1;
        dash.applySettings(UnitsChanged);
        QCOMPARE(f.hiLabel->text(), QStringLiteral("28° C"));
        fail = true;
        f.getWeatherButton->click();
        QCOMPARE(f.hiLabel->text(), QStringLiteral("--- "));  // cleared at the start
        QTRY_VERIFY(dash.findChild<QMessageBox *>());
        const QMessageBox *box = dash.findChild<QMessageBox *>();
        QCOMPARE(box->windowTitle() + ": " + box->text(),
                 QStringLiteral("Volantix: Sorry, could not retrieve weather at that lat/lon."));
        QCOMPARE(f.fogLabel->text(), QStringLiteral("--- "));
        QVERIFY(f.attributionLabel->text().contains(QLatin1String("https://open-meteo.com/")));
    }
};

QTEST_MAIN(TestWeather)
#include "test_weather.moc"

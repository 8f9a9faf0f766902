// The map's script text and route, without a web engine: string literals a title cannot break out of, the route runs
// around (0, 0) and NaN spikes, colours by the shared rule, the heading snap at its band edges, settings out of
// range.
#include "settings/settings.h"
#include "track/trackstore.h"
#include "views/maproute.h"
#include "views/mapscripts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <cmath>
#include <memory>

using namespace vx;

namespace {

const double NaN = std::nan("");
// A block from "lat,lon,speed" triples separated by ';'; "nan" reads as NaN.
std::unique_ptr<MovieBlock> blockOf(const QString &points)
{
    auto m = std::make_unique<MovieBlock>();
    for (const QString &p : points.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList v = p.split(QLatin1Char(','));
        const int i = m->numPoints++;
        m->lat[i] = v[0] == QLatin1String("nan") ? NaN : v[0].toDouble();
        m->lon[i] = v[1] == QLatin1String("nan") ? NaN : v[1].toDouble();
        m->speed[i] = v.value(2, QStringLiteral("10")).toFloat();
    }
    return m;
}
// "colour:first-last" of each run, joined by ' '.
QString runsText(const QVector<RouteRun> &runs)
{
    QStringList out;
    for (const RouteRun &r : runs)
        out << QStringLiteral("%1:%2-%3").arg(r.colorIndex).arg(r.first).arg(r.last);
    return out.join(QLatin1Char(' '));
}
// The arguments of "name(...);" read back as one JSON array.
QJsonArray callArguments(const QString &script, const QString &name)
{
    if (!script.startsWith(name + QLatin1Char('(')) || !script.endsWith(QLatin1String(");")))
        return {};
    const QString args = script.mid(name.size() + 1, script.size() - name.size() - 3);
    return QJsonDocument::fromJson((QLatin1Char('[') + args + QLatin1Char(']')).toUtf8()).array();
}

} // namespace

class TestMapScripts : public QObject {
    Q_OBJECT

private slots:
    void routeRunsAroundBadPoints_data()
    {
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("runs");
        QTest::addColumn<int>("startPoint");
        const QString a = QStringLiteral("46.1,7.1,10;"), b = QStringLiteral("46.2,7.2,10;"),
                      c = QStringLiteral("46.3,7.3,10;"), d = QStringLiteral("46.4,7.4,10;");
        QTest::newRow("clean") << a + b + c + d << "0:0-3" << 0;
        QTest::newRow("one point") << a << "" << 0;
        QTest::newRow("no points") << QString() << "" << -1;
        QTest::newRow("(0,0) at start") << "0,0,10;" + a + b << "0:1-2" << 1;
        QTest::newRow("(0,0) in the middle") << a + b + "0,0,10;" + c + d << "0:0-1 0:3-4" << 0;
        QTest::newRow("(0,0) at end") << a + b + "0,0,10" << "0:0-1" << 0;
        QTest::newRow("NaN at start") << "nan,7,10;" + a + b << "0:1-2" << 1;
        QTest::newRow("NaN longitude in the middle") << a + b + "46.25,nan,10;" + c + d << "0:0-1 0:3-4" << 0;
        QTest::newRow("NaN at end") << a + b + "nan,nan,10" << "0:0-1" << 0;
        QTest::newRow("almost (0,0) counts as (0,0)") << a + "0.00000009,-0.00000009,10;" + b << "" << 0;
        QTest::newRow("on the equator is a place") << "0,7.5,10;0,7.6,10" << "0:0-1" << 0;
        QTest::newRow("latitude 91, longitude 181") << a + "91,7,10;" + b + "46,181,10;" + c << "" << 0;
        QTest::newRow("only bad points") << "0,0,1;nan,0,1;0,0,1" << "" << -1;
        // Peak 100 km/h, five levels: a segment takes its first point's colour.
        QTest::newRow("same colours merge") << "46.1,7,10;46.2,7,15;46.3,7,90;46.4,7,95;46.5,7,10"
                                           << "0:0-2 4:2-4" << 0;
        QTest::newRow("a colour per segment") << "46.1,7,10;46.2,7,90;46.3,7,10;46.4,7,90" << "0:0-1 4:1-2 0:2-3"
                                              << 0;
        QTest::newRow("the last point's speed colours nothing") << "46.1,7,10;46.2,7,99" << "0:0-1" << 0;
        QTest::newRow("band edge 20 km/h is the second band") << "46.1,7,19.9;46.2,7,20;46.3,7,20" << "0:0-1 1:1-2"
                                                              << 0;
    }
    void routeRunsAroundBadPoints()
    {
        QFETCH(QString, points);
        QFETCH(QString, runs);
        QFETCH(int, startPoint);
        const auto m = blockOf(points);
        QCOMPARE(runsText(routeRuns(*m, 5, 100.0)), runs);
        QCOMPARE(firstDrawablePoint(*m), startPoint);
        const QString marker =
            startPoint < 0 ? QString()
                           : QStringLiteral("var waypoint = new L.latLng(%1, %2); addMarker(waypoint);")
                                 .arg(jsCoord(m->lat[startPoint]), jsCoord(m->lon[startPoint]));
        QCOMPARE(startMarkerScripts(MapPageKind::Leaflet, *m).join(' '), marker);
        QCOMPARE(routeScript(*m, 5, 100.0).isEmpty(), runs.isEmpty());
    }
    // The batched route reads back as the palette of the level count, the points once each and the runs over them.
    void routeScriptReadsBack()
    {
        const auto m = blockOf("46.123456789012,-7.000000000001,1;46.2,-7.1,1;0,0,1;46.3,-7.2,100;46.4,-7.3,100");
        // Five levels, one colour, an unknown and a negative count (the 14-level table).
        using Row = std::tuple<int, int, const char *>;
        for (const auto &[levels, palette, lastColour] :
             {Row{5, 5, "#00CFFF"}, Row{1, 1, "#FF0000"}, Row{7, 14, "#0050FF"}, Row{-3, 14, "#0050FF"}}) {
            const QJsonArray args = callArguments(routeScript(*m, levels, 100.0), QStringLiteral("addRoute"));
            QVERIFY(args.size() == 3 && args[0].toArray().size() == palette);
            QCOMPARE(args[0].toArray().last().toString(), lastColour);
            // Points 0, 1 (broken at the spike), 3, 4; 12 significant digits.
            QCOMPARE(args[1].toArray().toVariantList(),
                     (QVariantList{46.123456789, -7.0, 46.2, -7.1, 46.3, -7.2, 46.4, -7.3}));
            QCOMPARE(args[2].toArray().toVariantList(), (QVariantList{0, 1, 0, 2, 3, palette - 1}));
        }
        // Runs that go on from each other share their point.
        const auto zigzag = blockOf("46.1,7,10;46.2,7,90;46.3,7,10;46.4,7,90");
        const QJsonArray shared = callArguments(routeScript(*zigzag, 5, 100.0), QStringLiteral("addRoute"));
        QCOMPARE(shared[1].toArray().size(), 8);  // four points
        QCOMPARE(shared[2].toArray().toVariantList(), (QVariantList{0, 1, 0, 1, 2, 4, 2, 3, 0}));
    }
    // Whatever a title holds, its literal reads back as the title and the script has no line terminator that could
    // end a statement.
    void hostileTextStaysText_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("quote") << QStringLiteral("say \"hi\"); window.x = 1; (\"");
        QTest::newRow("backslash") << QStringLiteral("C:\\path\\\" + 1");
        QTest::newRow("newline and return") << QStringLiteral("one\ntwo\rthree");
        QTest::newRow("line separators") << QStringLiteral("a\u2028b\u2029c");
        QTest::newRow("placeholders") << QStringLiteral("%1%2 %3");
        QTest::newRow("markup") << QStringLiteral("<img src=x onerror=alert(1)></script>");
        QTest::newRow("controls") << QString::fromUtf16(u"\u0000\u0001\u001f\u007f end");
        QTest::newRow("emoji") << QString::fromUtf16(u"drone \U0001F681");
    }
    void hostileTextStaysText()
    {
        QFETCH(QString, title);
        const QString literal = jsString(title);
        const QJsonArray back = QJsonDocument::fromJson(('[' + literal + ']').toUtf8()).array();
        QCOMPARE(back.size(), 1);
        QCOMPARE(back[0].toString(), title);
        const QString pin = pinScript(MapPageKind::Leaflet, 46.5, 7.5, 3, title, true);
        QVERIFY(pin.contains(QStringLiteral("addPoi(location1, 3, ") + literal + QStringLiteral(", true);")));
        for (const QChar c : pin.left(pin.size() - 1).mid(pin.indexOf(QLatin1Char('\n')) + 1))
            QVERIFY2(c != QLatin1Char('\n') && c != QLatin1Char('\r') && c.unicode() != 0x2028
                         && c.unicode() != 0x2029 && !c.isSurrogate(),
                     "a raw line terminator or surrogate in the pin script");
    }
    void lonelySurrogateIsEscaped()
    {
        QCOMPARE(jsString(QChar(0xD800) + QStringLiteral("x")), QStringLiteral("\"\\ud800x\""));
    }
    // Eight directions, a band edge snapping to the lower one, any turn and NaN; below 3.0 in the user's unit the map
    // keeps its heading; north up sends "0".
    void heading()
    {
        const struct { double in; int snapped; } snaps[] = {
            {0, 0}, {22.5, 0}, {22.5001, 45}, {67.5, 45}, {67.5001, 90}, {112.5, 90}, {157.5, 135}, {200, 180},
            {202.5, 180}, {202.5001, -135}, {247.5, -135}, {250, -90}, {292.5, -90}, {337.5, -45}, {337.5001, 0},
            {350, 0}, {-22.5, -45}, {-0.1, 0}, {-180, 180}, {810, 90}, {NaN, 0}};
        for (const auto &c : snaps)
            QVERIFY2(snapHeading(c.in) == c.snapped, qPrintable(QString::number(c.in)));
        HeadingState state;
        QStringList sent;
        for (const auto &[heading, speed, northUp] : {std::tuple{250.0, 2.99, false}, std::tuple{250.0, 3.01, false},
                                                      std::tuple{130.0, 0.0, false}, std::tuple{130.0, 50.0, true}})
            sent << headingText(state, heading, speed, northUp);
        QVERIFY2(sent.join(' ') == "0 -90 -90 0" && state.snapped == 135, qPrintable(sent.join(' ')));
        // Google sends the heading only when it changed, and pans only when asked.
        const QStringList google = positionScripts(MapPageKind::Google, 1.5, 2.5, QStringLiteral("135"), true, false);
        QCOMPARE(google, QStringList{QStringLiteral("var latlng = new google.maps.LatLng(1.5, 2.5);"
                                                    "marker.setPosition(latlng);map.setHeading(135);")});
        QCOMPARE(positionScripts(MapPageKind::Leaflet, 1.5, 2.5, QStringLiteral("0"), true, true),
                 (QStringList{QStringLiteral("var latlng = new L.latLng(1.5, 2.5);"), QStringLiteral("map_panTo();"),
                              QStringLiteral("myMarker_setLatLng();")}));
    }
    // Stored values out of range never index past a table.
    void settingsAreClampedWhereUsed()
    {
        const struct { int marker, size; const char *expected; } rows[] = {
            {0, 6, "radius: 6,   stroke: true,   weight:  2,   fillColor: '#f00'"},    // default red, 6 px
            {5, 3, "radius: 3,   stroke: true,   weight:  1,   fillColor: '#0ff'"},    // 3 px draws a thin edge
            {99, 500, "radius: 10, "},                                                  // marker 0, size 10
            {-1, -4, "radius: 3,   stroke: true,   weight:  1,   fillColor: '#f00'"},  // marker 0, size 3
            {6, 6, "var myMarker = new L.marker(latlng).addTo(map);"}};                 // Leaflet's own marker
        for (const auto &row : rows) {
            const QString script = vehicleScript(MapPageKind::Leaflet, 46.5, 7.25, row.marker, row.size);
            QVERIFY2(script.contains(QLatin1String(row.expected)), qPrintable(script));
            QVERIFY(script.startsWith(QStringLiteral("var latlng = new L.latLng(46.5, 7.25);"))
                    && script.endsWith(QStringLiteral("myMarker.setLatLng(latlng);map.panTo(latlng);")));
            const QString google = vehicleScript(MapPageKind::Google, 46.5, 7.25, row.marker, row.size);
            QCOMPARE(google.contains(QStringLiteral("icon: image,")), clampedMapMarker(row.marker) < 6);
        }
    }
    // The page a mapType shows, and tile templates that are not http(s) addresses with {z}, {x} and {y} fall back to
    // their default.
    void pageAndTiles()
    {
        QVERIFY(mapPageFor(0, QString()) == MapPageKind::Leaflet && mapPageFor(0, "  ") == MapPageKind::Leaflet
                && mapPageFor(0, "k") == MapPageKind::Google);
        for (int type : {1, 2, 3, 4, -1})
            QCOMPARE(mapPageFor(type, QStringLiteral("k")), MapPageKind::Leaflet);
        const char *fallback = DEFAULT_TILE_ROADMAP;
        QCOMPARE(tileTemplate(QStringLiteral(" http://127.0.0.1:9/{z}/{x}/{y}.png "), fallback),
                 QStringLiteral("http://127.0.0.1:9/{z}/{x}/{y}.png"));
        QCOMPARE(tileTemplate(QStringLiteral("https://{s}.t.example/{z}/{x}/{y}{r}.png"), fallback),
                 QStringLiteral("https://{s}.t.example/{z}/{x}/{y}{r}.png"));
        for (const char *bad : {"", "javascript:alert(1)//{z}{x}{y}", "file:///tmp/{z}/{x}/{y}.png",
                                "https://t.example/{z}/{x}.png", "https:///{z}/{x}/{y}"})
            QCOMPARE(tileTemplate(QString::fromLatin1(bad), fallback), QString::fromLatin1(fallback));
        SettingsRecord s;
        s.tileUrlLight = QStringLiteral("\"});alert(1);//{z}{x}{y}");
        QCOMPARE(tileSourcesScript(s), tileSourcesScript(SettingsRecord()));
        QVERIFY(tileSourcesScript(s).contains(QStringLiteral("light: \"https://{s}.basemaps.cartocdn.com/")));
        // Styles out of range show the default hybrid.
        QCOMPARE(styleScript(MapPageKind::Leaflet, 4) + styleScript(MapPageKind::Google, -1)
                     + styleScript(MapPageKind::Leaflet, 3),
                 QStringLiteral("hybridMap();map.setMapTypeId(google.maps.MapTypeId.HYBRID);lightMap();"));
    }
};

QTEST_GUILESS_MAIN(TestMapScripts)
#include "test_mapscripts.moc"

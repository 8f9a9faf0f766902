// The map window on its shipped Leaflet page, offscreen and offline (tiles from a small HTTP server inside the test),
// one window and one page for the whole run (each web engine start costs seconds). The store: block 0 (40 points, a
// (0, 0) spike at 10 and a NaN at 20, points 30 and 31 on one spot), block 1 hidden (far away), block 2 a one-point
// movie near block 1, block 3 (20 points) whose first point lies on block 0's point 5. Point i of a block is i
// seconds into its movie.
#include "export/geotags.h"
#include "graphfixture.h"
#include "settings/settings.h"
#include "views/mapdialog.h"
#include "views/mappage.h"
#include "views/maproute.h"
#include "views/speedcolor.h"

#include <QWebEngineView>
#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>

#include <cmath>
#include <csignal>

using namespace vx;

namespace {

constexpr qint64 T0 = 1689327000;  // 2023-07-14 09:30:00 UTC
// Answers every GET with a small PNG and remembers the request heads.
class TileServer : public QTcpServer {
public:
    TileServer()
    {
        QImage tile(256, 256, QImage::Format_RGB32);
        tile.fill(QColor(200, 220, 200));
        QBuffer buffer(&m_png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && tile.save(&buffer, "PNG"));
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    m_pending[s] += s->readAll();
                    if (!m_pending[s].contains("\r\n\r\n"))
                        return;
                    requests << QString::fromLatin1(m_pending.take(s));
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nConnection: close\r\nContent-Length: "
                             + QByteArray::number(m_png.size()) + "\r\n\r\n" + m_png);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        listen(QHostAddress::LocalHost);
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
    QStringList requests;
private:
    QByteArray m_png;
    QHash<QTcpSocket *, QByteArray> m_pending;
};
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

} // namespace

class TestMapDialog : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    TileServer m_tiles;
    vxtest::RecordingHost m_host;
    mapDialog *m_map = nullptr;
    QVariant eval(const QString &script)
    {
        std::optional<QVariant> result;
        m_map->webView()->page()->runJavaScript(script, [&](const QVariant &v) { result = v; });
        (void)QTest::qWaitFor([&] { return result.has_value(); }, 10000);
        return result.value_or(QVariant());
    }
    QJsonObject evalJson(const QString &expression)
    {
        const QVariant json = eval(QStringLiteral("JSON.stringify(") + expression + QLatin1Char(')'));
        return QJsonDocument::fromJson(json.toString().toUtf8()).object();
    }
    // The page has loaded, its channel is connected and the route is sent.
    bool settled()
    {
        return m_map->pageReady() && m_map->routeSent()
            && eval("typeof mapDialog === 'object' && mapDialog !== null && myMarker !== null").toBool();
    }
    void fillBlock(int b, double lat0, double lon0, int points, bool active)
    {
        MovieBlock &m = track().block[b];
        const qint64 start = T0 + b * 1000;
        QFile f(m_dir.filePath(QStringLiteral("movie%1.mp4").arg(b)));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("x") == 1 && f.flush()
                && f.setFileTime(QDateTime::fromSecsSinceEpoch(start + points), QFileDevice::FileModificationTime));
        m.movieFile = QFileInfo(f.fileName());
        std::tie(m.active, m.numPoints, m.duration) = std::tuple(active, points, float(points));
        for (int i = 0; i < points; ++i) {
            m.gpsTime[i] = static_cast<uint32_t>(start + i);
            m.lat[i] = lat0 + i * 0.001;
            m.lon[i] = lon0 + i * 0.0005;
            m.speed[i] = static_cast<float>((i * 37) % 100);
        }
    }
    // Vertices per colour of the route lines on the map, as the page has them.
    QJsonObject shownRoute()
    {
        return evalJson(QStringLiteral(
            "(function () { var r = {}; routes.forEach(function (l) { if (!map.hasLayer(l)) return;"
            " var n = l.vertexCounts(); for (var c in n) r[c] = (r[c] || 0) + n[c]; });"
            " return r; })()"));
    }
    QJsonObject expectedRoute()
    {
        QJsonObject r;
        const int levels = speedColorCount(settings().colorLevels);
        const double reference = speedColorReference(settings(), track().stats);
        for (int b = 0; b < track().numBlocks; ++b) {
            if (!track().block[b].active)
                continue;
            for (const RouteRun &run : routeRuns(track().block[b], levels, reference)) {
                const QString c = QString::fromLatin1(speedColorAt(levels, run.colorIndex));
                r[c] = r[c].toInt() + run.last - run.first + 1;
            }
        }
        return r;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid() && m_tiles.isListening());
        setDefaultSettings();
        SettingsRecord &s = settings();
        std::tie(s.outUnits, s.colorLevels, s.autoScaleRoute, s.vmaxFixed, s.mapStyle, s.mapType) =
            std::tuple(1, 5, false, 100.0f, 0, 1);
        recomputeFactors();
        s.tileUrlRoadmap = s.tileUrlSatellite = s.tileUrlLabels = s.tileUrlLight = m_tiles.base() + "/{z}/{x}/{y}.png";
        resetTrackStore();
        fillBlock(0, 46.50, 7.50, 40, true);
        track().block[0].lat[10] = track().block[0].lon[10] = 0.0;
        // A click right on this point rounds its cosine past 1 (checked in clickToGo).
        track().block[0].lat[12] = 46.5008;
        track().block[0].lat[20] = std::nan("");
        track().block[0].lat[31] = track().block[0].lat[30];
        track().block[0].lon[31] = track().block[0].lon[30];
        fillBlock(1, 10.0, 10.0, 10, false);
        fillBlock(2, 10.5, 10.5, 1, true);
        fillBlock(3, 46.80, 7.80, 20, true);
        track().block[3].lat[0] = track().block[0].lat[5];
        track().block[3].lon[0] = track().block[0].lon[5];
        track().numBlocks = 4;
        setViewHost(&m_host);
        m_map = new mapDialog;
        m_map->resize(900, 600);
        m_map->show();
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 30000);
    }
    void cleanupTestCase()
    {
        delete m_map;
        setViewHost(nullptr);
    }
    // Every function and global of the page contract, tiles fetched with the program's User-Agent, attributions
    // shown, and of the window only the click slot reachable from the page.
    void pageContract()
    {
        // The names missing or of another kind.
        QCOMPARE(eval("['addMarker', 'showMarkers', 'clearMarkers', 'deleteMarkers', 'addPolyline', 'showPolylines',"
                      " 'clearPolylines', 'deletePolylines', 'deletePois', 'roadMap', 'hybridMap', 'satelliteMap',"
                      " 'lightMap', 'map_panTo', 'myMarker_setLatLng', 'addWaypoint', 'setRoute', 'showRoute',"
                      " 'clearRoute', 'deleteRoute', 'addRoute', 'addPoi', 'setTileSources']"
                      ".filter(function (n) { return eval('typeof ' + n) !== 'function'; }).concat("
                      "['map', 'markers', 'routes', 'pois', 'myMarker', 'currLayer', 'latlng'].filter(function (n) {"
                      " return eval('typeof ' + n) !== 'object' || eval(n) === null; })).join()").toString(),
                 QString());
        const QStringList reachable =
            eval("Object.keys(mapDialog).filter(function (k) { return typeof mapDialog[k] === 'function'; })")
                .toStringList();
        // Beyond the channel's own helpers (and QObject's deleteLater, which the channel refuses for a registered
        // object) only the click slot.
        QSet<QString> own(reachable.begin(), reachable.end());
        for (const char *helper : {"unwrapQObject", "unwrapProperties", "propertyUpdate", "signalEmitted",
                                   "deleteLater", "deleteLater()"})
            own.remove(QLatin1String(helper));
        QCOMPARE(own, (QSet<QString>{"map_click_slot", "map_click_slot(QVariant,QVariant)"}));
        // The page cannot delete what it talks to.
        eval("mapDialog.deleteLater && mapDialog.deleteLater();");
        QTRY_VERIFY_WITH_TIMEOUT(!m_tiles.requests.isEmpty(), 10000);
        const QString userAgent = QStringLiteral("User-Agent: Volantix/" VX_VERSION " ");
        QVERIFY2(m_tiles.requests.first().contains(userAgent), qPrintable(m_tiles.requests.first()));
        // Each style: its attribution and its number of tile layers.
        using Style = std::tuple<int, const char *, int>;
        for (const auto &[index, attribution, layers] : {Style{1, "Esri", 2}, Style{2, "Esri", 1}, Style{3, "CARTO", 1},
                                                         Style{0, "OpenStreetMap contributors", 1}}) {
            m_map->findChild<QComboBox *>(QStringLiteral("mapStyleCombo"))->setCurrentIndex(index);
            const QString shown = eval("document.querySelector('.leaflet-control-attribution').textContent").toString();
            QVERIFY2(shown.contains(QLatin1String(attribution)), qPrintable(shown));
            QVERIFY(countLayers("L.TileLayer") == layers && settings().mapStyle == index);
        }
    }
    // Route vertices per colour, start markers and the vehicle match the store, also after a movie is hidden and with
    // the boxes switched off.
    void storeIsDrawn()
    {
        QCOMPARE(shownRoute(), expectedRoute());
        QVERIFY(expectedRoute().size() >= 3);
        // The canvas holds the colour of segment 2 of block 0 at its middle.
        const MovieBlock &m = track().block[0];
        eval(QStringLiteral("map.setView([%1, %2], 16, {animate: false}); window.painted = false;"
                            " requestAnimationFrame(function () { requestAnimationFrame(function () {"
                            " window.painted = true; }); });")
                 .arg(jsCoordOf((m.lat[2] + m.lat[3]) / 2), jsCoordOf((m.lon[2] + m.lon[3]) / 2)));
        QTRY_VERIFY(eval("window.painted").toBool());
        const QVariantList rgba =
            eval("(function () { var p = map.latLngToLayerPoint(map.getCenter()).subtract(routeRenderer._bounds.min);"
                 " var r = window.devicePixelRatio || 1; return Array.from(routeRenderer._ctx.getImageData("
                 "Math.round(p.x * r), Math.round(p.y * r), 1, 1).data); })()").toList();
        const QColor expected(speedColor(m.speed[2], settings(), track().stats));
        QVERIFY2(rgba.size() == 4 && std::abs(rgba[0].toInt() - expected.red()) < 8
                     && std::abs(rgba[1].toInt() - expected.green()) < 8
                     && std::abs(rgba[2].toInt() - expected.blue()) < 8 && rgba[3].toInt() > 150,
                 qPrintable(QVariant(rgba).toStringList().join(' ') + QStringLiteral(" vs ") + expected.name()));
        auto markerPositions = [this] {
            return eval("markers.filter(function (m) { return map.hasLayer(m); })"
                        ".map(function (m) { return [m.getLatLng().lat, m.getLatLng().lng]; })").toList();
        };
        const QVariantList starts = markerPositions();
        QVERIFY(starts.size() == 3 && starts[1].toList() == (QVariantList{10.5, 10.5}));  // blocks 0, 2 (no route), 3
        m_map->updatePoint(MapPoint{46.512, 7.506, 120.0, 40.0f, 90.0});
        QCOMPARE(eval("[myMarker.getLatLng().lat, myMarker.getLatLng().lng]").toList(),
                 (QVariantList{46.512, 7.506}));
        m_map->updatePoint(MapPoint{0.0, 0.0, 0.0, 40.0f, 90.0});  // no fix: the vehicle stays
        m_map->updatePoint(MapPoint{std::nan(""), 7.0, 0.0, 40.0f, 90.0});
        QCOMPARE(eval("myMarker.getLatLng().lat").toDouble(), 46.512);
        track().block[3].active = false;
        m_map->activeMoviesChanged();
        QTRY_VERIFY(m_map->routeSent());
        QCOMPARE(shownRoute(), expectedRoute());
        QCOMPARE(markerPositions().size(), 2);
        track().block[3].active = true;
        const auto toggleBoxes = [this] {
            for (const char *box : {"routeCheckBox", "markersCheckBox"})
                m_map->findChild<QCheckBox *>(QLatin1String(box))->click();
        };
        toggleBoxes();
        m_map->activeMoviesChanged();  // a rebuild keeps them hidden
        QTRY_VERIFY(m_map->routeSent());
        QCOMPARE(shownRoute(), QJsonObject());
        QVERIFY(markerPositions().isEmpty() && stored("Map/showRoute") == false);
        toggleBoxes();
        QCOMPARE(shownRoute(), expectedRoute());
        QCOMPARE(markerPositions().size(), 3);
        // The preferences change the colours and the vehicle.
        settings().colorLevels = 1;
        m_map->applySettings(RouteChanged);
        QTRY_VERIFY(m_map->routeSent());
        QCOMPARE(shownRoute().keys(), QStringList{QStringLiteral("#FF0000")});
        QCOMPARE(shownRoute(), expectedRoute());
        settings().colorLevels = 5;
        m_map->applySettings(RouteChanged);
        std::tie(settings().mapMarker, settings().mapMarkerSize) = std::pair(1, 9);
        m_map->applySettings(MapMarkerChanged);
        QCOMPARE(eval("[myMarker.options.fillColor, myMarker.options.radius, myMarker.getLatLng().lat,"
                      " map.hasLayer(myMarker)]").toList(),
                 (QVariantList{QStringLiteral("#0f0"), 9, 46.512, true}));
        QCOMPARE(countLayers("L.CircleMarker"), 1);  // the old one is gone
        // Marker 6 is Leaflet's own picture, from the resources.
        settings().mapMarker = 6;
        m_map->applySettings(MapMarkerChanged);
        QTRY_VERIFY(eval("myMarker instanceof L.Marker && myMarker.getElement().complete"
                         " && myMarker.getElement().naturalWidth === 25").toBool());
        settings().mapMarker = 0;
        m_map->applySettings(MapMarkerChanged);
        QTRY_VERIFY(m_map->routeSent());
    }
    // Titles that try to break out of their string or into markup show as typed and do nothing; pins are numbered,
    // yellow when the movie is there.
    void hostilePins()
    {
        clearGeotags();
        const QStringList titles = {"\"); window.pwned = 1; (\"", "<img src=x onerror=\"window.pwned=2\">",
                                    QStringLiteral("back\\slash\nnew line\u2028sep"), "%1%2", "no position"};
        for (int i = 0; i < titles.size(); ++i) {
            Geotag tag;
            std::tie(tag.title, tag.lat, tag.lon, tag.movieBlock) =
                std::tuple(titles[i], i == 4 ? 0.0 : 46.5 + i * 0.01, i == 4 ? 0.0 : 7.5, i == 1 ? -1 : 0);
            tag.movieFile = track().block[0].movieFile;
            QVERIFY(addGeotag(tag));
        }
        m_map->refreshGeotagPins();
        const QVariantList pins = eval("pois.map(function (p) { return [p.getTooltip().getContent().textContent,"
                                       " p.getElement().querySelector('text').textContent,"
                                       " p.getElement().querySelector('path').getAttribute('fill')]; })").toList();
        QVariantList want;  // the tag without a position has no pin
        for (int i = 0; i < 4; ++i)
            want << QVariant(QVariantList{titles[i], QString::number(i + 1), i == 1 ? "#BBBBBB" : "#FFFF00"});
        QCOMPARE(pins, want);
        QCOMPARE(eval("typeof window.pwned + document.querySelectorAll('img[src=\"x\"]').length").toString(),
                 "undefined0");
        m_map->addGeotagPin(1);
        QCOMPARE(eval("pois.length").toInt(), 5);
        for (int expected : {4, 0}) {  // refreshed, then with no tags
            m_map->refreshGeotagPins();
            QCOMPARE(eval("pois.length").toInt(), expected);
            clearGeotags();
        }
    }
    // Clicks reach the window through the page's channel object only, or as the map's own click event; the jump lands
    // where the tick finds the clicked point. Clicks off, while busy, or with hostile arguments go nowhere.
    void clickToGo()
    {
        const auto at = [](int b, int i, double dLat = 0) {
            return QStringLiteral("%1, %2").arg(jsCoordOf(track().block[b].lat[i] + dLat),
                                                jsCoordOf(track().block[b].lon[i]));
        };
        // acos of the unclamped cosine would be NaN, and the point never chosen.
        const double phi = track().block[0].lat[12] * 0.017453292519943295;
        QVERIFY(std::sin(phi) * std::sin(phi) + std::cos(phi) * std::cos(phi) * std::cos(0.0) > 1.0);
        const struct { const char *name; QString arguments; const char *blocker; int block, point; } rows[] = {
            {"exactly on a point", at(0, 12), "", 0, 12},
            {"nearest across movies", at(3, 4, 0.0002), "", 3, 4},
            {"first of equals across movies", at(3, 0), "", 0, 5},
            {"first of equals in a movie", at(0, 31), "", 0, 30},
            {"hidden movie ignored", at(1, 3), "", 2, 0},
            {"the map's own click", QStringLiteral("fire: ") + at(3, 7), "", 3, 7},
            {"Click-To-Go off", at(0, 12), "off", -1, -1},
            {"store busy", at(0, 12), "busy", -1, -1},
            {"NaN", QStringLiteral("NaN, 7.5"), "", -1, -1},
            {"Infinity", QStringLiteral("46.5, Infinity"), "", -1, -1},
            {"latitude 90.5", QStringLiteral("90.5, 7.5"), "", -1, -1},
            {"longitude -180.5", QStringLiteral("46.5, -180.5"), "", -1, -1},
            {"text", QStringLiteral("'46.5', '7.5'"), "", -1, -1},
            {"null", QStringLiteral("null, 7.5"), "", -1, -1},
            {"missing", QStringLiteral("46.5"), "", -1, -1},
            {"objects", QStringLiteral("{}, []"), "", -1, -1}};
        for (const auto &row : rows) {
            settings().clickToGo = row.blocker != QLatin1String("off");
            m_host.busy = row.blocker == QLatin1String("busy");
            m_host.jumps.clear();
            // The channel answers a call with a callback once the slot has run (a call it cannot match is never
            // answered).
            const bool fire = row.arguments.startsWith(QLatin1String("fire: "));
            eval(fire ? QStringLiteral("map.fire('click', {latlng: L.latLng(%1)});").arg(row.arguments.mid(6))
                      : QStringLiteral("window.clickDone = false; mapDialog.map_click_slot(%1,"
                                       " function () { window.clickDone = true; });").arg(row.arguments));
            if (fire)
                QTRY_COMPARE(m_host.jumps.size(), 1);
            else
                (void)QTest::qWaitFor([this] { return eval("window.clickDone").toBool(); }, 3000);
            settings().clickToGo = true;
            m_host.busy = false;
            const QList<QPair<int, qint64>> want{{row.block, qint64(row.point) * 1000}};
            QVERIFY2(m_host.jumps == (row.block < 0 ? QList<QPair<int, qint64>>() : want), row.name);
            // The tick at that position finds the clicked point.
            QVERIFY2(row.block < 0 || vxtest::tickPoint(row.block, m_host.jumps[0].second, 0) == row.point, row.name);
        }
    }
    // The view stays on its page: scripts cannot navigate it, open windows or load frames; a clicked link opens in
    // the desktop browser.
    void navigationAwayIsRefused()
    {
        MapPage *page = qobject_cast<MapPage *>(m_map->webView()->page());
        QVERIFY(page);
        const QUrl home = page->url();
        const int refused = page->refusedNavigations();
        UrlCatcher browser;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
        eval(QStringLiteral("window.location.href = '%1/away';").arg(m_tiles.base()));
        QCOMPARE(eval(QStringLiteral("window.open('%1/popup') === null").arg(m_tiles.base())).toBool(), true);
        eval(QStringLiteral("var f = document.createElement('iframe'); f.src = '%1/frame';"
                            " document.body.appendChild(f);").arg(m_tiles.base()));
        eval("document.querySelector('.leaflet-control-attribution a[href*=\"openstreetmap\"]').click();");
        QTRY_COMPARE(browser.urls.size(), 1);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(browser.urls.first(), QUrl(QStringLiteral("https://www.openstreetmap.org/copyright")));
        QTest::qWait(300);
        QVERIFY(page->refusedNavigations() >= refused + 2 && page->url() == home);
        QVERIFY(!m_tiles.requests.join('\n').contains(QRegularExpression("GET /(away|popup|frame)")));
        QVERIFY(eval("typeof addRoute === 'function' && routes.length > 0").toBool());
    }
    // A killed renderer comes back with everything drawn again.
    void crashedRendererReloads()
    {
        const qint64 pid = m_map->webView()->page()->renderProcessPid();
        QVERIFY(pid > 0);
        m_map->updatePoint(MapPoint{46.52, 7.51, 0.0, 40.0f, 0.0});
        QCOMPARE(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_map->webView()->page()->renderProcessPid() != pid, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 30000);
        QCOMPARE(shownRoute(), expectedRoute());
        QCOMPARE(eval("[myMarker.getLatLng().lat, myMarker.getLatLng().lng]").toList(),
                 (QVariantList{46.52, 7.51}));
    }
    // Google without a key shows the Leaflet page and says why; the stored choice stays. The controls hide, and the
    // title says so, when narrow.
    void pageChoiceAndTitle()
    {
        auto *google = m_map->findChild<QRadioButton *>(QStringLiteral("googleRadio"));
        QCOMPARE(m_map->findChild<QRadioButton *>(QStringLiteral("mapquestRadio"))->text(), "OpenStreetMap");
        const QUrl before = m_map->webView()->page()->url();
        google->click();
        QVERIFY(settings().mapType == 0 && stored("configuration/mapType") == 0);
        QVERIFY(m_map->pageKind() == MapPageKind::Leaflet && google->isChecked());
        QVERIFY(google->toolTip().contains("OpenStreetMap")
                && !m_map->findChild<QCheckBox *>(QStringLiteral("northUpCheckBox"))->isEnabled());
        QCOMPARE(m_map->findChild<QComboBox *>(QStringLiteral("mapStyleCombo"))->itemText(3), QStringLiteral("Light"));
        QVERIFY(m_map->webView()->page()->url() == before && m_map->pageReady());  // nothing to load again
        for (const auto &[width, title] : {std::pair{120, "Map (Widen for controls)"}, std::pair{1000, "Map"}}) {
            m_map->resize(width, 400);
            QCOMPARE(m_map->windowTitle(), QLatin1String(title));
            QCOMPARE(m_map->findChild<QFrame *>(QStringLiteral("frame"))->isHidden(), width < 1000);
        }
        QCOMPARE(m_map->settingsGroup(), QStringLiteral("Map"));
        m_map->updatePoint(MapPoint{46.53, 7.52, 12.5, 40.0f, 0.0});
        m_map->close();
        QVERIFY(stored("mapWindow/lastLat").toDouble() == 46.53 && stored("mapWindow/lastAlt").toDouble() == 12.5);
    }
    // Proxy credentials go only to the configured proxy.
    void proxyCredentials()
    {
        const auto give = ProxyAuthAnswer::GiveCredentials, warn = ProxyAuthAnswer::WarnProxyOff,
                   refuse = ProxyAuthAnswer::Refuse;
        const struct { bool useProxy, useCred; const char *asking; ProxyAuthAnswer answer; } rows[] = {
            {true, true, "Proxy.Example.org", give}, {true, true, "evil.example.com", refuse},
            {true, false, "proxy.example.org", refuse},  // no credentials wanted
            {false, true, "proxy.example.org", warn}, {true, true, "", refuse}};
        for (const auto &row : rows) {
            SettingsRecord s;
            std::tie(s.useProxy, s.proxyUseCred) = std::pair(row.useProxy, row.useCred);
            s.proxyServer.assign(QStringLiteral(" proxy.example.org"));
            QVERIFY2(proxyAuthAnswer(s, QLatin1String(row.asking)) == row.answer, row.asking);
        }
        QVERIFY(proxyCredentialsWarning().contains(QStringLiteral("go to the Volantix Settings")));
    }

private:
    static QString jsCoordOf(double v) { return QString::number(v, 'g', 15); }
    static QVariant stored(const char *key) { return openSettingsStore()->value(QLatin1String(key)); }
    int countLayers(const char *type)
    {
        return eval(QStringLiteral("var n = 0; map.eachLayer(function (l) { if (l instanceof %1) ++n; }); n")
                        .arg(QLatin1String(type))).toInt();
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestMapDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_mapdialog.moc"

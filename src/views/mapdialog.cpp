#include "mapdialog.h"

#include "export/geotags.h"
#include "settings/settings.h"
#include "track/playbackmath.h"
#include "track/trackstore.h"
#include "views/mappage.h"
#include "views/maproute.h"
#include "views/speedcolor.h"
#include "views/viewhost.h"

#include <QAuthenticator>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEngineView>

#include <cmath>

namespace vx {

mapDialog *g_mapDialog = nullptr;

namespace {

// Process-wide, as the heading is one for the whole program.
HeadingState g_heading;
bool g_proxyWarningShown = false;

constexpr int ROUTE_SLICE_MS = 12;        // route sending per turn of the event loop
constexpr int CRASH_WINDOW_MS = 60000;    // a renderer that ends more often than
constexpr int CRASH_RELOADS = 3;          // this within a minute is left alone

const char *const kMapGroup = "Map";
const char *const kPositionGroup = "mapWindow";

QString noKeyTooltip()
{
    return QStringLiteral("Google Maps needs a Google Maps key, and none is set in the Preferences: "
                          "the map shows OpenStreetMap instead.");
}

double storedCoordinate(QSettings &store, const char *key, double fallback, double limit)
{
    const double v = store.value(QString::fromLatin1(key), fallback).toDouble();
    return std::isfinite(v) && std::fabs(v) <= limit ? v : fallback;
}

} // namespace

mapDialog::mapDialog(QWidget *parent)
    : myDialog(parent)
{
    setObjectName(QStringLiteral("mapDialog"));
    setWindowTitle(QStringLiteral("Map"));
    setStyleSheet(QStringLiteral("background-color: black;"));
    buildControls();

    std::unique_ptr<QSettings> store = openSettingsStore();
    store->beginGroup(QString::fromLatin1(kMapGroup));
    m_routeCheck->setChecked(store->value(QStringLiteral("showRoute"), true).toBool());
    m_markersCheck->setChecked(store->value(QStringLiteral("showMarkers"), true).toBool());
    m_follow = store->value(QStringLiteral("follow"), true).toBool();
    m_followCheck->setChecked(m_follow);
    store->endGroup();
    store->beginGroup(QString::fromLatin1(kPositionGroup));
    m_lastLat = storedCoordinate(*store, "lastLat", 37.3318, 90.0);
    m_lastLon = storedCoordinate(*store, "lastLon", -122.02955, 180.0);
    m_lastAlt = storedCoordinate(*store, "lastAlt", 0.0, 1e6);
    store->endGroup();

    m_controlsWidth = minimumSizeHint().width();
    m_frame->hide();
    resize(DEFAULT_DIALOG_WIDTH, DEFAULT_DIALOG_HEIGHT);

    m_routeTimer = new QTimer(this);
    m_routeTimer->setInterval(0);
    connect(m_routeTimer, &QTimer::timeout, this, &mapDialog::sendRouteStep);

    createPage();
    choosePage(false);
}

mapDialog::~mapDialog()
{
    if (m_channel && m_bridge)
        m_channel->deregisterObject(m_bridge);
    delete m_view;
    delete m_page;
}

QString mapDialog::settingsGroup() const { return QString::fromLatin1(kMapGroup); }

void mapDialog::buildControls()
{
    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("frame"));
    m_frame->setStyleSheet(QStringLiteral("background-color: rgb(238, 238, 238);"));
    auto *row = new QHBoxLayout(m_frame);
    row->setContentsMargins(6, 2, 6, 2);
    auto radio = [this, row](const char *name, const QString &text) {
        auto *r = new QRadioButton(text, m_frame);
        r->setObjectName(QString::fromLatin1(name));
        row->addWidget(r);
        return r;
    };
    auto check = [this, row](const char *name, const QString &text) {
        auto *c = new QCheckBox(text, m_frame);
        c->setObjectName(QString::fromLatin1(name));
        row->addWidget(c);
        return c;
    };
    m_googleRadio = radio("googleRadio", QStringLiteral("Google"));
    m_mapquestRadio = radio("mapquestRadio", QStringLiteral("OpenStreetMap"));
    m_esriRadio = radio("esriRadio", QStringLiteral("Esri"));
    m_esriRadio->hide();
    m_routeCheck = check("routeCheckBox", QStringLiteral("Route"));
    m_markersCheck = check("markersCheckBox", QStringLiteral("Markers"));
    m_followCheck = check("followCheckBox", QStringLiteral("Follow"));
    m_clickToGoCheck = check("clickToGoCheckBox", QStringLiteral("Click-To-Go"));
    m_northUpCheck = check("northUpCheckBox", QStringLiteral("N Up"));
    m_northUpCheck->setToolTip(QStringLiteral("Only applies to 3D imagery view. Zoom in to see effect."));
    m_styleCombo = new QComboBox(m_frame);
    m_styleCombo->setObjectName(QStringLiteral("mapStyleCombo"));
    m_styleCombo->addItems({QStringLiteral("Roadmap"), QStringLiteral("Hybrid"), QStringLiteral("Satellite"),
                            QStringLiteral("Terrain")});
    row->addWidget(m_styleCombo);
    row->addStretch(1);

    m_view = new QWebEngineView(this);
    m_view->setObjectName(QStringLiteral("webEngineView"));
    m_view->setContextMenuPolicy(Qt::NoContextMenu);  // no browser menu (back, reload, page source)
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_frame);
    column->addWidget(m_view, 1);

    connect(m_googleRadio, &QRadioButton::clicked, this, &mapDialog::google_slot);
    connect(m_mapquestRadio, &QRadioButton::clicked, this, &mapDialog::mapquest_slot);
    connect(m_esriRadio, &QRadioButton::clicked, this, &mapDialog::esri_slot);
    connect(m_routeCheck, &QCheckBox::clicked, this, &mapDialog::toggle_route_slot);
    connect(m_markersCheck, &QCheckBox::clicked, this, &mapDialog::toggle_markers_slot);
    connect(m_followCheck, &QCheckBox::clicked, this, &mapDialog::toggle_follow_slot);
    connect(m_clickToGoCheck, &QCheckBox::clicked, this, &mapDialog::click_to_go_slot);
    connect(m_northUpCheck, &QCheckBox::clicked, this, &mapDialog::north_up_slot);
    connect(m_styleCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &mapDialog::map_style_combo_slot);
}

void mapDialog::createPage()
{
    m_page = new MapPage(mapProfile(), this);
    m_view->setPage(m_page);
    m_bridge = new MapBridge([this](double lat, double lon) { map_click_slot(lat, lon); }, this);
    m_channel = new QWebChannel(this);
    m_channel->registerObject(QStringLiteral("mapDialog"), m_bridge);
    m_page->setWebChannel(m_channel);
    connect(m_page, &QWebEnginePage::proxyAuthenticationRequired, this, &mapDialog::proxyAuthenticationRequired);
    connect(m_page, &QWebEnginePage::loadFinished, this, &mapDialog::finishLoading);
    connect(m_page, &QWebEnginePage::loadFinished, this, &mapDialog::add_js_object_slot);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this, &mapDialog::renderProcessEnded);
}

// ---- page choice ------------------------------------------------------------------

void mapDialog::choosePage(bool reloadWhenUnchanged)
{
    const SettingsRecord &s = settings();
    const MapPageKind kind = mapPageFor(s.mapType, s.googleMapsKey);
    QUrl url(mapPageUrl(kind));
    if (kind == MapPageKind::Google) {
        url.setQuery(QStringLiteral("key=") + QString::fromLatin1(QUrl::toPercentEncoding(s.googleMapsKey.trimmed())),
                     QUrl::StrictMode);
    }
    m_styleCombo->setItemText(3, fourthStyleName(kind));
    m_northUpCheck->setEnabled(kind == MapPageKind::Google);
    syncControlsFromSettings();
    const bool changed = url != m_pageUrl;
    m_pageKind = kind;
    m_pageUrl = url;
    if (changed || reloadWhenUnchanged)
        loadChosenPage();
}

void mapDialog::syncControlsFromSettings()
{
    const SettingsRecord &s = settings();
    QRadioButton *radio = s.mapType == 0 ? m_googleRadio : s.mapType == 2 ? m_esriRadio : m_mapquestRadio;
    radio->setChecked(true);
    m_googleRadio->setToolTip(s.googleMapsKey.trimmed().isEmpty() ? noKeyTooltip() : QString());
    m_clickToGoCheck->setChecked(s.clickToGo);
    m_northUpCheck->setChecked(s.northUp);
}

void mapDialog::loadChosenPage()
{
    m_routeTimer->stop();
    m_routeNextBlock = -1;
    m_pageReady = false;
    m_firstPosition = true;
    if (!m_page || !m_shownOnce)
        return;
    m_page->setAllowedUrl(m_pageUrl, m_pageKind == MapPageKind::Google);
    m_page->setUrl(m_pageUrl);
}

void mapDialog::renderProcessEnded()
{
    // A renderer that crashed or was killed leaves an empty view: load the
    // page again, which sends everything again. One that keeps ending is
    // left alone.
    m_pageReady = false;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_crashTimes.append(now);
    while (!m_crashTimes.isEmpty() && now - m_crashTimes.first() > CRASH_WINDOW_MS)
        m_crashTimes.removeFirst();
    if (m_crashTimes.size() <= CRASH_RELOADS)
        QTimer::singleShot(0, this, &mapDialog::loadChosenPage);
}

void mapDialog::finishLoading(bool)
{
    m_pageReady = m_page != nullptr;
    // 1. The style the page starts with.
    {
        const QSignalBlocker block(m_styleCombo);
        m_styleCombo->setCurrentIndex(clampedMapStyle(settings().mapStyle));
    }
    if (m_pageKind == MapPageKind::Leaflet)
        runScript(tileSourcesScript(settings()));
    // 2.-5. Routes and start markers, each shown or hidden by its box; the
    // movies' routes are brought into view.
    m_fitAfterRoute = true;
    rebuildPaths();
    storeMapFlag("showRoute", m_routeCheck->isChecked());
    rebuildStartMarkers();
    storeMapFlag("showMarkers", m_markersCheck->isChecked());
    // 6. The vehicle where it was last.
    sendVehicle();
    // 7. The style.
    runScript(styleScript(m_pageKind, m_styleCombo->currentIndex()));
    // 8. The geotag pins.
    refreshGeotagPins();
}

void mapDialog::add_js_object_slot() {}

// ---- scripts -----------------------------------------------------------------------

void mapDialog::runScript(const QString &script)
{
    if (m_pageReady && m_page && !script.isEmpty())
        m_page->runJavaScript(script);
}

bool mapDialog::routeSent() const { return m_routeNextBlock < 0; }

void mapDialog::rebuildPaths()
{
    ++m_routeRedraws;
    if (!m_pageReady)
        return;
    runScript(QStringLiteral("deletePolylines();"));
    m_routeNextBlock = 0;
    m_routeTimer->start();
}

void mapDialog::sendRouteStep()
{
    QElapsedTimer clock;
    clock.start();
    const TrackStore &t = track();
    const SettingsRecord &s = settings();
    const double reference = speedColorReference(s, t.stats);
    const int blocks = std::clamp(t.numBlocks, 0, MAX_BLOCKS);
    while (m_routeNextBlock >= 0 && m_routeNextBlock < blocks) {
        const MovieBlock &m = t.block[m_routeNextBlock++];
        if (m.active && m.numPoints > 1)
            runScript(routeScript(m, s.colorLevels, reference));
        if (clock.elapsed() >= ROUTE_SLICE_MS)
            return;  // the rest on the next turn
    }
    m_routeTimer->stop();
    m_routeNextBlock = -1;
    sendRouteToggle();
    if (m_fitAfterRoute)
        runScript(QStringLiteral("fitRoute();"));
    m_fitAfterRoute = false;
}

void mapDialog::sendRouteToggle()
{
    runScript(m_routeCheck->isChecked() ? QStringLiteral("showPolylines();") : QStringLiteral("clearPolylines();"));
}

void mapDialog::sendMarkersToggle()
{
    runScript(m_markersCheck->isChecked() ? QStringLiteral("showMarkers();") : QStringLiteral("clearMarkers();"));
}

void mapDialog::rebuildStartMarkers()
{
    if (!m_pageReady)
        return;
    runScript(QStringLiteral("deleteMarkers();"));
    const TrackStore &t = track();
    const int blocks = std::clamp(t.numBlocks, 0, MAX_BLOCKS);
    for (int b = 0; b < blocks; ++b) {
        if (!t.block[b].active)
            continue;
        for (const QString &script : startMarkerScripts(m_pageKind, t.block[b]))
            runScript(script);
    }
    sendMarkersToggle();
}

void mapDialog::sendVehicle()
{
    runScript(vehicleScript(m_pageKind, m_lastLat, m_lastLon, settings().mapMarker, settings().mapMarkerSize));
}

void mapDialog::recreateVehicleMarker()
{
    runScript(removeVehicleScript(m_pageKind));
    sendVehicle();
}

void mapDialog::sendPin(int index)
{
    const GeotagList &list = geotags();
    if (index < 0 || index >= std::min(list.count, MAX_GEOTAGS))
        return;
    const Geotag &tag = list.tag[index];
    if (!mapDrawable(tag.lat, tag.lon))
        return;  // a tag taken without a position has no place on the map
    const bool present = tag.movieBlock >= 0 && tag.movieBlock < std::min(track().numBlocks, MAX_BLOCKS)
                      && tag.movieFile.exists();
    runScript(pinScript(m_pageKind, tag.lat, tag.lon, index + 1, tag.title, present));
}

// ---- what the rest of the program tells the map ------------------------------------

void mapDialog::updatePoint(const MapPoint &point)
{
    m_lastPoint = point;
    ++m_pointUpdates;
    if (!mapDrawable(point.latitude, point.longitude))
        return;  // the vehicle stays where it was
    m_lastLat = point.latitude;
    m_lastLon = point.longitude;
    m_lastAlt = point.altitudeM;
    const SettingsRecord &s = settings();
    const QString heading = headingText(g_heading, point.heading, point.speedKmh * s.speedFactor, s.northUp);
    if (!m_pageReady)
        return;
    const bool headingChanged = heading != g_heading.sentText;
    for (const QString &script :
         positionScripts(m_pageKind, m_lastLat, m_lastLon, heading, headingChanged, m_firstPosition || m_follow))
        runScript(script);
    m_firstPosition = false;
    g_heading.sentText = heading;
}

void mapDialog::moviesLoaded()
{
    ++m_loads;
    m_firstPosition = true;  // the new movies are brought into view
    m_fitAfterRoute = true;
    rebuildPaths();
    rebuildStartMarkers();
}

void mapDialog::activeMoviesChanged()
{
    rebuildPaths();
    rebuildStartMarkers();
}

void mapDialog::refreshGeotagPins()
{
    ++m_pinRefreshes;
    if (!m_pageReady)
        return;
    runScript(QStringLiteral("deletePois();"));
    for (int i = 0; i < std::min(geotags().count, MAX_GEOTAGS); ++i)
        sendPin(i);
}

void mapDialog::addGeotagPin(int index)
{
    ++m_pinRefreshes;
    sendPin(index);
}

void mapDialog::applySettings(unsigned changes)
{
    m_settingsApplied |= changes;
    if (changes & MapMarkerChanged) {
        const QUrl before = m_pageUrl;
        choosePage(false);
        if (m_pageUrl != before)
            return;  // the new page sends everything when it is loaded
        if (m_pageKind == MapPageKind::Leaflet)
            runScript(tileSourcesScript(settings()));
        runScript(styleScript(m_pageKind, m_styleCombo->currentIndex()));
        recreateVehicleMarker();
    }
    if (changes & RouteChanged)
        rebuildPaths();
}

// ---- the controls --------------------------------------------------------------------

void mapDialog::chooseMapType(int mapType)
{
    settings().mapType = mapType;
    saveSettings();
    choosePage(false);  // the same page is not loaded again
}

void mapDialog::google_slot() { chooseMapType(0); }
void mapDialog::mapquest_slot() { chooseMapType(1); }
void mapDialog::esri_slot() { chooseMapType(2); }

void mapDialog::storeMapFlag(const char *key, bool value)
{
    std::unique_ptr<QSettings> store = openSettingsStore();
    store->beginGroup(QString::fromLatin1(kMapGroup));
    store->setValue(QString::fromLatin1(key), value);
    store->endGroup();
}

void mapDialog::toggle_route_slot()
{
    if (routeSent())
        sendRouteToggle();  // else the route's last step does it
    storeMapFlag("showRoute", m_routeCheck->isChecked());
}

void mapDialog::toggle_markers_slot()
{
    sendMarkersToggle();
    storeMapFlag("showMarkers", m_markersCheck->isChecked());
}

void mapDialog::toggle_follow_slot()
{
    m_follow = m_followCheck->isChecked();
    storeMapFlag("follow", m_follow);
}

void mapDialog::map_style_combo_slot(int index)
{
    if (index < 0 || index >= MAP_STYLE_COUNT)
        return;
    runScript(styleScript(m_pageKind, index));
    settings().mapStyle = index;
    saveSettings();
}

void mapDialog::click_to_go_slot()
{
    settings().clickToGo = m_clickToGoCheck->isChecked();
    saveSettings();
}

void mapDialog::north_up_slot()
{
    settings().northUp = m_northUpCheck->isChecked();
    saveSettings();
}

void mapDialog::map_click_slot(double latClick, double lonClick)
{
    if (!validMapClick(latClick, lonClick) || !settings().clickToGo)
        return;
    ViewHost *host = viewHost();
    if (!host || host->storeBusy())
        return;
    const TrackStore &t = track();
    const NearestPoint nearest = nearestTrackPoint(t, latClick, lonClick);
    if (nearest.block < 0)
        return;
    const MovieBlock &m = t.block[nearest.block];
    const std::optional<qint64> position =
        pointSeekMs(m, nearest.point, m.movieFile.lastModified().toMSecsSinceEpoch(), settings().timeBias);
    if (position)
        host->jumpToMovie(nearest.block, *position);
}

void mapDialog::about_to_quit_slot()
{
    m_pageReady = false;
    m_routeTimer->stop();
    delete m_view;
    m_view = nullptr;
    delete m_page;
    m_page = nullptr;
}

void mapDialog::proxyAuthenticationRequired(const QUrl &, QAuthenticator *authenticator, const QString &proxyHost)
{
    const SettingsRecord &s = settings();
    switch (proxyAuthAnswer(s, proxyHost)) {
    case ProxyAuthAnswer::GiveCredentials:
        authenticator->setUser(s.proxyUsername.toString());
        authenticator->setPassword(s.proxyThing.toString());
        return;
    case ProxyAuthAnswer::WarnProxyOff:
        if (!g_proxyWarningShown) {
            g_proxyWarningShown = true;
            QMessageBox::warning(this, QString::fromLatin1(keys::APPLICATION), proxyCredentialsWarning());
        }
        break;
    case ProxyAuthAnswer::Refuse:
        break;
    }
    *authenticator = QAuthenticator();  // an empty authenticator cancels the request
}

// ---- the window ------------------------------------------------------------------------

void mapDialog::showEvent(QShowEvent *event)
{
    myDialog::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        loadChosenPage();
    }
}

void mapDialog::closeEvent(QCloseEvent *event)
{
    std::unique_ptr<QSettings> store = openSettingsStore();
    store->beginGroup(QString::fromLatin1(kPositionGroup));
    store->setValue(QStringLiteral("lastLat"), m_lastLat);
    store->setValue(QStringLiteral("lastLon"), m_lastLon);
    store->setValue(QStringLiteral("lastAlt"), m_lastAlt);
    store->endGroup();
    myDialog::closeEvent(event);
}

void mapDialog::resizeEvent(QResizeEvent *event)
{
    myDialog::resizeEvent(event);
    const bool narrow = width() <= m_controlsWidth;
    m_frame->setVisible(!narrow);
    setWindowTitle(narrow ? QStringLiteral("Map (Widen for controls)") : QStringLiteral("Map"));
}

} // namespace vx

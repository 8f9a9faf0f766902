// The map window: every active movie's route coloured by speed, a start
// marker per movie, the vehicle that follows playback and the geotag pins,
// on a web page the window drives with scripts (mapscripts.h). A click on
// the map jumps playback to the nearest point of the shown movies.
//
// The page is loaded the first time the window is shown (a map that is
// never opened starts no web renderer). Every load starts from an empty
// page and finishLoading sends everything again; scripts sent before the
// page is ready are not sent at all. The route goes out one movie per turn
// of the event loop, so the window stays responsive while a long route is
// sent.
#pragma once

#include "views/mapscripts.h"
#include "views/mydialog.h"
#include "views/sampleviews.h"

#include <QDateTime>
#include <QList>
#include <QUrl>

class QAuthenticator;
class QCheckBox;
class QComboBox;
class QFrame;
class QRadioButton;
class QTimer;
class QWebChannel;
class QWebEngineView;

namespace vx {

class MapBridge;
class MapPage;

class mapDialog : public myDialog, public MapView {
    Q_OBJECT

public:
    explicit mapDialog(QWidget *parent = nullptr);
    ~mapDialog() override;
    // "Map" even while the title reads "Map (Widen for controls)".
    QString settingsGroup() const override;

    // MapView.
    void updatePoint(const MapPoint &point) override;
    void moviesLoaded() override;
    void activeMoviesChanged() override;
    void refreshGeotagPins() override;
    void addGeotagPin(int index) override;
    void applySettings(unsigned changes) override;

    // The rebuilds other windows ask for.
    void rebuildPaths();
    void rebuildStartMarkers();
    void recreateVehicleMarker();

    // What the window was told and what it shows.
    const MapPoint &lastPoint() const { return m_lastPoint; }
    int pointUpdates() const { return m_pointUpdates; }
    int loadsSeen() const { return m_loads; }
    int routeRedraws() const { return m_routeRedraws; }
    int pinRefreshes() const { return m_pinRefreshes; }
    unsigned settingsApplied() const { return m_settingsApplied; }
    MapPageKind pageKind() const { return m_pageKind; }
    bool pageReady() const { return m_pageReady; }
    // Nothing of the route is still waiting to be sent.
    bool routeSent() const;
    QWebEngineView *webView() const { return m_view; }

public slots:
    void proxyAuthenticationRequired(const QUrl &requestUrl, QAuthenticator *authenticator, const QString &proxyHost);
    void finishLoading(bool ok);
    void add_js_object_slot();
    void google_slot();
    void mapquest_slot();
    void esri_slot();
    void toggle_route_slot();
    void toggle_markers_slot();
    void toggle_follow_slot();
    void map_style_combo_slot(int index);
    void map_click_slot(double latClick, double lonClick);
    void click_to_go_slot();
    void north_up_slot();
    void about_to_quit_slot();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void createPage();
    void choosePage(bool reloadWhenUnchanged);
    void syncControlsFromSettings();
    void loadChosenPage();
    void renderProcessEnded();
    void runScript(const QString &script);
    void sendRouteStep();
    void sendRouteToggle();
    void sendMarkersToggle();
    void sendVehicle();
    void sendPin(int index);
    void chooseMapType(int mapType);
    void storeMapFlag(const char *key, bool value);

    QFrame *m_frame = nullptr;
    QRadioButton *m_googleRadio = nullptr;
    QRadioButton *m_mapquestRadio = nullptr;
    QRadioButton *m_esriRadio = nullptr;
    QCheckBox *m_routeCheck = nullptr;
    QCheckBox *m_markersCheck = nullptr;
    QCheckBox *m_followCheck = nullptr;
    QCheckBox *m_clickToGoCheck = nullptr;
    QCheckBox *m_northUpCheck = nullptr;
    QComboBox *m_styleCombo = nullptr;
    QWebEngineView *m_view = nullptr;
    MapPage *m_page = nullptr;
    QWebChannel *m_channel = nullptr;
    MapBridge *m_bridge = nullptr;

    MapPageKind m_pageKind = MapPageKind::Leaflet;
    QUrl m_pageUrl;
    bool m_shownOnce = false;
    bool m_pageReady = false;
    bool m_firstPosition = true;
    bool m_follow = true;
    int m_controlsWidth = 0;
    double m_lastLat = 37.3318;
    double m_lastLon = -122.02955;
    double m_lastAlt = 0.0;
    QList<qint64> m_crashTimes;  // msecs since epoch of recent renderer ends

    // The route being sent: the next block, or -1 when nothing is pending.
    QTimer *m_routeTimer = nullptr;
    int m_routeNextBlock = -1;
    bool m_fitAfterRoute = false;  // bring the route into view once it is sent (after a load)

    MapPoint m_lastPoint;
    int m_pointUpdates = 0;
    int m_loads = 0;
    int m_routeRedraws = 0;
    int m_pinRefreshes = 0;
    unsigned m_settingsApplied = 0;
};

extern mapDialog *g_mapDialog;

} // namespace vx

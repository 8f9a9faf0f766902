// The control center window ("Movies and Geotags"): the movie list on the
// "Movies" tab and the geotag list on the "Geotags" tab.
#pragma once

#include "views/mydialog.h"
#include "views/sampleviews.h"

class QTabWidget;

namespace vx {

class GeotagPanel;
class MovieList;

class controlCenterDialog : public myDialog, public GeotagPointView {
    Q_OBJECT

public:
    explicit controlCenterDialog(QWidget *parent = nullptr);

    QTabWidget *tabs() const { return m_tabs; }
    QWidget *moviesTab() const { return m_moviesTab; }
    QWidget *geotagsTab() const { return m_geotagsTab; }
    MovieList *movieList() const { return m_movieList; }
    GeotagPanel *geotagPanel() const { return m_geotagPanel; }

    // The transport switch of the player: the lists' controls follow it.
    void enableControls(bool enabled);

    // After a load: the "Movies" tab is selected, the movie list is filled
    // from the Track store and each geotag's movie is looked up again.
    void fillLists();

    // GeotagPointView: the current point; the geotag rows show their
    // distances from it.
    void updateCurrentPoint(const GeotagPoint &point) override;
    // The movie and geotag rows show their speeds, distances and
    // coordinates in the user's units and format.
    void applySettings(unsigned changes) override;
    const GeotagPoint &lastPoint() const { return m_lastPoint; }
    int pointUpdates() const { return m_pointUpdates; }

private:
    QTabWidget *m_tabs;
    QWidget *m_moviesTab;
    QWidget *m_geotagsTab;
    MovieList *m_movieList;
    GeotagPanel *m_geotagPanel;
    GeotagPoint m_lastPoint;
    int m_pointUpdates = 0;
};

extern controlCenterDialog *g_controlCenterDialog;

} // namespace vx

// The control center window ("Movies and Geotags"): the movie list on the
// "Movies" tab and the geotag list on the "Geotags" tab.
#pragma once

#include "views/mydialog.h"
#include "views/sampleviews.h"

class QTabWidget;

namespace vx {

class MovieList;

class controlCenterDialog : public myDialog, public GeotagPointView {
    Q_OBJECT

public:
    explicit controlCenterDialog(QWidget *parent = nullptr);

    QTabWidget *tabs() const { return m_tabs; }
    QWidget *moviesTab() const { return m_moviesTab; }
    QWidget *geotagsTab() const { return m_geotagsTab; }
    MovieList *movieList() const { return m_movieList; }

    // The transport switch of the player: the lists' controls follow it.
    void enableControls(bool enabled);

    // After a load: the "Movies" tab is selected and both lists are filled
    // from the Track store (the geotag list comes with the geotags).
    void fillLists();

    // GeotagPointView: the current point, for the geotag distances. Until
    // the geotag list exists the window keeps what it was sent.
    void updateCurrentPoint(const GeotagPoint &point) override
    {
        m_lastPoint = point;
        ++m_pointUpdates;
    }
    // The movie rows show their speeds in the user's unit.
    void applySettings(unsigned changes) override;
    const GeotagPoint &lastPoint() const { return m_lastPoint; }
    int pointUpdates() const { return m_pointUpdates; }

private:
    QTabWidget *m_tabs;
    QWidget *m_moviesTab;
    QWidget *m_geotagsTab;
    MovieList *m_movieList;
    GeotagPoint m_lastPoint;
    int m_pointUpdates = 0;
};

extern controlCenterDialog *g_controlCenterDialog;

} // namespace vx

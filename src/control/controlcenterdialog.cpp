#include "controlcenterdialog.h"

#include "control/geotagpanel.h"
#include "control/movielist.h"
#include "views/viewhost.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace vx {

controlCenterDialog *g_controlCenterDialog = nullptr;

controlCenterDialog::controlCenterDialog(QWidget *parent)
    : myDialog(parent)
    , m_tabs(new QTabWidget(this))
    , m_moviesTab(new QWidget)
    , m_geotagsTab(new QWidget)
    , m_movieList(new MovieList(m_moviesTab))
    , m_geotagPanel(new GeotagPanel(m_geotagsTab))
{
    setObjectName(QStringLiteral("controlCenterDialog"));
    setWindowTitle(QStringLiteral("Movies and Geotags"));
    m_tabs->setObjectName(QStringLiteral("tabWidget"));
    m_moviesTab->setObjectName(QStringLiteral("moviesTab"));
    m_geotagsTab->setObjectName(QStringLiteral("geotagsTab"));
    m_tabs->addTab(m_moviesTab, QStringLiteral("Movies"));
    m_tabs->addTab(m_geotagsTab, QStringLiteral("Geotags"));
    auto *movies = new QVBoxLayout(m_moviesTab);
    movies->setContentsMargins(2, 2, 2, 2);
    movies->addWidget(m_movieList);
    auto *tags = new QVBoxLayout(m_geotagsTab);
    tags->setContentsMargins(2, 2, 2, 2);
    tags->addWidget(m_geotagPanel);
    connect(m_geotagPanel, &GeotagPanel::tagAdded, this, [this] { m_tabs->setCurrentWidget(m_geotagsTab); });
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_tabs);
    resize(DEFAULT_DIALOG_WIDTH, DEFAULT_DIALOG_HEIGHT);
}

void controlCenterDialog::applySettings(unsigned changes)
{
    if (changes & UnitsChanged) {
        const int current = m_movieList->currentBlock();
        m_movieList->fill();
        m_movieList->markCurrent(current);
    }
    m_geotagPanel->applySettings(changes);
}

void controlCenterDialog::updateCurrentPoint(const GeotagPoint &point)
{
    m_lastPoint = point;
    ++m_pointUpdates;
    CurrentPosition current;
    current.lat = point.latitude;
    current.lon = point.longitude;
    current.hasAltitude = point.hasAltitude;
    current.block = point.block;
    current.point = point.point;
    m_geotagPanel->updateDistances(current);
}

void controlCenterDialog::enableControls(bool enabled)
{
    m_moviesTab->setEnabled(enabled);
    m_geotagsTab->setEnabled(enabled);
}

void controlCenterDialog::fillLists()
{
    m_tabs->setCurrentWidget(m_moviesTab);
    m_movieList->fill();
    m_geotagPanel->resolveMovies();
}

} // namespace vx

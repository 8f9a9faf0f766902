#include "viewcoordinator.h"

#include "control/controlcenterdialog.h"
#include "main/loadcontroller.h"
#include "main/mainwindow.h"
#include "main/playbackcontroller.h"
#include "main/playerpanel.h"
#include "main/videoview.h"
#include "settings/preferencesdialog.h"
#include "settings/settings.h"
#include "track/playbackmath.h"
#include "track/trackstore.h"
#include "views/datadialog.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"

#include <QVideoWidget>

namespace vx {

ViewCoordinator::ViewCoordinator(MainWindow *window)
    : m_window(window)
{
    setViewHost(this);
}

ViewCoordinator::~ViewCoordinator()
{
    if (viewHost() == this)
        setViewHost(nullptr);
}

bool ViewCoordinator::storeBusy() const { return m_window->playback()->storeBusy(); }

void ViewCoordinator::jumpToMovie(int block, qint64 positionMs) { m_window->playback()->jumpTo(block, positionMs); }

void ViewCoordinator::settingsChanged(unsigned changes)
{
    recomputeFactors();
    PlaybackController *playback = m_window->playback();
    if (changes & TimeSyncChanged)
        playback->recomputeTimeOffset();
    // "Vmax (.. mph)" and the movies' dates with the clock bias and format.
    if (changes & (UnitsChanged | TimeSyncChanged))
        rebuildJumpToList(m_window->panel()->jumpToCombo);
    if (changes & PlayerChanged) {
        const bool aspectChanged = (m_window->panel()->videoWidget->aspectRatioMode() == Qt::KeepAspectRatio)
                                   != settings().aspectMaintain;
        m_window->applySavedPlayerSettings();
        // Maintain and fill place the picture differently.
        if (aspectChanged && track().numBlocks > 0)
            m_window->videoView()->fitVideo();
    }
    if (changes & GpsUseChanged) {
        const TrackStore &t = track();
        const bool current = t.numBlocks > 0 && t.Block >= 0 && t.Block < t.numBlocks;
        m_window->setGpsPresent(!settings().ignoreGps && (!current || blockHasTelemetry(t.block[t.Block])));
    }
    if (g_dataDialog)
        g_dataDialog->applySettings(changes);
    if (g_mapDialog)
        g_mapDialog->applySettings(changes);
    if (g_graphDialog)
        g_graphDialog->applySettings(changes);
    if (g_controlCenterDialog)
        g_controlCenterDialog->applySettings(changes);
    // An open preferences dialog shows what another window changed (its
    // own changes it knows already).
    if (preferencesDialog *prefs = m_window->preferences())
        prefs->settingsChangedElsewhere(changes);
    // The speed label, the date label and every view's point.
    playback->refresh();
    saveSettings();
}

void ViewCoordinator::openPreferences(const QString &tabTitle) { m_window->openPreferences(tabTitle); }

void ViewCoordinator::makeGeotag() { m_window->make_geotag_slot(); }

} // namespace vx

#include "viewcoordinator.h"

#include "control/controlcenterdialog.h"
#include "main/loadcontroller.h"
#include "main/mainwindow.h"
#include "main/playbackcontroller.h"
#include "main/playerpanel.h"
#include "settings/settings.h"
#include "views/datadialog.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"

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
    if (changes & UnitsChanged)
        rebuildJumpToList(m_window->panel()->jumpToCombo);  // "Vmax (.. mph)"
    if (changes & PlayerChanged)
        m_window->applySavedPlayerSettings();
    if (g_dataDialog)
        g_dataDialog->applySettings(changes);
    if (g_mapDialog)
        g_mapDialog->applySettings(changes);
    if (g_graphDialog)
        g_graphDialog->applySettings(changes);
    if (g_controlCenterDialog)
        g_controlCenterDialog->applySettings(changes);
    // The speed label, the date label and every view's point.
    playback->refresh();
    saveSettings();
}

void ViewCoordinator::openPreferences(const QString &tabTitle)
{
    // The preferences dialog is not part of the program yet.
    Q_UNUSED(tabTitle);
}

void ViewCoordinator::makeGeotag() { m_window->make_geotag_slot(); }

} // namespace vx

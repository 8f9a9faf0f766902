// The control center window ("Movies and Geotags"): the movie list on the
// "Movies" tab and the geotag list on the "Geotags" tab.
#pragma once

#include "views/mydialog.h"

class QTabWidget;

namespace vx {

class controlCenterDialog : public myDialog {
    Q_OBJECT

public:
    explicit controlCenterDialog(QWidget *parent = nullptr);

    QTabWidget *tabs() const { return m_tabs; }
    QWidget *moviesTab() const { return m_moviesTab; }
    QWidget *geotagsTab() const { return m_geotagsTab; }

    // The transport switch of the player: the lists' controls follow it.
    void enableControls(bool enabled);

private:
    QTabWidget *m_tabs;
    QWidget *m_moviesTab;
    QWidget *m_geotagsTab;
};

extern controlCenterDialog *g_controlCenterDialog;

} // namespace vx

// The player window's side of ViewHost: what the dashboard, the map, the
// graphs and the control center ask for goes to playback, and a change of
// the settings record made in one window reaches every window and label
// that shows it.
#pragma once

#include "views/viewhost.h"

namespace vx {

class MainWindow;

class ViewCoordinator : public ViewHost {
public:
    explicit ViewCoordinator(MainWindow *window);
    ~ViewCoordinator() override;

    bool storeBusy() const override;
    void jumpToMovie(int block, qint64 positionMs) override;
    void settingsChanged(unsigned changes) override;
    void openPreferences(const QString &tabTitle) override;
    void makeGeotag() override;

private:
    MainWindow *m_window;
};

} // namespace vx

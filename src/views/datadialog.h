// The dashboard window: the gauges of the current playback point. Built for
// one of two orientations; changing the orientation replaces the window.
// Horizontal: object name "dataDialogHoriz", title "Dashboard"; vertical:
// object name "dataDialogVert", title "Dashboard " (the trailing space keeps
// the two layouts' geometry apart in the settings store).
#pragma once

#include "views/mydialog.h"

namespace vx {

class dataDialog : public myDialog {
    Q_OBJECT

public:
    explicit dataDialog(bool vertical, QWidget *parent = nullptr);
    bool isVertical() const { return m_vertical; }

    static QString titleFor(bool vertical);

private:
    bool m_vertical;
};

// The dashboard window, or null when it does not exist (closed at exit).
extern dataDialog *g_dataDialog;

} // namespace vx

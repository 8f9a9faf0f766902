// The graph window: six telemetry plots, one per tab.
#pragma once

#include "views/mydialog.h"

namespace vx {

class graphDialog : public myDialog {
    Q_OBJECT

public:
    explicit graphDialog(QWidget *parent = nullptr);
};

extern graphDialog *g_graphDialog;

} // namespace vx

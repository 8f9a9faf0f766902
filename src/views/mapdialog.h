// The map window: the route and the vehicle on a web map.
#pragma once

#include "views/mydialog.h"

namespace vx {

class mapDialog : public myDialog {
    Q_OBJECT

public:
    explicit mapDialog(QWidget *parent = nullptr);
    // "Map" even while the title reads "Map (Widen for controls)".
    QString settingsGroup() const override;
};

extern mapDialog *g_mapDialog;

} // namespace vx

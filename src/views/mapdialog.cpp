#include "mapdialog.h"

namespace vx {

mapDialog *g_mapDialog = nullptr;

mapDialog::mapDialog(QWidget *parent)
    : myDialog(parent)
{
    setObjectName(QStringLiteral("mapDialog"));
    setWindowTitle(QStringLiteral("Map"));
    setStyleSheet(QStringLiteral("background-color: black;"));
    resize(DEFAULT_DIALOG_WIDTH, DEFAULT_DIALOG_HEIGHT);
}

QString mapDialog::settingsGroup() const { return QStringLiteral("Map"); }

} // namespace vx

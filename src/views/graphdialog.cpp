#include "graphdialog.h"

namespace vx {

graphDialog *g_graphDialog = nullptr;

graphDialog::graphDialog(QWidget *parent)
    : myDialog(parent)
{
    setObjectName(QStringLiteral("graphDialog"));
    setWindowTitle(QStringLiteral("Graph"));
    resize(DEFAULT_DIALOG_WIDTH, DEFAULT_DIALOG_HEIGHT);
}

} // namespace vx

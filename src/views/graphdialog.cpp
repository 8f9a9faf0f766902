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

void graphDialog::updatePoint(int graphIndex, const GraphPoint &point)
{
    if (graphIndex < 0 || graphIndex >= GRAPH_COUNT)
        return;
    m_lastPoint[static_cast<size_t>(graphIndex)] = point;
    ++m_pointUpdates;
}

const GraphPoint &graphDialog::lastPoint(int graphIndex) const
{
    return m_lastPoint[static_cast<size_t>(qBound(0, graphIndex, GRAPH_COUNT - 1))];
}

} // namespace vx

// One graph of the graph window: a view on its own scene with the plot
// frame, the grid and its labels, the speed-coloured curve and the cursor.
// The scene is built from scratch by draw(); the cursor's items are made
// with it and then only moved, so that following playback costs next to
// nothing. Every item carries its role (GraphItemRole) as item data 0.
#pragma once

#include "views/graphseries.h"

#include <QDateTime>
#include <QGraphicsView>

#include <array>

class QGraphicsEllipseItem;
class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QPushButton;

namespace vx {

enum class GraphItemRole {
    Frame = 1,
    Tick,       // white ticks at the frame's corners
    Grid,       // gray dashed inner lines
    Title,
    TickLabel,
    Caption,    // the Y axis caption
    Curve,      // one line item per segment
    CursorLine,
    CursorDot,
    ValueBox,
    ValueText,
    DateText,
    NoDataText,
};

// Where the cursor of a graph is: the last point the tick found.
struct GraphCursor {
    bool known = false;
    int block = 0;
    int point = 0;
    QDateTime time;
};

class GraphPlot : public QGraphicsView {
    Q_OBJECT

public:
    explicit GraphPlot(int graph, QWidget *parent = nullptr);

    int graph() const { return m_graph; }

    // The scene anew for a scene of `size` (the viewport's): axes, labels
    // and the curve of the active movies within `range`, the cursor hidden.
    void draw(const GraphRange &range, const GraphWalkIndex &index, const QSize &size);
    // The cursor at `cursor`; hidden when it is not on the graph (an
    // inactive movie, no point yet). `noData`: the current movie has no
    // points, or no active movie has any: "No Data" and no cursor.
    void moveCursor(const GraphCursor &cursor, const GraphWalkIndex &index, bool noData);

    QSize drawnSize() const { return m_drawnSize; }
    int drawCount() const { return m_draws; }
    const PlotFrame &frame() const { return m_frame; }
    const GraphRange &range() const { return m_range; }
    const GraphCurve &curve() const { return m_curve; }
    // Null for the bearing graph, which has no autoscale.
    QPushButton *autoscaleButton() const { return m_autoscale; }
    static GraphItemRole roleOf(const QGraphicsItem *item);

signals:
    void autoscaleClicked();
    void clicked(int graph, const QPointF &scenePos);
    void resized(int graph);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void drawAxes();
    void drawCurve();
    void makeCursorItems();
    QGraphicsSimpleTextItem *addText(const QString &text, const QColor &fill, GraphItemRole role);
    void addLine(const QLineF &line, const QPen &pen, GraphItemRole role);

    int m_graph;
    QGraphicsScene *m_scene;
    QPushButton *m_autoscale = nullptr;
    QSize m_drawnSize;
    int m_draws = 0;
    PlotFrame m_frame;
    GraphRange m_range;
    GraphCurve m_curve;
    int m_total = 0;
    // The cursor keeps its own bearing while the speed is low.
    double m_cursorBearing = 0;
    QGraphicsLineItem *m_cursorLine = nullptr;
    QGraphicsEllipseItem *m_dot = nullptr;
    QGraphicsRectItem *m_valueBox = nullptr;
    QGraphicsSimpleTextItem *m_valueText = nullptr;
    QGraphicsSimpleTextItem *m_dateText = nullptr;
    QGraphicsSimpleTextItem *m_noDataText = nullptr;
};

} // namespace vx

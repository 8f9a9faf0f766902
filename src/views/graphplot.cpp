#include "graphplot.h"

#include "settings/settings.h"
#include "track/trackstore.h"
#include "views/speedcolor.h"

#include <QGraphicsEllipseItem>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace vx {

namespace {

// Tick length and text spacing.
constexpr double kOffset = 3;
constexpr int kXDivisions = 4;
constexpr double kDotSize = 4;

const QColor kTitleFill(255, 255, 255, 240);
const QColor kTickLabelFill(255, 255, 255, 200);
const QColor kCaptionFill(255, 255, 255, 127);
const QColor kRedText(255, 0, 0, 240);

QPen whitePen() { return QPen(QBrush(Qt::white), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin); }
QPen grayDashedPen() { return QPen(QBrush(QColor(80, 80, 80)), 1, Qt::DashLine); }

constexpr const char *kAutoscaleStyle =
    "QPushButton {background-color: rgb(0, 0, 0);border-color: rgb(9, 11, 217);color: rgb(180, 180, 217);}";

} // namespace

GraphPlot::GraphPlot(int graph, QWidget *parent)
    : QGraphicsView(parent)
    , m_graph(graph)
    , m_scene(new QGraphicsScene(this))
{
    // A few thousand items that are rebuilt rather than searched: no index.
    m_scene->setItemIndexMethod(QGraphicsScene::NoIndex);
    m_scene->setBackgroundBrush(Qt::black);
    setScene(m_scene);
    setFrameShape(QFrame::NoFrame);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackgroundBrush(Qt::black);
    setInteractive(false);
    setFocusPolicy(Qt::NoFocus);
    if (graph != BearingGraph) {
        m_autoscale = new QPushButton(QStringLiteral("Autoscale"), this);
        m_autoscale->setGeometry(10, 2, 70, 15);
        QFont font = m_autoscale->font();
        font.setPointSize(9);
        m_autoscale->setFont(font);
        m_autoscale->setStyleSheet(QString::fromLatin1(kAutoscaleStyle));
        m_autoscale->setFocusPolicy(Qt::NoFocus);
        connect(m_autoscale, &QPushButton::clicked, this, &GraphPlot::autoscaleClicked);
    }
}

GraphItemRole GraphPlot::roleOf(const QGraphicsItem *item)
{
    return static_cast<GraphItemRole>(item->data(0).toInt());
}

QGraphicsSimpleTextItem *GraphPlot::addText(const QString &text, const QColor &fill, GraphItemRole role)
{
    auto *item = m_scene->addSimpleText(text);
    item->setBrush(fill);
    item->setData(0, static_cast<int>(role));
    return item;
}

void GraphPlot::addLine(const QLineF &line, const QPen &pen, GraphItemRole role)
{
    m_scene->addLine(line, pen)->setData(0, static_cast<int>(role));
}

void GraphPlot::draw(const GraphRange &range, const GraphWalkIndex &index, const QSize &size)
{
    ++m_draws;
    m_scene->clear();
    m_cursorLine = nullptr;
    m_dot = nullptr;
    m_valueBox = nullptr;
    m_valueText = nullptr;
    m_dateText = nullptr;
    m_noDataText = nullptr;
    const QSize sceneSize = size.expandedTo(QSize(0, 0));
    m_scene->setSceneRect(0, 0, sceneSize.width(), sceneSize.height());
    m_drawnSize = size;
    m_range = checkedGraphRange(m_graph, range, settings().distFactor);
    m_frame = plotFrameOf(sceneSize.width(), sceneSize.height());
    m_total = index.total;
    m_curve = GraphCurve();
    if (m_frame.drawable()) {
        drawAxes();
        m_curve = walkGraphCurve(m_graph, track(), settings(), m_range, m_frame);
        drawCurve();
    }
    makeCursorItems();
}

void GraphPlot::drawAxes()
{
    const PlotFrame &f = m_frame;
    const QPen white = whitePen();
    const QPen gray = grayDashedPen();
    auto *frame = m_scene->addRect(QRectF(qRound(f.left), qRound(f.top), qRound(f.width), qRound(f.height)), white);
    frame->setData(0, static_cast<int>(GraphItemRole::Frame));

    QGraphicsSimpleTextItem *title =
        addText(QString::fromLatin1(graphInfo(m_graph).title), kTitleFill, GraphItemRole::Title);
    const QRectF tb = title->boundingRect();
    title->setPos(f.left + f.width / 2 - tb.width() / 2, f.top - tb.height() - 2 * kOffset);

    for (int k = 0; k <= kXDivisions; ++k) {
        const double x = f.left + f.width * k / kXDivisions;
        if (k == 0 || k == kXDivisions) {
            addLine(QLineF(x, f.top - kOffset, x, f.top), white, GraphItemRole::Tick);
            addLine(QLineF(x, f.bottom(), x, f.bottom() + kOffset), white, GraphItemRole::Tick);
        } else {
            addLine(QLineF(x, f.top - kOffset, x, f.bottom() + kOffset), gray, GraphItemRole::Grid);
        }
    }

    const SettingsRecord &s = settings();
    const GraphRange &r = m_range;
    // In a low window the labels would run into each other: a label that
    // would overlap the one above is left out, except the bottom one, which
    // takes the place of the one above it (the top one always stays).
    QGraphicsSimpleTextItem *above = nullptr;
    int aboveK = -1;
    for (int k = 0; k <= r.ticks; ++k) {
        const double y = f.top + f.height * k / r.ticks;
        if (k == 0 || k == r.ticks) {
            addLine(QLineF(f.left - kOffset, y, f.left, y), white, GraphItemRole::Tick);
            addLine(QLineF(f.right(), y, f.right() + kOffset, y), white, GraphItemRole::Tick);
        } else {
            addLine(QLineF(f.left - kOffset, y, f.right() + kOffset, y), gray, GraphItemRole::Grid);
        }
        const double value = r.max - (r.max - r.min) * k / r.ticks;
        QGraphicsSimpleTextItem *label =
            addText(graphTickLabel(m_graph, value, s), kTickLabelFill, GraphItemRole::TickLabel);
        const QRectF lb = label->boundingRect();
        label->setPos(f.left - 2 * kOffset - lb.width(), y - lb.height() / 2);
        if (above && label->y() < above->y() + above->boundingRect().height()) {
            QGraphicsSimpleTextItem *dropped = k == r.ticks && aboveK > 0 ? above : label;
            m_scene->removeItem(dropped);
            delete dropped;
            if (dropped == label)
                continue;
        }
        above = label;
        aboveK = k;
    }
    // The caption runs upwards from its place, centred on the frame but kept
    // inside the scene when it can be.
    QGraphicsSimpleTextItem *caption = addText(graphAxisCaption(m_graph, s), kCaptionFill, GraphItemRole::Caption);
    caption->setRotation(-90);
    const double length = caption->boundingRect().width();
    const double sceneHeight = m_scene->sceneRect().height();
    caption->setPos(kOffset, std::max(std::min(f.top + f.height / 2 + length / 2, sceneHeight), length));
}

void GraphPlot::drawCurve()
{
    const std::vector<PlottedPoint> &points = m_curve.points;
    if (points.size() < 2)
        return;
    // One pen per colour of the table, made once per draw.
    const int levels = speedColorCount(settings().colorLevels);
    std::array<QPen, 14> pens;
    for (int k = 0; k < levels && k < static_cast<int>(pens.size()); ++k)
        pens[static_cast<size_t>(k)] = QPen(QColor(QString::fromLatin1(speedColorAt(levels, k))), 1);
    const int role = static_cast<int>(GraphItemRole::Curve);
    for (size_t i = 1; i < points.size(); ++i) {
        const PlottedPoint &a = points[i - 1];
        const PlottedPoint &b = points[i];
        const size_t colour = static_cast<size_t>(std::clamp(a.colorIndex, 0, levels - 1));
        auto *segment = new QGraphicsLineItem(a.x, a.y, b.x, b.y);
        segment->setPen(pens[colour]);
        segment->setData(0, role);
        m_scene->addItem(segment);
    }
}

void GraphPlot::makeCursorItems()
{
    QPen red(QBrush(QColor(QStringLiteral("red"))), 1, Qt::DashLine);
    m_cursorLine = m_scene->addLine(QLineF(), red);
    m_cursorLine->setData(0, static_cast<int>(GraphItemRole::CursorLine));
    m_dot = m_scene->addEllipse(QRectF(), QPen(Qt::yellow), QBrush(Qt::yellow));
    m_dot->setData(0, static_cast<int>(GraphItemRole::CursorDot));
    m_valueBox = m_scene->addRect(QRectF(), QPen(Qt::yellow), QBrush(Qt::black));
    m_valueBox->setData(0, static_cast<int>(GraphItemRole::ValueBox));
    m_valueText = addText(QString(), kRedText, GraphItemRole::ValueText);
    m_dateText = addText(QString(), kTitleFill, GraphItemRole::DateText);
    m_noDataText = addText(QString(), kRedText, GraphItemRole::NoDataText);
    m_noDataText->setPos(kOffset, m_scene->sceneRect().height() - 20);
    for (QGraphicsItem *item : std::initializer_list<QGraphicsItem *>{m_cursorLine, m_dot, m_valueBox, m_valueText,
                                                                      m_dateText, m_noDataText}) {
        item->setZValue(1);
        item->hide();
    }
    m_valueText->setZValue(2);
}

void GraphPlot::moveCursor(const GraphCursor &cursor, const GraphWalkIndex &index, bool noData)
{
    if (!m_cursorLine)
        return;
    const PlotFrame &f = m_frame;
    const bool drawable = f.drawable();
    const bool dated = drawable && cursor.time.isValid();
    if (dated) {
        m_dateText->setText(QLocale().toString(cursor.time, QLocale::LongFormat));
        const double width = m_dateText->boundingRect().width();
        m_dateText->setPos(std::max(f.left, f.left + f.width / 2 - width / 2), f.bottom() + kOffset);
    }
    m_dateText->setVisible(dated);
    m_noDataText->setText(noData ? QStringLiteral("No Data") : QString());
    m_noDataText->setVisible(drawable && noData);

    const TrackStore &t = track();
    const int g = cursor.known && !noData ? graphPointIndex(t, index, cursor.block, cursor.point) : -1;
    const bool shown = drawable && g >= 0 && index.total > 0;
    for (QGraphicsItem *item : std::initializer_list<QGraphicsItem *>{m_cursorLine, m_dot, m_valueBox, m_valueText})
        item->setVisible(shown);
    if (!shown)
        return;
    const double value =
        graphPointValue(m_graph, t, settings(), index, cursor.block, cursor.point, &m_cursorBearing);
    const double x = f.left + graphXScale(f, index.total) * g;
    const double y = graphValueY(value, m_range, f);
    m_cursorLine->setLine(x, f.top, x, f.bottom());
    m_dot->setRect(x - kDotSize / 2, y - kDotSize / 2, kDotSize, kDotSize);
    m_valueText->setText(graphValueText(m_graph, value));
    const QRectF tb = m_valueText->boundingRect();
    // Centred on the cursor, but kept over the frame so that it never
    // hides the Y axis labels.
    const double boxWidth = tb.width() + 7;
    double boxLeft = x - tb.width() / 2 - 4;
    if (f.width > boxWidth)
        boxLeft = std::clamp(boxLeft, f.left, f.right() - boxWidth);
    m_valueBox->setRect(boxLeft, f.top - 4, boxWidth, tb.height() + 4);
    m_valueText->setPos(boxLeft + 4, f.top - 1);
}

void GraphPlot::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    emit resized(m_graph);
}

void GraphPlot::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(m_graph, mapToScene(event->pos()));
    event->accept();
}

} // namespace vx

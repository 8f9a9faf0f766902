// The artificial horizon. Five layers: sky and ground (both chords of the
// dial follow the roll and the pitch offset), pitch marks every 10 degrees
// with their numbers, the fixed aircraft symbol, and the roll scale with its
// pointer.
#include "views/gauges/qcitems.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

namespace vx {

QcAttitudeMeter::QcAttitudeMeter(QObject *parent)
    : QcItem(parent)
{
    setPosition(50);
}

void QcAttitudeMeter::setCurrentRoll(float roll)
{
    m_roll = std::isfinite(roll) ? std::remainder(roll, 360.0f) : 0.0f;
    update();
}

void QcAttitudeMeter::setCurrentPitch(float pitch)
{
    m_pitch = std::isfinite(pitch) ? qBound(-90.0f, pitch, 90.0f) : 0.0f;
    update();
}

void QcAttitudeMeter::draw(QPainter *painter)
{
    fitSquare();
    const QRectF square = squareAt(position());
    const qreal r = square.width() / 2;
    m_pitchOffset = m_pitch * (m_pitch < 0 ? r * 0.0135 : r * 0.015);
    painter->save();
    painter->setPen(Qt::NoPen);
    drawHorizon(painter, square, m_pitchOffset);
    drawPitchMarks(painter, square, m_pitchOffset);
    drawAircraft(painter, square);
    drawRollScale(painter, square);
    painter->restore();
}

// Sky above and ground below a horizon line that is turned by the roll and
// moved down by the pitch offset, both clipped to the dial.
void QcAttitudeMeter::drawHorizon(QPainter *painter, const QRectF &square, qreal offset)
{
    const qreal r = square.width() / 2;
    QPainterPath dial;
    dial.addEllipse(square);
    painter->save();
    painter->setClipPath(dial);
    painter->translate(square.center());
    painter->rotate(-m_roll);
    QColor sky(Qt::blue), skyDeep(Qt::darkBlue);
    sky.setAlphaF(0.5);
    skyDeep.setAlphaF(0.5);
    QLinearGradient skyGrad(0, offset, 0, offset - r);
    skyGrad.setColorAt(0, sky);
    skyGrad.setColorAt(0.8, skyDeep);
    QLinearGradient groundGrad(0, offset, 0, offset + r);
    groundGrad.setColorAt(0, QColor(139, 119, 118));
    groundGrad.setColorAt(0.8, QColor(139, 119, 101));
    // Twice the radius wide, so that no roll shows a gap.
    painter->fillRect(QRectF(-2 * r, offset - 3 * r, 4 * r, 3 * r), skyGrad);
    painter->fillRect(QRectF(-2 * r, offset, 4 * r, 3 * r), groundGrad);
    painter->setPen(QPen(Qt::white, qMax<qreal>(1, r / 60)));
    painter->drawLine(QPointF(-2 * r, offset), QPointF(2 * r, offset));
    painter->restore();
}

void QcAttitudeMeter::drawPitchMarks(QPainter *painter, const QRectF &square, qreal offset)
{
    const qreal r = square.width() / 2;
    QPainterPath dial;
    dial.addEllipse(square.adjusted(r * 0.2, r * 0.2, -r * 0.2, -r * 0.2));
    painter->save();
    painter->setClipPath(dial);
    painter->translate(square.center());
    painter->rotate(-m_roll);
    painter->setPen(QPen(Qt::white, qMax<qreal>(1, r / 80)));
    const QFont font = gaugeFont(QStringLiteral("Meiryo UI"), int(r / 10), true);
    painter->setFont(font);
    for (int deg = -40; deg <= 40; deg += 10) {
        if (deg == 0)
            continue;
        // One pitch degree moves the horizon by the offset factor.
        const qreal y = offset - deg * (deg < 0 ? r * 0.0135 : r * 0.015);
        const qreal half = (deg % 20 == 0) ? r * 0.25 : r * 0.12;
        painter->drawLine(QPointF(-half, y), QPointF(half, y));
        if (deg % 20 == 0) {
            const QString text = QString::number(std::abs(deg));
            painter->drawText(QRectF(half + 2, y - r / 10, r / 4, r / 5), Qt::AlignLeft | Qt::AlignVCenter, text);
            painter->drawText(QRectF(-half - 2 - r / 4, y - r / 10, r / 4, r / 5), Qt::AlignRight | Qt::AlignVCenter,
                              text);
        }
    }
    painter->restore();
}

// The aircraft stays level with the dial: two wings and a centre dot.
void QcAttitudeMeter::drawAircraft(QPainter *painter, const QRectF &square)
{
    const qreal r = square.width() / 2;
    const QPointF c = square.center();
    painter->setPen(QPen(QColor(255, 200, 0), qMax<qreal>(2, r / 25), Qt::SolidLine, Qt::RoundCap));
    painter->drawLine(c + QPointF(-r * 0.55, 0), c + QPointF(-r * 0.2, 0));
    painter->drawLine(c + QPointF(-r * 0.2, 0), c + QPointF(-r * 0.1, r * 0.08));
    painter->drawLine(c + QPointF(r * 0.55, 0), c + QPointF(r * 0.2, 0));
    painter->drawLine(c + QPointF(r * 0.2, 0), c + QPointF(r * 0.1, r * 0.08));
    painter->setBrush(QColor(255, 200, 0));
    painter->setPen(Qt::NoPen);
    painter->drawEllipse(c, r / 30 + 1, r / 30 + 1);
}

// White roll marks every 10 degrees near the top, thicker ones at 0, 30,
// 90, 150 and 180 (degrees on the dial's own scale), and a pointer that
// turns with the roll.
void QcAttitudeMeter::drawRollScale(QPainter *painter, const QRectF &square)
{
    const qreal r = square.width() / 2;
    const QPointF c = square.center();
    auto mark = [&](qreal degree, qreal width, qreal length) {
        painter->setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::FlatCap));
        const QPointF outer = rimPoint(degree, square);
        painter->drawLine(outer, c + (outer - c) * (1 - length));
    };
    for (qreal d : {60.0, 70.0, 80.0, 100.0, 110.0, 120.0})
        mark(d, qMax<qreal>(1, r / 80), 0.06);
    for (qreal d : {0.0, 30.0, 90.0, 150.0, 180.0})
        mark(d, r / 30, 0.1);
    // The pointer: a small triangle under the rim, turned with the horizon.
    painter->save();
    painter->translate(c);
    painter->rotate(-m_roll);
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::white);
    painter->drawConvexPolygon(QPolygonF({{0, -r * 0.88}, {-r * 0.05, -r * 0.78}, {r * 0.05, -r * 0.78}}));
    painter->restore();
}

} // namespace vx

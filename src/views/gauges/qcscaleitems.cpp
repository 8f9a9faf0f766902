// Tick marks, scale numbers and needles.
#include "views/gauges/qcitems.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace vx {

namespace {
// The point `fraction` of the way from `from` to `to`.
QPointF along(const QPointF &from, const QPointF &to, qreal fraction) { return from + (to - from) * fraction; }
} // namespace

// ---- QcSteppedScaleItem -------------------------------------------------------------

QcSteppedScaleItem::QcSteppedScaleItem(QObject *parent)
    : QcScaleItem(parent)
{
}

void QcSteppedScaleItem::setStep(float step)
{
    if (!(step > 0) || !std::isfinite(step))
        throw InvalidValueRange;
    m_step = step;
    update();
}

void QcSteppedScaleItem::setColor(const QColor &color)
{
    m_color = color;
    update();
}

// ---- QcDegreesItem ----------------------------------------------------------------

QcDegreesItem::QcDegreesItem(QObject *parent)
    : QcSteppedScaleItem(parent)
{
    setPosition(90);
}

void QcDegreesItem::setSubDegree(bool on) { m_subDegree = on; update(); }

void QcDegreesItem::draw(QPainter *painter)
{
    fitSquare();
    const QRectF inner = squareAt(position());
    QPen pen(color());
    if (!m_subDegree)
        pen.setWidthF(inner.width() / 2 / 25);
    painter->setPen(pen);
    const QPointF centre = inner.center();
    for (qreal v : tickValues()) {
        const QPointF rim = rimPoint(getDegFromValue(v), inner);
        painter->drawLine(along(rim, centre, 0.03), along(rim, centre, 0.13));
    }
}

// ---- QcValuesItem -----------------------------------------------------------------

QcValuesItem::QcValuesItem(QObject *parent)
    : QcSteppedScaleItem(parent)
{
    setPosition(70);
}

QFont QcValuesItem::valueFont(qreal radius)
{
    return gaugeFont(QStringLiteral("Meiryo UI"), int(0.12 * 0.99 * radius), true, true);
}

QStringList QcValuesItem::valueTexts() const
{
    QStringList texts;
    for (qreal v : stepValues())
        texts << QString::number(v, 'g', 6);
    return texts;
}

void QcValuesItem::draw(QPainter *painter)
{
    fitSquare();
    const QFont f = valueFont(radius());
    painter->setFont(f);
    painter->setPen(color());
    const QFontMetricsF metrics(f);
    const QRectF inner = squareAt(position());
    for (qreal v : stepValues()) {
        const QString text = QString::number(v, 'g', 6);
        const QPointF at = rimPoint(getDegFromValue(v), inner);
        const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
        painter->drawText(QRectF(at.x() - size.width() / 2, at.y() - size.height() / 2, size.width(), size.height()),
                          Qt::AlignCenter | Qt::TextSingleLine, text);
    }
}

// ---- QcNeedleItem -----------------------------------------------------------------

QcNeedleItem::QcNeedleItem(QObject *parent)
    : QcScaleItem(parent)
{
    setPosition(50);
}

void QcNeedleItem::setCurrentValue(float value)
{
    m_currentValue = std::isnan(value) ? minValue() : qBound(minValue(), value, maxValue());
    if (m_label)
        m_label->setText(QString::number(double(m_currentValue), 'f', 0), false);
    update();
}

void QcNeedleItem::setColor(const QColor &color) { m_color = color; update(); }
void QcNeedleItem::setLabel(QcLabelItem *label) { m_label = label; update(); }
void QcNeedleItem::setNeedle(NeedleType type) { m_needleType = type; update(); }

QPolygonF QcNeedleItem::needlePolygon(NeedleType type, qreal rho)
{
    switch (type) {
    case KiteNeedle:
        return QPolygonF({{0, 0}, {-rho / 15, rho / 15}, {0, rho}, {rho / 15, rho / 15}});
    case TriangleNeedle:
        return QPolygonF({{0, rho}, {-rho / 40, 0}, {rho / 40, 0}});
    case TailedNeedle:
        return QPolygonF({{0, rho}, {-rho / 40, 0}, {-rho / 15, -rho / 5}, {rho / 15, -rho / 5}, {rho / 40, 0}});
    case ArrowHeadNeedle:
        return QPolygonF({{0, rho}, {-rho / 20, 0.85 * rho}, {rho / 20, 0.85 * rho}});
    case CompassNeedle:
        return QPolygonF({{0, rho}, {-rho / 15, 0}, {0, -rho}, {rho / 15, 0}});
    }
    return QPolygonF();
}

void QcNeedleItem::draw(QPainter *painter)
{
    fitSquare();
    const QRectF inner = squareAt(position());
    const qreal rho = inner.width() / 2;
    painter->save();
    painter->translate(inner.center());
    painter->rotate(getDegFromValue(m_currentValue) + 90);
    painter->setPen(Qt::NoPen);
    m_needlePoly = needlePolygon(m_needleType, rho);
    if (m_needleType == CompassNeedle) {
        QLinearGradient grad(m_needlePoly.at(0), m_needlePoly.at(1));
        grad.setColorAt(0.9, Qt::red);
        grad.setColorAt(1.0, Qt::blue);
        painter->setBrush(grad);
    } else {
        painter->setBrush(m_color);
    }
    painter->drawConvexPolygon(m_needlePoly);
    painter->restore();
}

} // namespace vx

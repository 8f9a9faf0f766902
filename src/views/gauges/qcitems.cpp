#include "views/gauges/qcitems.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QWidget>
#include <QtMath>

#include <cmath>

namespace vx {

QFont gaugeFont(const QString &family, int pixelSize, bool bold, bool italic, bool underline)
{
    QFont f(family);
    f.setFamilies({family, QStringLiteral("DejaVu Sans")});
    f.setPixelSize(qMax(1, pixelSize));
    f.setWeight(bold ? 75 : 50);
    f.setItalic(italic);
    f.setUnderline(underline);
    return f;
}

// ---- QcItem -----------------------------------------------------------------------

QcItem::QcItem(QObject *parent)
    : QObject(parent)
    , m_parentWidget(qobject_cast<QWidget *>(parent))
{
}

void QcItem::setPosition(float percent)
{
    // A position that is not a number reads as the centre.
    m_position = std::isnan(percent) ? 0.0f : qBound(0.0f, percent, 100.0f);
    update();
}

void QcItem::update()
{
    if (m_parentWidget)
        m_parentWidget->update();
}

void QcItem::fitSquare()
{
    if (!m_parentWidget) {
        m_rect = QRectF();
        return;
    }
    const int w = m_parentWidget->width();
    const int h = m_parentWidget->height();
    const qreal s = qMin(w, h);
    const qreal left = (w - 1) / 2 - s / 2;
    const qreal top = (h - 1) / 2 - s / 2;
    m_rect = QRectF(left, top, s, s);
}

QRectF QcItem::squareAt(float percent) const
{
    const qreal r = radius();
    const qreal inset = r - r * percent / 100.0;
    return m_rect.adjusted(inset, inset, -inset, -inset);
}

QPointF QcItem::rimPoint(qreal degree, const QRectF &square)
{
    const qreal rho = square.width() / 2.0;
    const qreal a = qDegreesToRadians(degree);
    const QPointF c = square.center();
    return QPointF(c.x() - rho * std::cos(a), c.y() - rho * std::sin(a));
}

// ---- QcScaleItem ------------------------------------------------------------------

namespace {
// Both ends must be numbers and max above min.
bool validRange(float lo, float hi) { return std::isfinite(lo) && std::isfinite(hi) && hi > lo; }
}

QcScaleItem::QcScaleItem(QObject *parent)
    : QcItem(parent)
{
}

void QcScaleItem::setValueRange(float minValue, float maxValue)
{
    if (!validRange(minValue, maxValue))
        throw InvalidValueRange;
    m_minValue = minValue;
    m_maxValue = maxValue;
}

void QcScaleItem::setDegreeRange(float minDegree, float maxDegree)
{
    if (!validRange(minDegree, maxDegree))
        throw InvalidDegreeRange;
    m_minDegree = minDegree;
    m_maxDegree = maxDegree;
}

// A scale whose ends meet would divide by zero: equal ends are an error too.
void QcScaleItem::setMinValue(float minValue)
{
    if (!validRange(minValue, m_maxValue))
        throw InvalidValueRange;
    m_minValue = minValue;
    update();
}

void QcScaleItem::setMaxValue(float maxValue)
{
    if (!validRange(m_minValue, maxValue))
        throw InvalidValueRange;
    m_maxValue = maxValue;
    update();
}

void QcScaleItem::setMinDegree(float minDegree)
{
    if (!validRange(minDegree, m_maxDegree))
        throw InvalidDegreeRange;
    m_minDegree = minDegree;
    update();
}

void QcScaleItem::setMaxDegree(float maxDegree)
{
    if (!validRange(m_minDegree, maxDegree))
        throw InvalidDegreeRange;
    m_maxDegree = maxDegree;
    update();
}

qreal QcScaleItem::getDegFromValue(qreal value) const
{
    return m_minDegree + (value - m_minValue) * (qreal(m_maxDegree) - m_minDegree) / (qreal(m_maxValue) - m_minValue);
}

QVector<qreal> QcScaleItem::scaleValues(qreal step) const
{
    QVector<qreal> values;
    if (!(step > 0) || !(m_maxValue >= m_minValue))
        return values;
    // The last step may fall a rounding error short of the maximum (0.1 in
    // a float is a little more than a tenth).
    const qreal span = qreal(m_maxValue) - m_minValue;
    const double count = std::floor(span / step + 1e-3);
    if (count > MAX_SCALE_STEPS)
        return values;
    for (int i = 0; i <= int(count); ++i)
        values.append(m_minValue + i * step);
    return values;
}

// ---- QcBackgroundItem -------------------------------------------------------------

QcBackgroundItem::QcBackgroundItem(QObject *parent)
    : QcItem(parent)
{
    setPosition(88);
    addColor(0.4f, Qt::darkGray);
    addColor(0.8f, Qt::black);
}

void QcBackgroundItem::addColor(float stop, const QColor &color)
{
    if (!(stop >= 0 && stop <= 1))
        return;
    m_colors.append({stop, color});
    update();
}

void QcBackgroundItem::clearColors()
{
    m_colors.clear();
    update();
}

void QcBackgroundItem::draw(QPainter *painter)
{
    fitSquare();
    const QRectF r = rect();
    m_linearGrad = QLinearGradient(r.topLeft(), r.bottomRight());
    for (const auto &stop : m_colors)
        m_linearGrad.setColorAt(stop.first, stop.second);
    painter->setPen(m_pen);
    painter->setBrush(m_linearGrad);
    painter->drawEllipse(squareAt(position()));
}

// ---- QcGlassItem ------------------------------------------------------------------

QcGlassItem::QcGlassItem(QObject *parent)
    : QcItem(parent)
{
    setPosition(88);
}

void QcGlassItem::draw(QPainter *painter)
{
    fitSquare();
    const QRectF inner = squareAt(position());
    QColor gray = Qt::gray;
    gray.setAlphaF(0.1);
    QColor white = Qt::white;
    white.setAlphaF(0.2);
    QLinearGradient grad(inner.topLeft(), inner.bottomRight());
    grad.setColorAt(0.1, gray);
    grad.setColorAt(0.5, white);
    painter->setPen(Qt::NoPen);
    painter->setBrush(grad);
    painter->drawPie(inner, 0, 180 * 16);
    QRectF lower(0, 0, inner.width(), inner.height() / 4);
    lower.moveCenter(inner.center());
    painter->drawPie(lower, 0, -180 * 16);
}

// ---- QcLabelItem ------------------------------------------------------------------

QcLabelItem::QcLabelItem(QObject *parent)
    : QcItem(parent)
{
    setPosition(50);
}

void QcLabelItem::setAngle(float angle) { m_angle = angle; update(); }
void QcLabelItem::setColor(const QColor &color) { m_color = color; update(); }
void QcLabelItem::setFontSizeFactor(float factor) { m_fontSizeFactor = factor; update(); }
void QcLabelItem::setFontFamily(const QString &family) { m_fontFamily = family; update(); }
void QcLabelItem::setBold(bool on) { m_bold = on; update(); }
void QcLabelItem::setItalic(bool on) { m_italic = on; update(); }
void QcLabelItem::setUnderline(bool on) { m_underline = on; update(); }

void QcLabelItem::setText(const QString &text, bool repaint)
{
    m_text = text;
    if (repaint)
        update();
}

QFont QcLabelItem::font() const
{
    const qreal size = m_fontSizeFactor * radius() / 5.0;
    return gaugeFont(m_fontFamily, std::isfinite(size) ? int(qBound<qreal>(1, size, 4096)) : 1, m_bold, m_italic,
                     m_underline);
}

void QcLabelItem::draw(QPainter *painter)
{
    fitSquare();
    const QFont f = font();
    painter->setFont(f);
    const QFontMetricsF metrics(f);
    const QSizeF size(metrics.horizontalAdvance(m_text), metrics.height());
    const QPointF centre = rimPoint(m_angle, squareAt(position()));
    m_lastRect = QRectF(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height());
    painter->setPen(m_color);
    painter->drawText(m_lastRect, Qt::AlignCenter | Qt::TextSingleLine, m_text);
}

// ---- QcPushButtonItem ------------------------------------------------------------

QcPushButtonItem::QcPushButtonItem(QObject *parent)
    : QcLabelItem(parent)
{
    setAngle(270);
    setColor(Qt::red);
    if (QWidget *w = parentWidget()) {
        m_button = new QPushButton(QStringLiteral("button"), w);
        m_button->show();
    }
}

QcPushButtonItem::~QcPushButtonItem() { delete m_button; }

void QcPushButtonItem::draw(QPainter *painter)
{
    QcLabelItem::draw(painter);
    if (!m_button)
        return;
    // Laid over the text once the paint is over (moving a child while its
    // parent paints would paint again).
    const QRect target = lastTextRect().toAlignedRect().adjusted(-4, -2, 4, 2);
    if (m_button->geometry() != target)
        QMetaObject::invokeMethod(m_button, [b = m_button, target] {
            if (b)
                b->setGeometry(target);
        }, Qt::QueuedConnection);
}

// ---- QcArcItem --------------------------------------------------------------------

QcArcItem::QcArcItem(QObject *parent)
    : QcScaleItem(parent)
{
    setPosition(80);
}

void QcArcItem::setColor(const QColor &color) { m_color = color; update(); }

namespace {
// Qt's arc angles: counter-clockwise from three o'clock, in 1/16 degree.
int qtStartAngle(qreal degree) { return qRound(-(degree + 180) * 16); }
int qtSpan(qreal from, qreal to) { return qRound(-(to - from) * 16); }
}

void QcArcItem::draw(QPainter *painter)
{
    fitSquare();
    const QRectF inner = squareAt(position());
    painter->setPen(QPen(m_color, inner.width() / 2 / 40));
    painter->setBrush(Qt::NoBrush);
    painter->drawArc(inner, qtStartAngle(minDegree()), qtSpan(minDegree(), maxDegree()));
}

// ---- QcColorBand ------------------------------------------------------------------

QcColorBand::QcColorBand(QObject *parent)
    : QcScaleItem(parent)
{
    setPosition(50);
    m_bandColors = {{Qt::green, 99.9f}};
}

void QcColorBand::setColors(const QVector<std::pair<QColor, float>> &colors)
{
    m_bandColors = colors;
    update();
}

void QcColorBand::draw(QPainter *painter)
{
    fitSquare();
    const QRectF inner = squareAt(position());
    QPen pen;
    pen.setCapStyle(Qt::FlatCap);
    pen.setWidthF(radius() / 15.0);
    painter->setBrush(Qt::NoBrush);
    // Bands end at the scale's end: a band reaching further would sweep
    // round the whole dial.
    qreal start = minDegree();
    for (const auto &band : m_bandColors) {
        const qreal upper = qBound<qreal>(minValue(), band.second, maxValue());
        const qreal end = getDegFromValue(upper);
        if (end > start) {
            QPainterPath arc;
            arc.arcMoveTo(inner, -(start + 180));
            arc.arcTo(inner, -(start + 180), -(end - start));
            pen.setColor(band.first);
            painter->setPen(pen);
            painter->drawPath(arc);
            start = end;
        }
    }
}

} // namespace vx

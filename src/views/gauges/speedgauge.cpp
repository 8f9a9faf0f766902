#include "views/gauges/speedgauge.h"

#include "views/gauges/qcgaugewidget.h"

#include <QDebug>

#include <cmath>

namespace vx {

int speedometerMaximum(bool autoSpeedo, int maxUserSpeedo, double peakSpeedKmh, double speedFactor,
                       int previousMaximum)
{
    if (!autoSpeedo)
        return qBound(MIN_SPEEDOMETER_MAXIMUM, maxUserSpeedo, MAX_USER_SPEEDOMETER);
    const double peak = peakSpeedKmh * speedFactor;
    if (peak > 0 && std::isfinite(peak)) {
        // Far beyond any vehicle: the store's own speeds are repaired, this
        // only keeps the arithmetic in range.
        const double bounded = std::min(peak, 100000.0);
        // A whole ten reached through the unit factor (40 mph is 64.3736
        // km/h) may land a rounding error below it.
        return int(bounded / 10 + 1e-5) * 10 + 10;
    }
    return previousMaximum >= MIN_SPEEDOMETER_MAXIMUM ? previousMaximum : DEFAULT_SPEEDOMETER_MAXIMUM;
}

float speedScaleStep(int maximum)
{
    for (float step : {10.0f, 20.0f, 50.0f, 100.0f, 200.0f, 500.0f, 1000.0f, 2000.0f, 5000.0f}) {
        if (maximum / step <= 20)
            return step;
    }
    return 10000.0f;
}

namespace {

SpeedGauge addItems(QcGaugeWidget *gauge, int maximum, const QString &unitName)
{
    SpeedGauge g;
    const float max = float(maximum);
    const float step = speedScaleStep(maximum);
    gauge->addBackground(99);
    QcBackgroundItem *ring = gauge->addBackground(92);
    ring->clearColors();
    ring->addColor(0.1f, Qt::black);
    ring->addColor(1.0f, Qt::white);
    QcBackgroundItem *face = gauge->addBackground(95);
    face->clearColors();
    face->addColor(1.0f, Qt::black);
    gauge->addArc(55)->setColor(Qt::white);
    g.band = gauge->addColorBand(50);
    g.band->setValueRange(0, max);

    g.unitLabel = gauge->addLabel(85);
    g.unitLabel->setText(unitName);
    g.unitLabel->setFontSizeFactor(0.65f);
    g.unitLabel->setUnderline(true);
    g.distanceLabel = gauge->addLabel(35);
    g.distanceLabel->setText(QStringLiteral("0"));
    g.distanceLabel->setFontSizeFactor(0.5f);
    g.valueLabel = gauge->addLabel(60);
    g.valueLabel->setColor(Qt::yellow);
    g.valueLabel->setFontSizeFactor(2.0f);

    g.needle = gauge->addNeedle(60);
    g.needle->setColor(Qt::red);
    g.needle->setNeedle(QcNeedleItem::KiteNeedle);
    g.needle->setValueRange(0, max);
    g.needle->setLabel(g.valueLabel);
    g.needle->setCurrentValue(0);
    gauge->addBackground(7);
    gauge->addGlass(88);
    g.values = gauge->addValues(80);
    g.values->setStep(step);
    g.values->setValueRange(0, max);
    g.degrees = gauge->addDegrees(65);
    g.degrees->setStep(step);
    g.degrees->setValueRange(0, max);
    g.maximum = maximum;
    return g;
}

} // namespace

SpeedGauge buildSpeedGauge(QcGaugeWidget *gauge, int maximum, const QString &unitName)
{
    gauge->clearItems();
    try {
        return addItems(gauge, maximum, unitName);
    } catch (QcItem::Error error) {
        qWarning("Speed gauge: range error %d for the maximum %d; the scale shows 0..%d", int(error), maximum,
                 DEFAULT_SPEEDOMETER_MAXIMUM);
    }
    gauge->clearItems();
    return addItems(gauge, DEFAULT_SPEEDOMETER_MAXIMUM, unitName);
}

} // namespace vx

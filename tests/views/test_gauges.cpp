// The gauge toolkit and the dashboard's speedometer: range errors, clamping, scale steps, geometry, and the needle's
// pixels in a rendered gauge.
#include "views/gauges/qcgaugewidget.h"
#include "views/gauges/speedgauge.h"

#include <QImage>
#include <QtMath>
#include <QtTest>

#include <cmath>

using namespace vx;

using G = QcGaugeWidget;

namespace {

const float kNaN = std::nanf("");
// The pixel at `degree` and `fraction` of the radius from the centre of a square gauge image.
QColor pixelAt(const QImage &img, qreal degree, qreal fraction)
{
    const qreal r = img.width() / 2.0;
    const qreal a = qDegreesToRadians(degree);
    const int x = qRound((img.width() - 1) / 2 - r * fraction * std::cos(a));
    const int y = qRound((img.height() - 1) / 2 - r * fraction * std::sin(a));
    return img.pixelColor(x, y);
}
bool reddish(const QColor &c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; }
bool greenish(const QColor &c) { return c.green() > 100 && c.red() < 90 && c.blue() < 90; }
QImage render(QcGaugeWidget &gauge, int side)
{
    gauge.resize(side, side);
    QImage img(side, side, QImage::Format_ARGB32);
    img.fill(Qt::black);
    gauge.render(&img);
    return img;
}

} // namespace

class TestGauges : public QObject {
    Q_OBJECT

private slots:
    // Invalid ranges and steps throw the toolkit's error and leave the item as it was (0..100 over -45..225, step
    // 10).
    void rangeErrors()
    {
        using S = QcDegreesItem;
        const struct { const char *name; void (*op)(G &, S &); int error; } rows[] = {  // error -1: none
            {"equal value ends", [](G &, S &s) { s.setValueRange(5, 5); }, 0},
            {"reversed values", [](G &, S &s) { s.setValueRange(10, 5); }, 0},
            {"value not a number", [](G &, S &s) { s.setValueRange(kNaN, 5); }, 0},
            {"infinite maximum", [](G &, S &s) { s.setValueRange(0, qInf()); }, 0},
            {"minimum reaches maximum", [](G &, S &s) { s.setMinValue(100); }, 0},
            {"maximum reaches minimum", [](G &, S &s) { s.setMaxValue(0); }, 0},
            {"equal degree ends", [](G &, S &s) { s.setDegreeRange(90, 90); }, 1},
            {"reversed degrees", [](G &, S &s) { s.setMaxDegree(-90); }, 1},
            {"minimum degree past maximum", [](G &, S &s) { s.setMinDegree(300); }, 1},
            {"zero step", [](G &, S &s) { s.setStep(0); }, 0},
            {"negative step", [](G &, S &s) { s.setStep(-10); }, 0},
            {"values: step not a number", [](G &g, S &) { g.addValues(50)->setStep(kNaN); }, 0},
            {"valid range", [](G &, S &s) { s.setValueRange(-5, 5); }, -1},
            {"valid minimum", [](G &, S &s) { s.setMinValue(99.5f); }, -1}};
        for (const auto &row : rows) {
            QcGaugeWidget gauge;
            QcDegreesItem *item = gauge.addDegrees(50);
            int thrown = -1;
            try {
                row.op(gauge, *item);
            } catch (QcItem::Error e) {
                thrown = int(e);
            }
            QVERIFY2(thrown == row.error, row.name);
            if (row.error >= 0)  // as it was
                QCOMPARE(QStringLiteral("%1..%2 over %3..%4 by %5").arg(item->minValue()).arg(item->maxValue())
                             .arg(item->minDegree()).arg(item->maxDegree()).arg(item->step()),
                         QStringLiteral("0..100 over -45..225 by 10"));
        }
    }
    // Ticks and numbers are counted with an integer index: the maximum is included whenever the span is a whole
    // number of steps, even when adding the step up would fall short by a rounding error. A scale too fine to draw
    // draws nothing and returns.
    void scaleSteps()
    {
        const struct { float minimum, maximum, step; int count; const char *last; } rows[] = {
            {0, 1, 0.1f, 11, "1"}, {0, 100, 10, 11, "100"}, {0, 95, 10, 10, "90"}, {-1, 0.2f, 0.3f, 5, "0.2"},
            {0, 30, 10, 4, "30"}, {0, 1000, 0.5f, 0, ""}};
        for (const auto &r : rows) {
            QcGaugeWidget gauge;
            QcDegreesItem *ticks = gauge.addDegrees(50);
            QcValuesItem *values = gauge.addValues(50);
            ticks->setValueRange(r.minimum, r.maximum);
            values->setValueRange(r.minimum, r.maximum);
            ticks->setStep(r.step);
            values->setStep(r.step);
            const QStringList texts = values->valueTexts();
            QVERIFY2(ticks->tickValues().size() == r.count && texts.size() == r.count
                         && texts.value(r.count - 1) == QLatin1String(r.last),
                     qPrintable(texts.join(' ')));
            render(gauge, 120);
        }
    }
    // Positions are clamped into 0..100; colour stops outside 0..1 are ignored; a needle value is clamped into its
    // range and its label shows the clamped value as a whole number.
    void clamping()
    {
        QcGaugeWidget gauge;
        QVERIFY(gauge.addLabel(150)->position() == 100.0f && gauge.addArc(-5)->position() == 0.0f);
        QcBackgroundItem *bg = gauge.addBackground(50);
        bg->clearColors();
        for (float stop : {-0.1f, 1.5f, kNaN, 1.0f})
            bg->addColor(stop, Qt::red);
        QCOMPARE(bg->colors().size(), 1);
        QcNeedleItem *needle = gauge.addNeedle(60);
        QcLabelItem *label = gauge.addLabel(60);
        needle->setValueRange(0, 80);
        needle->setLabel(label);
        const struct { float in, shown; const char *text; } cases[] = {
            {120, 80, "80"}, {-3, 0, "0"}, {49.6f, 49.6f, "50"}, {kNaN, 0, "0"}, {79.4f, 79.4f, "79"}};
        for (const auto &c : cases) {
            needle->setCurrentValue(c.in);
            QVERIFY2(needle->currentValue() == c.shown && label->text() == QLatin1String(c.text), c.text);
        }
        // The horizon: pitch within +-90, roll folded into one turn.
        QcAttitudeMeter *horizon = gauge.addAttitudeMeter(90);
        horizon->setCurrentPitch(200);
        horizon->setCurrentRoll(370);
        QVERIFY(horizon->pitch() == 90.0f && horizon->roll() == 10.0f);
        horizon->setCurrentRoll(kNaN);
        QCOMPARE(horizon->roll(), 0.0f);
        render(gauge, 150);
    }
    // 300 x 200: the items draw in the 200 x 200 square centred across; label text is sized in pixels from that
    // square's radius.
    void geometryAndFonts()
    {
        QcGaugeWidget gauge;
        QcLabelItem *label = gauge.addLabel(0);
        label->setFontSizeFactor(2.0f);
        label->setText(QStringLiteral("88"));
        gauge.resize(300, 200);
        QImage img(300, 200, QImage::Format_ARGB32);
        gauge.render(&img);
        QCOMPARE(label->rect(), QRectF(49, -1, 200, 200));
        QCOMPARE(label->font().pixelSize(), 40);  // int(2.0 * 100 / 5)
        QVERIFY(label->font().families().contains(QStringLiteral("DejaVu Sans")));
        // A label at position 0 is centred on the gauge's centre.
        QCOMPARE(label->lastTextRect().center(), QPointF(149, 99));
        QCOMPARE(QcValuesItem::valueFont(91).pixelSize(), 10);
    }
    // The needle points where its value puts it: 0 lower left, the middle of 0..100 straight up, the maximum (or
    // beyond) lower right.
    void needlePixels()
    {
        const struct { float value; qreal degree; int type; } rows[] = {
            {0, -45, 0}, {50, 90, 0}, {25, 22.5, 0}, {100, 225, 0}, {170, 225, 0},  // beyond: at the maximum
            {75, 157.5, 1}, {50, 90, 4}};                                            // thin triangle, compass
        for (const auto &r : rows) {
            QcGaugeWidget gauge;
            QcNeedleItem *needle = gauge.addNeedle(90);
            needle->setColor(Qt::red);
            needle->setNeedle(QcNeedleItem::NeedleType(r.type));
            needle->setCurrentValue(r.value);
            const QImage img = render(gauge, 201);
            QVERIFY2(reddish(pixelAt(img, r.degree, 0.15)) && reddish(pixelAt(img, r.degree, 0.3)),
                     qPrintable(QString::number(r.value)));
            for (qreal other = r.degree + 30; other < r.degree + 330; other += 30)  // nowhere else on the dial
                QVERIFY2(!reddish(pixelAt(img, other, 0.3)), qPrintable(QString::number(other)));
        }
    }
    // The dashboard's speedometer at a maximum of 30: the green band stops at the scale's end instead of sweeping
    // round the whole dial, and the needle's label shows the value.
    void speedGaugePicture()
    {
        QcGaugeWidget gauge;
        const SpeedGauge g = buildSpeedGauge(&gauge, 30, QStringLiteral("mph"));
        g.needle->setCurrentValue(15);
        QVERIFY(g.maximum == 30 && g.unitLabel->text() == QLatin1String("mph") && g.valueLabel->text() == "15");
        const QImage img = render(gauge, 182);
        QVERIFY(greenish(pixelAt(img, 135, 0.5)));
        QVERIFY(!greenish(pixelAt(img, 270, 0.5)) && reddish(pixelAt(img, 90, 0.3)));  // the gap below; 15 of 30: up
        QCOMPARE(g.values->valueTexts(), (QStringList{"0", "10", "20", "30"}));
    }
    // The scale's end from the top speed in the user's unit (the dashboard's test covers the user's maximum and the
    // start without speeds). A maximum the toolkit refuses never escapes as an exception: the gauge gets the default
    // scale; a long scale gets a coarser step.
    void speedometerMaximum()
    {
        const struct { double peakKmh, factor; int previous, maximum; } cases[] = {
            {23.7, 1, 100, 30}, {30.0, 1, 100, 40}, {80, 0.27777777777778, 100, 30},
            {qQNaN(), 1, 60, 60}, {1e30, 1, 100, 100010}};
        for (const auto &c : cases)
            QCOMPARE(vx::speedometerMaximum(true, 100, c.peakKmh, c.factor, c.previous), c.maximum);
        QcGaugeWidget gauge;
        for (int bad : {0, -20}) {
            const SpeedGauge g = buildSpeedGauge(&gauge, bad, QStringLiteral("km/h"));
            QVERIFY(g.maximum == DEFAULT_SPEEDOMETER_MAXIMUM && g.needle->maxValue() == 100.0f);
        }
        QVERIFY(speedScaleStep(200) == 10.0f && speedScaleStep(260) == 20.0f && speedScaleStep(100010) == 10000.0f);
        QCOMPARE(buildSpeedGauge(&gauge, 1000, QStringLiteral("km/h")).degrees->tickValues().size(), 21);
    }
};

QTEST_MAIN(TestGauges)
#include "test_gauges.moc"

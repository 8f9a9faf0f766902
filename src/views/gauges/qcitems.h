// The items of the gauge toolkit. A gauge (QcGaugeWidget) draws its items in
// the order they were added; each item draws one layer into the square that
// fits the widget, at a position given in percent of that square's radius:
//
//   s = min(width, height); the square's left edge is int((width - 1) / 2) - s/2
//   and its top edge int((height - 1) / 2) - s/2; r = s/2. An item at
//   position p draws in the square shrunk to radius r * p / 100.
//
// Angles: degree d lies at (cx - rho cos d, cy - rho sin d) with the screen's
// y growing downward: 0 is left of the centre, 90 above, 180 right, 270
// below; degrees grow clockwise. The default scale -45..225 runs from lower
// left over the top to lower right.
//
// Invalid ranges throw QcItem::Error by value and leave the item unchanged:
// a value range (or a step) that is empty, reversed or not a number throws
// InvalidValueRange, a degree range InvalidDegreeRange. Drawing never throws.
//
// Texts are sized in pixels from the gauge's radius, so a gauge looks the
// same on every screen; "Meiryo UI" falls back to DejaVu Sans where it is
// not installed.
#pragma once

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QObject>
#include <QPen>
#include <QPointer>
#include <QPolygonF>
#include <QPushButton>
#include <QRectF>
#include <QVector>

#include <utility>

class QPainter;

class QWidget;

namespace vx {

// The families a gauge text is drawn in: the named one, then DejaVu Sans.
QFont gaugeFont(const QString &family, int pixelSize, bool bold, bool italic = false, bool underline = false);

class QcItem : public QObject {
    Q_OBJECT

public:
    enum Error { InvalidValueRange = 0, InvalidDegreeRange = 1 };

    explicit QcItem(QObject *parent = nullptr);

    virtual void draw(QPainter *painter) = 0;
    virtual int type() const { return 50; }

    // Percent of the gauge's radius, clamped into 0..100.
    void setPosition(float percent);
    float position() const { return m_position; }
    // The square of the last draw (recomputed at each draw).
    QRectF rect() const { return m_rect; }
    QWidget *parentWidget() const { return m_parentWidget; }

protected:
    // Recomputes the square from the widget's present size.
    void fitSquare();
    // The square shrunk to radius r * percent / 100, about the same centre.
    QRectF squareAt(float percent) const;
    // The point at `degree` on the rim of `square`.
    static QPointF rimPoint(qreal degree, const QRectF &square);
    qreal radius() const { return m_rect.width() / 2.0; }
    void update();

private:
    QRectF m_rect;
    QWidget *m_parentWidget = nullptr;
    float m_position = 50;
};

class QcScaleItem : public QcItem {
    Q_OBJECT

public:
    explicit QcScaleItem(QObject *parent = nullptr);

    void setValueRange(float minValue, float maxValue);
    void setDegreeRange(float minDegree, float maxDegree);
    void setMinValue(float minValue);
    void setMaxValue(float maxValue);
    void setMinDegree(float minDegree);
    void setMaxDegree(float maxDegree);
    float minValue() const { return m_minValue; }
    float maxValue() const { return m_maxValue; }
    float minDegree() const { return m_minDegree; }
    float maxDegree() const { return m_maxDegree; }

    qreal getDegFromValue(qreal value) const;

protected:
    // The values from the minimum to the maximum by `step`, counted with an
    // integer index so that rounding never loses the last one; nothing when
    // there would be more than MAX_SCALE_STEPS.
    QVector<qreal> scaleValues(qreal step) const;

private:
    float m_minValue = 0;
    float m_maxValue = 100;
    float m_minDegree = -45;
    float m_maxDegree = 225;
};

// More marks than this on one scale are not drawn (they would be a solid ring).
constexpr int MAX_SCALE_STEPS = 1000;

class QcBackgroundItem : public QcItem {
    Q_OBJECT

public:
    explicit QcBackgroundItem(QObject *parent = nullptr);
    void draw(QPainter *painter) override;
    void addColor(float stop, const QColor &color);  // stops outside 0..1 are ignored
    void clearColors();
    QVector<std::pair<float, QColor>> colors() const { return m_colors; }
    void setPen(const QPen &pen) { m_pen = pen; update(); }

private:
    QPen m_pen = QPen(Qt::NoPen);
    QVector<std::pair<float, QColor>> m_colors;
    QLinearGradient m_linearGrad;
};

class QcGlassItem : public QcItem {
    Q_OBJECT

public:
    explicit QcGlassItem(QObject *parent = nullptr);
    void draw(QPainter *painter) override;
};

class QcLabelItem : public QcItem {
    Q_OBJECT

public:
    explicit QcLabelItem(QObject *parent = nullptr);
    void draw(QPainter *painter) override;

    void setAngle(float angle);
    float angle() const { return m_angle; }
    void setText(const QString &text, bool repaint = true);
    QString text() const { return m_text; }
    void setColor(const QColor &color);
    QColor color() const { return m_color; }
    void setFontSizeFactor(float factor);
    float fontSizeFactor() const { return m_fontSizeFactor; }
    void setFontFamily(const QString &family);
    QString fontFamily() const { return m_fontFamily; }
    void setBold(bool on);
    bool bold() const { return m_bold; }
    void setItalic(bool on);
    bool italic() const { return m_italic; }
    void setUnderline(bool on);
    bool underline() const { return m_underline; }
    // The font the label draws in at the gauge's present size.
    QFont font() const;
    // Where the text went at the last draw.
    QRectF lastTextRect() const { return m_lastRect; }

private:
    float m_angle = 270;
    float m_fontSizeFactor = 1.0f;
    QString m_fontFamily = QStringLiteral("Meiryo UI");
    bool m_bold = true;
    bool m_italic = false;
    bool m_underline = false;
    QString m_text = QStringLiteral("%");
    QColor m_color = Qt::white;
    QRectF m_lastRect;
};

// A label with a push button laid over its text.
class QcPushButtonItem : public QcLabelItem {
    Q_OBJECT

public:
    explicit QcPushButtonItem(QObject *parent = nullptr);
    ~QcPushButtonItem() override;
    void draw(QPainter *painter) override;
    QPushButton *button() const { return m_button; }

private:
    QPointer<QPushButton> m_button;
};

class QcArcItem : public QcScaleItem {
    Q_OBJECT

public:
    explicit QcArcItem(QObject *parent = nullptr);
    void draw(QPainter *painter) override;
    void setColor(const QColor &color);
    QColor color() const { return m_color; }

private:
    QColor m_color = Qt::white;
};

class QcColorBand : public QcScaleItem {
    Q_OBJECT

public:
    explicit QcColorBand(QObject *parent = nullptr);
    void draw(QPainter *painter) override;
    // Bands in order, each reaching up to its value; replaces the old list.
    void setColors(const QVector<std::pair<QColor, float>> &colors);
    QVector<std::pair<QColor, float>> colors() const { return m_bandColors; }

private:
    QVector<std::pair<QColor, float>> m_bandColors;
};

// A scale drawn every `step` in one colour: the ticks and the numbers.
class QcSteppedScaleItem : public QcScaleItem {
    Q_OBJECT

public:
    explicit QcSteppedScaleItem(QObject *parent = nullptr);
    void setStep(float step);  // throws InvalidValueRange unless step > 0
    float step() const { return m_step; }
    void setColor(const QColor &color);
    QColor color() const { return m_color; }

protected:
    // The values drawn at.
    QVector<qreal> stepValues() const { return scaleValues(m_step); }

private:
    float m_step = 10;
    QColor m_color = Qt::white;
};

// Tick marks every `step`.
class QcDegreesItem : public QcSteppedScaleItem {
    Q_OBJECT

public:
    explicit QcDegreesItem(QObject *parent = nullptr);
    void draw(QPainter *painter) override;
    void setSubDegree(bool on);
    bool subDegree() const { return m_subDegree; }
    QVector<qreal> tickValues() const { return stepValues(); }

private:
    bool m_subDegree = false;
};

// The scale numbers every `step`.
class QcValuesItem : public QcSteppedScaleItem {
    Q_OBJECT

public:
    explicit QcValuesItem(QObject *parent = nullptr);
    void draw(QPainter *painter) override;
    // The numbers as drawn ("g" format, 6 significant digits).
    QStringList valueTexts() const;
    static QFont valueFont(qreal radius);
};

class QcNeedleItem : public QcScaleItem {
    Q_OBJECT

public:
    // 0 kite from the centre (the dashboard's), 1 thin triangle, 2 triangle
    // with a tail, 3 arrow head at the rim, 4 two-coloured compass needle.
    enum NeedleType { KiteNeedle = 0, TriangleNeedle = 1, TailedNeedle = 2, ArrowHeadNeedle = 3, CompassNeedle = 4 };

    explicit QcNeedleItem(QObject *parent = nullptr);
    void draw(QPainter *painter) override;
    // Clamped into the value range (a value that is not a number reads as
    // the minimum); an attached label shows it as a whole number.
    void setCurrentValue(float value);
    float currentValue() const { return m_currentValue; }
    void setColor(const QColor &color);
    QColor color() const { return m_color; }
    void setLabel(QcLabelItem *label);
    QcLabelItem *label() const { return m_label; }
    void setNeedle(NeedleType type);
    NeedleType needle() const { return m_needleType; }
    // The needle's outline for a length of `rho`, tip at (0, rho), before
    // it is turned to the value.
    static QPolygonF needlePolygon(NeedleType type, qreal rho);

private:
    QPolygonF m_needlePoly;
    float m_currentValue = 0;
    QColor m_color = Qt::black;
    NeedleType m_needleType = KiteNeedle;
    QcLabelItem *m_label = nullptr;
};

// An artificial horizon: sky and ground turned by the roll and moved by
// the pitch, pitch marks, the fixed aircraft and a roll scale.
class QcAttitudeMeter : public QcItem {
    Q_OBJECT

public:
    explicit QcAttitudeMeter(QObject *parent = nullptr);
    void draw(QPainter *painter) override;
    void setCurrentRoll(float roll);    // degrees, right wing down positive
    void setCurrentPitch(float pitch);  // degrees, nose up positive
    float roll() const { return m_roll; }
    float pitch() const { return m_pitch; }

private:
    void drawHorizon(QPainter *painter, const QRectF &square, qreal offset);
    void drawPitchMarks(QPainter *painter, const QRectF &square, qreal offset);
    void drawAircraft(QPainter *painter, const QRectF &square);
    void drawRollScale(QPainter *painter, const QRectF &square);

    float m_roll = 0;
    float m_pitch = 0;
    float m_pitchOffset = 0;
};

} // namespace vx

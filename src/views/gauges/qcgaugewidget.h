// A circular instrument: a widget that draws its items (qcitems.h) one
// after another with one antialiased painter. Nothing sorts them, so later
// items cover earlier ones. Items are children of the widget; clearItems()
// deletes them, so a gauge can be rebuilt any number of times.
#pragma once

#include "views/gauges/qcitems.h"

#include <QList>
#include <QWidget>

namespace vx {

class QcGaugeWidget : public QWidget {
    Q_OBJECT

public:
    explicit QcGaugeWidget(QWidget *parent = nullptr);
    ~QcGaugeWidget() override;

    // Each creates the item with the gauge as its parent, sets its position
    // (clamped into 0..100), appends it and repaints.
    QcBackgroundItem *addBackground(float position);
    QcGlassItem *addGlass(float position);
    QcLabelItem *addLabel(float position);
    QcPushButtonItem *addButton(float position);
    QcArcItem *addArc(float position);
    QcColorBand *addColorBand(float position);
    QcDegreesItem *addDegrees(float position);
    QcNeedleItem *addNeedle(float position);
    QcValuesItem *addValues(float position);
    QcAttitudeMeter *addAttitudeMeter(float position);
    // An item made elsewhere; the gauge becomes its parent.
    QcItem *addItem(QcItem *item, float position);

    // Takes the item out of the drawing list; it stays a child of the gauge.
    void removeItem(QcItem *item);
    // Deletes every item.
    void clearItems();
    QList<QcItem *> items() const { return m_items; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    template <class T>
    T *add(float position)
    {
        return static_cast<T *>(addItem(new T(this), position));
    }

    QList<QcItem *> m_items;
};

} // namespace vx

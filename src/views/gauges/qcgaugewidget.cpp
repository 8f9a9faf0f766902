#include "views/gauges/qcgaugewidget.h"

#include <QPainter>

namespace vx {

QcGaugeWidget::QcGaugeWidget(QWidget *parent)
    : QWidget(parent)
{
}

// The items go while the list they take themselves out of still exists.
QcGaugeWidget::~QcGaugeWidget() { qDeleteAll(findChildren<QcItem *>(QString(), Qt::FindDirectChildrenOnly)); }

QcBackgroundItem *QcGaugeWidget::addBackground(float position) { return add<QcBackgroundItem>(position); }
QcGlassItem *QcGaugeWidget::addGlass(float position) { return add<QcGlassItem>(position); }
QcLabelItem *QcGaugeWidget::addLabel(float position) { return add<QcLabelItem>(position); }
QcPushButtonItem *QcGaugeWidget::addButton(float position) { return add<QcPushButtonItem>(position); }
QcArcItem *QcGaugeWidget::addArc(float position) { return add<QcArcItem>(position); }
QcColorBand *QcGaugeWidget::addColorBand(float position) { return add<QcColorBand>(position); }
QcDegreesItem *QcGaugeWidget::addDegrees(float position) { return add<QcDegreesItem>(position); }
QcNeedleItem *QcGaugeWidget::addNeedle(float position) { return add<QcNeedleItem>(position); }
QcValuesItem *QcGaugeWidget::addValues(float position) { return add<QcValuesItem>(position); }
QcAttitudeMeter *QcGaugeWidget::addAttitudeMeter(float position) { return add<QcAttitudeMeter>(position); }

QcItem *QcGaugeWidget::addItem(QcItem *item, float position)
{
    if (!item)
        return nullptr;
    if (item->parent() != this)
        item->setParent(this);
    item->setPosition(position);
    if (!m_items.contains(item)) {
        m_items.append(item);
        // An item deleted by its owner leaves the drawing list with it.
        connect(item, &QObject::destroyed, this, [this, item] { m_items.removeAll(item); });
    }
    update();
    return item;
}

void QcGaugeWidget::removeItem(QcItem *item)
{
    m_items.removeAll(item);
    update();
}

void QcGaugeWidget::clearItems()
{
    m_items.clear();
    // Items taken out of the list earlier are children too.
    qDeleteAll(findChildren<QcItem *>(QString(), Qt::FindDirectChildrenOnly));
    update();
}

void QcGaugeWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (QcItem *item : qAsConst(m_items))
        item->draw(&painter);
}

} // namespace vx

#include "mydialog.h"

#include "settings/settings.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMoveEvent>
#include <QScreen>
#include <QSettings>

namespace vx {

namespace {
DialogCoordinator *g_coordinator = nullptr;
}

LayoutRow layoutRowForObjectName(const QString &objectName)
{
    if (objectName == QLatin1String("dataDialogHoriz") || objectName == QLatin1String("dataDialogVert"))
        return LayoutRow::Dashboard;
    if (objectName == QLatin1String("mapDialog"))
        return LayoutRow::Map;
    if (objectName == QLatin1String("graphDialog"))
        return LayoutRow::Graph;
    if (objectName == QLatin1String("controlCenterDialog"))
        return LayoutRow::ControlCenter;
    return LayoutRow::None;
}

void setDialogCoordinator(DialogCoordinator *coordinator) { g_coordinator = coordinator; }
DialogCoordinator *dialogCoordinator() { return g_coordinator; }

std::unique_ptr<QSettings> openSettingsStore()
{
    return std::make_unique<QSettings>(QString::fromLatin1(keys::ORGANIZATION),
                                       QString::fromLatin1(keys::APPLICATION));
}

void applyStayOnTopFlags(QWidget *window)
{
    if (settings().windowsStayOnTop)
        window->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint
                               | Qt::WindowCloseButtonHint);
}

bool onAnyScreen(const QRect &frame)
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(frame))
            return true;
    }
    return false;
}

QSize storedSizeWithinDesktop(QSize size)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize desktop = screen ? screen->virtualGeometry().size() : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return size.boundedTo(desktop).expandedTo(QSize(1, 1));
}

myDialog::myDialog(QWidget *parent)
    : QDialog(parent)
{
    applyStayOnTopFlags(this);
}

QString myDialog::settingsGroup() const { return windowTitle(); }

void myDialog::restoreGeometryFromStore()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect s = screen->geometry();
    const int dx = s.width() - width();
    const int dy = s.height() - height();
    if (dx < 2 || dy < -1)
        return;

    QRect place;
    const LayoutRow row = layoutRow();
    const bool firstRun = g_coordinator && row != LayoutRow::None && g_coordinator->firstRunPlace(row, &place);
    const QPoint fallbackPos = firstRun ? place.topLeft() : QPoint(dx / 2, dy / 2);

    auto store = openSettingsStore();
    store->beginGroup(settingsGroup());
    const QPoint p = store->value(QStringLiteral("pos"), fallbackPos).toPoint();
    if (p.x() > s.width() || p.y() > s.height())
        return;
    const QSize size = firstRun ? place.size()
                                : storedSizeWithinDesktop(store->value(QStringLiteral("size"), defaultSize()).toSize());
    store->endGroup();
    if (!firstRun && !onAnyScreen(QRect(p, size)))
        return;

    resize(size);
    const bool guardWasSet = g_coordinator && g_coordinator->syncGuard();
    if (g_coordinator)
        g_coordinator->setSyncGuard(true);
    move(firstRun ? place.topLeft() : p);
    if (g_coordinator)
        g_coordinator->setSyncGuard(guardWasSet);
}

void myDialog::saveGeometryToStore() const
{
    auto store = openSettingsStore();
    store->beginGroup(settingsGroup());
    store->setValue(QStringLiteral("size"), size());
    store->setValue(QStringLiteral("pos"), pos());
    store->endGroup();
}

void myDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    restoreGeometryFromStore();
    m_placed = true;
    m_placedAt.start();
}

void myDialog::hideEvent(QHideEvent *event)
{
    saveGeometryToStore();
    m_placed = false;
    QDialog::hideEvent(event);
}

bool myDialog::movedByUser() const
{
    return m_placed && m_placedAt.isValid() && m_placedAt.elapsed() >= SYNC_SETTLE_MS;
}

void myDialog::closeEvent(QCloseEvent *event)
{
    saveGeometryToStore();
    hide();
    event->accept();
}

void myDialog::keyPressEvent(QKeyEvent *event)
{
    // Taken and ignored: Escape must not close the window, and the keys the
    // player handles arrive through the application-wide event filter.
    event->accept();
}

void myDialog::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    const QPoint delta = event->pos() - event->oldPos();
    if (!g_coordinator || g_coordinator->syncGuard() || delta.isNull() || !movedByUser())
        return;
    const LayoutRow row = layoutRow();
    if (row != LayoutRow::None)
        g_coordinator->dialogMoved(row, delta);
}

} // namespace vx

#include "datadialog.h"

namespace vx {

dataDialog *g_dataDialog = nullptr;

namespace {
// Horizontal: the gauge, the compass pages and the coordinates side by side.
constexpr QSize kHorizontalSize(610, 194);
constexpr QSize kHorizontalMinimum(219, 194);
constexpr QSize kHorizontalMaximum(620, 194);
// Vertical: the same three groups stacked.
constexpr QSize kVerticalSize(210, 600);
constexpr QSize kVerticalMinimum(210, 219);
constexpr QSize kVerticalMaximum(210, 620);
} // namespace

QString dataDialog::titleFor(bool vertical)
{
    return vertical ? QStringLiteral("Dashboard ") : QStringLiteral("Dashboard");
}

dataDialog::dataDialog(bool vertical, QWidget *parent)
    : myDialog(parent)
    , m_vertical(vertical)
{
    setObjectName(vertical ? QStringLiteral("dataDialogVert") : QStringLiteral("dataDialogHoriz"));
    setWindowTitle(titleFor(vertical));
    setStyleSheet(QStringLiteral("background-color: rgb(0, 0, 0);"));
    if (vertical) {
        setMinimumSize(kVerticalMinimum);
        setMaximumSize(kVerticalMaximum);
        resize(kVerticalSize);
    } else {
        setLayoutDirection(Qt::LeftToRight);
        setMinimumSize(kHorizontalMinimum);
        setMaximumSize(kHorizontalMaximum);
        resize(kHorizontalSize);
    }
}

void dataDialog::updatePoint(const DashboardPoint &point)
{
    m_lastPoint = point;
    ++m_pointUpdates;
}

void dataDialog::updateSpeedHeading(float speed, double heading, const QDateTime &)
{
    // The speed-smoothing reset is used up by the first speed after it.
    m_speedResetPending = false;
    m_lastSpeed = speed;
    m_lastHeading = heading;
    ++m_speedHeadingUpdates;
}

void dataDialog::setTelemetryPresence(bool hasAltitude, bool hasSats)
{
    m_showsAltitude = hasAltitude;
    m_showsSats = hasSats;
}

void dataDialog::resetToEmpty()
{
    m_lastPoint = DashboardPoint();
    m_lastSpeed = 0;
    m_lastHeading = 0;
}

} // namespace vx

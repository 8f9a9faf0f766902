// The dashboard's widgets: three groups side by side (horizontal layout,
// 610 x 194) or stacked (vertical layout, 210 wide): the speed gauge's group,
// the pages behind the page arrows (compass with the vehicle, weather,
// calendar), and the coordinates group with the seven-segment numbers.
// Object names and texts are the ones the rest of the program and its tests
// look for.
#pragma once

#include <QSize>

class QCalendarWidget;
class QFrame;
class QGraphicsView;
class QGroupBox;
class QLabel;
class QLCDNumber;
class QPushButton;
class QStackedWidget;
class QWidget;

namespace vx {

struct DashboardForm {
    QGroupBox *speedometerGroup = nullptr;

    QStackedWidget *stackedWidget = nullptr;
    QWidget *compassPage = nullptr;
    QGroupBox *compassGroup = nullptr;
    QGraphicsView *compassGraphicsView = nullptr;
    QGraphicsView *carGraphicsView = nullptr;
    QWidget *weatherPage = nullptr;
    QGroupBox *weatherGroup = nullptr;
    QLabel *hiCaption = nullptr, *lowCaption = nullptr, *rainCaption = nullptr;
    QLabel *snowCaption = nullptr, *fogCaption = nullptr, *visCaption = nullptr;
    QLabel *hiLabel = nullptr, *lowLabel = nullptr, *rainLabel = nullptr;
    QLabel *snowLabel = nullptr, *fogLabel = nullptr, *visLabel = nullptr;
    QPushButton *getWeatherButton = nullptr;
    QLabel *attributionLabel = nullptr;
    QWidget *calendarPage = nullptr;
    QGroupBox *calendarGroup = nullptr;
    QLabel *calendarLabel = nullptr;
    QCalendarWidget *calendarWidget = nullptr;
    QWidget *arrowButtons = nullptr;
    QPushButton *leftButton = nullptr, *rightButton = nullptr;

    QGroupBox *latLonGroup = nullptr;
    QLabel *altitudeLabel = nullptr, *altitudeUnits = nullptr;
    QLCDNumber *altitudeNumber = nullptr;
    QLabel *satsLabel = nullptr;
    QLCDNumber *satsNumber = nullptr;
    QLabel *gpsAccuracyLabel = nullptr;
    QWidget *meterWidget = nullptr;
    QLCDNumber *latitudeNumber = nullptr, *longitudeNumber = nullptr;
    QLCDNumber *latitudeDeg = nullptr, *latitudeMin = nullptr, *latitudeSec = nullptr;
    QLCDNumber *longitudeDeg = nullptr, *longitudeMin = nullptr, *longitudeSec = nullptr;
    QLabel *latDegMark = nullptr, *latMinMark = nullptr, *latSecMark = nullptr;
    QLabel *lonDegMark = nullptr, *lonMinMark = nullptr, *lonSecMark = nullptr;
    QLabel *latDirectionLabel = nullptr, *lonDirectionLabel = nullptr;

    QFrame *line = nullptr, *line_2 = nullptr;
};

// Window sizes of the two layouts.
constexpr QSize DASHBOARD_HORIZONTAL_SIZE(610, 194);
constexpr QSize DASHBOARD_HORIZONTAL_MINIMUM(219, 194);
constexpr QSize DASHBOARD_HORIZONTAL_MAXIMUM(620, 194);
constexpr QSize DASHBOARD_VERTICAL_SIZE(210, 610);
constexpr QSize DASHBOARD_VERTICAL_MINIMUM(210, 219);
constexpr QSize DASHBOARD_VERTICAL_MAXIMUM(210, 620);

// Creates every widget of the form inside `window`.
void buildDashboardForm(QWidget *window, bool vertical, DashboardForm *form);

// Shows the coordinate fields of `datumFormat` (0 decimal degrees, 1
// degrees and minutes, 2 degrees, minutes and seconds) and hides the others.
void showCoordinateFields(DashboardForm &form, int datumFormat);

// Shows `text` in a seven-segment display, first widening it when the text
// is longer than its digits (a display never cuts a number).
void displayNumber(QLCDNumber *display, const QString &text);

// The GPS accuracy image for an HDOP value (negative: none) and the four
// thresholds ("hdop0" .. "hdop3").
QString gpsAccuracyImage(double hdop, float hdop0, float hdop1, float hdop2, float hdop3);

} // namespace vx

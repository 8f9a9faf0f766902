#include "datadialog.h"

#include "export/formatters.h"
#include "settings/settings.h"
#include "track/trackstore.h"
#include "views/gauges/qcgaugewidget.h"
#include "views/viewhost.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGroupBox>
#include <QLabel>
#include <QLCDNumber>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

#include <cmath>

namespace vx {

dataDialog *g_dataDialog = nullptr;

namespace {

// The image `name` at twice the pixels where the screen has them.
QPixmap vehiclePixmap(const QString &name, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1) {
        QPixmap sharp(QStringLiteral(":/images/%1@2x.png").arg(name));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2);
            return sharp;
        }
    }
    return QPixmap(QStringLiteral(":/images/%1.png").arg(name));
}

QGraphicsPixmapItem *addVehicle(QGraphicsScene *scene, const QPixmap &pixmap)
{
    QGraphicsPixmapItem *item = scene->addPixmap(pixmap);
    item->setTransformationMode(Qt::SmoothTransformation);
    const QSizeF size = pixmap.isNull() ? QSizeF(100, 100) : QSizeF(pixmap.size()) / pixmap.devicePixelRatioF();
    item->setPos((100 - size.width()) / 2, (100 - size.height()) / 2);
    item->setTransformOriginPoint(size.width() / 2, size.height() / 2);
    return item;
}

// A whole number of the altitude, or nothing for a value no display holds.
bool altitudeText(double metres, double factor, QString *text)
{
    const double v = std::trunc(metres * factor);
    if (!std::isfinite(v) || std::fabs(v) > 1e8)
        return false;
    *text = QString::number(qint64(v));
    return true;
}

} // namespace

QString dataDialog::titleFor(bool vertical)
{
    return vertical ? QStringLiteral("Dashboard ") : QStringLiteral("Dashboard");
}

QSize dataDialog::defaultSize() const
{
    return m_vertical ? DASHBOARD_VERTICAL_SIZE : myDialog::defaultSize();
}

dataDialog::dataDialog(bool vertical, QWidget *parent)
    : myDialog(parent)
    , m_vertical(vertical)
{
    setObjectName(vertical ? QStringLiteral("dataDialogVert") : QStringLiteral("dataDialogHoriz"));
    buildDashboardForm(this, vertical, &m_form);
    setWindowTitle(titleFor(vertical));
    if (vertical) {
        setMinimumSize(DASHBOARD_VERTICAL_MINIMUM);
        setMaximumSize(DASHBOARD_VERTICAL_MAXIMUM);
        resize(DASHBOARD_VERTICAL_SIZE);
    } else {
        setLayoutDirection(Qt::LeftToRight);
        setMinimumSize(DASHBOARD_HORIZONTAL_MINIMUM);
        setMaximumSize(DASHBOARD_HORIZONTAL_MAXIMUM);
        resize(DASHBOARD_HORIZONTAL_SIZE);
    }
    m_clock.start();
    m_gauge = new QcGaugeWidget(m_form.speedometerGroup);
    m_gauge->setObjectName(QStringLiteral("speedGauge"));
    m_form.speedometerGroup->installEventFilter(this);
    m_form.stackedWidget->setCurrentIndex(0);

    m_weatherLookup = new WeatherLookup(this);
    clearWeather();
    buildGauge();
    m_form.calendarWidget->setSelectedDate(QDate::currentDate());
    m_form.calendarLabel->setText(QDate::currentDate().toString(QStringLiteral("MMMM yyyy")));
    buildCompassScene();
    m_form.meterWidget->setStyleSheet(
        QStringLiteral("QWidget {image: url(%1);}").arg(gpsAccuracyImage(-1, settings().hdop0, settings().hdop1, settings().hdop2,
                                                                settings().hdop3)));
    m_form.gpsAccuracyLabel->hide();
    m_form.meterWidget->hide();
    showCoordinateFields(m_form, settings().datumFormat);
    // Weather needs a place and a day: the first point gives them.
    m_form.getWeatherButton->setEnabled(false);

    m_clickTimer = new QTimer(this);
    m_clickTimer->setSingleShot(true);
    connect(m_form.getWeatherButton, &QPushButton::clicked, this, &dataDialog::get_weather_slot);
    connect(m_form.leftButton, &QPushButton::clicked, this, &dataDialog::previous_widget_slot);
    connect(m_form.rightButton, &QPushButton::clicked, this, &dataDialog::next_widget_slot);
    connect(m_clickTimer, &QTimer::timeout, this, &dataDialog::single_click_slot);
    connect(m_weatherLookup, &WeatherLookup::answered, this, &dataDialog::load_file_slot);
    connect(m_weatherLookup, &WeatherLookup::failed, this, &dataDialog::weatherFailed);
}

dataDialog::~dataDialog() = default;

// ---- the speed gauge ----------------------------------------------------------------

void dataDialog::rebuildSpeedGauge()
{
    ++m_gaugeRebuilds;
    buildGauge();
}

void dataDialog::buildGauge()
{
    const SettingsRecord &s = settings();
    m_speedometerMaximum = speedometerMaximum(s.autoSpeedo, s.maxUserSpeedo, track().stats.peakSpeed,
                                              s.speedFactor, m_speedometerMaximum);
    const float shown = m_speed.needle ? m_speed.needle->currentValue() : 0.0f;
    const QString distance = m_speed.distanceLabel ? m_speed.distanceLabel->text() : QStringLiteral("0");
    m_speed = buildSpeedGauge(m_gauge, m_speedometerMaximum, speedUnitName(s.speedUnitIndex));
    m_speed.needle->setCurrentValue(shown);
    m_speed.distanceLabel->setText(distance);
    m_form.altitudeUnits->setText(QStringLiteral("<b>%1</b>").arg(altitudeUnitName(s.altUnits)));
    refreshWeatherTexts();
    fitGauge();
}

// A square of 94 % of the group's smaller side, centred across and 3 % of
// its side below the top.
void dataDialog::fitGauge()
{
    const QSize group = m_form.speedometerGroup->size();
    const int side = int(0.94 * qMin(group.width(), group.height()));
    m_gauge->setGeometry((group.width() - side) / 2, int(side * 0.06 / 2), side, side);
}

bool dataDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form.speedometerGroup && event->type() == QEvent::Resize)
        fitGauge();
    return myDialog::eventFilter(watched, event);
}

// ---- the compass ------------------------------------------------------------------

void dataDialog::buildCompassScene()
{
    m_scene = new QGraphicsScene(0, 0, 100, 100, this);
    const qreal ratio = qApp->devicePixelRatio();
    m_drone = addVehicle(m_scene, vehiclePixmap(QStringLiteral("phantom"), ratio));
    m_arrow = addVehicle(m_scene, vehiclePixmap(QStringLiteral("arrow"), ratio));
    m_arrow->hide();
    m_form.carGraphicsView->setScene(m_scene);
}

void dataDialog::setArrowVehicle(bool arrow)
{
    m_arrow->setVisible(arrow);
    m_drone->setVisible(!arrow);
}

void dataDialog::toggleVehicle() { setArrowVehicle(!m_arrow->isVisible()); }
bool dataDialog::arrowVehicle() const { return m_arrow->isVisible(); }
double dataDialog::vehicleHeading() const { return m_drone->rotation(); }

// ---- playback's updates -----------------------------------------------------------

void dataDialog::updatePoint(const DashboardPoint &point)
{
    ++m_pointUpdates;
    m_lastPoint = point;
    m_hasPoint = true;
    const SettingsRecord &s = settings();
    const double dist = std::isfinite(point.travelledDist) ? point.travelledDist : 0.0;
    m_speed.distanceLabel->setText(QString::number(dist, 'f', 1) + QLatin1Char(' ') +
                                   shortDistanceUnitName(s.distUnitIndex));
    showCoordinates(point.latitude, point.longitude);
    const QDate day = point.time.date();
    if (day.isValid() && day != m_form.calendarWidget->selectedDate()) {
        m_form.calendarWidget->setSelectedDate(day);
        m_form.calendarLabel->setText(day.toString(QStringLiteral("MMMM yyyy")));
    }
    QString text;
    if (point.hasAltitude && altitudeText(point.altitudeM, s.altFactor, &text))
        displayNumber(m_form.altitudeNumber, text);
    if (point.hasSats)
        displayNumber(m_form.satsNumber, QString::number(point.sats));
    m_form.getWeatherButton->setEnabled(true);
}

void dataDialog::showCoordinates(double latitude, double longitude)
{
    if (!std::isfinite(latitude) || !std::isfinite(longitude))
        return;
    const int format = settings().datumFormat;
    const CoordinateText t = formatCoordinates(format, false, latitude, longitude);
    const auto show = [](QLCDNumber *n, const QByteArray &text) { displayNumber(n, QString::fromLatin1(text)); };
    if (format == 0) {
        show(m_form.latitudeNumber, t.latDeg);
        show(m_form.longitudeNumber, t.lonDeg);
    } else {
        show(m_form.latitudeDeg, t.latDeg);
        show(m_form.latitudeMin, t.latMin);
        show(m_form.longitudeDeg, t.lonDeg);
        show(m_form.longitudeMin, t.lonMin);
        if (format != 1) {
            show(m_form.latitudeSec, t.latSec);
            show(m_form.longitudeSec, t.lonSec);
        }
    }
    m_form.latDirectionLabel->setText(latitude < 0 ? QStringLiteral("S") : QStringLiteral("N"));
    m_form.lonDirectionLabel->setText(longitude < 0 ? QStringLiteral("W") : QStringLiteral("E"));
}

void dataDialog::updateSpeedHeading(float speed, double heading, const QDateTime &time)
{
    ++m_speedHeadingUpdates;
    // Another speed unit: the needle jumps to the value in the new unit.
    if (settings().speedUnitIndex != m_smoothedUnit) {
        m_smoothedUnit = settings().speedUnitIndex;
        m_smoother.reset();
    }
    const NeedleSmoother::Shown shown = m_smoother.update(speed, heading, time.toSecsSinceEpoch(), m_clock.elapsed());
    m_speed.needle->setCurrentValue(shown.speed);
    m_drone->setRotation(shown.heading);
    m_arrow->setRotation(shown.heading);
}

void dataDialog::setTelemetryPresence(bool hasAltitude, bool hasSats)
{
    for (QWidget *w : {static_cast<QWidget *>(m_form.altitudeNumber), static_cast<QWidget *>(m_form.altitudeLabel),
                       static_cast<QWidget *>(m_form.altitudeUnits)})
        w->setVisible(hasAltitude);
    m_form.satsNumber->setVisible(hasSats);
    m_form.satsLabel->setVisible(hasSats);
}

bool dataDialog::showsAltitude() const { return !m_form.altitudeNumber->isHidden(); }
bool dataDialog::showsSats() const { return !m_form.satsNumber->isHidden(); }

void dataDialog::resetToEmpty()
{
    m_lastPoint = DashboardPoint();
    m_hasPoint = false;
    m_smoother.reset();
    m_speed.needle->setCurrentValue(0);
    m_speed.distanceLabel->setText(QStringLiteral("0"));
    m_weatherLookup->cancel();
    clearWeather();
    m_form.getWeatherButton->setEnabled(false);
}

void dataDialog::applySettings(unsigned changes)
{
    if (changes & (UnitsChanged | DashboardChanged)) {
        buildGauge();
        m_smoother.reset();
    }
    if (changes & CoordinatesChanged) {
        showCoordinateFields(m_form, settings().datumFormat);
        if (m_hasPoint)
            showCoordinates(m_lastPoint.latitude, m_lastPoint.longitude);
    }
}

// ---- clicks -------------------------------------------------------------------------

bool dataDialog::inGaugeArea(const QPoint &pos) const
{
    return m_vertical ? pos.y() < m_form.speedometerGroup->height() : pos.x() < m_form.speedometerGroup->width();
}

bool dataDialog::inCoordinateArea(const QPoint &pos) const
{
    return m_vertical ? pos.y() > m_form.latLonGroup->y() : pos.x() > m_form.latLonGroup->x();
}

// A double click arrives as press, release, double click, release: the
// last release belongs to the double click and starts no single click.
void dataDialog::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_ignoreRelease) {
        m_ignoreRelease = false;
        return;
    }
    m_clickPos = event->pos();
    m_clickTimer->start(QApplication::doubleClickInterval());
}

void dataDialog::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_clickTimer->stop();
    m_ignoreRelease = true;
    ViewHost *host = viewHost();
    if (!host)
        return;
    if (inGaugeArea(event->pos()))
        host->openPreferences(QStringLiteral("Advanced"));
    else if (inCoordinateArea(event->pos()))
        host->openPreferences(QStringLiteral("General"));
}

void dataDialog::single_click_slot()
{
    if (inGaugeArea(m_clickPos))
        switch_units_slot();
    if (inCoordinateArea(m_clickPos))
        switch_datum_units_slot();
}

void dataDialog::settingsChangedHere(unsigned changes)
{
    if (ViewHost *host = viewHost()) {
        host->settingsChanged(changes);  // factors, every window (this one too), playback, save
        return;
    }
    recomputeFactors();
    applySettings(changes);
    saveSettings();
}

void dataDialog::switch_units_slot()
{
    SettingsRecord &s = settings();
    s.outUnits = s.outUnits >= 0 && s.outUnits < 2 ? s.outUnits + 1 : 0;
    settingsChangedHere(UnitsChanged);
}

void dataDialog::switch_datum_units_slot()
{
    SettingsRecord &s = settings();
    s.datumFormat = s.datumFormat >= 0 && s.datumFormat < 2 ? s.datumFormat + 1 : 0;
    showCoordinateFields(m_form, s.datumFormat);
    settingsChangedHere(CoordinatesChanged);
}

void dataDialog::previous_widget_slot()
{
    QStackedWidget *pages = m_form.stackedWidget;
    pages->setCurrentIndex((pages->currentIndex() - 1 + pages->count()) % pages->count());
}

void dataDialog::next_widget_slot()
{
    QStackedWidget *pages = m_form.stackedWidget;
    pages->setCurrentIndex((pages->currentIndex() + 1) % pages->count());
}

// ---- weather ------------------------------------------------------------------------

void dataDialog::get_weather_slot()
{
    if (!m_hasPoint)
        return;
    clearWeather();
    m_weatherLookup->start(m_lastPoint.time.toSecsSinceEpoch(), m_lastPoint.latitude, m_lastPoint.longitude);
}

void dataDialog::load_file_slot(const WeatherValues &values)
{
    m_weather = values;
    refreshWeatherTexts();
}

void dataDialog::weatherFailed()
{
    clearWeather();
    auto *box = new QMessageBox(QMessageBox::Information, exportApplicationName(),
                                QString::fromLatin1(WEATHER_FAILED), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void dataDialog::clearWeather()
{
    m_weather = WeatherValues();
    refreshWeatherTexts();
}

void dataDialog::refreshWeatherTexts()
{
    const WeatherTexts t = weatherTexts(m_weather, settings().distUnitIndex, settings().tempUnits);
    m_form.hiLabel->setText(t.high);
    m_form.lowLabel->setText(t.low);
    m_form.rainLabel->setText(t.rain);
    m_form.visLabel->setText(t.visibility);
    m_form.fogLabel->setText(t.fog);
    m_form.snowLabel->setText(t.snow);
    const QString neutral = QStringLiteral("color: rgb(194, 228, 255);");
    m_form.fogLabel->setStyleSheet(t.fogStyle.isEmpty() ? neutral : t.fogStyle);
    m_form.snowLabel->setStyleSheet(t.snowStyle.isEmpty() ? neutral : t.snowStyle);
}

} // namespace vx

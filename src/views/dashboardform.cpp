#include "views/dashboardform.h"

#include "views/gauges/qcitems.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QGraphicsView>
#include <QGroupBox>
#include <QLabel>
#include <QLCDNumber>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextCharFormat>

#include <tuple>

namespace vx {

namespace {

// The window's own background; its children draw on it or carry their own
// sheets, and dialogs it opens (message boxes) keep the normal look.
const char *const kBlack = "#%1 { background-color: rgb(0, 0, 0); }";
const char *const kGroup = "QGroupBox { background-color: rgb(0, 0, 0); border: 0px; margin: 0px; }";
const char *const kCaption = "color: rgb(255, 58, 58);";
const char *const kHigh = "color: rgb(255, 0, 33);";
const char *const kLow = "color: rgb(120, 120, 255);";
const char *const kWeatherText = "color: rgb(194, 228, 255);";
const char *const kWeatherButton =
    "QPushButton { color: rgb(200, 250, 250); border: 1px solid rgb(70, 90, 110); border-radius: 4px; }"
    "QPushButton:pressed { background-color: rgb(30, 40, 55); }"
    "QPushButton:disabled { color: rgb(90, 100, 110); border-color: rgb(45, 50, 60); }";
const char *const kNumber = "color: rgb(125, 211, 252);";
const char *const kLine = "background-color: rgb(64, 64, 64);";
const char *const kCompass = "background-color: rgba(255, 255, 255, 0);\n"
                             "background-image: url(:/images/compass.png);\n"
                             "background-position: center;\n"
                             "background-repeat: no-repeat;\n"
                             "border: 0px;\n";

QString sheet(const char *s) { return QString::fromLatin1(s); }

// Dashboard texts are DejaVu at pixel sizes, so they measure the same on
// every screen.
QFont textFont(int pixels, bool bold = false) { return gaugeFont(QStringLiteral("DejaVu Sans"), pixels, bold); }

QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &geometry, const char *style,
              int pixels, bool bold, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setStyleSheet(sheet(style));
    l->setFont(textFont(pixels, bold));
    l->setAlignment(align);
    return l;
}

QLCDNumber *number(QWidget *parent, const char *name, int digits, const QRect &geometry)
{
    auto *n = new QLCDNumber(digits, parent);
    n->setObjectName(QLatin1String(name));
    n->setGeometry(geometry);
    n->setSegmentStyle(QLCDNumber::Flat);
    n->setFrameShape(QFrame::NoFrame);
    n->setStyleSheet(sheet(kNumber));
    n->display(0);
    return n;
}

QGroupBox *group(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *g = new QGroupBox(parent);
    g->setObjectName(QLatin1String(name));
    g->setGeometry(geometry);
    g->setFlat(true);
    g->setStyleSheet(sheet(kGroup));
    return g;
}

QWidget *page(QStackedWidget *stack, const char *name)
{
    auto *p = new QWidget;
    p->setObjectName(QLatin1String(name));
    stack->addWidget(p);
    return p;
}

QPushButton *arrowButton(QWidget *parent, const char *name, const char *image, int x)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(x, 0, 27, 27);
    b->setIcon(QIcon(QString::fromLatin1(image)));
    b->setIconSize(QSize(24, 24));
    b->setFlat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setStyleSheet(QStringLiteral("border: 0px;"));
    return b;
}

void buildCompassPage(DashboardForm &f)
{
    f.compassPage = page(f.stackedWidget, "compassPage");
    // The rose's centre lines up with the page arrows below it.
    f.compassGroup = group(f.compassPage, "compassGroup", QRect(5, 0, 181, 171));
    f.compassGraphicsView = new QGraphicsView(f.compassGroup);
    f.compassGraphicsView->setObjectName(QStringLiteral("compassGraphicsView"));
    f.compassGraphicsView->setGeometry(0, 0, 181, 171);
    f.compassGraphicsView->setMinimumSize(125, 125);
    f.compassGraphicsView->setMaximumSize(12500, 12500);
    f.compassGraphicsView->setFrameShape(QFrame::NoFrame);
    f.compassGraphicsView->setStyleSheet(sheet(kCompass));
    f.compassGraphicsView->setInteractive(false);
    f.carGraphicsView = new QGraphicsView(f.compassGroup);
    f.carGraphicsView->setObjectName(QStringLiteral("carGraphicsView"));
    f.carGraphicsView->setGeometry(QRect(QPoint(44, 40), QPoint(137, 139)));
    f.carGraphicsView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    f.carGraphicsView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    f.carGraphicsView->setFrameShape(QFrame::NoFrame);
    f.carGraphicsView->setStyleSheet(QStringLiteral("background: transparent; border: 0px;"));
    f.carGraphicsView->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    f.carGraphicsView->setInteractive(false);
    // Clicks go through to the window (the click areas are the window's).
    f.carGraphicsView->setAttribute(Qt::WA_TransparentForMouseEvents);
    f.compassGraphicsView->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void buildWeatherPage(DashboardForm &f)
{
    f.weatherPage = page(f.stackedWidget, "weatherPage");
    f.weatherGroup = group(f.weatherPage, "weatherGroup", QRect(0, 0, 210, 170));
    QWidget *g = f.weatherGroup;
    // Two columns of caption and value.
    auto row = [&](int y, const char *capName, const char *capText, const char *capStyle, QLabel **capLabel,
                   const char *valName, const char *valStyle, QLabel **valLabel, int x) {
        *capLabel = label(g, capName, QString::fromLatin1(capText), QRect(x, y, 44, 22), capStyle, 12, true);
        *valLabel = label(g, valName, QStringLiteral("--- "), QRect(x + 47, y, 56, 22), valStyle, 12, false);
    };
    row(8, "hiCaption", "High:", kCaption, &f.hiCaption, "hiLabel", kHigh, &f.hiLabel, 3);
    row(8, "lowCaption", "Low:", kLow, &f.lowCaption, "lowLabel", kLow, &f.lowLabel, 107);
    row(34, "rainCaption", "Rain:", kWeatherText, &f.rainCaption, "rainLabel", kWeatherText, &f.rainLabel, 3);
    row(34, "snowCaption", "Snow:", kWeatherText, &f.snowCaption, "snowLabel", kWeatherText, &f.snowLabel, 107);
    row(60, "fogCaption", "Fog:", kWeatherText, &f.fogCaption, "fogLabel", kWeatherText, &f.fogLabel, 3);
    row(60, "visCaption", "Vis:", kWeatherText, &f.visCaption, "visLabel", kWeatherText, &f.visLabel, 107);
    f.getWeatherButton = new QPushButton(QStringLiteral("Get Weather"), g);
    f.getWeatherButton->setObjectName(QStringLiteral("getWeatherButton"));
    f.getWeatherButton->setGeometry(50, 94, 110, 26);
    f.getWeatherButton->setFont(textFont(12, true));
    f.getWeatherButton->setStyleSheet(sheet(kWeatherButton));
    f.getWeatherButton->setFocusPolicy(Qt::NoFocus);
    f.attributionLabel = label(g, "attributionLabel",
                               QStringLiteral("<a href=\"https://open-meteo.com/\" style=\"color: rgb(150, 170, 190);\">"
                                              "Weather data by Open-Meteo.com</a>"),
                               QRect(0, 128, 210, 16), kWeatherText, 10, false, Qt::AlignCenter);
    f.attributionLabel->setTextFormat(Qt::RichText);
    f.attributionLabel->setOpenExternalLinks(true);
}

void buildCalendarPage(DashboardForm &f)
{
    f.calendarPage = page(f.stackedWidget, "calendarPage");
    f.calendarGroup = group(f.calendarPage, "calendarGroup", QRect(0, 0, 210, 170));
    f.calendarLabel = label(f.calendarGroup, "calendarLabel", QString(), QRect(0, 0, 210, 19), kWeatherText, 13,
                            true, Qt::AlignCenter);
    auto *c = new QCalendarWidget(f.calendarGroup);
    f.calendarWidget = c;
    c->setObjectName(QStringLiteral("calendarWidget"));
    c->setGeometry(5, 19, 200, 150);
    c->setNavigationBarVisible(false);
    c->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    c->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    c->setFocusPolicy(Qt::NoFocus);
    c->setFont(textFont(11));
    c->setStyleSheet(QStringLiteral(
        "QCalendarWidget QAbstractItemView { color: rgb(194, 228, 255); background-color: rgb(0, 0, 0);"
        " selection-background-color: rgb(255, 58, 58); selection-color: rgb(255, 255, 255); outline: 0px; }"
        "QCalendarWidget QAbstractItemView:disabled { color: rgb(80, 90, 100); }"));
    QTextCharFormat header;
    header.setForeground(QColor(255, 58, 58));
    header.setBackground(QColor(0, 0, 0));
    header.setFontWeight(QFont::Bold);
    c->setHeaderTextFormat(header);
    QTextCharFormat weekend;
    weekend.setForeground(QColor(255, 150, 150));
    c->setWeekdayTextFormat(Qt::Saturday, weekend);
    c->setWeekdayTextFormat(Qt::Sunday, weekend);
}

void buildCoordinates(DashboardForm &f)
{
    QWidget *g = f.latLonGroup;
    const char *red = kCaption;
    f.altitudeLabel = label(g, "altitudeLabel", QStringLiteral("<b>Alt:</b>"), QRect(4, 10, 40, 24), red, 14, true);
    f.altitudeNumber = number(g, "altitudeNumber", 6, QRect(44, 8, 92, 28));
    f.altitudeUnits = label(g, "altitudeUnits", QStringLiteral("<b>ft</b>"), QRect(140, 10, 38, 24), red, 14, true);
    f.satsLabel = label(g, "satsLabel", QStringLiteral("<b>Sats:</b>"), QRect(4, 44, 44, 24), red, 14, true);
    f.satsNumber = number(g, "satsNumber", 2, QRect(48, 42, 36, 28));
    f.gpsAccuracyLabel =
        label(g, "gpsAccuracyLabel", QStringLiteral("GPS Accuracy:"), QRect(90, 42, 88, 14), red, 10, false);
    f.meterWidget = new QWidget(g);
    f.meterWidget->setObjectName(QStringLiteral("meterWidget"));
    f.meterWidget->setGeometry(100, 56, 48, 24);

    // Wide enough for the longest text: "-179.999999".
    f.latitudeNumber = number(g, "latitudeNumber", 11, QRect(4, 84, 150, 36));
    f.longitudeNumber = number(g, "longitudeNumber", 11, QRect(4, 134, 150, 36));
    f.latitudeDeg = number(g, "latitudeDeg", 3, QRect(4, 84, 40, 36));
    f.longitudeDeg = number(g, "longitudeDeg", 3, QRect(4, 134, 40, 36));
    f.latitudeMin = number(g, "latitudeMin", 7, QRect(52, 84, 94, 36));
    f.longitudeMin = number(g, "longitudeMin", 7, QRect(52, 134, 94, 36));
    f.latitudeSec = number(g, "latitudeSec", 5, QRect(88, 84, 58, 36));
    f.longitudeSec = number(g, "longitudeSec", 5, QRect(88, 134, 58, 36));
    auto mark = [&](const char *name, const QString &text, int y) {
        return label(g, name, text, QRect(44, y, 8, 16), red, 14, true, Qt::AlignLeft | Qt::AlignTop);
    };
    f.latDegMark = mark("latDegMark", QString(QChar(0x00b0)), 84);
    f.lonDegMark = mark("lonDegMark", QString(QChar(0x00b0)), 134);
    f.latMinMark = mark("latMinMark", QStringLiteral("'"), 84);
    f.lonMinMark = mark("lonMinMark", QStringLiteral("'"), 134);
    f.latSecMark = mark("latSecMark", QStringLiteral("\""), 84);
    f.lonSecMark = mark("lonSecMark", QStringLiteral("\""), 134);
    f.latDirectionLabel =
        label(g, "latDirectionLabel", QStringLiteral("N"), QRect(157, 88, 23, 28), red, 18, true, Qt::AlignCenter);
    f.lonDirectionLabel =
        label(g, "lonDirectionLabel", QStringLiteral("E"), QRect(157, 138, 23, 28), red, 18, true, Qt::AlignCenter);
}

QFrame *separator(QWidget *window, const char *name, const QRect &geometry)
{
    auto *line = new QFrame(window);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(QFrame::NoFrame);
    line->setGeometry(geometry);
    line->setStyleSheet(sheet(kLine));
    return line;
}

} // namespace

void buildDashboardForm(QWidget *window, bool vertical, DashboardForm *form)
{
    DashboardForm &f = *form;
    window->setStyleSheet(QString::fromLatin1(kBlack).arg(window->objectName()));
    // Places of the three groups and the page arrows in the two layouts.
    const QRect gauge = vertical ? QRect(0, 0, 210, 210) : QRect(0, 0, 210, 194);
    const QPoint pages = vertical ? QPoint(0, 214) : QPoint(210, 0);
    const QPoint coordinates = vertical ? QPoint(14, 419) : QPoint(420, 0);

    f.speedometerGroup = group(window, "speedometerGroup", gauge);
    f.line = separator(window, "line", QRect(0, 211, 210, 2));
    f.stackedWidget = new QStackedWidget(window);
    f.stackedWidget->setObjectName(QStringLiteral("stackedWidget"));
    f.stackedWidget->setGeometry(QRect(pages, QSize(210, 201)));
    buildCompassPage(f);
    buildWeatherPage(f);
    buildCalendarPage(f);
    f.stackedWidget->setCurrentIndex(0);
    f.line_2 = separator(window, "line_2", QRect(0, 416, 210, 2));
    f.latLonGroup = group(window, "latLonGroup", QRect(coordinates, QSize(181, 190)));
    buildCoordinates(f);

    f.arrowButtons = new QWidget(window);
    f.arrowButtons->setObjectName(QStringLiteral("arrowButtons"));
    f.arrowButtons->setGeometry(QRect(pages + QPoint(65, 170), QSize(62, 27)));
    f.leftButton = arrowButton(f.arrowButtons, "leftButton", ":/images/left_arrow.png", 3);
    f.rightButton = arrowButton(f.arrowButtons, "rightButton", ":/images/right_arrow.png", 32);
    f.line->setVisible(vertical);
    f.line_2->setVisible(vertical);
}

void showCoordinateFields(DashboardForm &f, int datumFormat)
{
    const bool decimal = datumFormat == 0;
    const bool seconds = datumFormat != 0 && datumFormat != 1;
    f.latitudeNumber->setVisible(decimal);
    f.longitudeNumber->setVisible(decimal);
    for (QWidget *w : {static_cast<QWidget *>(f.latitudeDeg), static_cast<QWidget *>(f.longitudeDeg),
                       static_cast<QWidget *>(f.latitudeMin), static_cast<QWidget *>(f.longitudeMin),
                       static_cast<QWidget *>(f.latDegMark), static_cast<QWidget *>(f.lonDegMark),
                       static_cast<QWidget *>(f.latMinMark), static_cast<QWidget *>(f.lonMinMark)})
        w->setVisible(!decimal);
    for (QWidget *w : {static_cast<QWidget *>(f.latitudeSec), static_cast<QWidget *>(f.longitudeSec),
                       static_cast<QWidget *>(f.latSecMark), static_cast<QWidget *>(f.lonSecMark)})
        w->setVisible(seconds);
    // Minutes: "59.9999" beside the degrees, or whole minutes before the seconds.
    for (auto [min, minMark, y] : {std::make_tuple(f.latitudeMin, f.latMinMark, 84),
                                   std::make_tuple(f.longitudeMin, f.lonMinMark, 134)}) {
        min->setDigitCount(seconds ? 2 : 7);
        min->setGeometry(seconds ? QRect(52, y, 28, 36) : QRect(52, y, 94, 36));
        minMark->move(seconds ? 80 : 146, y);
    }
    f.latSecMark->move(146, 84);
    f.lonSecMark->move(146, 134);
}

void displayNumber(QLCDNumber *display, const QString &text)
{
    if (text.size() > display->digitCount())
        display->setDigitCount(text.size());
    display->display(text);
}

QString gpsAccuracyImage(double hdop, float hdop0, float hdop1, float hdop2, float hdop3)
{
    int level = 1;
    if (hdop < 0)
        level = 0;
    else if (hdop < hdop0)
        level = 5;
    else if (hdop < hdop1)
        level = 4;
    else if (hdop < hdop2)
        level = 3;
    else if (hdop < hdop3)
        level = 2;
    return QStringLiteral(":/images/meter-%1.png").arg(level);
}

} // namespace vx

// Building the preferences: the tabs, their controls and connections.
// Filling and applying are in preferencesapply.cpp.
#include "preferencesdialog.h"

#include "graphranges.h"
#include "settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace vx {

namespace {

// Numbers as typed in the C locale: digits, one point, a leading minus. The
// value itself is not limited here (the record is clamped, the field keeps
// what the user typed), only its length.
const char *const kRealPattern = "-?[0-9]{0,9}(\\.[0-9]{0,6})?";
const char *const kIntegerPattern = "-?[0-9]{0,9}";
// A folder path longer than the system allows is refused whole, never cut.
constexpr int kMaxPathChars = 4096;

const char *const kGraphKeys[GRAPH_RANGE_COUNT] = {"speed", "distance", "los", "bearing", "altitude", "sats"};

QLabel *label(const QString &text) { return new QLabel(text); }

QWidget *row(std::initializer_list<QWidget *> widgets, bool stretch = true)
{
    auto *w = new QWidget;
    auto *l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    for (QWidget *item : widgets)
        l->addWidget(item);
    if (stretch)
        l->addStretch(1);
    return w;
}

} // namespace

preferencesDialog::preferencesDialog(QWidget *parent)
    : myDialog(parent)
{
    setWindowTitle(QStringLiteral("Preferences"));
    setObjectName(QStringLiteral("preferencesDialog"));
    m_openedLanguage = settings().language;

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("preferencesTabs"));
    // Every tab in sight: the dialog is as wide as its tab row.
    m_tabs->setUsesScrollButtons(false);
    m_tabs->addTab(buildGeneralTab(), QStringLiteral("General"));
    m_tabs->addTab(buildMapTab(), QStringLiteral("Map"));
    m_tabs->addTab(buildAdvancedTab(), QStringLiteral("Advanced"));
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g) {
        m_graphPages[g] = buildGraphTab(g);
        m_tabs->addTab(m_graphPages[g], graphTabTitle(g));
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);

    m_busyTimer = new QTimer(this);
    m_busyTimer->setInterval(250);
    connect(m_busyTimer, &QTimer::timeout, this, &preferencesDialog::updateBusyState);

    fillChoices();
    for (int f = 0; f < FIELD_COUNT; ++f)
        showRecord(f);
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g)
        showTicks(g);
    updateUnitLabels();
    updateGraphTabs();
    updateBusyState();
    connectControls();
}

preferencesDialog::~preferencesDialog()
{
    // A field reports the focus it loses while the window goes: nothing
    // reaches this half-destroyed dialog any more.
    for (QObject *child : findChildren<QObject *>())
        child->disconnect(this);
}

QString preferencesDialog::settingsGroup() const { return QStringLiteral("prefsWindow"); }

QString preferencesDialog::graphTabTitle(int graph)
{
    static const char *const titles[GRAPH_RANGE_COUNT] = {"Speed Graph",   "Distance Graph", "LOS Graph",
                                                          "Bearing Graph", "Altitude Graph", "Sat Count Graph"};
    return graph >= 0 && graph < GRAPH_RANGE_COUNT ? QString::fromLatin1(titles[graph]) : QString();
}

QLineEdit *preferencesDialog::makeField(Field field, const char *objectName, bool integer)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QString::fromLatin1(integer ? kIntegerPattern : kRealPattern)), edit));
    edit->setMaximumWidth(90);
    m_fields[field].edit = edit;
    return edit;
}

QRadioButton *preferencesDialog::makeRadio(QButtonGroup *group, const QString &text, const char *objectName,
                                           void (preferencesDialog::*slot)())
{
    auto *radio = new QRadioButton(text);
    radio->setObjectName(QString::fromLatin1(objectName));
    group->addButton(radio);
    connect(radio, &QRadioButton::clicked, this, slot);
    return radio;
}

QCheckBox *preferencesDialog::makeCheck(const QString &text, const char *objectName,
                                        void (preferencesDialog::*slot)())
{
    auto *check = new QCheckBox(text);
    check->setObjectName(QString::fromLatin1(objectName));
    connect(check, &QCheckBox::clicked, this, slot);
    return check;
}

QWidget *preferencesDialog::buildGeneralTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout;
    int r = 0;
    auto addRow = [&grid, &r](const QString &text, QWidget *w) {
        grid->addWidget(label(text), r, 0, Qt::AlignRight);
        grid->addWidget(w, r++, 1);
    };

    m_speedUnits = new QComboBox;
    m_speedUnits->setObjectName(QStringLiteral("speedUnitsCombo"));
    m_speedUnits->addItems({QStringLiteral("mph"), QStringLiteral("km/h"), QStringLiteral("meters/sec")});
    addRow(QStringLiteral("Speed Units:"), row({m_speedUnits}));
    m_datum = new QComboBox;
    m_datum->setObjectName(QStringLiteral("datumFormatCombo"));
    m_datum->addItems({QStringLiteral("Degrees"), QStringLiteral("Deg.Min"), QStringLiteral("Deg.Min.Sec")});
    addRow(QStringLiteral("Lat/Lon Units:"), row({m_datum}));

    auto *altitude = new QButtonGroup(page);
    m_feet = makeRadio(altitude, QStringLiteral("feet"), "feetRadio", &preferencesDialog::feet_button_clicked_slot);
    m_meters = makeRadio(altitude, QStringLiteral("meters"), "metersRadio",
                         &preferencesDialog::meters_button_clicked_slot);
    addRow(QStringLiteral("Altitude Units:"), row({m_feet, m_meters}));
    auto *temperature = new QButtonGroup(page);
    const QString degree(QChar(0x00B0));
    m_degF = makeRadio(temperature, degree + QLatin1Char('F'), "degFRadio",
                       &preferencesDialog::degF_button_clicked_slot);
    m_degC = makeRadio(temperature, degree + QLatin1Char('C'), "degCRadio",
                       &preferencesDialog::degC_button_clicked_slot);
    addRow(QStringLiteral("Temperature Units:"), row({m_degF, m_degC}));
    auto *sequencing = new QButtonGroup(page);
    m_byDate = makeRadio(sequencing, QStringLiteral("Date"), "byDateRadio", &preferencesDialog::by_date_slot);
    m_byName = makeRadio(sequencing, QStringLiteral("Name"), "byNameRadio", &preferencesDialog::by_name_slot);
    addRow(QStringLiteral("Movie Sequencing:"), row({m_byDate, m_byName}));
    auto *aspect = new QButtonGroup(page);
    m_maintain = makeRadio(aspect, QStringLiteral("Maintain"), "maintainRadio",
                           &preferencesDialog::aspect_maintain_slot);
    m_fill = makeRadio(aspect, QStringLiteral("Fill"), "fillRadio", &preferencesDialog::aspect_fill_slot);
    addRow(QStringLiteral("Aspect Ratio:"), row({m_maintain, m_fill}));
    auto *screenshot = new QButtonGroup(page);
    m_jpg = makeRadio(screenshot, QStringLiteral("JPG"), "jpgRadio", &preferencesDialog::jpg_button_clicked_slot);
    m_jpg->setToolTip(QStringLiteral("Lossy, but includes GPS data in EXIF block"));
    m_png = makeRadio(screenshot, QStringLiteral("PNG"), "pngRadio", &preferencesDialog::png_button_clicked_slot);
    m_png->setToolTip(QStringLiteral("Lossless"));
    addRow(QStringLiteral("Screenshot:"), row({m_jpg, m_png}));
    m_language = new QComboBox;
    m_language->setObjectName(QStringLiteral("languageCombo"));
    m_language->addItems({QStringLiteral("Default"), QStringLiteral("Chinese"), QStringLiteral("English")});
    addRow(QStringLiteral("Language:"), row({m_language}));
    auto *timeFormat = new QButtonGroup(page);
    m_twelve = makeRadio(timeFormat, QStringLiteral("12 hr"), "twelveHourRadio",
                         &preferencesDialog::twelveHour_button_clicked_slot);
    m_twentyFour = makeRadio(timeFormat, QStringLiteral("24 hr"), "twentyFourHourRadio",
                             &preferencesDialog::twentyFourHour_button_clicked_slot);
    addRow(QStringLiteral("Time Format:"), row({m_twelve, m_twentyFour}));
    addRow(QStringLiteral("Clock Bias:"), row({makeField(ClockBiasField, "clockBiasEdit", false), label("hrs")}));
    m_resetTimeBias = new QPushButton(QStringLiteral("Reset"));
    m_resetTimeBias->setObjectName(QStringLiteral("resetTimeBiasButton"));
    m_resetTimeBias->setAutoDefault(false);
    addRow(QStringLiteral("Time Bias:"),
           row({makeField(TimeBiasField, "timeBiasEdit", true), label("secs"), m_resetTimeBias}));
    QLineEdit *skip = makeField(SkipField, "skipEdit", false);
    skip->setToolTip(QStringLiteral("Skip the first n seconds of each movie."));
    addRow(QStringLiteral("Skip Time:"), row({skip, label("secs")}));
    addRow(QStringLiteral("Replay Time:"), row({makeField(ReplayField, "replayEdit", false), label("secs")}));

    auto *checks = new QVBoxLayout;
    m_ignoreGps = makeCheck(QStringLiteral("Ignore GPS data"), "ignoreGpsCheck", &preferencesDialog::ignore_gps_slot);
    m_ignoreGps->setToolTip(QStringLiteral("This option will tell Volantix not to scan for GPS data."));
    m_clickToGoGraph = makeCheck(QStringLiteral("Click-To-Go enabled in Graphs"), "clickToGoGraphCheck",
                                 &preferencesDialog::click_to_go_graphs_slot);
    m_invertZoom = makeCheck(QStringLiteral("Invert Mouse Zoom"), "invertZoomCheck",
                             &preferencesDialog::invert_mouse_zoom_slot);
    m_stayOnTop = makeCheck(QStringLiteral("Windows Stay On Top"), "stayOnTopCheck",
                            &preferencesDialog::windows_stay_on_top_slot);
    m_versionCheck = makeCheck(QStringLiteral("Check for Updates on Start Up"), "versionCheck",
                               &preferencesDialog::check_for_new_version_on_startup_slot);
    m_proxyButton = new QPushButton(QStringLiteral("Network Proxy..."));
    m_proxyButton->setObjectName(QStringLiteral("proxyButton"));
    m_proxyButton->setAutoDefault(false);
    for (QWidget *w : std::initializer_list<QWidget *>{m_ignoreGps, m_clickToGoGraph, m_invertZoom, m_stayOnTop,
                                                       m_versionCheck})
        checks->addWidget(w);
    checks->addWidget(m_proxyButton, 0, Qt::AlignLeft);
    checks->addStretch(1);

    m_autoload = new QGroupBox(QStringLiteral("Auto-load movies from this directory upon startup"));
    m_autoload->setObjectName(QStringLiteral("autoloadGroup"));
    m_autoload->setCheckable(true);
    m_autoloadDir = new QLineEdit;
    m_autoloadDir->setObjectName(QStringLiteral("autoloadDirEdit"));
    m_autoloadDir->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral(".{0,%1}").arg(kMaxPathChars)), m_autoloadDir));
    m_useCurrentDir = new QPushButton(QStringLiteral("Use Current Directory"));
    m_useCurrentDir->setObjectName(QStringLiteral("useCurrentDirButton"));
    m_useCurrentDir->setAutoDefault(false);
    // The button stays usable while the group is off: it switches it on.
    auto *autoloadRow = new QHBoxLayout(m_autoload);
    autoloadRow->addWidget(m_autoloadDir, 1);

    auto *top = new QHBoxLayout;
    top->addLayout(grid);
    top->addSpacing(32);
    top->addLayout(checks);
    top->addStretch(1);
    auto *outer = new QVBoxLayout(page);
    outer->addLayout(top);
    auto *autoload = new QHBoxLayout;
    autoload->addWidget(m_autoload, 1);
    autoload->addWidget(m_useCurrentDir, 0, Qt::AlignBottom);
    outer->addLayout(autoload);
    outer->addStretch(1);
    return page;
}

QWidget *preferencesDialog::buildMapTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    m_markers = new QComboBox;
    m_markers->setObjectName(QStringLiteral("markersCombo"));
    m_markers->setIconSize(QSize(24, 24));
    for (int i = 0; i < 7; ++i)
        m_markers->addItem(QIcon(QStringLiteral(":/images/marker-%1.png").arg(i)), QString());
    grid->addWidget(label(QStringLiteral("Vehicle Marker:")), 0, 0, Qt::AlignRight);
    grid->addWidget(row({m_markers}), 0, 1);
    m_markerSize = new QComboBox;
    m_markerSize->setObjectName(QStringLiteral("markerSizeCombo"));
    for (int size = 3; size <= 10; ++size)
        m_markerSize->addItem(QString::number(size));
    grid->addWidget(label(QStringLiteral("Marker Size:")), 1, 0, Qt::AlignRight);
    grid->addWidget(row({m_markerSize, label(QStringLiteral("pixels"))}), 1, 1);
    m_levels = new QComboBox;
    m_levels->setObjectName(QStringLiteral("levelsCombo"));
    m_levels->addItems({QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("14")});
    m_levelsPreview = new QLabel;
    m_levelsPreview->setObjectName(QStringLiteral("levelsPreview"));
    grid->addWidget(label(QStringLiteral("Number of Colors in Route Line:")), 2, 0, Qt::AlignRight);
    grid->addWidget(row({m_levels, m_levelsPreview}), 2, 1);
    auto *basis = new QButtonGroup(page);
    m_fastest = makeRadio(basis, QStringLiteral("Fastest Speed"), "fastestRadio",
                          &preferencesDialog::auto_scale_route_clicked_slot);
    m_fixed = makeRadio(basis, QStringLiteral("Fixed Speed of:"), "fixedRadio",
                        &preferencesDialog::fixed_scale_route_clicked_slot);
    m_vmaxUnit = new QLabel;
    grid->addWidget(label(QStringLiteral("Vmax Color is Based on:")), 3, 0, Qt::AlignRight);
    grid->addWidget(row({m_fastest}), 3, 1);
    grid->addWidget(row({m_fixed, makeField(VmaxField, "vmaxEdit", false), m_vmaxUnit}), 4, 1);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(2, 1);
    return page;
}

QWidget *preferencesDialog::buildAdvancedTab()
{
    auto *page = new QWidget;
    auto *outer = new QVBoxLayout(page);
    auto *times = new QGroupBox(QStringLiteral("Time Adjustments (applied when exporting output):"));
    auto *grid = new QGridLayout(times);
    QLineEdit *utc = makeField(UtcField, "utcEdit", false);
    utc->setToolTip(QStringLiteral(
        "Some dash cams store their GPS data in local time, not UTC. Enter the number of hours by which the "
        "camera's clock differs from UTC and every loaded time is corrected by it: for a camera set to Pacific "
        "Standard Time, enter -8."));
    QLineEdit *local = makeField(LocalTimeField, "localTimeEdit", false);
    local->setToolTip(QStringLiteral(
        "This is the offset from UTC to Local Time. Exported files give local times as UTC plus this many "
        "hours: for Pacific Standard Time, enter -8."));
    grid->addWidget(label(QStringLiteral("UTC Time correction:")), 0, 0, Qt::AlignRight);
    grid->addWidget(row({utc, label(QStringLiteral("hours timezone correction for UTC."))}), 0, 1);
    grid->addWidget(label(QStringLiteral("Local Time correction: Apply")), 1, 0, Qt::AlignRight);
    grid->addWidget(row({local, label(QStringLiteral("hours to convert from UTC to local time."))}), 1, 1);
    outer->addWidget(times);

    auto *speedo = new QGridLayout;
    auto *speedoGroup = new QButtonGroup(page);
    m_autoSpeedo = makeRadio(speedoGroup, QStringLiteral("Auto"), "autoSpeedoRadio",
                             &preferencesDialog::auto_speedo_button_clicked_slot);
    m_manualSpeedo = makeRadio(speedoGroup, QStringLiteral("Manual"), "manualSpeedoRadio",
                               &preferencesDialog::manual_speedo_button_clicked_slot);
    speedo->addWidget(label(QStringLiteral("Speedometer:")), 0, 0, Qt::AlignRight);
    speedo->addWidget(row({m_autoSpeedo, m_manualSpeedo}), 0, 1);
    speedo->addWidget(label(QStringLiteral("Speedometer Max:")), 1, 0, Qt::AlignRight);
    speedo->addWidget(row({makeField(SpeedoMaxField, "speedoMaxEdit", true), label(QStringLiteral("(10-200)"))}),
                      1, 1);
    outer->addLayout(speedo);
    outer->addStretch(1);
    return page;
}

QWidget *preferencesDialog::buildGraphTab(int graph)
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    const QByteArray key = kGraphKeys[graph];
    const bool whole = graph == SatsGraph;
    m_minUnit[graph] = new QLabel;
    m_maxUnit[graph] = new QLabel;
    auto *ticks = new QSpinBox;
    ticks->setObjectName(QString::fromLatin1(key + "TicksSpin"));
    ticks->setRange(1, MAX_GRAPH_TICKS);
    m_ticks[graph].spin = ticks;
    grid->addWidget(label(QStringLiteral("Min:")), 0, 0, Qt::AlignRight);
    grid->addWidget(row({makeField(Field(GraphMinField + graph), (key + "MinEdit").constData(), whole),
                         m_minUnit[graph]}),
                    0, 1);
    grid->addWidget(label(QStringLiteral("Max:")), 1, 0, Qt::AlignRight);
    grid->addWidget(row({makeField(Field(GraphMaxField + graph), (key + "MaxEdit").constData(), whole),
                         m_maxUnit[graph]}),
                    1, 1);
    grid->addWidget(label(QStringLiteral("Ticks:")), 2, 0, Qt::AlignRight);
    grid->addWidget(row({ticks}), 2, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(2, 1);
    return page;
}

void preferencesDialog::connectControls()
{
    connect(m_tabs, &QTabWidget::currentChanged, this, &preferencesDialog::tab_changed_slot);
    connect(m_speedUnits, QOverload<int>::of(&QComboBox::activated), this,
            &preferencesDialog::speed_units_combo_changed_slot);
    connect(m_datum, QOverload<int>::of(&QComboBox::activated), this,
            &preferencesDialog::datum_format_combo_changed_slot);
    connect(m_language, QOverload<int>::of(&QComboBox::activated), this,
            &preferencesDialog::language_combo_changed_slot);
    connect(m_markers, QOverload<int>::of(&QComboBox::activated), this, &preferencesDialog::markers_combo_changed_slot);
    connect(m_markerSize, QOverload<int>::of(&QComboBox::activated), this,
            &preferencesDialog::markers_size_combo_changed_slot);
    connect(m_levels, QOverload<const QString &>::of(&QComboBox::textActivated), this,
            &preferencesDialog::levels_combo_changed_slot);
    connect(m_resetTimeBias, &QPushButton::clicked, this, &preferencesDialog::reset_time_bias_button_clicked_slot);
    connect(m_proxyButton, &QPushButton::clicked, this, &preferencesDialog::proxy_slot);
    connect(m_useCurrentDir, &QPushButton::clicked, this, &preferencesDialog::use_current_dir_slot);
    connect(m_autoload, &QGroupBox::clicked, this, &preferencesDialog::autoload_slot);
    connect(m_autoloadDir, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_autoloadDirEdited = true;
        update_preferences_slot(text);
    });
    for (int f = 0; f < FIELD_COUNT; ++f) {
        QLineEdit *edit = m_fields[f].edit;
        if (f == SpeedoMaxField) {
            connect(edit, &QLineEdit::textEdited, this, &preferencesDialog::update_max_speed_slot);
        } else {
            connect(edit, &QLineEdit::textEdited, this, [this, f](const QString &text) {
                fieldEdited(f);
                update_preferences_slot(text);
            });
        }
        connect(edit, &QLineEdit::editingFinished, this, &preferencesDialog::settle);
    }
    void (preferencesDialog::*const tickSlots[GRAPH_RANGE_COUNT])(int) = {
        &preferencesDialog::speedDashcam_ticks_slot, &preferencesDialog::distance_ticks_slot,
        &preferencesDialog::los_ticks_slot,          &preferencesDialog::bearing_ticks_slot,
        &preferencesDialog::alt_ticks_slot,          &preferencesDialog::sats_ticks_slot};
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g) {
        connect(m_ticks[g].spin, QOverload<int>::of(&QSpinBox::valueChanged), this, tickSlots[g]);
        connect(m_ticks[g].spin, &QSpinBox::editingFinished, this, &preferencesDialog::settle);
    }
}

} // namespace vx

// The preferences' controls against the settings record: showing the
// record, the single-control rules, and the apply that reads what the user
// edited back into the record.
#include "preferencesdialog.h"

#include "graphranges.h"
#include "preferencerules.h"
#include "proxydialog.h"
#include "settings.h"
#include "track/trackstore.h"
#include "views/viewhost.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QRadioButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

// The tab last shown in this run, by title (the graph tabs come and go).
QString &lastTabTitle()
{
    static QString title;
    return title;
}

const int kLevelCounts[] = {1, 5, 10, 14};

template <typename Checkable>
void setChecked(Checkable *button, bool on)
{
    const QSignalBlocker quiet(button);
    button->setChecked(on);
}

void setIndex(QComboBox *combo, int index)
{
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(std::clamp(index, 0, combo->count() - 1));
}

int graphOfField(int field, int first) { return field - first; }

QString appTitle() { return QString::fromLatin1(keys::APPLICATION); }

} // namespace

// ---- showing the record ------------------------------------------------------------

double preferencesDialog::recordValue(int field) const
{
    const SettingsRecord &s = settings();
    if (field >= GraphMinField && field < GraphMaxField)
        return graphRange(s, graphOfField(field, GraphMinField)).min;
    if (field >= GraphMaxField && field < ClockBiasField)
        return graphRange(s, graphOfField(field, GraphMaxField)).max;
    switch (field) {
    case ClockBiasField: return s.clockBias;
    case UtcField: return s.utcOffset;
    case SpeedoMaxField: return s.maxUserSpeedo;
    case LocalTimeField: return s.localTimeOffset;
    case SkipField: return s.skip;
    case ReplayField: return s.instantReplay;
    case TimeBiasField: return s.timeBias;
    case VmaxField: return s.vmaxFixed;
    default: return 0;
    }
}

QString preferencesDialog::recordText(int field) const
{
    const double v = recordValue(field);
    const bool graphField = field < ClockBiasField;
    if (graphField) {
        const bool sats = field == GraphMinField + SatsGraph || field == GraphMaxField + SatsGraph;
        return sats ? QString::number(static_cast<qint64>(v)) : QString::fromLatin1(fixedNumber(v, 1));
    }
    switch (field) {
    case ClockBiasField: return QString::fromLatin1(fixedNumber(v / 3600.0, 4));
    case SpeedoMaxField:
    case TimeBiasField: return QString::number(static_cast<qint64>(v));
    case VmaxField: return QString::fromLatin1(fixedNumber(v * settings().speedFactor, 0));
    default: return QString::fromLatin1(generalNumber(v));
    }
}

void preferencesDialog::showRecord(int field)
{
    NumberField &f = m_fields[field];
    f.known = recordText(field);
    f.shown = recordValue(field);
    f.edited = false;
    if (f.edit->text() != f.known) {
        const QSignalBlocker quiet(f.edit);
        f.edit->setText(f.known);
    }
}

void preferencesDialog::showTicks(int graph)
{
    TicksField &t = m_ticks[graph];
    t.known = t.shown = graphRange(settings(), graph).ticks;
    t.edited = false;
    const QSignalBlocker quiet(t.spin);
    t.spin->setValue(t.shown);
}

void preferencesDialog::fillChoices()
{
    const SettingsRecord &s = settings();
    setIndex(m_speedUnits, s.outUnits);
    setIndex(m_datum, s.datumFormat);
    setChecked(s.altUnits == 1 ? m_meters : m_feet, true);
    setChecked(s.tempUnits == 1 ? m_degC : m_degF, true);
    setChecked(s.dateSort ? m_byDate : m_byName, true);
    setChecked(s.aspectMaintain ? m_maintain : m_fill, true);
    setChecked(s.imageType == 1 ? m_jpg : m_png, true);
    setChecked(s.timeFormat == 1 ? m_twentyFour : m_twelve, true);
    setIndex(m_language, std::max(0, m_language->findText(s.language)));
    setChecked(m_ignoreGps, s.ignoreGps);
    setChecked(m_clickToGoGraph, s.clickToGoGraph);
    setChecked(m_invertZoom, s.invertMouseZoomDir);
    setChecked(m_stayOnTop, s.windowsStayOnTop);
    setChecked(m_versionCheck, s.newVersionCheck);
    setChecked(m_autoload, s.autoload);
    if (!m_autoloadDirEdited && m_autoloadDir->text() != s.autoloadDir) {
        const QSignalBlocker quiet(m_autoloadDir);
        m_autoloadDir->setText(s.autoloadDir);
    }
    setIndex(m_markers, s.mapMarker);
    setIndex(m_markerSize, s.mapMarkerSize - 3);
    // A count without a table of its own is drawn with the 14 colours.
    const int *level = std::find(std::begin(kLevelCounts), std::end(kLevelCounts), s.colorLevels);
    const int levelIndex = level == std::end(kLevelCounts) ? 3 : static_cast<int>(level - kLevelCounts);
    setIndex(m_levels, levelIndex);
    m_levelsPreview->setPixmap(QPixmap(QStringLiteral(":/images/levels-%1.png").arg(kLevelCounts[levelIndex])));
    setChecked(s.autoScaleRoute ? m_fastest : m_fixed, true);
    setChecked(s.autoSpeedo ? m_autoSpeedo : m_manualSpeedo, true);
}

void preferencesDialog::updateUnitLabels()
{
    const SettingsRecord &s = settings();
    const QString speed = speedUnitName(s.speedUnitIndex);
    const QString distance = distanceUnitName(s.distUnitIndex);
    const QString units[GRAPH_RANGE_COUNT] = {speed, distance, distance, QString(), altitudeUnitName(s.altUnits),
                                              QString()};
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g) {
        m_minUnit[g]->setText(units[g]);
        m_maxUnit[g]->setText(units[g]);
    }
    m_vmaxUnit->setText(speed);
    const float peak = track().numBlocks > 0 ? track().stats.peakSpeed : -1.0f;
    m_fastest->setText(peak > 0 ? QStringLiteral("Fastest Speed (%1 %2)")
                                      .arg(QString::number(peak * s.speedFactor, 'f', 0), speed)
                                : QStringLiteral("Fastest Speed"));
}

void preferencesDialog::updateGraphTabs()
{
    const TrackStore &t = track();
    bool altitude = false;
    bool sats = false;
    for (int b = 0; b < std::clamp(t.numBlocks, 0, MAX_BLOCKS); ++b) {
        altitude = altitude || t.block[b].hasAltitude;
        sats = sats || t.block[b].hasSats;
    }
    const bool wanted[GRAPH_RANGE_COUNT] = {true, true, true, true, altitude, sats};
    const QSignalBlocker quiet(m_tabs);
    const QString current = currentTabTitle();
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g) {
        const int at = m_tabs->indexOf(m_graphPages[g]);
        if (wanted[g] && at < 0) {
            // Back in its place: after the tabs of the graphs before it.
            int position = 3;
            for (int before = 0; before < g; ++before)
                if (m_tabs->indexOf(m_graphPages[before]) >= 0)
                    ++position;
            m_tabs->insertTab(position, m_graphPages[g], graphTabTitle(g));
        } else if (!wanted[g] && at >= 0) {
            m_tabs->removeTab(at);
        }
    }
    for (int i = 0; i < m_tabs->count(); ++i)
        if (m_tabs->tabText(i) == current)
            m_tabs->setCurrentIndex(i);
}

void preferencesDialog::updateBusyState()
{
    // The UTC correction shifts the store's times and "Ignore GPS data"
    // changes what a load reads: neither while the store is being filled.
    const bool busy = viewHost() && viewHost()->storeBusy();
    m_fields[UtcField].edit->setEnabled(!busy);
    m_ignoreGps->setEnabled(!busy);
}

void preferencesDialog::settle()
{
    for (int f = 0; f < FIELD_COUNT; ++f)
        if (m_fields[f].edit->text() != recordText(f) || m_fields[f].edited)
            showRecord(f);
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g)
        if (m_ticks[g].spin->value() != graphRange(settings(), g).ticks || m_ticks[g].edited)
            showTicks(g);
}

QString preferencesDialog::currentTabTitle() const
{
    return m_tabs->currentIndex() >= 0 ? m_tabs->tabText(m_tabs->currentIndex()) : QString();
}

QStringList preferencesDialog::tabTitles() const
{
    QStringList titles;
    for (int i = 0; i < m_tabs->count(); ++i)
        titles << m_tabs->tabText(i);
    return titles;
}

void preferencesDialog::showAtTab(const QString &tabTitle)
{
    updateGraphTabs();
    updateUnitLabels();
    const QString wanted = tabTitle.isEmpty() ? lastTabTitle() : tabTitle;
    for (int i = 0; i < m_tabs->count(); ++i)
        if (m_tabs->tabText(i) == wanted)
            m_tabs->setCurrentIndex(i);
    lastTabTitle() = currentTabTitle();
    show();
    raise();
    activateWindow();
}

void preferencesDialog::settingsChangedElsewhere(unsigned changes)
{
    Q_UNUSED(changes);
    if (m_applying)
        return;
    fillChoices();
    // Only what changed: a field being typed keeps its text otherwise.
    for (int f = 0; f < FIELD_COUNT; ++f)
        if (recordText(f) != m_fields[f].known)
            showRecord(f);
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g)
        if (graphRange(settings(), g).ticks != m_ticks[g].known)
            showTicks(g);
    updateUnitLabels();
    updateGraphTabs();
}

// ---- applying ------------------------------------------------------------------------

void preferencesDialog::fieldEdited(int field) { m_fields[field].edited = true; }

bool preferencesDialog::anythingEdited() const
{
    return m_autoloadDirEdited || std::any_of(std::begin(m_fields), std::end(m_fields), [](const NumberField &f) {
               return f.edited;
           }) || std::any_of(std::begin(m_ticks), std::end(m_ticks), [](const TicksField &t) { return t.edited; });
}

void preferencesDialog::writeEditedFields(SettingsRecord &s)
{
    // What the user typed, or nothing when it is not (yet) a number.
    auto typed = [this](int field) -> std::optional<double> {
        const NumberField &f = m_fields[field];
        return f.edited ? parseReal(f.edit->text()) : std::nullopt;
    };
    // 1. The graphs: a field not edited counts with the value it shows.
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g) {
        const NumberField &lo = m_fields[GraphMinField + g];
        const NumberField &hi = m_fields[GraphMaxField + g];
        if (!lo.edited && !hi.edited && !m_ticks[g].edited)
            continue;
        GraphRange r;
        r.min = typed(GraphMinField + g).value_or(lo.shown);
        r.max = typed(GraphMaxField + g).value_or(hi.shown);
        r.ticks = m_ticks[g].edited ? m_ticks[g].spin->value() : m_ticks[g].shown;
        setGraphRange(s, g, clampedGraphRange(g, r, s.distFactor));
    }
    // 2. - 4. The times, the speedometer, skip and replay.
    if (const auto v = typed(ClockBiasField))
        s.clockBias = secondsFromHours(*v);
    if (const auto v = typed(UtcField)) {
        if (!(viewHost() && viewHost()->storeBusy()))
            changeUtcOffset(s, *v);
    }
    if (const auto v = typed(SpeedoMaxField))
        s.maxUserSpeedo = clampSpeedoMax(std::llround(std::clamp(*v, -1e12, 1e12)));
    if (const auto v = typed(LocalTimeField))
        s.localTimeOffset = static_cast<float>(clampTimeOffsetHours(*v));
    if (const auto v = typed(SkipField))
        s.skip = clampSkip(*v);
    if (const auto v = typed(ReplayField))
        s.instantReplay = clampReplay(*v);
    if (const auto v = typed(TimeBiasField))
        s.timeBias = static_cast<int>(clampTimeOffsetSec(std::llround(std::clamp(*v, -1e12, 1e12))));
    if (const auto v = typed(VmaxField))
        s.vmaxFixed = vmaxFromShown(*v, s.speedFactor);
    if (m_autoloadDirEdited)
        s.autoloadDir = m_autoloadDir->text();
}

void preferencesDialog::applyChange(const std::function<void(SettingsRecord &)> &change, bool withFields)
{
    SettingsRecord &s = settings();
    const SettingsRecord before = s;
    if (change)
        change(s);
    if (withFields)
        writeEditedFields(s);
    recomputeFactors(s);
    m_applying = true;
    if (ViewHost *host = viewHost())
        host->settingsChanged(settingsChangeFlags(before, s));
    else
        saveSettings();
    m_applying = false;
    // The dialog now knows the record as it is; a field that is not being
    // typed shows what its setting became (the Vmax in a new speed unit).
    // The graph fields wait for the typing to finish: a maximum typed
    // below its minimum must not lose the minimum on the way.
    for (int f = 0; f < FIELD_COUNT; ++f) {
        m_fields[f].known = recordText(f);
        if (f >= ClockBiasField && !m_fields[f].edited && m_fields[f].edit->text() != m_fields[f].known)
            showRecord(f);
    }
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g)
        m_ticks[g].known = graphRange(s, g).ticks;
    updateUnitLabels();
}

void preferencesDialog::apply() { applyChange(nullptr); }

void preferencesDialog::update_preferences_slot(const QString &text)
{
    Q_UNUSED(text);
    apply();
}

void preferencesDialog::update_max_speed_slot(const QString &text)
{
    Q_UNUSED(text);
    // Typing a maximum chooses the manual speedometer.
    fieldEdited(SpeedoMaxField);
    setChecked(m_manualSpeedo, true);
    applyChange([](SettingsRecord &s) { s.autoSpeedo = false; });
}

void preferencesDialog::ticksEdited(int graph)
{
    m_ticks[graph].edited = true;
    apply();
}

void preferencesDialog::speedDashcam_ticks_slot(int) { ticksEdited(SpeedGraph); }
void preferencesDialog::distance_ticks_slot(int) { ticksEdited(DistanceGraph); }
void preferencesDialog::los_ticks_slot(int) { ticksEdited(LosGraph); }
void preferencesDialog::bearing_ticks_slot(int) { ticksEdited(BearingGraph); }
void preferencesDialog::alt_ticks_slot(int) { ticksEdited(AltitudeGraph); }
void preferencesDialog::sats_ticks_slot(int) { ticksEdited(SatsGraph); }

// ---- single controls ---------------------------------------------------------------------

void preferencesDialog::reset_time_bias_button_clicked_slot()
{
    m_fields[TimeBiasField].edited = false;
    applyChange([](SettingsRecord &s) { s.timeBias = 0; });
    showRecord(TimeBiasField);
}

void preferencesDialog::tab_changed_slot(int index)
{
    if (index >= 0)
        lastTabTitle() = m_tabs->tabText(index);
}

void preferencesDialog::speed_units_combo_changed_slot(int index)
{
    applyChange([index](SettingsRecord &s) { s.outUnits = std::clamp(index, 0, 2); });
}

void preferencesDialog::datum_format_combo_changed_slot(int index)
{
    applyChange([index](SettingsRecord &s) { s.datumFormat = std::clamp(index, 0, 2); });
}

void preferencesDialog::meters_button_clicked_slot() { applyChange([](SettingsRecord &s) { s.altUnits = 1; }); }
void preferencesDialog::feet_button_clicked_slot() { applyChange([](SettingsRecord &s) { s.altUnits = 0; }); }
void preferencesDialog::degC_button_clicked_slot() { applyChange([](SettingsRecord &s) { s.tempUnits = 1; }); }
void preferencesDialog::degF_button_clicked_slot() { applyChange([](SettingsRecord &s) { s.tempUnits = 0; }); }
void preferencesDialog::by_date_slot() { applyChange([](SettingsRecord &s) { s.dateSort = true; }); }
void preferencesDialog::by_name_slot() { applyChange([](SettingsRecord &s) { s.dateSort = false; }); }
void preferencesDialog::aspect_maintain_slot() { applyChange([](SettingsRecord &s) { s.aspectMaintain = true; }); }
void preferencesDialog::aspect_fill_slot() { applyChange([](SettingsRecord &s) { s.aspectMaintain = false; }); }

// The image type and the clock format are stored alone, without the rest
// of the apply.
void preferencesDialog::jpg_button_clicked_slot() { applyChange([](SettingsRecord &s) { s.imageType = 1; }, false); }
void preferencesDialog::png_button_clicked_slot() { applyChange([](SettingsRecord &s) { s.imageType = 0; }, false); }
void preferencesDialog::twelveHour_button_clicked_slot()
{
    applyChange([](SettingsRecord &s) { s.timeFormat = 0; }, false);
}
void preferencesDialog::twentyFourHour_button_clicked_slot()
{
    applyChange([](SettingsRecord &s) { s.timeFormat = 1; }, false);
}

void preferencesDialog::proxy_slot() { openProxyDialog(this); }

void preferencesDialog::ignore_gps_slot()
{
    const bool on = m_ignoreGps->isChecked();
    if (viewHost() && viewHost()->storeBusy()) {
        setChecked(m_ignoreGps, !on);
        return;
    }
    applyChange([on](SettingsRecord &s) { s.ignoreGps = on; });
}

void preferencesDialog::click_to_go_graphs_slot()
{
    const bool on = m_clickToGoGraph->isChecked();
    applyChange([on](SettingsRecord &s) { s.clickToGoGraph = on; });
}

void preferencesDialog::invert_mouse_zoom_slot()
{
    const bool on = m_invertZoom->isChecked();
    applyChange([on](SettingsRecord &s) { s.invertMouseZoomDir = on; });
}

void preferencesDialog::check_for_new_version_on_startup_slot()
{
    const bool on = m_versionCheck->isChecked();
    applyChange([on](SettingsRecord &s) { s.newVersionCheck = on; });
}

void preferencesDialog::auto_scale_route_clicked_slot()
{
    applyChange([](SettingsRecord &s) { s.autoScaleRoute = true; });
}

void preferencesDialog::fixed_scale_route_clicked_slot()
{
    applyChange([](SettingsRecord &s) { s.autoScaleRoute = false; });
}

void preferencesDialog::levels_combo_changed_slot(const QString &text)
{
    const int levels = text.toInt();
    m_levelsPreview->setPixmap(QPixmap(QStringLiteral(":/images/levels-%1.png").arg(levels)));
    applyChange([levels](SettingsRecord &s) { s.colorLevels = levels; });
}

void preferencesDialog::markers_combo_changed_slot(int index)
{
    applyChange([index](SettingsRecord &s) { s.mapMarker = std::max(index, 0); });
}

void preferencesDialog::markers_size_combo_changed_slot(int index)
{
    applyChange([index](SettingsRecord &s) { s.mapMarkerSize = std::max(index, 0) + 3; });
}

void preferencesDialog::language_combo_changed_slot(int index)
{
    const QString language = m_language->itemText(index);
    applyChange([language](SettingsRecord &s) { s.language = language; });
    if (language != m_openedLanguage)
        QMessageBox::information(this, appTitle(),
                                 QStringLiteral("Please restart %1 after changing the language.").arg(appTitle()));
}

void preferencesDialog::autoload_slot()
{
    const bool on = m_autoload->isChecked();
    applyChange([on](SettingsRecord &s) { s.autoload = on; });
}

void preferencesDialog::use_current_dir_slot()
{
    QSettings store(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
    const QString folder = store.value(QString::fromLatin1(keys::MOVIE_DIRECTORY)).toString();
    {
        const QSignalBlocker quiet(m_autoloadDir);
        m_autoloadDir->setText(folder);
    }
    setChecked(m_autoload, true);
    m_autoloadDirEdited = false;
    applyChange([folder](SettingsRecord &s) {
        s.autoloadDir = folder;
        s.autoload = true;
    });
}

void preferencesDialog::windows_stay_on_top_slot()
{
    const bool on = m_stayOnTop->isChecked();
    applyChange([on](SettingsRecord &s) { s.windowsStayOnTop = on; });
    QMessageBox::information(this, appTitle(), QStringLiteral("Please restart %1 to see the change.").arg(appTitle()));
}

void preferencesDialog::auto_speedo_button_clicked_slot()
{
    applyChange([](SettingsRecord &s) { s.autoSpeedo = true; });
}

void preferencesDialog::manual_speedo_button_clicked_slot()
{
    applyChange([](SettingsRecord &s) { s.autoSpeedo = false; });
}

// ---- events ----------------------------------------------------------------------------

void preferencesDialog::closeEvent(QCloseEvent *event)
{
    // Closing applies once more: what was typed last, clamped.
    if (anythingEdited())
        apply();
    settle();
    m_autoloadDirEdited = false;
    myDialog::closeEvent(event);
}

void preferencesDialog::showEvent(QShowEvent *event)
{
    myDialog::showEvent(event);
    updateBusyState();
    m_busyTimer->start();
}

void preferencesDialog::hideEvent(QHideEvent *event)
{
    m_busyTimer->stop();
    myDialog::hideEvent(event);
}

} // namespace vx

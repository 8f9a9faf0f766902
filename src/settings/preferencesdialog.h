// The preferences: the settings record edited on nine tabs -- "General",
// "Map", "Advanced" and the six graph tabs (the "Altitude Graph" and "Sat
// Count Graph" tabs only while a loaded movie has altitudes or satellite
// counts). There is no OK or Cancel: every change applies at once and is
// saved, and closing the dialog applies once more.
//
// What the user typed is the dialog's; the record is what the clamps make of
// it: typing "150" passes through "1" and "15" without the field being
// rewritten, and a field shows its setting again, clamped, when the typing
// is finished. Only the fields the user edited are written back, so opening
// and closing the dialog changes nothing (a clock bias of 5399 s stays 5399
// s although it is shown as 1.4997 hours). When another window changes the
// record (graph keys, dashboard clicks, a per-movie settings file) the
// controls follow. The UTC correction shifts the loaded telemetry: it is
// refused while a load or a media-tool run uses the store.
#pragma once

#include "views/mydialog.h"

#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTimer;

namespace vx {

struct SettingsRecord;

class preferencesDialog : public myDialog {
    Q_OBJECT

public:
    explicit preferencesDialog(QWidget *parent = nullptr);
    ~preferencesDialog() override;

    // The geometry group "prefsWindow".
    QString settingsGroup() const override;

    // Shows the dialog in front, at the tab titled `tabTitle`, or at the
    // tab last shown in this run when there is no such tab.
    void showAtTab(const QString &tabTitle);
    QString currentTabTitle() const;
    // "Speed Graph" ... "Sat Count Graph" by graph index.
    static QString graphTabTitle(int graph);
    QStringList tabTitles() const;

    // Another window changed the record: the controls show the new values.
    // A field being typed keeps its text unless its own setting changed.
    void settingsChangedElsewhere(unsigned changes);

    // Reads the edited fields back into the record (clamped), recomputes the
    // unit factors and tells every window; saved.
    void apply();

    // The numeric fields, in the order the apply reads them.
    enum Field {
        GraphMinField = 0,                 // + graph index (0..5)
        GraphMaxField = GraphMinField + 6,  // + graph index
        ClockBiasField = GraphMaxField + 6,
        UtcField,
        SpeedoMaxField,
        LocalTimeField,
        SkipField,
        ReplayField,
        TimeBiasField,
        VmaxField,
        FIELD_COUNT
    };

public slots:
    void reset_time_bias_button_clicked_slot();
    void tab_changed_slot(int index);
    void speed_units_combo_changed_slot(int index);
    void datum_format_combo_changed_slot(int index);
    void meters_button_clicked_slot();
    void feet_button_clicked_slot();
    void degC_button_clicked_slot();
    void degF_button_clicked_slot();
    void by_date_slot();
    void by_name_slot();
    void jpg_button_clicked_slot();
    void png_button_clicked_slot();
    void aspect_maintain_slot();
    void aspect_fill_slot();
    void twelveHour_button_clicked_slot();
    void twentyFourHour_button_clicked_slot();
    void update_preferences_slot(const QString &text);
    void update_max_speed_slot(const QString &text);
    void speedDashcam_ticks_slot(int value);
    void distance_ticks_slot(int value);
    void los_ticks_slot(int value);
    void bearing_ticks_slot(int value);
    void alt_ticks_slot(int value);
    void sats_ticks_slot(int value);
    void proxy_slot();
    void ignore_gps_slot();
    void click_to_go_graphs_slot();
    void invert_mouse_zoom_slot();
    void check_for_new_version_on_startup_slot();
    void auto_scale_route_clicked_slot();
    void fixed_scale_route_clicked_slot();
    void levels_combo_changed_slot(const QString &text);
    void markers_combo_changed_slot(int index);
    void markers_size_combo_changed_slot(int index);
    void language_combo_changed_slot(int index);
    void autoload_slot();
    void use_current_dir_slot();
    void windows_stay_on_top_slot();
    void auto_speedo_button_clicked_slot();
    void manual_speedo_button_clicked_slot();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    struct NumberField {
        QLineEdit *edit = nullptr;
        bool edited = false;  // typed since the field last showed its setting
        double shown = 0;     // the setting (record units) the field last showed
        QString known;        // the setting's text when the dialog last saw the record
    };
    struct TicksField {
        QSpinBox *spin = nullptr;
        bool edited = false;
        int shown = 4;
        int known = 4;
    };

    // Building (preferencesdialog.cpp).
    QWidget *buildGeneralTab();
    QWidget *buildMapTab();
    QWidget *buildAdvancedTab();
    QWidget *buildGraphTab(int graph);
    QLineEdit *makeField(Field field, const char *objectName, bool integer);
    QRadioButton *makeRadio(QButtonGroup *group, const QString &text, const char *objectName,
                            void (preferencesDialog::*slot)());
    QCheckBox *makeCheck(const QString &text, const char *objectName, void (preferencesDialog::*slot)());
    void connectControls();

    // Showing the record (preferencesapply.cpp).
    double recordValue(int field) const;
    QString recordText(int field) const;
    void showRecord(int field);
    void showTicks(int graph);
    void fillChoices();
    void updateUnitLabels();
    void updateGraphTabs();
    void updateBusyState();
    // After the user finished typing in a field: every field that shows
    // something else than its setting shows the setting.
    void settle();

    // Applying (preferencesapply.cpp): `change` writes the control that was
    // used; with `withFields` the edited fields follow.
    void applyChange(const std::function<void(SettingsRecord &)> &change, bool withFields = true);
    void writeEditedFields(SettingsRecord &s);
    void fieldEdited(int field);
    // A tick spin box changed: marked and applied.
    void ticksEdited(int graph);
    bool anythingEdited() const;

    QTabWidget *m_tabs = nullptr;
    QWidget *m_graphPages[6] = {};
    NumberField m_fields[FIELD_COUNT];
    TicksField m_ticks[6];
    QLabel *m_minUnit[6] = {};
    QLabel *m_maxUnit[6] = {};

    // General
    QComboBox *m_speedUnits = nullptr;
    QComboBox *m_datum = nullptr;
    QRadioButton *m_feet = nullptr, *m_meters = nullptr;
    QRadioButton *m_degF = nullptr, *m_degC = nullptr;
    QRadioButton *m_byDate = nullptr, *m_byName = nullptr;
    QRadioButton *m_maintain = nullptr, *m_fill = nullptr;
    QRadioButton *m_jpg = nullptr, *m_png = nullptr;
    QRadioButton *m_twelve = nullptr, *m_twentyFour = nullptr;
    QComboBox *m_language = nullptr;
    QCheckBox *m_ignoreGps = nullptr;
    QCheckBox *m_clickToGoGraph = nullptr;
    QCheckBox *m_invertZoom = nullptr;
    QCheckBox *m_stayOnTop = nullptr;
    QCheckBox *m_versionCheck = nullptr;
    QPushButton *m_proxyButton = nullptr;
    QGroupBox *m_autoload = nullptr;
    QLineEdit *m_autoloadDir = nullptr;
    bool m_autoloadDirEdited = false;
    QPushButton *m_useCurrentDir = nullptr;
    QPushButton *m_resetTimeBias = nullptr;
    // Map
    QComboBox *m_markers = nullptr;
    QComboBox *m_markerSize = nullptr;
    QComboBox *m_levels = nullptr;
    QLabel *m_levelsPreview = nullptr;
    QRadioButton *m_fastest = nullptr, *m_fixed = nullptr;
    QLabel *m_vmaxUnit = nullptr;
    // Advanced
    QRadioButton *m_autoSpeedo = nullptr, *m_manualSpeedo = nullptr;

    QTimer *m_busyTimer = nullptr;
    QString m_openedLanguage;
    bool m_applying = false;
};

} // namespace vx

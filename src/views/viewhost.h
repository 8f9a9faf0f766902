// What the dashboard, the map, the graph window and the control center ask
// of the rest of the program. The player window installs one host; the
// windows call it instead of reaching into the player or into each other.
#pragma once

#include <QString>
#include <QtGlobal>

namespace vx {

struct SettingsRecord;

// What part of the settings record a window (or a dialog) has just changed.
// Several may be or-ed together.
enum SettingsChange : unsigned {
    UnitsChanged = 1u << 0,        // outUnits, altUnits, tempUnits: factors and every unit text
    CoordinatesChanged = 1u << 1,  // datumFormat: coordinate texts
    TimeSyncChanged = 1u << 2,     // timeBias, clockBias, time offsets: the tick's time base
    GraphRangesChanged = 1u << 3,  // a graph's minimum, maximum or tick count
    RouteChanged = 1u << 4,        // colorLevels, autoScaleRoute, vmaxFixed: route and curve colours
    MapMarkerChanged = 1u << 5,    // mapMarker, mapMarkerSize, mapType and the other map settings
    DashboardChanged = 1u << 6,    // autoSpeedo, maxUserSpeedo, the hdop thresholds
    PlayerChanged = 1u << 7,       // volume, mute, brightness, contrast, aspectMaintain
    GpsUseChanged = 1u << 8,       // ignoreGps: telemetry shown or not
    AllSettingsChanged = 0xffffu,
};

class ViewHost {
public:
    virtual ~ViewHost() = default;
    // A load or a media-tool run is under way: requests that would change
    // the store or the playback position are ignored.
    virtual bool storeBusy() const = 0;
    // Click-to-go and every other jump: block `block` at player position
    // `positionMs` (see pointSeekMs), playing or paused as before.
    virtual void jumpToMovie(int block, qint64 positionMs) = 0;
    // The settings record was changed by a window: the derived unit factors
    // are recomputed, every window and label that shows what changed is
    // refreshed (the caller included), and the record is saved.
    virtual void settingsChanged(unsigned changes) = 0;
    // The preferences dialog, at the tab whose title is `tabTitle`.
    virtual void openPreferences(const QString &tabTitle) = 0;
    // A geotag at the current playback position (the "G" key of the graphs).
    virtual void makeGeotag() = 0;
};

// What differs between two states of the settings record, as the flags
// above (0 when only settings without a display differ, or nothing).
unsigned settingsChangeFlags(const SettingsRecord &before, const SettingsRecord &after);

// Installed once by the player window; null in tests that build a window
// alone (the windows then do their own part and nothing else).
void setViewHost(ViewHost *host);
ViewHost *viewHost();

} // namespace vx

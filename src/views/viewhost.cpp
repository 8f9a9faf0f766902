#include "viewhost.h"

#include "settings/settings.h"

namespace vx {

namespace {
ViewHost *g_host = nullptr;
}

void setViewHost(ViewHost *host) { g_host = host; }
ViewHost *viewHost() { return g_host; }

unsigned settingsChangeFlags(const SettingsRecord &a, const SettingsRecord &b)
{
    unsigned flags = 0;
    auto mark = [&flags](bool differs, unsigned flag) {
        if (differs)
            flags |= flag;
    };
    mark(a.outUnits != b.outUnits || a.altUnits != b.altUnits || a.tempUnits != b.tempUnits, UnitsChanged);
    mark(a.datumFormat != b.datumFormat, CoordinatesChanged);
    mark(a.timeBias != b.timeBias || a.clockBias != b.clockBias || a.utcOffset != b.utcOffset
             || a.localTimeOffset != b.localTimeOffset || a.timeFormat != b.timeFormat,
         TimeSyncChanged);
    mark(a.speedDashCamMin != b.speedDashCamMin || a.speedDashCamMax != b.speedDashCamMax
             || a.nSpeedDashCamTicks != b.nSpeedDashCamTicks || a.distMin != b.distMin || a.distMax != b.distMax
             || a.nDistTicks != b.nDistTicks || a.losMin != b.losMin || a.losMax != b.losMax
             || a.nLosTicks != b.nLosTicks || a.bearingMin != b.bearingMin || a.bearingMax != b.bearingMax
             || a.nBearingTicks != b.nBearingTicks || a.altMin != b.altMin || a.altMax != b.altMax
             || a.nAltTicks != b.nAltTicks || a.satsMin != b.satsMin || a.satsMax != b.satsMax
             || a.nSatsTicks != b.nSatsTicks,
         GraphRangesChanged);
    mark(a.colorLevels != b.colorLevels || a.autoScaleRoute != b.autoScaleRoute || a.vmaxFixed != b.vmaxFixed,
         RouteChanged);
    mark(a.mapMarker != b.mapMarker || a.mapMarkerSize != b.mapMarkerSize || a.mapType != b.mapType
             || a.mapStyle != b.mapStyle,
         MapMarkerChanged);
    mark(a.autoSpeedo != b.autoSpeedo || a.maxUserSpeedo != b.maxUserSpeedo, DashboardChanged);
    mark(a.volume != b.volume || a.muted != b.muted || a.brightness != b.brightness || a.contrast != b.contrast
             || a.aspectMaintain != b.aspectMaintain,
         PlayerChanged);
    mark(a.ignoreGps != b.ignoreGps, GpsUseChanged);
    return flags;
}

} // namespace vx

#include "permoviesettings.h"

#include "export/exportfile.h"
#include "graphranges.h"
#include "preferencerules.h"
#include "settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

const char *const kSuffix = "_settings.vlx";

// A name's position identifies its setting. Rows 13..36 are eight graph
// groups of min, max, ticks; the g-forces and HDOP groups are skipped.
const char *const kNames[] = {
    "revision", "aspectMaintain", "alwaysAutoFix", "invertMouseZoomDir", "mapType", "sync_windows",
    "speedUnits", "altUnits", "tempUnits", "timeZoneOffset", "clockBias", "timeFormat", "datumFormat",
    "speedMin", "speedMax", "speedTicks", "distMin", "distMax", "distTicks", "losMin", "losMax", "losTicks",
    "bearingMin", "bearingMax", "bearingTicks", "gforcesMin", "gforcesMax", "gforcesTicks",
    "altMin", "altMax", "altTicks", "hdopMin", "hdopMax", "hdopTicks", "satsMin", "satsMax", "satsTicks",
    "muted", "volume", "brightness", "contrast"};
constexpr int kNameCount = static_cast<int>(sizeof kNames / sizeof kNames[0]);
static_assert(kNameCount == 41, "the per-movie file knows 41 names");

enum Row {
    RevisionRow = 0, AspectRow = 1, InvertZoomRow = 3, MapTypeRow = 4, SyncWindowsRow = 5,
    SpeedUnitsRow = 6, AltUnitsRow = 7, TempUnitsRow = 8, TimeZoneOffsetRow = 9, ClockBiasRow = 10,
    TimeFormatRow = 11, DatumFormatRow = 12, FirstGraphRow = 13, LastGraphRow = 36,
    MutedRow = 37, VolumeRow = 38, BrightnessRow = 39, ContrastRow = 40,
};
// The graph of each group of three graph rows; -1 for the groups only skipped.
constexpr int kGroupGraph[8] = {SpeedGraph, DistanceGraph, LosGraph, BearingGraph, -1, AltitudeGraph, -1, SatsGraph};

int rowOf(const QString &name)
{
    for (int i = 0; i < kNameCount; ++i)
        if (name == QLatin1String(kNames[i]))
            return i;
    return -1;
}

// The position of `word` in a list given by its name function, or nothing.
std::optional<int> wordIndex(QString (*names)(int), const QString &word)
{
    for (int i = 0;; ++i) {
        const QString name = names(i);
        if (name.isEmpty())
            return std::nullopt;
        if (name == word)
            return i;
    }
}

QString boolName(int index)
{
    return index == 0 ? QStringLiteral("false") : index == 1 ? QStringLiteral("true") : QString();
}

std::optional<bool> boolValue(const QString &word)
{
    if (const std::optional<int> i = wordIndex(boolName, word))
        return *i == 1;
    return std::nullopt;
}

// The word of `index` in a list of `count` words; an index out of range
// (a damaged store) writes the nearest word.
QByteArray wordOf(QString (*names)(int), int index, int count)
{
    return names(std::clamp(index, 0, count - 1)).toLatin1();
}

// Reals are read as single precision, as they were written.
std::optional<double> realValue(const QString &text)
{
    const std::optional<double> v = parseReal(text);
    if (!v || !std::isfinite(static_cast<float>(*v)))
        return std::nullopt;
    return static_cast<double>(static_cast<float>(*v));
}

struct Reader {
    SettingsRecord &s;
    const PerMovieContext &context;
    PerMovieLoad result;
    GraphRange ranges[GRAPH_RANGE_COUNT];
    bool touched[GRAPH_RANGE_COUNT] = {};

    void graphValue(int row, const QString &value)
    {
        const int group = (row - FirstGraphRow) / 3;
        const int graph = kGroupGraph[group];
        if (graph < 0)
            return;
        GraphRange &r = ranges[graph];
        switch ((row - FirstGraphRow) % 3) {
        case 0:
            if (const auto v = realValue(value))
                r.min = *v, touched[graph] = true;
            break;
        case 1:
            if (const auto v = realValue(value))
                r.max = *v, touched[graph] = true;
            break;
        default:
            if (const auto v = parseInt(value))
                r.ticks = *v, touched[graph] = true;
            break;
        }
    }

    void apply(int row, const QString &value)
    {
        if (row >= FirstGraphRow && row <= LastGraphRow) {
            graphValue(row, value);
            return;
        }
        switch (row) {
        case RevisionRow:
            if (const auto v = parseInt(value); v && *v > PER_MOVIE_REVISION)
                result.newerRevision = true;
            break;
        case AspectRow:
            if (const auto v = boolValue(value))
                s.aspectMaintain = *v;
            break;
        case InvertZoomRow:
            if (const auto v = boolValue(value))
                s.invertMouseZoomDir = *v;
            break;
        case MapTypeRow:
            // 0..3 are providers; anything else is the first one.
            if (const auto v = parseInt(value))
                s.mapType = *v >= 0 && *v <= 3 ? *v : 0;
            break;
        case SyncWindowsRow:
            if (const auto v = boolValue(value))
                result.syncWindows = *v;
            break;
        case SpeedUnitsRow:
            if (const auto v = wordIndex(speedUnitName, value))
                s.outUnits = *v;  // distance follows (recomputeFactors)
            break;
        case AltUnitsRow:
            if (const auto v = wordIndex(altitudeUnitName, value))
                s.altUnits = std::min(*v, 1);
            break;
        case TempUnitsRow:
            if (const auto v = wordIndex(temperatureUnitName, value))
                s.tempUnits = std::min(*v, 1);
            break;
        case TimeZoneOffsetRow:
            if (const auto v = parseInt(value); v && context.startDifferenceSec)
                s.timeBias = static_cast<int>(clampTimeOffsetSec(qint64(*v) - *context.startDifferenceSec));
            break;
        case ClockBiasRow:
            if (const auto v = parseInt(value))
                s.clockBias = static_cast<int>(clampTimeOffsetSec(*v));
            break;
        case TimeFormatRow:
            if (const auto v = wordIndex(timeFormatName, value))
                s.timeFormat = *v;
            break;
        case DatumFormatRow:
            if (const auto v = wordIndex(datumFormatName, value))
                s.datumFormat = *v;
            break;
        case MutedRow:
            if (const auto v = boolValue(value))
                s.muted = *v;
            break;
        case VolumeRow:
            if (const auto v = realValue(value))
                s.volume = clampVolume(*v);
            break;
        case BrightnessRow:
            if (const auto v = parseInt(value))
                s.brightness = clampPicture(*v);
            break;
        case ContrastRow:
            if (const auto v = parseInt(value))
                s.contrast = clampPicture(*v);
            break;
        default:  // alwaysAutoFix: known, ignored
            break;
        }
    }
};

} // namespace

QString movieSettingsPath(const QString &moviePath)
{
    // Only the file name's extension goes: "/a.b/clip" keeps its folder.
    const QString name = QFileInfo(moviePath).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot >= 0 ? name.left(dot) : name;
    return moviePath.left(moviePath.size() - name.size()) + base + QLatin1String(kSuffix);
}

QString defaultSettingsPath()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return documents + QLatin1Char('/') + QStringLiteral("default") + QLatin1String(kSuffix);
}

QByteArray perMovieSettingsText(const SettingsRecord &s, qint64 totalOffsetSec)
{
    QByteArray out;
    auto line = [&out](const char *name, const QByteArray &value) {
        out += name;
        out += ' ';
        out += value;
        out += '\n';
    };
    auto flag = [](bool on) { return on ? QByteArray("true") : QByteArray("false"); };
    auto real = [](double v) { return fixedNumber(v, 1); };
    auto whole = [](qint64 v) { return QByteArray::number(v); };
    line("revision", whole(PER_MOVIE_REVISION));
    line("aspectMaintain", flag(s.aspectMaintain));
    line("invertMouseZoomDir", flag(s.invertMouseZoomDir));
    line("speedUnits", wordOf(speedUnitName, s.outUnits, 3));
    line("altUnits", wordOf(altitudeUnitName, s.altUnits, 2));
    line("tempUnits", wordOf(temperatureUnitName, s.tempUnits, 2));
    line("timeZoneOffset", whole(totalOffsetSec));
    line("clockBias", whole(s.clockBias));
    line("timeFormat", wordOf(timeFormatName, s.timeFormat, 2));
    line("datumFormat", wordOf(datumFormatName, s.datumFormat, 3));
    const char *const graphNames[GRAPH_RANGE_COUNT][3] = {
        {"speedMin", "speedMax", "speedTicks"}, {"distMin", "distMax", "distTicks"},
        {"losMin", "losMax", "losTicks"},       {"bearingMin", "bearingMax", "bearingTicks"},
        {"altMin", "altMax", "altTicks"},       {"satsMin", "satsMax", "satsTicks"}};
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g) {
        const GraphRange r = graphRange(s, g);
        line(graphNames[g][0], real(r.min));
        line(graphNames[g][1], real(r.max));
        line(graphNames[g][2], whole(r.ticks));
    }
    line("muted", flag(s.muted));
    line("volume", real(std::isfinite(s.volume) ? clampVolume(s.volume) : 1.0));
    return out;
}

std::optional<QString> savePerMovieSettings(const QString &path, const SettingsRecord &s, qint64 totalOffsetSec)
{
    const QFileInfo info(path);
    // A pipe or a device of that name would block or swallow the settings.
    if (info.exists() && !info.isFile())
        return perMovieWriteErrorText(path);
    if (path == defaultSettingsPath() && !QDir().mkpath(info.absolutePath()))
        return perMovieWriteErrorText(path);
    ExportFile file(path);
    if (!file.open())
        return perMovieWriteErrorText(path);
    file.write(perMovieSettingsText(s, totalOffsetSec));
    if (!file.finish().ok)
        return perMovieWriteErrorText(path);
    return std::nullopt;
}

PerMovieLoad applyPerMovieSettings(const QByteArray &text, SettingsRecord &s, const PerMovieContext &context)
{
    Reader reader{s, context, PerMovieLoad(), {}, {}};
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g)
        reader.ranges[g] = graphRange(s, g);
    for (QByteArray line : text.split('\n')) {
        const int nul = line.indexOf('\0');
        if (nul >= 0)
            line.truncate(nul);
        line.replace('\r', QByteArray());
        const QStringList parts = QString::fromUtf8(line).split(QLatin1Char(' '), Qt::KeepEmptyParts);
        if (parts.size() != 2)
            continue;
        const int row = rowOf(parts[0]);
        if (row >= 0)
            reader.apply(row, parts[1]);
    }
    // The units first: distance ranges are checked in the distance unit.
    recomputeFactors(s);
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g)
        if (reader.touched[g])
            setGraphRange(s, g, clampedGraphRange(g, reader.ranges[g], s.distFactor));
    reader.result.read = true;
    return reader.result;
}

PerMovieLoad loadPerMovieSettings(const QString &path, SettingsRecord &s, const PerMovieContext &context)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > PER_MOVIE_FILE_MAX_BYTES)
        return PerMovieLoad();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return PerMovieLoad();
    const QByteArray bytes = file.read(PER_MOVIE_FILE_MAX_BYTES + 1);
    if (bytes.size() > PER_MOVIE_FILE_MAX_BYTES || file.error() != QFileDevice::NoError)
        return PerMovieLoad();
    return applyPerMovieSettings(bytes, s, context);
}

QString perMovieWriteErrorText(const QString &path)
{
    return QStringLiteral("File error. Could not write to: %1. Is this location write-protected?")
        .arg(QDir::toNativeSeparators(path));
}

QString perMovieNotFoundText(const QString &path)
{
    return QStringLiteral("The settings file \"%1\" could not be found.").arg(QDir::toNativeSeparators(path));
}

QString perMovieDeleteQuestion(SettingsFileKind kind)
{
    return kind == SettingsFileKind::Default
               ? QStringLiteral("Are you sure you want to delete the default settings file?")
               : QStringLiteral("Are you sure you want to delete the settings file for this movie?");
}

QString perMovieRemoveErrorText(const QString &path)
{
    return QStringLiteral("Could not remove file: %1!").arg(QDir::toNativeSeparators(path));
}

QString perMovieNewerRevisionText()
{
    return QStringLiteral("Warning: This settings file was created by a newer version of %1. Some settings may "
                          "not be understood. Proceed with caution. ")
        .arg(QString::fromLatin1(keys::APPLICATION));
}

QString perMovieIndicatorToolTip(bool present, bool moviesLoaded)
{
    if (present)
        return moviesLoaded ? QStringLiteral("Delete settings for this movie") : QStringLiteral("Delete default settings");
    return moviesLoaded ? QStringLiteral("Save settings for this movie") : QStringLiteral("Save default settings");
}

QString perMovieIndicatorIcon(bool present)
{
    return present ? QStringLiteral(":/images/disc_green.png") : QStringLiteral(":/images/disc_blue.png");
}

} // namespace vx

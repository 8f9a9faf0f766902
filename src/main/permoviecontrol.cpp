#include "permoviecontrol.h"

#include "main/mainwindow.h"
#include "main/playbackcontroller.h"
#include "main/playerpanel.h"
#include "main/resourceicon.h"
#include "main/windowmanager.h"
#include "track/playbackmath.h"
#include "track/trackstore.h"
#include "views/viewhost.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QToolButton>

namespace vx {

namespace {
QString title() { return QString::fromLatin1(keys::APPLICATION); }
} // namespace

PerMovieControl::PerMovieControl(MainWindow *window, QToolButton *indicator, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_indicator(indicator)
{
    setIndicator(false);
}

SettingsFileKind PerMovieControl::currentKind() const
{
    return track().numBlocks > 0 ? SettingsFileKind::Movie : SettingsFileKind::Default;
}

QString PerMovieControl::settingsPath(SettingsFileKind kind) const
{
    const TrackStore &t = track();
    if (kind == SettingsFileKind::Default || t.numBlocks <= 0 || t.Block < 0 || t.Block >= t.numBlocks)
        return defaultSettingsPath();
    return movieSettingsPath(t.block[t.Block].movieFile.absoluteFilePath());
}

void PerMovieControl::setIndicator(bool present)
{
    m_present = present;
    m_indicator->setIcon(resourceIcon(perMovieIndicatorIcon(present), QStyle::SP_DriveHDIcon));
    m_indicator->setToolTip(perMovieIndicatorToolTip(present, track().numBlocks > 0));
}

void PerMovieControl::settingsFileExists(SettingsFileKind kind)
{
    setIndicator(QFileInfo(settingsPath(kind)).isFile());
}

std::optional<qint64> PerMovieControl::startDifferenceSec() const
{
    const TrackStore &t = track();
    if (t.numBlocks <= 0 || t.Block < 0 || t.Block >= t.numBlocks)
        return 0;
    const MovieBlock &m = t.block[t.Block];
    // At a movie change the player still reports the previous movie: only
    // a probed duration gives this movie's start.
    const std::optional<qint64> start =
        movieStartMs(m.movieFile.lastModified().toMSecsSinceEpoch(), m.duration, m.timeFactor, 0, false);
    if (!start)
        return std::nullopt;
    return totalTimeOffsetSec(m, *start, 0);
}

qint64 PerMovieControl::totalOffsetForSave() const
{
    if (track().numBlocks <= 0)
        return settings().timeBias;
    // Written as a load will read it back, so that saving and loading again
    // changes nothing.
    if (const std::optional<qint64> difference = startDifferenceSec())
        return *difference + settings().timeBias;
    return m_window->playback()->totalOffsetSec();
}

void PerMovieControl::loadMovieSettings(SettingsFileKind kind)
{
    if (!m_before)
        m_before = settings();
    PerMovieContext context;
    if (kind == SettingsFileKind::Movie)
        context.startDifferenceSec = startDifferenceSec();
    const PerMovieLoad load = loadPerMovieSettings(settingsPath(kind), settings(), context);
    setIndicator(load.read);
    if (!load.read)
        return;
    m_anyRead = true;
    if (load.newerRevision)
        ++m_newerRevisions;
    if (load.syncWindows && m_window->windows())
        m_window->windows()->setSyncOn(*load.syncWindows);
}

void PerMovieControl::movieBecameCurrent()
{
    loadMovieSettings(SettingsFileKind::Default);
    loadMovieSettings(SettingsFileKind::Movie);
}

void PerMovieControl::finishMovieChange()
{
    if (!m_before)
        return;
    const SettingsRecord before = *m_before;
    const bool anyRead = m_anyRead;
    const int warnings = m_newerRevisions;
    m_before.reset();
    m_anyRead = false;
    m_newerRevisions = 0;
    if (anyRead) {
        // The loaded values become the stored settings.
        if (ViewHost *host = viewHost())
            host->settingsChanged(settingsChangeFlags(before, settings()));
        else
            saveSettings();
    }
    for (int i = 0; i < warnings; ++i)
        QMessageBox::warning(m_window, title(), perMovieNewerRevisionText());
}

void PerMovieControl::save_settings_slot()
{
    if (m_present) {
        delete_settings_slot();
        return;
    }
    const QString path = settingsPath(currentKind());
    if (const std::optional<QString> error = savePerMovieSettings(path, settings(), totalOffsetForSave())) {
        QMessageBox::warning(m_window, title(), *error);
        return;
    }
    setIndicator(true);
}

void PerMovieControl::delete_settings_slot()
{
    const SettingsFileKind kind = currentKind();
    const QString path = settingsPath(kind);
    if (!QFileInfo::exists(path)) {
        QMessageBox::warning(m_window, title(), perMovieNotFoundText(path));
        // Gone behind the program's back: the indicator says so now.
        setIndicator(false);
        return;
    }
    if (QMessageBox::question(m_window, title(), perMovieDeleteQuestion(kind), QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    if (!QFile::remove(path)) {
        QMessageBox::warning(m_window, title(), perMovieRemoveErrorText(path));
        return;
    }
    setIndicator(false);
}

} // namespace vx

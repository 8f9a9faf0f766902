// The player window's per-movie settings indicator and what it does. The
// button shows whether the settings file exists (blue disc: absent, click
// saves it; green disc: present, click deletes it). The file is the current
// movie's, or the default file in the documents folder when no movie is
// loaded. Each time a movie becomes current the default file and then the
// movie's own file are applied to the settings record; the indicator then
// shows the movie's own file, and every window is told once what changed.
#pragma once

#include "settings/permoviesettings.h"
#include "settings/settings.h"

#include <QObject>

#include <optional>

class QToolButton;

namespace vx {

class MainWindow;

class PerMovieControl : public QObject {
    Q_OBJECT

public:
    PerMovieControl(MainWindow *window, QToolButton *indicator, QObject *parent = nullptr);

    bool filePresent() const { return m_present; }
    // The file an action uses now: the default file without movies, else
    // the current movie's.
    SettingsFileKind currentKind() const;
    QString settingsPath(SettingsFileKind kind) const;

    // Tests for the file and sets the indicator (start-up: the default file).
    void settingsFileExists(SettingsFileKind kind);
    // Reads one file into the settings record; the indicator follows it. The
    // windows hear of it at finishMovieChange().
    void loadMovieSettings(SettingsFileKind kind);
    // A movie became current: the default file, then the movie's own.
    void movieBecameCurrent();
    // The movie change is complete (its time base is known): the windows
    // are told what the files changed, the record is saved, and a file of a
    // newer revision is reported.
    void finishMovieChange();

public slots:
    // The indicator's click: save, or delete when the file is present.
    void save_settings_slot();
    void delete_settings_slot();

private:
    void setIndicator(bool present);
    // The start difference of the current movie (its first point's time
    // minus its start), when its duration is known.
    std::optional<qint64> startDifferenceSec() const;
    qint64 totalOffsetForSave() const;

    MainWindow *m_window;
    QToolButton *m_indicator;
    bool m_present = false;
    // The record before the files of a movie change were applied.
    std::optional<SettingsRecord> m_before;
    bool m_anyRead = false;
    int m_newerRevisions = 0;
};

} // namespace vx

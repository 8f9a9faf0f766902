// The update check, from "Check For New Version..." (the outcome is always
// shown) and at start-up when "newVersionCheck" is set (silent: only a newer
// version is announced; failures and "up to date" show nothing). The version
// history is fetched from the update location this program was built with,
// kept in memory and parsed there (versionhistory.h); with no update
// location nothing is contacted.
//
// Each request carries its own silent flag. A manual check started while the
// silent one runs replaces it; a check asked for while a manual one runs is
// not started twice. While a load or a media-tool run is under way nothing is
// shown: the outcome waits until it has finished, so no modal dialog opens
// inside a load.
#pragma once

#include "settings/filedownloader.h"
#include "settings/versionhistory.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

namespace vx {

class UpdateCheck : public QObject {
    Q_OBJECT

public:
    explicit UpdateCheck(QWidget *window, QObject *parent = nullptr);

    // True while the Track store is being filled (no dialog then).
    void setBusyCheck(std::function<bool()> busy) { m_busy = std::move(busy); }
    // The update location (default: the one this program was built with).
    void setUpdateBase(const QString &base) { m_base = base; }
    void setLimits(const DownloadLimits &limits) { m_limits = limits; }
    void setRunningVersion(const VersionNumber &version) { m_running = version; }

    void start(bool silent);
    // A check is downloading or waiting to show its outcome.
    bool active() const { return m_active; }

    // How long a finished check waits before it looks again whether the load is over.
    static constexpr int BUSY_RETRY_MS = 250;

signals:
    // The check is over and its outcome was shown (or, when quiet, not).
    void checkFinished(vx::UpdateOutcome outcome);

private:
    void loadFile(FileDownloader *downloader, bool silent, int generation);
    void show(const VersionHistory &history, bool silent, int generation);

    QWidget *m_window;
    std::function<bool()> m_busy;
    QString m_base;
    DownloadLimits m_limits;
    VersionNumber m_running;
    QPointer<FileDownloader> m_downloader;
    int m_generation = 0;
    bool m_active = false;
    bool m_activeSilent = false;
};

} // namespace vx

Q_DECLARE_METATYPE(vx::UpdateOutcome)

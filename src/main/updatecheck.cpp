#include "updatecheck.h"

#include "settings/versionhistorydialog.h"

#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace vx {

UpdateCheck::UpdateCheck(QWidget *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_base(configuredUpdateBase())
    , m_running(runningVersion())
{
    qRegisterMetaType<UpdateOutcome>();
}

void UpdateCheck::start(bool silent)
{
    const QUrl feed = updateFeedUrl(m_base);
    if (feed.isEmpty()) {
        if (!silent)
            QMessageBox::information(m_window, updateCheckTitle(), noUpdateLocationText());
        // Without a location there was nothing to check.
        emit checkFinished(silent ? UpdateOutcome::Quiet : UpdateOutcome::Failed);
        return;
    }
    if (m_active && (silent || !m_activeSilent))
        return;  // this check runs already
    // A manual check replaces a silent one: its answer would come twice.
    delete m_downloader;
    ++m_generation;
    m_active = true;
    m_activeSilent = silent;
    auto *downloader = new FileDownloader(feed, this, m_limits);
    const int generation = m_generation;
    connect(downloader, &FileDownloader::downloaded, this,
            [this, downloader, silent, generation] { loadFile(downloader, silent, generation); });
    m_downloader = downloader;
}

void UpdateCheck::loadFile(FileDownloader *downloader, bool silent, int generation)
{
    downloader->deleteLater();
    if (generation != m_generation)
        return;
    m_downloader = nullptr;
    VersionHistory history;
    if (downloader->succeeded())
        history = parseVersionHistory(downloader->data(), m_running);
    else
        history.error = downloader->errorString();
    show(history, silent, generation);
}

void UpdateCheck::show(const VersionHistory &history, bool silent, int generation)
{
    if (generation != m_generation)
        return;  // replaced by a manual check while it waited
    if (m_busy && m_busy()) {
        QTimer::singleShot(BUSY_RETRY_MS, this, [this, history, silent, generation] { show(history, silent, generation); });
        return;
    }
    m_active = false;
    const UpdateOutcome outcome = updateOutcome(history, m_running, silent);
    switch (outcome) {
    case UpdateOutcome::Quiet:
        break;
    case UpdateOutcome::Failed:
        QMessageBox::warning(m_window, updateCheckTitle(), updateFailedText(history.error));
        break;
    case UpdateOutcome::NewerThanRelease:
        QMessageBox::information(m_window, updateCheckTitle(),
                                 newerThanReleaseText(m_running, history.releases.first().version));
        break;
    case UpdateOutcome::History: {
        versionHistoryDialog dialog(historyView(history, m_running), m_window);
        dialog.exec();
        break;
    }
    }
    emit checkFinished(outcome);
}

} // namespace vx

#include "exportcommands.h"

#include "trackexport.h"
#include "track/coreload.h"
#include "track/mediatool.h"
#include "track/trackstore.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScopedValueRollback>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <thread>

namespace vx {

namespace {

bool g_exporting = false;

// The save dialog; an empty string when the user cancels. The chosen path
// gets the type's extension unless it already holds it, and its directory is
// remembered for the next export.
QString chooseExportFile(QWidget *parent, int type)
{
    const QString chosen = QFileDialog::getSaveFileName(parent, exportDialogTitle(type),
                                                        exportDefaultPath(type),
                                                        exportDialogFilter(type));
    if (chosen.isEmpty())
        return QString();
    const QString path = completeExportPath(chosen, type);
    rememberExportPath(path);
    return path;
}

// True when the file was written; a failure is shown, a stop is silent.
bool written(QWidget *parent, const ExportResult &result)
{
    if (!result.ok && !result.cancelled)
        QMessageBox::warning(parent, exportApplicationName(), result.errorText, QMessageBox::Ok);
    return result.ok;
}

using Writer = ExportResult (*)(const ExportSource &, const QString &, ExportProgress *);

// The chosen file written from the store as it is now.
ExportResult writeInBackground(QWidget *parent, const QString &path, Writer writer)
{
    const ExportSource source = exportSource();
    return runExportInBackground(parent, QFileInfo(path).fileName(), source.activePoints(),
                                 [&](ExportProgress &progress) { return writer(source, path, &progress); });
}

} // namespace

bool exportInProgress() { return g_exporting; }

ExportResult runExportInBackground(QWidget *parent, const QString &fileName, int64_t totalPoints,
                                   const std::function<ExportResult(ExportProgress &)> &write)
{
    ExportResult refused;
    refused.cancelled = true;
    if (g_exporting || loadInProgress() || mediaToolBusy())
        return refused;
    const QScopedValueRollback<bool> exporting(g_exporting, true);
    const TrackStoreHold hold;

    ExportProgress progress;
    ExportResult result;
    std::atomic<bool> done{false};
    QEventLoop loop;
    std::thread worker([&] {
        result = write(progress);
        done = true;
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });

    QProgressDialog dialog(QStringLiteral("Exporting %1...").arg(fileName), QStringLiteral("Cancel"), 0, 1000,
                           parent);
    dialog.setWindowTitle(exportApplicationName());
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(EXPORT_PROGRESS_DELAY_MS);
    dialog.setValue(0);
    QObject::connect(&dialog, &QProgressDialog::canceled, [&] { progress.cancelRequested = true; });
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (dialog.wasCanceled())
            progress.cancelRequested = true;
        if (done) {
            loop.quit();
        } else if (totalPoints > 0 && !dialog.wasCanceled()) {
            dialog.setValue(static_cast<int>(std::min<int64_t>(999, progress.pointsDone * 1000 / totalPoints)));
        }
    });
    tick.start(50);
    if (!done)
        loop.exec();
    // Also when the loop ended early (the program quits): the file is
    // finished or dropped before anything goes away.
    worker.join();
    return result;
}

void exportCsvCommand(QWidget *parent)
{
    const QString path = chooseExportFile(parent, EXPORT_CSV);
    if (!path.isEmpty())
        written(parent, writeInBackground(parent, path, &writeCsv));
}

void exportGpxCommand(QWidget *parent)
{
    const QString path = chooseExportFile(parent, EXPORT_GPX);
    if (path.isEmpty())
        return;
    // The combined file first: when it cannot be written there is nothing to
    // ask about.
    if (!written(parent, writeInBackground(parent, path, &writeGpx)))
        return;
    const QMessageBox::StandardButton answer = QMessageBox::information(
        parent, exportApplicationName(),
        QStringLiteral("Do you want to export individual GPX files for each active movie (in addition "
                       "to the combined GPX file)?"),
        QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        written(parent, writeInBackground(parent, path, &writeGpxPerMovie));
}

void exportKmlCommand(QWidget *parent)
{
    const QString path = chooseExportFile(parent, EXPORT_KML);
    if (!path.isEmpty())
        written(parent, writeInBackground(parent, path, &writeKml));
}

} // namespace vx

// The export commands through their dialogs (save dialog, per-movie question, file-error warning, cancel), and
// the writing on another thread: the loop turns, the progress dialog comes late and stops it, nothing else runs.
#include "export/exportcommands.h"
#include "export/exportfile.h"
#include "track/coreload.h"
#include "track/trackstore.h"

#include "exportfixture.h"
#include "main/guitest.h"
#include "support/testsupport.h"

#include <atomic>
#include <thread>

using namespace vx;

namespace {

QProgressDialog *shownProgress() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<QProgressDialog *>(w); p && p->isVisible())
            return p;
    return nullptr;
}

} // namespace

class TestExportCommands : public QObject {
    Q_OBJECT

private slots:
    void init() { vxtest::loadExportFixture(); }

    void csvThroughTheSaveDialog() {
        QTemporaryDir dir;
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QDir().mkpath(desktop);
        {
            vxtest::BoxAnswerer script({dir.filePath("track")});
            exportCsvCommand(nullptr);
            QCOMPARE(script.titles + script.texts,
                     (QStringList{"Export CSV", "CSV Text Files (*.csv)|" + desktop + "/export.csv"}));
        }
        // "track" became track.csv, and its folder is where the next export starts.
        QVERIFY(vxtest::readFile(dir.filePath("track.csv")).startsWith("Filename,DateLocal,"));
        QCOMPARE(lastExportDirectory(), dir.path());

        vxtest::BoxAnswerer again({QString()});
        exportKmlCommand(nullptr);
        QCOMPARE(again.titles + again.texts,
                 (QStringList{"Export KML", "KML Text Files (*.kml)|" + dir.filePath("export.kml")}));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"track.csv"});
    }

    void gpxAsksAboutPerMovieFiles() {
        QTemporaryDir dir, other;
        {
            vxtest::BoxAnswerer yes({dir.filePath("all.gpx"), "Yes"});
            exportGpxCommand(nullptr);
            QCOMPARE(yes.titles, (QStringList{"Export GPX", "Volantix"}));
            QCOMPARE(yes.texts.value(1), "Do you want to export individual GPX files for each active movie (in addition to the "
                                         "combined GPX file)?");
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), (QStringList{"DJI_0001.gpx", "a&b<c>.gpx", "all.gpx"}));

        vxtest::BoxAnswerer no({other.filePath("only.gpx"), "No"});
        exportGpxCommand(nullptr);
        QCOMPARE(no.titles.size(), 2);
        QCOMPARE(QDir(other.path()).entryList(QDir::Files), QStringList{"only.gpx"});
    }

    void writeFailureShowsTheWarning() {
        if (!QFileInfo::exists("/dev/full"))
            QSKIP("no /dev/full here");
        // A name that leads to a full device; a failed combined GPX file asks nothing more.
        QTemporaryDir dir;
        for (const QString &name : QStringList{"full.kml", "full.gpx"}) {
            const QString path = dir.filePath(name);
            QVERIFY(QFile::link("/dev/full", path));
            vxtest::BoxAnswerer script({path, "Yes" /* replace? */, "OK"});
            name.endsWith("kml") ? exportKmlCommand(nullptr) : exportGpxCommand(nullptr);
            QCOMPARE(QString("%1 %2 %3 %4: %5").arg(script.pending()).arg(script.titles.size()).arg(script.unexpected.size())
                         .arg(script.titles.last(), script.texts.last()),
                     "0 3 0 Volantix: File error. Could not write to: " + path);
        }
    }

    void backgroundExportKeepsTheWindowGoing() {
        // An export that lasts until the test lets it end, half-way through its points after the first moment.
        std::atomic<bool> release{false};
        auto slowWrite = [&](ExportProgress &progress) {
            progress.pointsDone = 500;
            while (!release && !progress.cancelRequested)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return ExportResult{!progress.cancelRequested, QString(), progress.cancelRequested};
        };
        QWidget window;
        window.show();
        // Seen from the turning loop: no dialog for half a second, then the share written; the store held,
        // another export and a load refused.
        QStringList seen;
        QTimer::singleShot(300, [&] { seen << QString::number(shownProgress() != nullptr); });
        QTimer::singleShot(900, [&] {
            QProgressDialog *p = shownProgress();
            seen << QString::number(p ? p->value() : -1) << QString::number(exportInProgress() && trackStoreHeld())
                 << QString::number(runExportInBackground(&window, "b.csv", 1000, slowWrite).cancelled)
                 << QString::number(loadMovies({QFileInfo("/nowhere/a.mov")}, "/nowhere", nullptr) == LoadStatus::Busy);
            release = true;
        });
        QVERIFY(runExportInBackground(&window, "a.csv", 1000, slowWrite).ok);
        QCOMPARE(seen.join(' '), "0 500 1 1 1");
        QVERIFY(!exportInProgress() && !trackStoreHeld() && !shownProgress());

        // The dialog's Cancel button stops the export.
        QTimer::singleShot(800, [&] {
            if (QProgressDialog *p = shownProgress())
                if (auto *cancel = p->findChild<QAbstractButton *>())
                    cancel->click();
        });
        QTimer::singleShot(5000, [&] { release = true; });  // should the dialog never show
        release = false;
        const ExportResult stopped = runExportInBackground(&window, "c.csv", 1000, slowWrite);
        QVERIFY(stopped.cancelled && !stopped.ok);
    }
};

QTEST_MAIN(TestExportCommands)
#include "test_exportcommands.moc"

// The export menu commands, driven through their dialogs: the save dialog's
// title, filter and starting path, the extension rule, the remembered
// directory, the per-movie GPX question, the file-error warning, and a
// cancelled dialog. The writing on another thread: the event loop turns
// meanwhile, the progress dialog appears only after half a second and stops
// the export, and nothing else may load or export until it ends.
#include "export/exportcommands.h"
#include "export/exportfile.h"
#include "track/coreload.h"
#include "track/trackstore.h"

#include "exportfixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using namespace vx;

namespace {

// Answers the modal dialogs the command opens, one scripted step per dialog,
// and records what each showed.
class DialogScript : public QObject {
public:
    struct Seen {
        QString kind;  // "file" or "box"
        QString title;
        QString text;  // the box text, or the file dialog's filters and first selection
    };

    explicit DialogScript(QList<std::function<void(QWidget *)>> steps) : steps(std::move(steps))
    {
        connect(&timer, &QTimer::timeout, this, &DialogScript::poll);
        timer.start(20);
        clock.start();
    }
    QList<Seen> seen;
    int pending() const { return steps.size(); }

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (w && clock.elapsed() > 20000) {
            // A dialog the script did not expect: close it so the test
            // fails on its checks instead of hanging.
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
            return;
        }
        if (!w || steps.isEmpty() || handledBefore(w))
            return;
        handled.append(w);
        if (auto *fd = qobject_cast<QFileDialog *>(w)) {
            seen.append({"file", fd->windowTitle(),
                         fd->nameFilters().join(';') + '|' + fd->selectedFiles().value(0)});
        } else if (auto *box = qobject_cast<QMessageBox *>(w)) {
            seen.append({"box", box->windowTitle(), box->text()});
        } else {
            return;
        }
        steps.takeFirst()(w);
    }

    QList<std::function<void(QWidget *)>> steps;
    QTimer timer;
    QElapsedTimer clock;
    // Dialogs already answered and still open (a file dialog is the active
    // one again while its overwrite question closes); pointers become null
    // when their dialog is gone, so a new dialog at a reused address counts
    // as new.
    QList<QPointer<QWidget>> handled;

    bool handledBefore(QWidget *w) const
    {
        for (const QPointer<QWidget> &h : handled)
            if (h.data() == w)
                return true;
        return false;
    }
};

std::function<void(QWidget *)> chooseFile(const QString &path)
{
    return [path](QWidget *w) {
        // As a user would: go to the folder, type the name, press Save.
        auto *fd = qobject_cast<QFileDialog *>(w);
        QVERIFY(fd);
        fd->setDirectory(QFileInfo(path).absolutePath());
        auto *name = fd->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(QFileInfo(path).fileName());
        QMetaObject::invokeMethod(fd, "accept", Qt::QueuedConnection);
    };
}

std::function<void(QWidget *)> cancel()
{
    return [](QWidget *w) { QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection); };
}

std::function<void(QWidget *)> press(QMessageBox::StandardButton which)
{
    return [which](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        QAbstractButton *b = box->button(which);
        QVERIFY(b);
        QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
    };
}

QProgressDialog *shownProgress()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<QProgressDialog *>(w); p && p->isVisible())
            return p;
    return nullptr;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestExportCommands : public QObject {
    Q_OBJECT

private slots:
    void init() { vxtest::loadExportFixture(); }

    void csvThroughTheSaveDialog()
    {
        QTemporaryDir dir;
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QDir().mkpath(desktop);
        DialogScript script({chooseFile(dir.filePath("track"))});
        exportCsvCommand(nullptr);
        QCOMPARE(script.pending(), 0);
        QCOMPARE(script.seen.size(), 1);
        QCOMPARE(script.seen[0].title, QStringLiteral("Export CSV"));
        QCOMPARE(script.seen[0].text, "CSV Text Files (*.csv)|" + desktop + "/export.csv");
        // "track" became track.csv, and its folder is where the next export starts.
        QVERIFY(readAll(dir.filePath("track.csv")).startsWith("Filename,DateLocal,"));
        QCOMPARE(lastExportDirectory(), dir.path());

        DialogScript again({cancel()});
        exportKmlCommand(nullptr);
        QCOMPARE(again.seen.size(), 1);
        QCOMPARE(again.seen[0].title, QStringLiteral("Export KML"));
        QCOMPARE(again.seen[0].text, "KML Text Files (*.kml)|" + dir.filePath("export.kml"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"track.csv"});
    }

    void gpxAsksAboutPerMovieFiles()
    {
        QTemporaryDir dir;
        DialogScript yes({chooseFile(dir.filePath("all.gpx")), press(QMessageBox::Yes)});
        exportGpxCommand(nullptr);
        QCOMPARE(yes.seen.size(), 2);
        QCOMPARE(yes.seen[0].title, QStringLiteral("Export GPX"));
        QCOMPARE(yes.seen[1].title, QStringLiteral("Volantix"));
        QCOMPARE(yes.seen[1].text, QStringLiteral("Do you want to export individual GPX files for each active "
                                                  "movie (in addition to the combined GPX file)?"));
        QStringList files = QDir(dir.path()).entryList(QDir::Files);
        files.sort();
        QCOMPARE(files, (QStringList{"DJI_0001.gpx", "a&b<c>.gpx", "all.gpx"}));

        QTemporaryDir other;
        DialogScript no({chooseFile(other.filePath("only.gpx")), press(QMessageBox::No)});
        exportGpxCommand(nullptr);
        QCOMPARE(no.seen.size(), 2);
        QCOMPARE(QDir(other.path()).entryList(QDir::Files), QStringList{"only.gpx"});
    }

    void writeFailureShowsTheWarning()
    {
        if (!QFileInfo::exists("/dev/full"))
            QSKIP("no /dev/full here");
        // A name the dialog accepts that leads to a full device.
        QTemporaryDir dir;
        const QString path = dir.filePath("full.kml");
        QVERIFY(QFile::link("/dev/full", path));
        DialogScript script({chooseFile(path), press(QMessageBox::Yes) /* replace? */, press(QMessageBox::Ok)});
        exportKmlCommand(nullptr);
        QCOMPARE(script.pending(), 0);
        QCOMPARE(script.seen.last().title, QStringLiteral("Volantix"));
        QCOMPARE(script.seen.last().text, "File error. Could not write to: " + path);

        // A failed combined GPX file asks nothing more.
        QVERIFY(QFile::link("/dev/full", dir.filePath("full.gpx")));
        DialogScript gpx({chooseFile(dir.filePath("full.gpx")), press(QMessageBox::Yes) /* replace? */,
                          press(QMessageBox::Ok)});
        exportGpxCommand(nullptr);
        QCOMPARE(gpx.pending(), 0);
        QCOMPARE(gpx.seen.size(), 3);
        QCOMPARE(gpx.seen.last().text, "File error. Could not write to: " + dir.filePath("full.gpx"));
        for (const auto &s : gpx.seen)
            QVERIFY(!s.text.startsWith(QStringLiteral("Do you want")));
    }

    void backgroundExportKeepsTheWindowGoing()
    {
        // An export that lasts until the test lets it end, half-way through
        // its points after the first moment.
        std::atomic<bool> release{false};
        auto slowWrite = [&](ExportProgress &progress) {
            progress.pointsDone = 500;
            while (!release && !progress.cancelRequested)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            ExportResult r;
            r.ok = !progress.cancelRequested;
            r.cancelled = progress.cancelRequested;
            return r;
        };
        QWidget window;
        window.show();
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);

        // While it runs (seen from the event loop it keeps turning).
        int progressAt300 = -1, progressAt900 = -1;
        bool held = false, refusedAgain = false, loadRefused = false;
        QTimer::singleShot(300, [&] { progressAt300 = shownProgress() ? 1 : 0; });
        QTimer::singleShot(900, [&] {
            QProgressDialog *p = shownProgress();
            progressAt900 = p ? p->value() : -1;
            held = exportInProgress() && trackStoreHeld();
            refusedAgain = runExportInBackground(&window, "b.csv", 1000, slowWrite).cancelled;
            loadRefused = loadMovies({QFileInfo("/nowhere/a.mov")}, "/nowhere", nullptr) == LoadStatus::Busy;
            release = true;
        });
        const ExportResult r = runExportInBackground(&window, "a.csv", 1000, slowWrite);
        QVERIFY(r.ok);
        QCOMPARE(progressAt300, 0);   // no dialog for the first half second
        QCOMPARE(progressAt900, 500); // then the share of points written
        QVERIFY(held);
        QVERIFY(refusedAgain);
        QVERIFY(loadRefused);
        QVERIFY2(ticks > 30, qPrintable(QString::number(ticks)));  // the event loop turned all along
        QVERIFY(!exportInProgress());
        QVERIFY(!trackStoreHeld());
        QVERIFY(!shownProgress());

        // The dialog's Cancel button stops the export.
        QTimer::singleShot(800, [&] {
            if (QProgressDialog *p = shownProgress())
                if (auto *cancel = p->findChild<QAbstractButton *>())
                    cancel->click();
        });
        QTimer::singleShot(5000, [&] { release = true; });  // should the dialog never show
        release = false;
        const ExportResult stopped = runExportInBackground(&window, "c.csv", 1000, slowWrite);
        QVERIFY(stopped.cancelled);
        QVERIFY(!stopped.ok);
    }
};

QTEST_MAIN(TestExportCommands)
#include "test_exportcommands.moc"

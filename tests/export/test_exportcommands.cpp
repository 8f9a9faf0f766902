// The export menu commands, driven through their dialogs: the save dialog's
// title, filter and starting path, the extension rule, the remembered
// directory, the per-movie GPX question, the file-error warning, and a
// cancelled dialog.
#include "export/exportcommands.h"
#include "export/exportfile.h"

#include "exportfixture.h"
#include "main/guitest.h"
#include "support/testsupport.h"

using namespace vx;

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
            QCOMPARE(script.titles, QStringList{"Export CSV"});
            QCOMPARE(script.texts, QStringList{"CSV Text Files (*.csv)|" + desktop + "/export.csv"});
        }
        // "track" became track.csv, and its folder is where the next export starts.
        QVERIFY(vxtest::readFile(dir.filePath("track.csv")).startsWith("Filename,DateLocal,"));
        QCOMPARE(lastExportDirectory(), dir.path());

        vxtest::BoxAnswerer again({QString()});
        exportKmlCommand(nullptr);
        QCOMPARE(again.titles, QStringList{"Export KML"});
        QCOMPARE(again.texts, QStringList{"KML Text Files (*.kml)|" + dir.filePath("export.kml")});
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
        // A name the dialog accepts that leads to a full device; a failed
        // combined GPX file asks nothing more.
        QTemporaryDir dir;
        for (const QString &name : QStringList{"full.kml", "full.gpx"}) {
            const QString path = dir.filePath(name);
            QVERIFY(QFile::link("/dev/full", path));
            vxtest::BoxAnswerer script({path, "Yes" /* replace? */, "OK"});
            name.endsWith("kml") ? exportKmlCommand(nullptr) : exportGpxCommand(nullptr);
            QCOMPARE(script.pending(), 0);
            QCOMPARE(script.titles.size(), 3);
            QCOMPARE(script.titles.last(), "Volantix");
            QCOMPARE(script.texts.last(), "File error. Could not write to: " + path);
            QVERIFY(script.unexpected.isEmpty());
        }
    }
};

QTEST_MAIN(TestExportCommands)
#include "test_exportcommands.moc"

// Export files: a failed write is reported and never damages the old file (a disk filling up half-way is
// test_trackexport's); devices and pipes written in place; permissions and links kept; the chooser's pure parts.
#include "export/exportfile.h"

#include "support/testsupport.h"

#include <QtTest>
#include <sys/stat.h>
#include <thread>

using namespace vx;
using vxtest::readFile;

namespace {

ExportResult writeText(const QString &path, const QByteArray &text) {
    ExportFile f(path);
    if (!f.open())
        return f.failure();
    for (int i = 0; i < text.size(); i += 1000)  // in pieces, as the exports write
        f.write(text.mid(i, 1000));
    return f.finish();
}

const QByteArray kBig = QByteArray(3 << 20, 'x') + "end\n";

QString errorFor(const QString &path) { return "File error. Could not write to: " + path; }

mode_t modeOf(const QString &path) {
    struct stat st;
    return stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

} // namespace

class TestExportFile : public QObject {
    Q_OBJECT

private slots:
    void writesAndReplaces() {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.csv");
        for (const QByteArray &text : {QByteArray("first\n"), kBig, QByteArray()}) {
            const ExportResult r = writeText(path, text);
            QVERIFY(r.ok && r.errorText.isEmpty());
            QCOMPARE(readFile(path), text);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"out.csv"});
    }

    void devicesAndPipesAreWrittenInPlace() {
        if (QFileInfo::exists("/dev/full"))
            QCOMPARE(writeText("/dev/full", "some text\n").errorText, errorFor("/dev/full"));
        QVERIFY(writeText("/dev/null", kBig).ok);
        // A reader that takes a few bytes and goes away: a file error, and the program (this test) lives on.
        QTemporaryDir dir;
        const QString pipe = dir.filePath("pipe.csv");
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        std::thread reader([&] {
            QFile f(pipe);
            if (f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
                f.read(10);
        });
        const ExportResult r = writeText(pipe, kBig);
        reader.join();
        QCOMPARE(r.ok ? QString("ok") : r.errorText, errorFor(pipe));
        // Still the devices and the pipe, not files put in their place.
        QVERIFY(S_ISCHR(modeOf("/dev/null")) && S_ISFIFO(modeOf(pipe)));
        QVERIFY(!QFileInfo::exists("/dev/full") || S_ISCHR(modeOf("/dev/full")));
    }

    void unwritablePlacesAndAbandonedFiles() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder.kml"));
        QVERIFY(!writeText(dir.filePath("folder.kml"), "x").ok);
        QVERIFY(QFileInfo(dir.filePath("folder.kml")).isDir());
        QCOMPARE(writeText(dir.filePath("no/such/folder/a.kml"), "x").errorText, errorFor(dir.filePath("no/such/folder/a.kml")));
        QVERIFY(!writeText(QString(), "x").ok);
        // Abandoned before finishing, or cancelled: nothing left behind, an existing file as it was.
        QVERIFY(vxtest::writeFile(dir.filePath("kept.csv"), "old"));
        for (const char *name : {"abandoned.csv", "kept.csv"}) {
            ExportFile f(dir.filePath(name));
            QVERIFY(f.open());
            f.write(QByteArray(3 << 20, 'h'));
            if (name[0] == 'k')
                QVERIFY(f.cancel().cancelled);
        }
        QCOMPARE(readFile(dir.filePath("kept.csv")), "old");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.csv"});
    }

    void replacedFileKeepsItsPermissionsAndLinks() {
        QTemporaryDir dir;
        const QString path = dir.filePath("kept.csv");
        QVERIFY(vxtest::writeFile(path, "old"));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
        QVERIFY(writeText(path, "new").ok);
        QCOMPARE(modeOf(path) & 0777, mode_t(0640));
        // Through a symbolic link: the file it points to gets the text, the link stays.
        const QString link = dir.filePath("link.csv");
        QVERIFY(QFile::link(path, link));
        QVERIFY(writeText(link, "via link").ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readFile(path), "via link");
        // A new file gets the usual permissions, not a private temporary file's.
        const mode_t old = ::umask(022);
        QVERIFY(writeText(dir.filePath("fresh.csv"), "x").ok);
        ::umask(old);
        QCOMPARE(modeOf(dir.filePath("fresh.csv")) & 0777, mode_t(0644));
    }

    void chooserPaths() {
        // Titles and the other filters are test_exportcommands' (through the dialog).
        QCOMPARE(exportDialogFilter(EXPORT_TXT), "TXT Text Files (*.text)");
        QVERIFY(exportTypeExtension(4).isEmpty());
        // The extension is added unless the name ends with it (".text" holds ".tex", not the other way round).
        QStringList completed;
        for (const auto &[path, type] : {std::pair("/data/track", EXPORT_CSV), {"/data/a.csv.bak", EXPORT_CSV},
                                         {"/data/A.CSV", EXPORT_CSV}, {"/data/x.gpx", EXPORT_KML},
                                         {"/data/route.kml", EXPORT_KML}, {"/d/tags.tex", EXPORT_TXT}})
            completed << completeExportPath(path, type);
        QCOMPARE(completed, (QStringList{"/data/track.csv", "/data/a.csv.bak", "/data/A.CSV.csv", "/data/x.gpx.kml",
                                         "/data/route.kml", "/d/tags.tex.text"}));
        rememberExportPath("/data/flights/track.csv");
        QCOMPARE(exportDefaultPath(EXPORT_KML) + '|' + exportDefaultPath(EXPORT_TXT, "geotags"),
                 "/data/flights/export.kml|/data/flights/geotags.text");
        rememberExportPath(QString());  // a cancelled dialog changes nothing
        QCOMPARE(lastExportDirectory(), "/data/flights");
    }
};

QTEST_GUILESS_MAIN(TestExportFile)
#include "test_exportfile.moc"

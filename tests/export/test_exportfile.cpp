// Writing export files: a write failure is reported and never damages an
// existing file of that name (a full device, a file-size limit hit half-way,
// a folder in the way, a missing folder); devices are written in place; a
// replaced file keeps its permissions and a symbolic link stays a link.
// Also the export file chooser's pure parts: type table, titles, filters,
// default path, extension rule and the last export directory.
#include "export/exportfile.h"

#include "filesizelimit.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <thread>

using namespace vx;

namespace {

ExportResult writeText(const QString &path, const QByteArray &text)
{
    ExportFile f(path);
    if (!f.open())
        return f.failure();
    // In pieces, as the exports write.
    for (int i = 0; i < text.size(); i += 1000)
        f.write(text.mid(i, 1000));
    return f.finish();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QByteArray bigText() { return QByteArray(3 << 20, 'x') + "end\n"; }

} // namespace

class TestExportFile : public QObject {
    Q_OBJECT

private slots:
    void writesAndReplaces()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.csv");
        ExportResult r = writeText(path, "first\n");
        QVERIFY(r.ok);
        QVERIFY(r.errorText.isEmpty());
        QCOMPARE(readAll(path), QByteArray("first\n"));
        r = writeText(path, bigText());
        QVERIFY(r.ok);
        QCOMPARE(readAll(path), bigText());
        r = writeText(path, QByteArray());
        QVERIFY(r.ok);
        QCOMPARE(QFileInfo(path).size(), 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"out.csv"});
    }

    void fullDeviceIsReported()
    {
        if (!QFileInfo::exists("/dev/full"))
            QSKIP("no /dev/full here");
        const ExportResult r = writeText("/dev/full", "some text\n");
        QVERIFY(!r.ok);
        QCOMPARE(r.errorText, QStringLiteral("File error. Could not write to: /dev/full"));
        // Still the device, not a file put in its place.
        struct stat st;
        QCOMPARE(stat("/dev/full", &st), 0);
        QVERIFY(S_ISCHR(st.st_mode));

        const ExportResult toNull = writeText("/dev/null", bigText());
        QVERIFY(toNull.ok);
        QCOMPARE(stat("/dev/null", &st), 0);
        QVERIFY(S_ISCHR(st.st_mode));
    }

    void pipeWhoseReaderLeavesIsAFailure()
    {
        // A reader that takes a few bytes and goes away: the rest cannot be
        // written. Reported as a file error; the program (this test) lives on.
        QTemporaryDir dir;
        const QString path = dir.filePath("pipe.csv");
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        std::thread reader([&] {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
                f.read(10);
        });
        const ExportResult r = writeText(path, bigText());
        reader.join();
        QVERIFY(!r.ok);
        QCOMPARE(r.errorText, "File error. Could not write to: " + path);
        QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());  // still the pipe
    }

    void failedWriteKeepsTheExistingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("track.gpx");
        QVERIFY(vxtest::writeFile(path, "the previous export\n"));
        {
            vxtest::FileSizeLimit limit(64 * 1024);
            QVERIFY(limit.ok);
            const ExportResult r = writeText(path, bigText());
            QVERIFY(!r.ok);
            QCOMPARE(r.errorText, "File error. Could not write to: " + path);
            // A new file that cannot be finished does not appear either.
            QVERIFY(!writeText(dir.filePath("new.gpx"), bigText()).ok);
        }
        QCOMPARE(readAll(path), QByteArray("the previous export\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{"track.gpx"});
    }

    void unwritablePlaces()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder.kml"));
        ExportResult r = writeText(dir.filePath("folder.kml"), "x");
        QVERIFY(!r.ok);
        QVERIFY(QFileInfo(dir.filePath("folder.kml")).isDir());
        r = writeText(dir.filePath("no/such/folder/a.kml"), "x");
        QVERIFY(!r.ok);
        QCOMPARE(r.errorText, "File error. Could not write to: " + dir.filePath("no/such/folder/a.kml"));
        QVERIFY(!writeText(QString(), "x").ok);
        // Abandoning a file before finishing leaves nothing behind.
        {
            ExportFile f(dir.filePath("abandoned.csv"));
            QVERIFY(f.open());
            f.write(QByteArray(3 << 20, 'h'));
        }
        QVERIFY(!QFileInfo::exists(dir.filePath("abandoned.csv")));
        // A cancelled file, too; one that existed stays as it was.
        QVERIFY(vxtest::writeFile(dir.filePath("kept.csv"), "old"));
        {
            ExportFile f(dir.filePath("kept.csv"));
            QVERIFY(f.open());
            f.write(QByteArray(3 << 20, 'h'));
            QVERIFY(f.cancel().cancelled);
        }
        QCOMPARE(readAll(dir.filePath("kept.csv")), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.csv"});
    }

    void replacedFileKeepsItsPermissionsAndLinks()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("kept.csv");
        QVERIFY(vxtest::writeFile(path, "old"));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
        QVERIFY(writeText(path, "new").ok);
        struct stat st;
        QCOMPARE(stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0640));

        // Through a symbolic link: the file it points to gets the text, the
        // link stays.
        const QString link = dir.filePath("link.csv");
        QVERIFY(QFile::link(path, link));
        QVERIFY(writeText(link, "via link").ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readAll(path), QByteArray("via link"));

        // A new file gets the usual permissions, not a private temporary
        // file's.
        const mode_t old = ::umask(022);
        QVERIFY(writeText(dir.filePath("fresh.csv"), "x").ok);
        ::umask(old);
        QCOMPARE(stat(QFile::encodeName(dir.filePath("fresh.csv")).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0644));
    }

    void chooserPaths()
    {
        QCOMPARE(exportDialogTitle(EXPORT_GPX), QStringLiteral("Export GPX"));
        QCOMPARE(exportDialogFilter(EXPORT_TXT), QStringLiteral("TXT Text Files (*.text)"));
        QVERIFY(exportTypeExtension(4).isEmpty());

        // The desktop until a file has been chosen.
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QCOMPARE(lastExportDirectory(), desktop);
        QCOMPARE(exportDefaultPath(EXPORT_CSV), desktop + "/export.csv");

        QCOMPARE(completeExportPath("/data/track", EXPORT_CSV), QStringLiteral("/data/track.csv"));
        QCOMPARE(completeExportPath("/data/a.csv.bak", EXPORT_CSV), QStringLiteral("/data/a.csv.bak"));
        QCOMPARE(completeExportPath("/data/A.CSV", EXPORT_CSV), QStringLiteral("/data/A.CSV.csv"));
        QCOMPARE(completeExportPath("/data/x.gpx", EXPORT_KML), QStringLiteral("/data/x.gpx.kml"));
        QCOMPARE(completeExportPath("/data/route.kml", EXPORT_KML), QStringLiteral("/data/route.kml"));
        // ".text" holds ".tex" but not the other way round.
        QCOMPARE(completeExportPath("/d/tags.tex", EXPORT_TXT), QStringLiteral("/d/tags.tex.text"));

        rememberExportPath("/data/flights/track.csv");
        QCOMPARE(lastExportDirectory(), QStringLiteral("/data/flights"));
        QCOMPARE(exportDefaultPath(EXPORT_KML), QStringLiteral("/data/flights/export.kml"));
        QCOMPARE(exportDefaultPath(EXPORT_TXT, "geotags"), QStringLiteral("/data/flights/geotags.text"));
        rememberExportPath(QString());  // a cancelled dialog changes nothing
        QCOMPARE(lastExportDirectory(), QStringLiteral("/data/flights"));
    }
};

QTEST_GUILESS_MAIN(TestExportFile)
#include "test_exportfile.moc"

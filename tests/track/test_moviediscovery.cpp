// Which movies form a load: extensions, folder listing, date and name
// order, and the --input= command line with its printed messages.
#include "support/testsupport.h"
#include "track/moviediscovery.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

QStringList namesOf(const QList<QFileInfo> &movies)
{
    QStringList names;
    for (const QFileInfo &m : movies)
        names << m.fileName();
    return names;
}

bool touch(const QString &path, int minutesAgo)
{
    if (!vxtest::writeFile(path, "m"))
        return false;
    QFile f(path);
    return f.open(QIODevice::ReadWrite)
        && f.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesAgo), QFileDevice::FileModificationTime);
}

} // namespace

class TestMovieDiscovery : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(touch(path(QStringLiteral("a.mov")), 10));
        QVERIFY(touch(path(QStringLiteral("B.mov")), 30));
        QVERIFY(touch(path(QStringLiteral("C.MP4")), 20));
        QVERIFY(touch(path(QStringLiteral("d.Avi")), 40));
        QVERIFY(touch(path(QStringLiteral("notes.txt")), 50));
        QVERIFY(touch(path(QStringLiteral("e.mov.srt")), 50));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.mov")));
    }

    void movieExtensions()
    {
        QVERIFY(isMovieFileName(QStringLiteral("x.MP4")));
        QVERIFY(isMovieFileName(QStringLiteral("/a/b/x.aVi")));
        QVERIFY(!isMovieFileName(QStringLiteral("x.mp4.srt")));
        QVERIFY(!isMovieFileName(QStringLiteral("mov")));
        QCOMPARE(movieNameFilters(), (QStringList{"*.mov", "*.mp4", "*.avi"}));
    }

    void folderListing()
    {
        // Oldest first by date; by name in case-sensitive order (B before a).
        QCOMPARE(namesOf(listMovieFolder(m_dir.path(), true)), (QStringList{"d.Avi", "B.mov", "C.MP4", "a.mov"}));
        QCOMPARE(namesOf(listMovieFolder(m_dir.path(), false)), (QStringList{"B.mov", "C.MP4", "a.mov", "d.Avi"}));
        QVERIFY(listMovieFolder(path(QStringLiteral("nowhere")), true).isEmpty());
    }

    void inputFolder()
    {
        const InputSelection s = parseInputArguments({QStringLiteral("--input=") + m_dir.path()}, true);
        QVERIFY(s.inputGiven);
        QCOMPARE(namesOf(s.movies), (QStringList{"d.Avi", "B.mov", "C.MP4", "a.mov"}));
        QCOMPARE(s.loadFolder, QDir(m_dir.path()).absolutePath());
        QVERIFY(s.messages.isEmpty());
    }

    void inputMovies()
    {
        // Single movies with any case of extension, sorted once more; a
        // missing one is reported and left out; arguments without the
        // option are ignored.
        const InputSelection s = parseInputArguments({QStringLiteral("--input=") + path(QStringLiteral("a.mov")),
                                                      QStringLiteral("-platform"), QStringLiteral("offscreen"),
                                                      QStringLiteral("--input=") + path(QStringLiteral("gone.MP4")),
                                                      QStringLiteral("--input=") + path(QStringLiteral("C.MP4"))},
                                                     false);
        QCOMPARE(namesOf(s.movies), (QStringList{"C.MP4", "a.mov"}));
        QCOMPARE(s.loadFolder, m_dir.path());
        QCOMPARE(s.messages, QStringList{path(QStringLiteral("gone.MP4")) + QStringLiteral(" does not exist!")});
    }

    void nothingToLoad()
    {
        const InputSelection none = parseInputArguments({QStringLiteral("--verbose"), QStringLiteral("x.mov")}, true);
        QVERIFY(!none.inputGiven);
        QVERIFY(none.messages.isEmpty());

        const InputSelection missing = parseInputArguments({QStringLiteral("--input=/nowhere/x.mov")}, true);
        QVERIFY(missing.inputGiven);
        QVERIFY(missing.movies.isEmpty());
        QCOMPARE(missing.messages,
                 (QStringList{"/nowhere/x.mov does not exist!", "No *.mov, *.mp4, or *.avi movies found!"}));

        QTemporaryDir empty;
        const InputSelection emptyFolder = parseInputArguments({QStringLiteral("--input=") + empty.path()}, true);
        QCOMPARE(emptyFolder.messages, QStringList{noMoviesMessage()});
    }

    void inputPattern()
    {
        // The value stops at a double quote; escaped characters stay as written.
        const InputSelection s = parseInputArguments({QStringLiteral("--input=/x/a\\\"b.mov\"tail")}, true);
        QCOMPARE(s.messages.first(), QStringLiteral("/x/a\\\"b.mov does not exist!"));
    }
};

QTEST_GUILESS_MAIN(TestMovieDiscovery)
#include "test_moviediscovery.moc"

// Which movies form a load: extensions, folder listing, date and name
// order, and the command line (--input= and plain paths) with its printed
// messages.
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
                                                      QStringLiteral("-x"), QStringLiteral("--verbose"),
                                                      QStringLiteral("--input=") + path(QStringLiteral("gone.MP4")),
                                                      QStringLiteral("--input=") + path(QStringLiteral("C.MP4"))},
                                                     false);
        QCOMPARE(namesOf(s.movies), (QStringList{"C.MP4", "a.mov"}));
        QCOMPARE(s.loadFolder, m_dir.path());
        QCOMPARE(s.messages, QStringList{path(QStringLiteral("gone.MP4")) + QStringLiteral(" does not exist!")});
    }

    void nothingToLoad()
    {
        const InputSelection none = parseInputArguments({QStringLiteral("--verbose"), QStringLiteral("-x")}, true);
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

    // Paths as the shell hands them over, with --input= or plain: quotes,
    // blanks, '#', backslashes and non-ASCII letters are part of the name;
    // options are passed over unless they follow "--"; a folder's listing
    // replaces what came before; what does not exist is reported and left
    // out; files that are no movies are passed over. "%1" is a folder
    // holding the movies, also the current folder for relative paths.
    void argumentPaths_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("messages");
        const QString none = noMoviesMessage();
        QTest::newRow("quote") << QStringList{"--input=%1/a\"b.mov"} << QStringList{"a\"b.mov"} << QStringList{};
        QTest::newRow("plain, blank and #") << QStringList{"%1/with space.mp4", "%1/#1 clip.MOV"}
                                           << QStringList{"#1 clip.MOV", "with space.mp4"} << QStringList{};
        QTest::newRow("non-ASCII, backslash") << QStringList{"--input=%1/Grüße 飛行.mp4", "%1/back\\slash.avi"}
                                             << QStringList{"Grüße 飛行.mp4", "back\\slash.avi"} << QStringList{};
        QTest::newRow("folder with quotes") << QStringList{"%1/a\"b.mov", "--input=%1/sub \"q\""}
                                           << QStringList{"x.mov"} << QStringList{};
        QTest::newRow("relative, after --") << QStringList{"-dash.mp4", "--", "-dash.mp4", "with space.mp4"}
                                           << QStringList{"-dash.mp4", "with space.mp4"} << QStringList{};
        QTest::newRow("folder named like a movie") << QStringList{"%1/folder.mov"} << QStringList{"y.mp4"}
                                                  << QStringList{};
        QTest::newRow("missing paths") << QStringList{"%1/with space.mp4", "%1/gone.mp4", "--input=%1/nowhere"}
                                       << QStringList{"with space.mp4"}
                                       << QStringList{"%1/gone.mp4 does not exist!", "%1/nowhere does not exist!"};
        QTest::newRow("no movie file") << QStringList{"%1/notes.txt", "--input="} << QStringList{}
                                       << QStringList{none};
    }

    void argumentPaths()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, names);
        QFETCH(QStringList, messages);
        QTemporaryDir dir;
        const QString root = dir.path();
        for (const char *name : {"a\"b.mov", "with space.mp4", "#1 clip.MOV", "Grüße 飛行.mp4", "back\\slash.avi",
                                 "-dash.mp4", "notes.txt", "sub \"q\"/x.mov", "folder.mov/y.mp4"}) {
            const QString file = root + QLatin1Char('/') + QString::fromUtf8(name);
            QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
            QVERIFY2(vxtest::writeFile(file, "m"), name);
        }
        const QString here = QDir::currentPath();
        QDir::setCurrent(root);
        const InputSelection s = parseInputArguments(arguments.replaceInStrings(QStringLiteral("%1"), root), false);
        QDir::setCurrent(here);
        QCOMPARE(namesOf(s.movies), names);
        QCOMPARE(s.messages, messages.replaceInStrings(QStringLiteral("%1"), root));
        QVERIFY(s.inputGiven);
        for (const QFileInfo &m : s.movies) {
            QVERIFY2(m.isAbsolute() && m.isFile(), qPrintable(m.filePath()));
            QCOMPARE(s.loadFolder, m.absolutePath());
        }
    }
};

QTEST_GUILESS_MAIN(TestMovieDiscovery)
#include "test_moviediscovery.moc"

// Which movies form a load: extensions, folder listing, date and name
// order, and the --input= command line with its printed messages.
#include "support/testsupport.h"
#include "track/moviediscovery.h"

#include <QtTest>

using namespace vx;

namespace {

QString namesOf(const QList<QFileInfo> &movies) {
    QStringList names;
    for (const QFileInfo &m : movies)
        names << m.fileName();
    return names.join(' ');
}

} // namespace

class TestMovieDiscovery : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir, m_empty;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        const QList<QPair<QString, int>> files{{"a.mov", 10}, {"B.mov", 30}, {"C.MP4", 20}, {"d.Avi", 40}, {"notes.txt", 50},
                                               {"e.mov.srt", 50}};
        for (const auto &f : files) {
            QVERIFY(vxtest::writeFile(path(f.first), "m"));
            QFile file(path(f.first));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * f.second), QFileDevice::FileModificationTime));
        }
        QVERIFY(QDir(m_dir.path()).mkdir("folder.mov"));
    }

    void moviesOfAFolder() {
        QVERIFY(isMovieFileName("x.MP4") && isMovieFileName("/a/b/x.aVi"));
        QVERIFY(!isMovieFileName("x.mp4.srt") && !isMovieFileName("mov"));
        QCOMPARE(movieNameFilters(), (QStringList{"*.mov", "*.mp4", "*.avi"}));
        // Oldest first by date; by name in case-sensitive order (B before a).
        QCOMPARE(namesOf(listMovieFolder(m_dir.path(), true)), "d.Avi B.mov C.MP4 a.mov");
        QCOMPARE(namesOf(listMovieFolder(m_dir.path(), false)), "B.mov C.MP4 a.mov d.Avi");
        QVERIFY(listMovieFolder(path("nowhere"), true).isEmpty());
    }

    void inputArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("dateSort");
        QTest::addColumn<QString>("movies");
        QTest::addColumn<QStringList>("messages");
        const QString dir = m_dir.path();
        QTest::newRow("folder") << QStringList{"--input=" + dir} << true << "d.Avi B.mov C.MP4 a.mov" << QStringList();
        // Single movies with any case of extension, sorted once more; a
        // missing one is reported and left out; other arguments are ignored.
        QTest::newRow("movies") << QStringList{"--input=" + path("a.mov"), "-platform", "offscreen", "--input=" + path("gone.MP4"),
                                               "--input=" + path("C.MP4")}
                                << false << "C.MP4 a.mov" << QStringList{path("gone.MP4") + " does not exist!"};
        QTest::newRow("missing movie") << QStringList{"--input=/nowhere/x.mov"} << true << ""
                                       << QStringList{"/nowhere/x.mov does not exist!", "No *.mov, *.mp4, or *.avi movies found!"};
        QTest::newRow("empty folder") << QStringList{"--input=" + m_empty.path()} << true << "" << QStringList{noMoviesMessage()};
        // The value stops at a double quote; escaped characters stay as written.
        QTest::newRow("quote") << QStringList{"--input=/x/a\\\"b.mov\"tail"} << true << ""
                               << QStringList{"/x/a\\\"b.mov does not exist!", noMoviesMessage()};
    }
    void inputArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, dateSort);
        const InputSelection s = parseInputArguments(arguments, dateSort);
        QVERIFY(s.inputGiven);
        QTEST(namesOf(s.movies), "movies");
        QTEST(s.messages, "messages");
        if (!s.movies.isEmpty())
            QCOMPARE(QDir(s.loadFolder).absolutePath(), QDir(m_dir.path()).absolutePath());
    }

    void withoutInputNothingHappens() {
        const InputSelection none = parseInputArguments({"--verbose", "x.mov"}, true);
        QVERIFY(!none.inputGiven && none.messages.isEmpty() && none.movies.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMovieDiscovery)
#include "test_moviediscovery.moc"

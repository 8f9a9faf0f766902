// Which movies form a load: extensions, folder listing, date and name order, the command line and its messages.
#include "support/testsupport.h"
#include "track/moviediscovery.h"

#include <QtTest>

using namespace vx;

class TestMovieDiscovery : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir, m_empty;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    static QString namesOf(const QList<QFileInfo> &movies) {
        QStringList names;
        for (const QFileInfo &m : movies)
            names << m.fileName();
        return names.join('|');
    }

private slots:
    // Movies of different ages, and in "p/" names as the shell hands them over.
    void initTestCase() {
        const QList<QPair<QString, int>> files{{"a.mov", 10}, {"B.mov", 30}, {"C.MP4", 20}, {"d.Avi", 40}, {"notes.txt", 50},
                                               {"e.mov.srt", 50}};
        for (const auto &f : files) {
            QFile file(path(f.first));
            QVERIFY(vxtest::writeFile(path(f.first), "m") && file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * f.second), QFileDevice::FileModificationTime));
        }
        for (const char *name : {"a\"b.mov", "with space.mp4", "#1 clip.MOV", "Grüße 飛行.mp4", "back\\slash.avi", "-dash.mp4",
                                 "notes.txt", "sub \"q\"/x.mov", "folder.mov/y.mp4"}) {
            const QString file = path("p/" + QString::fromUtf8(name));
            QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()) && vxtest::writeFile(file, "m"));
        }
    }

    void moviesOfAFolder() {
        QVERIFY(isMovieFileName("x.MP4") && isMovieFileName("/a/b/x.aVi"));
        QVERIFY(!isMovieFileName("x.mp4.srt") && !isMovieFileName("mov"));
        // Oldest first by date; by name in case-sensitive order (B before a); files only.
        QCOMPARE(namesOf(listMovieFolder(m_dir.path(), true)), "d.Avi|B.mov|C.MP4|a.mov");
        QCOMPARE(namesOf(listMovieFolder(m_dir.path(), false)), "B.mov|C.MP4|a.mov|d.Avi");
        QVERIFY(listMovieFolder(path("nowhere"), true).isEmpty());
        const InputSelection none = parseInputArguments({"--verbose", "-x"}, true);  // no input: nothing happens
        QVERIFY(!none.inputGiven && none.messages.isEmpty() && none.movies.isEmpty());
    }
    // Single movies are sorted once more; a folder replaces what came before; any character is part of a name;
    // options are passed over unless after "--"; missing paths are reported; "%1" is "p", the current folder.
    void inputArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("dateSort");
        QTest::addColumn<QString>("movies");
        QTest::addColumn<QStringList>("messages");
        const QString dir = m_dir.path(), none = "No *.mov, *.mp4, or *.avi movies found!";
        QTest::newRow("folder") << QStringList{"--input=" + dir} << true << "d.Avi|B.mov|C.MP4|a.mov" << QStringList();
        QTest::newRow("movies") << QStringList{"--input=" + path("a.mov"), "-x", "--verbose", "--input=" + path("gone.MP4"),
                                               "--input=" + path("C.MP4")}
                                << false << "C.MP4|a.mov" << QStringList{path("gone.MP4") + " does not exist!"};
        QTest::newRow("empty folder") << QStringList{"--input=" + m_empty.path()} << true << "" << QStringList{none};
        QTest::newRow("quote, blank, #, non-ASCII, backslash")
            << QStringList{"--input=%1/a\"b.mov", "%1/with space.mp4", "--input=%1/#1 clip.MOV", "%1/Grüße 飛行.mp4",
                           "%1/back\\slash.avi"}
            << false << "#1 clip.MOV|Grüße 飛行.mp4|a\"b.mov|back\\slash.avi|with space.mp4" << QStringList{};
        QTest::newRow("folder with quotes") << QStringList{"%1/a\"b.mov", "--input=%1/sub \"q\""} << false << "x.mov"
                                           << QStringList{};
        QTest::newRow("relative, after --") << QStringList{"-dash.mp4", "--", "-dash.mp4", "with space.mp4"} << false
                                           << "-dash.mp4|with space.mp4" << QStringList{};
        QTest::newRow("folder named like a movie") << QStringList{"%1/folder.mov"} << false << "y.mp4" << QStringList{};
        QTest::newRow("missing paths") << QStringList{"%1/with space.mp4", "%1/gone.mp4", "--input=%1/nowhere"} << false
                                       << "with space.mp4"
                                       << QStringList{"%1/gone.mp4 does not exist!", "%1/nowhere does not exist!"};
        QTest::newRow("no movie file") << QStringList{"%1/notes.txt", "--input="} << false << "" << QStringList{none};
    }
    void inputArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, dateSort);
        QFETCH(QStringList, messages);
        const QString here = QDir::currentPath(), root = path("p");
        QDir::setCurrent(root);
        const InputSelection s = parseInputArguments(arguments.replaceInStrings("%1", root), dateSort);
        QDir::setCurrent(here);
        QVERIFY(s.inputGiven);
        QTEST(namesOf(s.movies), "movies");
        QCOMPARE(s.messages, messages.replaceInStrings("%1", root));
        for (const QFileInfo &m : s.movies) {
            QVERIFY2(m.isAbsolute() && m.isFile(), qPrintable(m.filePath()));
            QCOMPARE(s.loadFolder, m.absolutePath());
        }
    }
};

QTEST_GUILESS_MAIN(TestMovieDiscovery)
#include "test_moviediscovery.moc"

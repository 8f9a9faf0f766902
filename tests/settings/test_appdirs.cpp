// The resource directory of a program in the build tree (<build>/bin next to <build>/Resources) and of an installed
// one (<prefix>/bin next to <prefix>/share/volantix), and which wins when both or neither exist.
#include "settings/appdirs.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

class TestAppDirs : public QObject {
    Q_OBJECT

private slots:
    void resourceDirectoryByLayout_data() {
        QTest::addColumn<QStringList>("folders");  // made under the root beside "bin"
        QTest::addColumn<QString>("expected");     // relative to the root
        QTest::newRow("build tree") << QStringList{"Resources"} << "Resources/";
        QTest::newRow("installed") << QStringList{"share/volantix"} << "share/volantix/";
        QTest::newRow("both: the build tree's") << QStringList{"Resources", "share/volantix"} << "Resources/";
        QTest::newRow("neither: the build tree's name") << QStringList{} << "Resources/";
        QTest::newRow("another program's share") << QStringList{"share/other"} << "Resources/";
    }

    void resourceDirectoryByLayout() {
        QFETCH(QStringList, folders);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("bin"));
        for (const QString &f : folders)
            QVERIFY(QDir(root.path()).mkpath(f));
        QCOMPARE(resourceDirFor(root.filePath("bin")), root.path() + '/' + expected);
    }
};

QTEST_GUILESS_MAIN(TestAppDirs)
#include "test_appdirs.moc"

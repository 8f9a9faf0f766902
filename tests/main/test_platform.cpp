// The platform layer: revealing a file through the freedesktop file manager
// interface (checked against a stand-in service on a private session bus),
// the fallback to opening the folder, and the platform's words.
#include "main/platform.h"
#include "support/testsupport.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QtTest>

using namespace vx;

namespace {

// Stands in for a file manager on the bus.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList calls;
public slots:
    void ShowItems(const QStringList &uris, const QString &startupId) { calls << uris.join(',') + '|' + startupId; }
};

class FolderOpener : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

    QProcess m_daemon;
    QString m_busAddress;
    QTemporaryDir m_dir;
    QString m_movie;
    FolderOpener m_opener;

private slots:
    void initTestCase() {
        m_movie = m_dir.filePath("a flight #1.MOV");
        QVERIFY(vxtest::writeFile(m_movie, "movie"));
        QDesktopServices::setUrlHandler("file", &m_opener, "open");

        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty())
            return;
        m_daemon.start(daemon, {"--session", "--nofork",
                                "--print-address=1"});
        if (m_daemon.waitForStarted(5000) && m_daemon.waitForReadyRead(5000))
            m_busAddress = QString::fromLatin1(m_daemon.readLine()).trimmed();
    }

    void cleanupTestCase() {
        QDesktopServices::unsetUrlHandler("file");
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }

    void init() { m_opener.urls.clear(); }

    void wordsOfThisPlatform() {
        QCOMPARE(QStringList({fileManagerName(), commandModifierName(), fullscreenNoticeText()}),
                 QStringList({"file manager", "Ctrl", "Use Ctrl-F to toggle fullscreen mode."}));
    }

    void withoutABusTheFolderIsOpened() {
        // A missing or empty path does nothing.
        const QDBusConnection none("no such connection");
        QVERIFY(!none.isConnected());
        QVERIFY(!showInFileManager(QString(), none));
        QVERIFY(!showInFileManager(m_dir.filePath("gone.mov"), none));
        QTest::qWait(50);
        QVERIFY(m_opener.urls.isEmpty());
        QVERIFY(showInFileManager(m_movie, none));
        QCOMPARE(m_opener.urls, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});
    }

    void theFileManagerServiceIsAskedToShowTheItem() {
        if (m_busAddress.isEmpty())
            QSKIP("no private session bus (dbus-daemon missing)");
        QDBusConnection service = QDBusConnection::connectToBus(m_busAddress, "service");
        QDBusConnection client = QDBusConnection::connectToBus(m_busAddress, "client");
        QVERIFY(service.isConnected() && client.isConnected());
        FakeFileManager fileManager;
        QVERIFY(service.registerObject("/org/freedesktop/FileManager1", &fileManager,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService("org.freedesktop.FileManager1"));

        QVERIFY(showInFileManager(m_movie, client));
        // The path's blank and '#' are encoded in the URI.
        QTRY_COMPARE(fileManager.calls, QStringList{QUrl::fromLocalFile(m_movie).toString() + '|'});
        QVERIFY(fileManager.calls.first().contains("%23"));
        QTest::qWait(50);
        QVERIFY(m_opener.urls.isEmpty());

        service.unregisterService("org.freedesktop.FileManager1");
        QDBusConnection::disconnectFromBus("service");
        QDBusConnection::disconnectFromBus("client");
    }

    void aBusWithoutFileManagerFallsBackToTheFolder() {
        if (m_busAddress.isEmpty())
            QSKIP("no private session bus (dbus-daemon missing)");
        QDBusConnection client = QDBusConnection::connectToBus(m_busAddress, "lonely");
        QVERIFY(client.isConnected());
        QVERIFY(showInFileManager(m_movie, client));
        QTRY_COMPARE(m_opener.urls, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});
        QDBusConnection::disconnectFromBus("lonely");
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"

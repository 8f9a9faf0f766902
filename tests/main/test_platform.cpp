// Revealing a file through the file manager service (a stand-in on a private bus) or by opening its folder.
#include "main/platform.h"
#include "support/testsupport.h"
#include <QDBusConnection>
#include <QDesktopServices>
#include <QtTest>

using namespace vx;

namespace {
// Stands in for a file manager on the bus; records what it was asked, and what was opened as a folder.
class Recorder : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList calls;
    QList<QUrl> urls;
public slots:
    void ShowItems(const QStringList &uris, const QString &startupId) { calls << uris.join(',') + '|' + startupId; }
    void open(const QUrl &url) { urls << url; }
};
} // namespace

class TestPlatform : public QObject {
    Q_OBJECT
    QProcess m_daemon;
    QString m_busAddress;
    QTemporaryDir m_dir;
    QString m_movie;
    Recorder m_opener;
private slots:
    void initTestCase() {
        m_movie = m_dir.filePath("a flight #1.MOV");
        QVERIFY(vxtest::writeFile(m_movie, "movie"));
        QDesktopServices::setUrlHandler("file", &m_opener, "open");
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty())
            return;
        m_daemon.start(daemon, {"--session", "--nofork", "--print-address=1"});
        if (m_daemon.waitForStarted(5000) && m_daemon.waitForReadyRead(5000))
            m_busAddress = QString::fromLatin1(m_daemon.readLine()).trimmed();
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("file"), m_daemon.kill(), m_daemon.waitForFinished(5000); }
    void init() { m_opener.urls.clear(); }
    void wordsOfThisPlatformAndWithoutABusTheFolder() {
        QCOMPARE(QStringList({fileManagerName(), commandModifierName(), fullscreenNoticeText()}),
                 QStringList({"file manager", "Ctrl", "Use Ctrl-F to toggle fullscreen mode."}));
        const QDBusConnection none("no such connection");  // a missing or empty path does nothing
        QVERIFY(!none.isConnected() && !showInFileManager(QString(), none) && !showInFileManager(m_dir.filePath("gone.mov"), none));
        QTest::qWait(50);
        QVERIFY(m_opener.urls.isEmpty() && showInFileManager(m_movie, none));
        QCOMPARE(m_opener.urls, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});
    }
    // The service is asked to show the item (blank and '#' encoded); a bus without it falls back to the folder.
    void theFileManagerServiceOrTheFolder() {
        if (m_busAddress.isEmpty())
            QSKIP("no private session bus (dbus-daemon missing)");
        QDBusConnection service = QDBusConnection::connectToBus(m_busAddress, "service");
        QDBusConnection client = QDBusConnection::connectToBus(m_busAddress, "client");
        QVERIFY(service.isConnected() && client.isConnected());
        Recorder fileManager;
        QVERIFY(service.registerObject("/org/freedesktop/FileManager1", &fileManager, QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService("org.freedesktop.FileManager1") && showInFileManager(m_movie, client));
        QTRY_COMPARE(fileManager.calls, QStringList{QUrl::fromLocalFile(m_movie).toString() + '|'});
        QTest::qWait(50);
        QVERIFY(fileManager.calls.first().contains("%23") && m_opener.urls.isEmpty());
        service.unregisterService("org.freedesktop.FileManager1");
        QDBusConnection::disconnectFromBus("service");
        QVERIFY(showInFileManager(m_movie, client));
        QTRY_COMPARE(m_opener.urls, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});
        QVERIFY(fileManager.calls.size() == 1);
        QDBusConnection::disconnectFromBus("client");
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"

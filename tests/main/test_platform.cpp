// The platform layer: revealing a file through the freedesktop file manager
// interface (checked against a stand-in service on a private session bus),
// the fallback to opening the folder, and the platform's words.
#include "main/platform.h"
#include "support/testsupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

using namespace vx;

namespace {

// Stands in for a file manager on the bus.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QList<QStringList> shown;
    QStringList startupIds;

public slots:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        shown << uris;
        startupIds << startupId;
    }
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
    void initTestCase()
    {
        m_movie = m_dir.filePath(QStringLiteral("a flight #1.MOV"));
        QVERIFY(vxtest::writeFile(m_movie, "movie"));
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_opener, "open");

        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return;
        m_daemon.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                QStringLiteral("--print-address=1")});
        if (m_daemon.waitForStarted(5000) && m_daemon.waitForReadyRead(5000))
            m_busAddress = QString::fromLatin1(m_daemon.readLine()).trimmed();
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }

    void init() { m_opener.urls.clear(); }

    void wordsOfThisPlatform()
    {
        QCOMPARE(fileManagerName(), QStringLiteral("file manager"));
        QCOMPARE(commandModifierName(), QStringLiteral("Ctrl"));
        QCOMPARE(fullscreenNoticeText(), QStringLiteral("Use Ctrl-F to toggle fullscreen mode."));
    }

    void aMissingOrEmptyPathDoesNothing()
    {
        const QDBusConnection none(QStringLiteral("no such connection"));
        QVERIFY(!showInFileManager(QString(), none));
        QVERIFY(!showInFileManager(m_dir.filePath(QStringLiteral("gone.mov")), none));
        QTest::qWait(50);
        QVERIFY(m_opener.urls.isEmpty());
    }

    void withoutABusTheFolderIsOpened()
    {
        const QDBusConnection none(QStringLiteral("no such connection"));
        QVERIFY(!none.isConnected());
        QVERIFY(showInFileManager(m_movie, none));
        QCOMPARE(m_opener.urls, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});
    }

    void theFileManagerServiceIsAskedToShowTheItem()
    {
        if (m_busAddress.isEmpty())
            QSKIP("no private session bus (dbus-daemon missing)");
        QDBusConnection service = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("service"));
        QDBusConnection client = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("client"));
        QVERIFY(service.isConnected() && client.isConnected());
        FakeFileManager fileManager;
        QVERIFY(service.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fileManager,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(QStringLiteral("org.freedesktop.FileManager1")));

        QVERIFY(showInFileManager(m_movie, client));
        QTRY_COMPARE(fileManager.shown.size(), 1);
        // The path's blank and '#' are encoded in the URI.
        QCOMPARE(fileManager.shown.first(), QStringList{QUrl::fromLocalFile(m_movie).toString()});
        QVERIFY(fileManager.shown.first().first().contains(QStringLiteral("%23")));
        QCOMPARE(fileManager.startupIds, QStringList{QString()});
        QTest::qWait(50);
        QVERIFY(m_opener.urls.isEmpty());

        service.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    }

    void aBusWithoutFileManagerFallsBackToTheFolder()
    {
        if (m_busAddress.isEmpty())
            QSKIP("no private session bus (dbus-daemon missing)");
        QDBusConnection client = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("lonely"));
        QVERIFY(client.isConnected());
        QVERIFY(showInFileManager(m_movie, client));
        QTRY_COMPARE(m_opener.urls, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});
        QDBusConnection::disconnectFromBus(QStringLiteral("lonely"));
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"

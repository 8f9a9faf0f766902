// The downloader of the update check against a server inside the test:
// answers, redirects, time and size limits.
#include "settings/filedownloader.h"
#include "support/httpserver.h"

#include <QSignalSpy>
#include <QtTest>

using namespace vx;
using vxtest::httpAnswer;
using vxtest::LocalHttpServer;
using vxtest::requestPath;

namespace {

const qint64 kLimit = DownloadLimits().maxBytes;

// The answers by path.
QByteArray answerFor(const QByteArray &path)
{
    if (path == "/feed")
        return httpAnswer(200, "OK", "<history/>");
    if (path == "/exact")
        return httpAnswer(200, "OK", QByteArray(kLimit, 'x'));
    if (path == "/big")
        return httpAnswer(200, "OK", QByteArray(kLimit + 1, 'x'));
    if (path == "/big-unannounced")
        return httpAnswer(200, "OK", QByteArray(kLimit + 1, 'x'), QByteArray(), false);
    if (path == "/missing")
        return httpAnswer(404, "Not Found", "<html>gone</html>");
    if (path == "/created")
        return httpAnswer(201, "Created", "<history/>");
    if (path == "/moved")
        return httpAnswer(302, "Found", QByteArray(), "Location: /feed\r\n");
    if (path == "/moved-twice")
        return httpAnswer(301, "Moved Permanently", QByteArray(), "Location: /moved\r\n");
    if (path == "/to-file")
        return httpAnswer(302, "Found", QByteArray(), "Location: file:///etc/passwd\r\n");
    if (path == "/to-script")
        return httpAnswer(302, "Found", QByteArray(), "Location: javascript:alert(1)\r\n");
    if (path == "/loop")
        return httpAnswer(302, "Found", QByteArray(), "Location: /loop\r\n");
    return QByteArray();  // "/hang" and anything else: no answer at all
}

} // namespace

class TestFileDownloader : public QObject {
    Q_OBJECT

    LocalHttpServer m_server{[](const QByteArray &head) { return answerFor(requestPath(head)); }};

private slots:
    void download_data()
    {
        QTest::addColumn<QString>("url");    // relative to the server, or whole when it has a scheme
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<QByteArray>("body");   // of a success
        QTest::addColumn<QString>("error");     // part of the error text; empty: success
        QTest::addColumn<QStringList>("paths"); // that reached the server, in order, each once

        QTest::newRow("200") << "feed" << 15000 << QByteArray("<history/>") << "" << QStringList{"/feed"};
        QTest::newRow("exactly the size limit") << "exact" << 15000 << QByteArray(kLimit, 'x') << ""
                                                << QStringList{"/exact"};
        QTest::newRow("404") << "missing" << 15000 << QByteArray() << "answered 404 Not Found"
                             << QStringList{"/missing"};
        QTest::newRow("201 is not the file") << "created" << 15000 << QByteArray() << "answered 201 Created"
                                             << QStringList{"/created"};
        QTest::newRow("redirect") << "moved" << 15000 << QByteArray("<history/>") << ""
                                  << QStringList{"/moved", "/feed"};
        QTest::newRow("two redirects") << "moved-twice" << 15000 << QByteArray("<history/>") << ""
                                       << QStringList{"/moved-twice", "/moved", "/feed"};
        QTest::newRow("redirect to file:") << "to-file" << 15000 << QByteArray() << "redirected to an address"
                                           << QStringList{"/to-file"};
        QTest::newRow("redirect to javascript:") << "to-script" << 15000 << QByteArray()
                                                 << "redirected to an address" << QStringList{"/to-script"};
        QTest::newRow("redirect loop") << "loop" << 15000 << QByteArray() << "redirected too many times"
                                       << QStringList{"/loop"};
        QTest::newRow("timeout") << "hang" << 300 << QByteArray() << "did not answer within 0.3 seconds"
                                 << QStringList{"/hang"};
        QTest::newRow("oversized body") << "big" << 15000 << QByteArray() << "larger than 2097152 bytes"
                                        << QStringList{"/big"};
        QTest::newRow("oversized, no length given") << "big-unannounced" << 15000 << QByteArray()
                                                    << "larger than 2097152 bytes" << QStringList{"/big-unannounced"};
        QTest::newRow("a file address") << "file:///etc/passwd" << 15000 << QByteArray()
                                        << "Not an http or https address" << QStringList();
        QTest::newRow("nobody listening") << "http://127.0.0.1:1/feed" << 15000 << QByteArray()
                                          << "could not be reached" << QStringList();
    }

    void download()
    {
        QFETCH(QString, url);
        QFETCH(int, timeoutMs);
        QFETCH(QByteArray, body);
        QFETCH(QString, error);
        QFETCH(QStringList, paths);
        m_server.requests.clear();
        DownloadLimits limits;
        limits.timeoutMs = timeoutMs;
        const QUrl address = url.contains(QLatin1Char(':')) ? QUrl(url) : QUrl(m_server.base() + url);
        FileDownloader downloader(address, nullptr, limits);
        QSignalSpy done(&downloader, &FileDownloader::downloaded);
        QVERIFY(done.wait(10000));
        QTest::qWait(50);  // a second signal would come now
        QCOMPARE(done.count(), 1);
        QVERIFY2(error.isEmpty() ? downloader.succeeded() : downloader.errorString().contains(error),
                 qPrintable(downloader.errorString()));
        QCOMPARE(downloader.succeeded(), error.isEmpty());
        QCOMPARE(downloader.data(), body);  // nothing of a failed download is kept
        QStringList seen;
        for (const QByteArray &r : m_server.requests) {
            if (!seen.contains(QString::fromLatin1(requestPath(r))))
                seen << QString::fromLatin1(requestPath(r));
        }
        QCOMPARE(seen, paths);
        if (!paths.isEmpty())
            QVERIFY(m_server.requests.first().contains("User-Agent: Volantix/" VX_VERSION "\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestFileDownloader)
#include "test_filedownloader.moc"

// The downloader of the update check against a server inside the test: answers, redirects, time and size limits.
#include "settings/filedownloader.h"
#include "support/httpserver.h"

#include <QtTest>

using namespace vx;
using vxtest::httpAnswer;
using vxtest::requestPath;

namespace {

const qint64 kLimit = DownloadLimits().maxBytes;

QByteArray redirect(int status, const QByteArray &to) {
    return httpAnswer(status, status == 301 ? "Moved Permanently" : "Found", QByteArray(), "Location: " + to + "\r\n");
}

// The answers by path; "/hang" and anything else get no answer at all.
const QHash<QByteArray, QByteArray> kAnswers = {
    {"/feed", httpAnswer(200, "OK", "<history/>")},
    {"/exact", httpAnswer(200, "OK", QByteArray(kLimit, 'x'))},
    {"/big", httpAnswer(200, "OK", QByteArray(kLimit + 1, 'x'))},
    {"/big-unannounced", httpAnswer(200, "OK", QByteArray(kLimit + 1, 'x'), QByteArray(), false)},
    {"/missing", httpAnswer(404, "Not Found", "<html>gone</html>")},
    {"/created", httpAnswer(201, "Created", "<history/>")},
    {"/moved", redirect(302, "/feed")},
    {"/moved-twice", redirect(301, "/moved")},
    {"/to-file", redirect(302, "file:///etc/passwd")},
    {"/to-script", redirect(302, "javascript:alert(1)")},
    {"/loop", redirect(302, "/loop")},
};

} // namespace

class TestFileDownloader : public QObject {
    Q_OBJECT

    vxtest::LocalHttpServer m_server{[](const QByteArray &head) { return kAnswers.value(requestPath(head)); }};

private slots:
    void download_data() {
        QTest::addColumn<QString>("url");       // relative to the server, or whole when it has a scheme
        QTest::addColumn<QString>("error");     // part of the error text; empty: success
        QTest::addColumn<QStringList>("paths"); // that reached the server, in order, each once
        QTest::addColumn<QByteArray>("body");   // of a success
        QTest::addColumn<int>("timeoutMs");
        auto row = [](const char *name, const char *url, const char *error, const QStringList &paths,
                      const QByteArray &body = QByteArray(), int timeoutMs = 15000) {
            QTest::newRow(name) << url << error << paths << body << timeoutMs;
        };
        row("200", "feed", "", {"/feed"}, "<history/>");
        row("exactly the size limit", "exact", "", {"/exact"}, QByteArray(kLimit, 'x'));
        row("404", "missing", "answered 404 Not Found", {"/missing"});
        row("201 is not the file", "created", "answered 201 Created", {"/created"});
        row("redirect", "moved", "", {"/moved", "/feed"}, "<history/>");
        row("two redirects", "moved-twice", "", {"/moved-twice", "/moved", "/feed"}, "<history/>");
        row("redirect to file:", "to-file", "redirected to an address", {"/to-file"});
        row("redirect to javascript:", "to-script", "redirected to an address", {"/to-script"});
        row("redirect loop", "loop", "redirected too many times", {"/loop"});
        row("timeout", "hang", "did not answer within 0.3 seconds", {"/hang"}, QByteArray(), 300);
        row("oversized body", "big", "larger than 2097152 bytes", {"/big"});
        row("oversized, no length given", "big-unannounced", "larger than 2097152 bytes", {"/big-unannounced"});
        row("a file address", "file:///etc/passwd", "Not an http or https address", {});
        row("nobody listening", "http://127.0.0.1:1/feed", "could not be reached", {});
    }

    void download() {
        QFETCH(QString, url);
        QFETCH(QString, error);
        QFETCH(QStringList, paths);
        QFETCH(int, timeoutMs);
        m_server.requests.clear();
        FileDownloader downloader(url.contains(':') ? QUrl(url) : QUrl(m_server.base() + url), nullptr,
                                  DownloadLimits{timeoutMs});
        QSignalSpy done(&downloader, &FileDownloader::downloaded);
        QVERIFY(done.wait(10000));
        QTest::qWait(50);  // a second signal would come now
        QCOMPARE(done.count(), 1);
        QVERIFY2(error.isEmpty() ? downloader.succeeded() : downloader.errorString().contains(error),
                 qPrintable(downloader.errorString()));
        QCOMPARE(downloader.succeeded(), error.isEmpty());
        QTEST(downloader.data(), "body");  // nothing of a failed download is kept
        QStringList seen;
        for (const QByteArray &r : m_server.requests)
            if (!seen.contains(QString::fromLatin1(requestPath(r))))
                seen << QString::fromLatin1(requestPath(r));
        QCOMPARE(seen, paths);
        if (!paths.isEmpty())
            QVERIFY(m_server.requests.first().contains("User-Agent: Volantix/" VX_VERSION "\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestFileDownloader)
#include "test_filedownloader.moc"

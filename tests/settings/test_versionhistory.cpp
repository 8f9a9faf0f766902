// The update feed: its download against a server inside the test (answers, redirects, time and size limits), the
// version history parsed, what the dialog shows, and the program's own history file.
#include "settings/filedownloader.h"
#include "settings/historyfeed.h"
#include "settings/versionhistory.h"
#include "support/httpserver.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace vx;
using vxtest::historyOf;
using vxtest::historyXml;
using vxtest::httpAnswer;
using vxtest::release;
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

const VersionNumber kRunning = versionFromText(QStringLiteral("1.1.4"));

QByteArray withNotes(const QString &notes) { return historyXml({{"1.2.0", "https://example.org/d", notes}}); }

} // namespace

class TestVersionHistory : public QObject {
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
    void parse_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("stored");  // versions kept, newest first, then the count of newer ones
        QTest::addColumn<QString>("error");   // part of the error text; empty: success
        auto row = [](const char *name, const QByteArray &xml, const QString &stored, const char *error = "") {
            QTest::newRow(name) << xml << stored << error;
        };
        const QString web = "https://example.org/";
        row("newer releases listed", historyOf({"1.2.0", "1.1.5", "1.1.4", "1.1.3", "1.1.2"}),
            "1.2.0 1.1.5 1.1.4 1.1.3|3");
        row("up to date", historyOf({"1.1.4", "1.1.3"}), "1.1.4 1.1.3|1");
        row("older release only", historyOf({"1.1.3", "1.0.0"}), "1.1.3|0");
        row("wrong order", historyOf({"1.1.3", "1.2.0", "1.1.5"}), "1.2.0 1.1.5 1.1.3|2");
        row("incomplete entries skipped", historyXml({{"1.3.0", QString(), "no url"}, {"1.2.9", web, QString()},
                                                      {"1.2", web, "no subminor"}, {"-", web, "no parts"},
                                                      release("1.1.5")}), "1.1.5|1");
        row("parts out of range or not numbers",
            historyOf({"1.100.0", "10000.0.0", "1.2.-1", "1.x.0", "1.2.+3", "99999999999.0.0", "1.1.5"}), "1.1.5|1");
        row("largest parts", historyOf({"9999.99.99"}), "9999.99.99|1");
        row("download pages that are not web pages",
            historyXml({{"1.3.0", "file:///etc/passwd", "x"}, {"1.2.9", "javascript:alert(1)", "x"},
                        {"1.2.8", "http://", "x"}, {"1.2.7", "ftp://example.org/v", "x"}, {"1.2.6", "/download", "x"},
                        {"1.2.5", "data:text/html,x", "x"}, release("1.1.5")}), "1.1.5|1");
        QStringList many;  // 201 releases, newest first
        for (int i = 200; i >= 0; --i)
            many << QStringLiteral("2.%1.%2").arg(i / 100).arg(i % 100);
        row("201 entries", historyOf(many), "2.2.0 200 2.0.1|200");
        // The notes are kept in bytes (UTF-8), each with a closing zero; the store of 1,000,000 bytes is never filled
        // to the last byte.
        const QString twoByteNotes = QStringLiteral("\u00e9").repeated(499999);  // 999,998 bytes
        row("notes one byte under the limit", withNotes(twoByteNotes), "1.2.0|1");
        row("notes at the limit", withNotes(twoByteNotes + 'a'), "|0", "release notes of version 1.2.0 are too long");
        row("no entries", "<volantix><changes/></volantix>", "|0", "no complete release");
        row("versions outside changes", "<volantix><version><major>2</major><minor>0</minor><subminor>0</subminor>"
            "<url>https://example.org/</url><text>x</text></version></volantix>", "|0", "no complete release");
        row("empty body", QByteArray(), "|0", "not valid XML");
        row("cut short", historyOf({"1.2.0"}).left(120), "|0", "not valid XML");
        row("an HTML error page", "<html><body><h1>Not Found</h1><p>x<br></body></html>", "|0", "not valid XML");
        row("entity expansion",
            "<?xml version=\"1.0\"?><!DOCTYPE v [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
            "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
            "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
            "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
            "<v><changes><version><major>2</major><minor>0</minor><subminor>0</subminor>"
            "<url>https://example.org/</url><text>&d;&d;&d;&d;</text></version></changes></v>", "|0", "not valid XML");
    }

    void parse() {
        QFETCH(QByteArray, xml);
        QFETCH(QString, error);
        const VersionHistory h = parseVersionHistory(xml, kRunning);
        QVERIFY2(error.isEmpty() ? h.ok() : h.error.contains(error), qPrintable(h.error));
        QStringList versions;
        for (const Release &r : h.releases)
            versions << r.version.text();
        if (versions.size() > 4)  // a long list: its first, its size, its last
            versions = QStringList{versions.first(), QString::number(versions.size()), versions.last()};
        QTEST(versions.join(' ') + '|' + QString::number(h.counted), "stored");
        QCOMPARE(h.releases.isEmpty(), !h.ok());
        QVERIFY(h.releases.size() <= MAX_RELEASES);
    }

    void notesKeepTheirHtmlAndAddressesStayWhole() {
        const QString longPage = QStringLiteral("https://example.org/") + QString(3000, QLatin1Char('p'));
        const QByteArray xml = "<volantix><changes><version><major>1</major><minor>2</minor><subminor>0</subminor>"
                               "<url> " + longPage.toUtf8() + " </url><text><ul><li>one &amp; <b>two</b></li></ul>"
                               "</text></version></changes></volantix>";
        const Release r = parseVersionHistory(xml, kRunning).releases.value(0);
        QCOMPARE(r.downloadPage.toString() + '|' + r.notes, longPage + "|one & two");  // markup as elements: its text
        const QString escaped = "<ul><li>one &amp; two</li></ul>";  // markup as text: kept whole
        QCOMPARE(parseVersionHistory(withNotes(escaped), kRunning).releases.first().notes, escaped);
    }

    // What the dialog shows: label|group|button|enabled|page, and parts of the notes shown or left out.
    void dialogTexts() {
        const QString since = "The latest version is 1.2.0. You are running version 1.1.4.|Changes since version 1.1.4|"
                              "Download 1.2.0|1|";
        const struct { QByteArray xml; QString summary; QStringList shown, notShown; } cases[] = {
            {historyOf({"1.2.0", "1.1.5", "1.1.4", "1.1.3"}), since + "https://example.org/download/1.2.0",
             {"<b>Version 1.2.0</b><p>\n<p>notes of 1.2.0</p><p>\n<b>Version 1.1.5</b>", "<b>Version 1.1.4</b>"},
             {"1.1.3"}},
            // Notes past the text limit: none shown rather than cut.
            {historyXml({{"1.2.0", "https://example.org/", QString(999990, 'a')}, release("1.1.5")}),
             since + "https://example.org/", {}, {"Version 1.2.0", "Version 1.1.5"}},
        };
        for (const auto &c : cases) {
            const HistoryView v = historyView(parseVersionHistory(c.xml, kRunning), kRunning);
            QCOMPARE(QStringList({v.label, v.groupTitle, v.buttonText, QString::number(v.buttonEnabled),
                                  v.downloadPage.toString()}).join('|'), c.summary);
            for (const QString &s : c.shown)
                QVERIFY2(v.notesHtml.contains(s), qPrintable(s));
            for (const QString &s : c.notShown)
                QVERIFY2(!v.notesHtml.contains(s), qPrintable(s));
            QVERIFY(v.notesHtml.size() <= MAX_HISTORY_TEXT);
        }
    }

    void versionNumbersAndFeedAddress() {
        const char *cases[][2] = {{"1.1.4", "10104 1.1.4"}, {"1.10.2", "11002 1.10.2"},
                                  {"1.1.4.5", "10145 1.1.45"},  // later parts feed the subminor
                                  {"v2.0-rc", "20000 2.0.0"}};  // other characters ignored
        for (const auto &c : cases) {
            const VersionNumber v = versionFromText(QLatin1String(c[0]));
            QCOMPARE(QStringLiteral("%1 %2").arg(v.number()).arg(v.text()), QLatin1String(c[1]));
        }
        QCOMPARE(updateFeedUrl(QString()), QUrl());  // no update location: nothing to contact
        for (const char *base : {"http://h:81/v/", "http://h:81/v"})
            QCOMPARE(updateFeedUrl(QLatin1String(base)), QUrl("http://h:81/v/volantix_version.xml"));
    }

    // The history file this repository publishes: every entry complete and the newest one this very version.
    void repositoryHistoryFile() {
        const QByteArray xml = vxtest::readFile(QStringLiteral(VX_SOURCE_DIR "/resources/volantix_version.xml"));
        const VersionHistory h = parseVersionHistory(xml, runningVersion());
        QVERIFY2(h.ok(), qPrintable(h.error));
        QCOMPARE(h.releases.first().version.text(), QStringLiteral(VX_VERSION));
        QCOMPARE(h.counted, 1);
        QCOMPARE(parseVersionHistory(xml, VersionNumber()).releases.size(), int(xml.count("<version>")));
    }
};

QTEST_GUILESS_MAIN(TestVersionHistory)
#include "test_versionhistory.moc"

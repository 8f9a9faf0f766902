// The version history: parsing, what the dialog shows, and the program's own history file.
#include "settings/historyfeed.h"
#include "settings/versionhistory.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace vx;
using vxtest::historyOf;
using vxtest::historyXml;
using vxtest::release;

namespace {

const VersionNumber kRunning = versionFromText(QStringLiteral("1.1.4"));

QByteArray manyReleases(int count) {
    QStringList versions;
    for (int i = count - 1; i >= 0; --i)
        versions << QStringLiteral("2.%1.%2").arg(i / 100).arg(i % 100);
    return historyOf(versions);
}

QByteArray withNotes(const QString &notes) { return historyXml({{"1.2.0", "https://example.org/d", notes}}); }

} // namespace

class TestVersionHistory : public QObject {
    Q_OBJECT

private slots:
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
        row("201 entries", manyReleases(201), "2.2.0 200 2.0.1|200");
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
        const VersionHistory h = parseVersionHistory(xml, kRunning);
        QVERIFY2(h.ok(), qPrintable(h.error));
        QCOMPARE(h.releases.first().downloadPage.toString(), longPage);
        QCOMPARE(h.releases.first().notes, QStringLiteral("one & two"));  // markup as elements: its text
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

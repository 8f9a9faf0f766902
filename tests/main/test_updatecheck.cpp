// The update check as the user meets it, against a server inside the test:
// what a manual and a silent check show, the two together, a check that
// ends during a load, and the version history dialog's links.
#include "main/guitest.h"
#include "main/updatecheck.h"
#include "settings/historyfeed.h"
#include "settings/versionhistorydialog.h"
#include "support/httpserver.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;
using vxtest::BoxAnswerer;
using vxtest::httpAnswer;
using vxtest::historyOf;

namespace {

// Closes every version history dialog that opens, noting what it showed:
// "<group title>|<button text>|<button enabled>".
class HistoryCloser {
public:
    HistoryCloser()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto *d = qobject_cast<versionHistoryDialog *>(QApplication::activeModalWidget());
            if (!d)
                return;
            seen << QStringLiteral("%1|%2|%3").arg(d->group()->title(), d->downloadButton()->text(),
                                                  d->downloadButton()->isEnabled() ? "on" : "off");
            titles << d->windowTitle();
            d->closeButton()->click();
        });
        m_timer.start();
    }
    QStringList seen;
    QStringList titles;

private:
    QTimer m_timer;
};

class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl &url) { urls << url; }

public:
    QList<QUrl> urls;
};

const QStringList kSchemes = {"http", "https", "file", "javascript"};

} // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT

    vxtest::LocalHttpServer m_server;
    QByteArray m_answer;

    UpdateCheck *makeCheck(QObject *owner)
    {
        auto *check = new UpdateCheck(nullptr, owner);
        check->setUpdateBase(m_server.base() + QStringLiteral("v/"));
        check->setRunningVersion(versionFromText(QStringLiteral("1.1.4")));
        DownloadLimits limits;
        limits.timeoutMs = 400;
        check->setLimits(limits);
        return check;
    }

private slots:
    void initTestCase()
    {
        vxtest::silencePlatformWarnings();
        m_server.setHandler([this](const QByteArray &) { return m_answer; });
    }

    void init() { m_server.requests.clear(); }

    void outcome_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("dialog");  // what the history dialog showed, if it opened
        QTest::addColumn<QString>("box");     // part of a message box's text, if one opened

        const QByteArray newer = httpAnswer(200, "OK", historyOf({"1.2.0", "1.1.5", "1.1.4", "1.1.3"}));
        const QByteArray same = httpAnswer(200, "OK", historyOf({"1.1.4", "1.1.3"}));
        const QByteArray older = httpAnswer(200, "OK", historyOf({"1.1.3"}));
        const QByteArray missing = httpAnswer(404, "Not Found", "<html/>");
        const QByteArray empty = httpAnswer(200, "OK", "<volantix><changes/></volantix>");
        const QString since = "Changes since version 1.1.4|Download 1.2.0|on";
        QTest::newRow("manual, newer releases") << false << newer << since << "";
        QTest::newRow("silent, newer releases") << true << newer << since << "";
        QTest::newRow("manual, up to date") << false << same << "Changes in version 1.1.4|You are up to date!|off"
                                            << "";
        QTest::newRow("silent, up to date") << true << same << "" << "";
        QTest::newRow("manual, older release")
            << false << older << ""
            << "This version (1.1.4) is newer than the latest release version (1.1.3).";
        QTest::newRow("silent, older release") << true << older << "" << "";
        QTest::newRow("manual, 404") << false << missing << "" << "answered 404 Not Found";
        QTest::newRow("silent, 404") << true << missing << "" << "";
        QTest::newRow("manual, no entries") << false << empty << "" << "no complete release";
        QTest::newRow("silent, no entries") << true << empty << "" << "";
        QTest::newRow("manual, no answer") << false << QByteArray() << "" << "did not answer within 0.4 seconds";
        QTest::newRow("silent, no answer") << true << QByteArray() << "" << "";
    }

    void outcome()
    {
        QFETCH(bool, silent);
        QFETCH(QByteArray, answer);
        QFETCH(QString, dialog);
        QFETCH(QString, box);
        m_answer = answer;
        QObject owner;
        UpdateCheck *check = makeCheck(&owner);
        QSignalSpy finished(check, &UpdateCheck::checkFinished);
        HistoryCloser closer;
        BoxAnswerer answerer(box.isEmpty() ? QStringList() : QStringList{"OK"});
        check->start(silent);
        QVERIFY(finished.wait(5000));
        QCOMPARE(m_server.requests.size(), 1);
        QVERIFY(m_server.requests.first().startsWith("GET /v/volantix_version.xml "));
        QCOMPARE(closer.seen, dialog.isEmpty() ? QStringList() : QStringList{dialog});
        QCOMPARE(answerer.texts.size(), box.isEmpty() ? 0 : 1);
        QVERIFY(answerer.unexpected.isEmpty());
        if (!box.isEmpty()) {
            QVERIFY2(answerer.texts.first().contains(box), qPrintable(answerer.texts.first()));
            QCOMPARE(answerer.titles.first(), QStringLiteral("Check for new Volantix Version"));
        }
        QVERIFY(!check->active());
    }

    // Nothing of one check's history survives into the next.
    void eachCheckStartsAfresh()
    {
        QObject owner;
        UpdateCheck *check = makeCheck(&owner);
        QSignalSpy finished(check, &UpdateCheck::checkFinished);
        HistoryCloser closer;
        BoxAnswerer answerer({"OK"});
        m_answer = httpAnswer(200, "OK", historyOf({"1.2.0", "1.1.4"}));
        check->start(false);
        QVERIFY(finished.wait(5000));
        m_answer = httpAnswer(200, "OK", "<volantix><changes/></volantix>");
        check->start(false);
        QVERIFY(finished.wait(5000));
        QCOMPARE(closer.seen.size(), 1);
        QCOMPARE(answerer.texts.size(), 1);
        QVERIFY(answerer.texts.first().contains("no complete release"));
    }

    void withoutUpdateLocationNothingIsContacted()
    {
        QObject owner;
        UpdateCheck *check = makeCheck(&owner);
        check->setUpdateBase(QString());
        BoxAnswerer answerer({"OK"});
        check->start(true);
        check->start(false);
        QTRY_COMPARE(answerer.texts.size(), 1);
        QVERIFY(answerer.texts.first().contains("no update location configured"));
        QTest::qWait(100);
        QVERIFY(m_server.requests.isEmpty());
        QVERIFY(answerer.unexpected.isEmpty());
    }

    // Each request keeps its own flag: a manual check asked for while the
    // silent one runs shows its outcome once, and the silent one nothing.
    void manualDuringSilent_data()
    {
        QTest::addColumn<bool>("firstSilent");
        QTest::addColumn<bool>("secondSilent");
        QTest::addColumn<int>("requests");  // at most (the replaced request may have gone out)
        QTest::newRow("silent, then manual") << true << false << 2;
        QTest::newRow("manual, then silent") << false << true << 1;
        QTest::newRow("manual twice") << false << false << 1;
    }

    void manualDuringSilent()
    {
        QFETCH(bool, firstSilent);
        QFETCH(bool, secondSilent);
        m_answer = httpAnswer(200, "OK", historyOf({"1.1.4"}));
        QObject owner;
        UpdateCheck *check = makeCheck(&owner);
        QSignalSpy finished(check, &UpdateCheck::checkFinished);
        HistoryCloser closer;
        BoxAnswerer answerer({});
        check->start(firstSilent);
        check->start(secondSilent);
        QVERIFY(finished.wait(5000));
        QTest::qWait(300);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().value<UpdateOutcome>(), UpdateOutcome::History);
        QCOMPARE(closer.seen, QStringList{"Changes in version 1.1.4|You are up to date!|off"});
        QVERIFY(answerer.unexpected.isEmpty());
        QFETCH(int, requests);
        QVERIFY(!m_server.requests.isEmpty() && m_server.requests.size() <= requests);
    }

    // No modal dialog opens inside a load: the outcome waits until the load is over.
    void outcomeWaitsForTheLoad()
    {
        m_answer = httpAnswer(200, "OK", historyOf({"1.2.0", "1.1.4"}));
        QObject owner;
        UpdateCheck *check = makeCheck(&owner);
        bool busy = true;
        check->setBusyCheck([&busy] { return busy; });
        QSignalSpy finished(check, &UpdateCheck::checkFinished);
        HistoryCloser closer;
        check->start(true);
        QTRY_COMPARE(m_server.requests.size(), 1);
        QTest::qWait(3 * UpdateCheck::BUSY_RETRY_MS);
        QVERIFY(closer.seen.isEmpty() && finished.isEmpty() && check->active());
        busy = false;
        QVERIFY(finished.wait(5000));
        QCOMPARE(closer.seen, QStringList{"Changes since version 1.1.4|Download 1.2.0|on"});
        QCOMPARE(closer.titles, QStringList{"Volantix -  Version History"});
    }

    // Only http(s) addresses with a host open, from the download button and
    // from links in the notes alike.
    void onlyWebPagesOpen_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("opens");
        QTest::newRow("https") << "https://example.org/download/1.2.0" << true;
        QTest::newRow("http") << "http://example.org/notes#x" << true;
        QTest::newRow("file") << "file:///etc/passwd" << false;
        QTest::newRow("javascript") << "javascript:alert(document.cookie)" << false;
        QTest::newRow("relative") << "download.html" << false;
    }

    void onlyWebPagesOpen()
    {
        QFETCH(QString, url);
        QFETCH(bool, opens);
        UrlCatcher catcher;
        for (const QString &scheme : kSchemes)
            QDesktopServices::setUrlHandler(scheme, &catcher, "open");
        HistoryView view;
        view.buttonText = QStringLiteral("Download 1.2.0");
        view.buttonEnabled = true;
        view.downloadPage = QUrl(url);
        view.notesHtml = QStringLiteral("<a href=\"%1\">link</a>").arg(url.toHtmlEscaped());
        versionHistoryDialog dialog(view);
        dialog.downloadButton()->click();
        emit dialog.notes()->anchorClicked(QUrl(url));
        for (const QString &scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(catcher.urls, opens ? (QList<QUrl>{QUrl(url), QUrl(url)}) : QList<QUrl>());
        QCOMPARE(dialog.notes()->source(), QUrl());  // the view never follows a link itself
    }

    // The notes load nothing they refer to, not even a picture on this disk.
    void notesLoadNothing()
    {
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("p.png"));
        QImage(4, 4, QImage::Format_RGB32).save(picture);
        const QUrl address = QUrl::fromLocalFile(picture);
        HistoryView view;
        view.notesHtml = QStringLiteral("<img src=\"%1\">").arg(address.toString());
        versionHistoryDialog dialog(view);
        QVERIFY(dialog.notes()->document()->resource(QTextDocument::ImageResource, address).isNull());
        QTextBrowser plain;  // what an ordinary view would have read
        plain.setHtml(view.notesHtml);
        QVERIFY(!plain.document()->resource(QTextDocument::ImageResource, address).isNull());
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "test_updatecheck.moc"

// The update check as the user meets it, against a server inside the test: manual and silent checks, the two
// together, a check that ends during a load, and the version history dialog's links.
#include "main/guitest.h"
#include "main/updatecheck.h"
#include "settings/historyfeed.h"
#include "settings/versionhistorydialog.h"
#include "support/httpserver.h"

using namespace vx;
using vxtest::BoxAnswerer;
using vxtest::httpAnswer;
using vxtest::historyOf;

namespace {

// Closes every version history dialog that opens, noting what it showed: "<group title>|<button text>|<button
// enabled>", and its window title.
struct HistoryCloser {
    QStringList seen, titles;
    QTimer timer;
    HistoryCloser() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto *d = qobject_cast<versionHistoryDialog *>(QApplication::activeModalWidget())) {
                seen << QStringLiteral("%1|%2|%3").arg(d->group()->title(), d->downloadButton()->text(),
                                                      d->downloadButton()->isEnabled() ? "on" : "off");
                titles << d->windowTitle();
                d->closeButton()->click();
            }
        });
        timer.start(20);
    }
};

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

// A check against the test's server, as version 1.1.4, with a 0.4 s time limit.
struct Rig {
    QObject owner;
    UpdateCheck *check = new UpdateCheck(nullptr, &owner);
    QSignalSpy finished{check, &UpdateCheck::checkFinished};
    HistoryCloser closer;
    explicit Rig(const QString &base) {
        check->setUpdateBase(base);
        check->setRunningVersion(versionFromText(QStringLiteral("1.1.4")));
        check->setLimits(DownloadLimits{400});
    }
};

const QString kSince = "Changes since version 1.1.4|Download 1.2.0|on", kUpToDate =
    "Changes in version 1.1.4|You are up to date!|off";

} // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT

    QByteArray m_answer;
    vxtest::LocalHttpServer m_server{[this](const QByteArray &) { return m_answer; }};

    QString base() const { return m_server.base() + QStringLiteral("v/"); }

private slots:
    void initTestCase() { vxtest::silencePlatformWarnings(); }
    void init() { m_server.requests.clear(); }

    // The silent check shows only newer releases, never a message.
    void outcome_data() {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("dialog");  // what the history dialog showed, if it opened
        QTest::addColumn<QString>("box");     // part of a message box's text, if one opened
        auto rows = [](const char *name, const QByteArray &answer, const QString &dialog, const QString &box) {
            QTest::addRow("manual, %s", name) << false << answer << dialog << box;
            QTest::addRow("silent, %s", name) << true << answer << (dialog == kSince ? dialog : "") << "";
        };
        rows("newer releases", httpAnswer(200, "OK", historyOf({"1.2.0", "1.1.5", "1.1.4", "1.1.3"})), kSince, "");
        rows("up to date", httpAnswer(200, "OK", historyOf({"1.1.4", "1.1.3"})), kUpToDate, "");
        rows("older release", httpAnswer(200, "OK", historyOf({"1.1.3"})), "",
             "This version (1.1.4) is newer than the latest release version (1.1.3).");
        rows("404", httpAnswer(404, "Not Found", "<html/>"), "", "answered 404 Not Found");
        rows("no entries", httpAnswer(200, "OK", "<volantix><changes/></volantix>"), "", "no complete release");
        rows("no answer", QByteArray(), "", "did not answer within 0.4 seconds");
    }

    void outcome() {
        QFETCH(bool, silent);
        QFETCH(QString, dialog);
        QFETCH(QString, box);
        QFETCH(QByteArray, answer);
        m_answer = answer;
        Rig r(base());
        BoxAnswerer answerer(box.isEmpty() ? QStringList() : QStringList{"OK"});
        r.check->start(silent);
        QVERIFY(r.finished.wait(5000) && !r.check->active());
        QCOMPARE(m_server.requests.size(), 1);
        QVERIFY(m_server.requests.first().startsWith("GET /v/volantix_version.xml "));
        QCOMPARE(r.closer.seen, dialog.isEmpty() ? QStringList() : QStringList{dialog});
        QCOMPARE(answerer.texts.size(), box.isEmpty() ? 0 : 1);
        QVERIFY(answerer.unexpected.isEmpty());
        QVERIFY2(box.isEmpty() || (answerer.texts.first().contains(box)
                                   && answerer.titles.first() == "Check for new Volantix Version"),
                 qPrintable(answerer.texts.value(0)));
    }

    // Nothing of one check's history survives into the next; without an update location nothing is contacted, the
    // silent check does nothing and the manual one says so.
    void eachCheckStartsAfresh() {
        Rig r(base());
        BoxAnswerer answerer({"OK", "OK"});
        for (const QByteArray &body : {historyOf({"1.2.0", "1.1.4"}), QByteArray("<volantix><changes/></volantix>")}) {
            m_answer = httpAnswer(200, "OK", body);
            r.check->start(false);
            QVERIFY(r.finished.wait(5000));
        }
        r.check->setUpdateBase(QString());
        r.check->start(true);
        r.check->start(false);
        QTRY_COMPARE(answerer.texts.size(), 2);
        QTest::qWait(100);
        QCOMPARE(r.closer.seen, QStringList{kSince});
        QVERIFY(answerer.texts[0].contains("no complete release")
                && answerer.texts[1].contains("no update location configured"));
        QCOMPARE(m_server.requests.size(), 2);
        QVERIFY(answerer.unexpected.isEmpty());
    }

    // Each request keeps its own flag: a manual check asked for while the silent one runs shows its outcome once, and
    // the silent one nothing.
    void manualDuringSilent() {
        m_answer = httpAnswer(200, "OK", historyOf({"1.1.4"}));
        // first, second silent; at most this many requests (the replaced one may have gone out)
        for (const auto &[firstSilent, secondSilent, requests] :
             {std::tuple{true, false, 2}, std::tuple{false, true, 1}, std::tuple{false, false, 1}}) {
            m_server.requests.clear();
            Rig r(base());
            BoxAnswerer answerer({});
            r.check->start(firstSilent);
            r.check->start(secondSilent);
            QVERIFY(r.finished.wait(5000));
            QTest::qWait(300);
            QCOMPARE(r.finished.size(), 1);
            QCOMPARE(r.finished.first().first().value<UpdateOutcome>(), UpdateOutcome::History);
            QCOMPARE(r.closer.seen, QStringList{kUpToDate});
            QVERIFY(answerer.unexpected.isEmpty());
            QVERIFY(!m_server.requests.isEmpty() && m_server.requests.size() <= requests);
        }
    }

    // No modal dialog opens inside a load: the outcome waits until the load is over.
    void outcomeWaitsForTheLoad() {
        m_answer = httpAnswer(200, "OK", historyOf({"1.2.0", "1.1.4"}));
        Rig r(base());
        bool busy = true;
        r.check->setBusyCheck([&busy] { return busy; });
        r.check->start(true);
        QTRY_COMPARE(m_server.requests.size(), 1);
        QTest::qWait(3 * UpdateCheck::BUSY_RETRY_MS);
        QVERIFY(r.closer.seen.isEmpty() && r.finished.isEmpty() && r.check->active());
        busy = false;
        QVERIFY(r.finished.wait(5000));
        QCOMPARE(r.closer.seen, QStringList{kSince});
        QCOMPARE(r.closer.titles, QStringList{"Volantix -  Version History"});
    }

    // Only http(s) addresses with a host open, from the download button and from links in the notes alike; the view
    // never follows a link itself, and loads nothing the notes refer to, not even a picture on this disk.
    void onlyWebPagesOpenAndNothingLoads() {
        QTemporaryDir dir;
        const QUrl picture = QUrl::fromLocalFile(dir.filePath(QStringLiteral("p.png")));
        QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(picture.toLocalFile()));
        UrlCatcher catcher;
        const QStringList schemes = {"http", "https", "file", "javascript"};
        for (const QString &scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, &catcher, "open");
        const QList<QUrl> pages = {QUrl("https://example.org/download/1.2.0"), QUrl("http://example.org/notes#x")};
        for (const QUrl &url : pages + QList<QUrl>{QUrl("file:///etc/passwd"),
                                                   QUrl("javascript:alert(document.cookie)"), QUrl("download.html")}) {
            HistoryView view;
            view.buttonText = QStringLiteral("Download 1.2.0");
            view.buttonEnabled = true;
            view.downloadPage = url;
            view.notesHtml = QStringLiteral("<a href=\"%1\">link</a><img src=\"%2\">")
                                 .arg(url.toString().toHtmlEscaped(), picture.toString());
            versionHistoryDialog dialog(view);
            dialog.downloadButton()->click();
            emit dialog.notes()->anchorClicked(url);
            QCOMPARE(dialog.notes()->source(), QUrl());
            QVERIFY(dialog.notes()->document()->resource(QTextDocument::ImageResource, picture).isNull());
        }
        for (const QString &scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(catcher.urls, (QList<QUrl>{pages[0], pages[0], pages[1], pages[1]}));
        QTextBrowser plain;  // what an ordinary view would have read
        plain.setHtml(QStringLiteral("<img src=\"%1\">").arg(picture.toString()));
        QVERIFY(!plain.document()->resource(QTextDocument::ImageResource, picture).isNull());
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "test_updatecheck.moc"

// The network proxy: the application proxy built from the record, the dialog's fields and Apply, a proxy on the
// loopback interface that asks for credentials, and the settings file that holds the password.
#include "main/guitest.h"
#include "settings/filedownloader.h"
#include "settings/networkproxy.h"
#include "settings/proxydialog.h"
#include "support/httpserver.h"
#include "support/testsupport.h"

using namespace vx;
using vxtest::BoxAnswerer;

namespace {

void setRecord(bool useProxy, const QString &server, int port, bool useCred, const QString &user,
               const QString &password) {
    SettingsRecord &s = settings();
    s.useProxy = useProxy, s.proxyServer.assign(server), s.proxyPort = port, s.proxyUseCred = useCred;
    s.proxyUsername.assign(user), s.proxyThing.assign(password);
}

// Typed key by key, any character (QTest::keyClicks takes Latin-1 only).
void type(QWidget *w, const QString &text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Values as one text, to compare several settings at once.
template <typename... T> QString vals(const T &...v) { return QStringList{QVariant(v).toString()...}.join(' '); }

// 0x6600: read and write for the owner (and this user, the owner), nothing for anyone else.
int mode(const QString &path) { return int(QFile::permissions(path)); }

} // namespace

class TestProxy : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vxtest::silencePlatformWarnings(); }
    void init() { setDefaultSettings(); }

    // The port is taken as a 16-bit number when applied (70000 -> 4464); the stored value stays.
    void apply_data() {
        QTest::addColumn<int>("storedPort");
        QTest::addColumn<bool>("enable");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("useCred");
        QTest::addColumn<QString>("refusal");  // part of the message; empty: applied
        QTest::addColumn<QString>("applied");  // type:port:user of the application proxy
        auto row = [](const char *name, int stored, bool enable, const char *server, const char *port, bool cred,
                      const char *refusal, const char *applied) {
            QTest::newRow(name) << stored << enable << server << port << cred << refusal << applied;
        };
        const char *kept = "3:3128:pilot";  // the proxy applied before the refusal
        row("everything", 3128, true, "proxy.example.org", "8081", true, "", "3:8081:pilot");
        row("credentials without their box", 3128, true, "proxy.example.org", "3128", false, "", "3:3128:");
        row("switched off: no proxy at once", 3128, false, "proxy.example.org", "3128", true, "", "2:0:");
        row("off with an empty server", 3128, false, "", "3128", false, "", "2:0:");
        row("on with an empty server", 3128, true, "  ", "3128", false, "Please enter the proxy server", kept);
        row("server with scheme and port", 3128, true, "http://proxy:3128", "3128", false, "without \"http://\"", kept);
        row("port 0", 3128, true, "proxy.example.org", "0", false, "from 1 to 65535", kept);
        row("no port", 3128, true, "proxy.example.org", "", false, "from 1 to 65535", kept);
        row("stored 70000 while on", 70000, true, "proxy.example.org", "70000", false, "from 1 to 65535",
            "3:4464:pilot");
        row("stored 70000 kept while off", 70000, false, "proxy.example.org", "70000", false, "", "2:0:");
    }

    void apply() {
        QFETCH(int, storedPort);
        QFETCH(bool, enable);
        QFETCH(QString, server);
        QFETCH(QString, port);
        QFETCH(bool, useCred);
        QFETCH(QString, refusal);
        setRecord(true, "proxy.example.org", storedPort, true, "pilot", "s3cret");
        applyProxy();
        proxyDialog dialog;
        QCOMPARE(dialog.portField()->text(), QString::number(storedPort));
        dialog.enableCheck()->setChecked(enable);
        dialog.serverField()->setText(server);
        dialog.portField()->setText(port);
        dialog.passwordCheck()->setChecked(useCred);
        BoxAnswerer answerer(refusal.isEmpty() ? QStringList() : QStringList{"OK"});
        dialog.applyButton()->click();
        QTRY_COMPARE(answerer.texts.size(), refusal.isEmpty() ? 0 : 1);
        QVERIFY(answerer.unexpected.isEmpty());
        QCOMPARE(dialog.result(), refusal.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QVERIFY2(refusal.isEmpty() || (answerer.texts[0].contains(refusal) && answerer.titles[0] == "Volantix"),
                 qPrintable(answerer.texts.value(0)));
        QVERIFY(!refusal.isEmpty() || vxtest::store().value("configuration/useProxy").toBool() == enable);
        // Stored as entered, the user name kept with or without its box; nothing stored on a refusal.
        const SettingsRecord &s = settings();
        QCOMPARE(vals(s.useProxy, s.proxyUseCred, s.proxyServer.toString(), s.proxyUsername.toString(), s.proxyPort),
                 refusal.isEmpty() ? vals(enable, useCred, server.trimmed(), "pilot", port.toInt())
                                   : vals(true, true, "proxy.example.org", "pilot", storedPort));
        const QNetworkProxy p = QNetworkProxy::applicationProxy();
        QTEST(QStringLiteral("%1:%2:%3").arg(p.type()).arg(p.port()).arg(p.user()), "applied");
    }

    // Typing and pasting: what the stored field cannot hold is refused whole, never cut.
    void fieldsRefuse_data() {
        QTest::addColumn<int>("field");  // 0 server, 1 user, 2 password, 3 port
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("result");
        const QString a1023(1023, QLatin1Char('a')), a255(255, QLatin1Char('a'));
        QTest::newRow("server outside Latin-1") << 0 << "proxy\u20ac\u4e2d.org" << "" << "proxy.org";
        QTest::newRow("server, Latin-1 accents") << 0 << "pr\u00f6xy" << "" << "pr\u00f6xy";
        QTest::newRow("server at its capacity") << 0 << "" << a1023 << a1023;
        QTest::newRow("server past its capacity") << 0 << "" << a1023 + "a" << "";
        QTest::newRow("user past its capacity") << 1 << "" << a255 + "a" << "";
        QTest::newRow("password outside Latin-1") << 2 << "pa\u0161s" << "" << "pas";
        QTest::newRow("port: digits only") << 3 << "8a0-8 0" << "" << "8080";
        QTest::newRow("port: five digits at most") << 3 << "123456" << "" << "12345";
    }

    void fieldsRefuse() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        setRecord(true, QString(), 8080, true, QString(), QString());  // every field open to typing
        proxyDialog dialog;
        QLineEdit *f = QList<QLineEdit *>{dialog.serverField(), dialog.usernameField(), dialog.passwordField(),
                                          dialog.portField()}.at(field);
        f->clear();
        type(f, typed);
        f->insert(pasted);
        QTEST(f->text(), "result");
    }

    // Filled from the record; the switch takes the whole server group with it; Cancel stores nothing.
    void dialogFilledFromTheRecord() {
        setRecord(true, "proxy.example.org", 3128, false, "pilot", "s3cret");
        proxyDialog d;
        QCOMPARE(QStringList({d.windowTitle(), d.serverField()->text(), d.portField()->text(),
                              d.passwordField()->text()}),
                 QStringList({"Network Proxy Settings", "proxy.example.org", "3128", "s3cret"}));
        QList<bool> on{d.passwordField()->echoMode() == QLineEdit::Password, d.enableCheck()->isChecked(),
                       d.passwordCheck()->isChecked(), d.serverField()->isEnabled(), d.usernameField()->isEnabled()};
        d.enableCheck()->click();
        on << d.serverField()->isEnabled() << d.portField()->isEnabled();
        QCOMPARE(on, (QList<bool>{true, true, false, true, false, false, false}));
        QStringList texts;  // of the labels and buttons
        for (const QWidget *w : d.findChildren<QWidget *>())
            texts << w->property("text").toString();
        for (const char *t : {"Enable Proxy", "(Restart Volantix after making changes)", "Proxy Server:", "Port:",
                              "Proxy Requires Password:", "Username:", "Password:", "Cancel", "Apply"})
            QVERIFY2(texts.contains(QLatin1String(t)), t);
        d.cancelButton()->click();
        QVERIFY(settings().useProxy);
    }

    // A proxy on the loopback interface that wants credentials: the update check's request reaches it, and only with
    // "Proxy Requires Password:" on does it carry them.
    void proxyAsksForCredentials() {
        const QByteArray expected = "Proxy-Authorization: Basic " + QByteArray("pilot:s3cret!").toBase64() + "\r\n";
        vxtest::LocalHttpServer proxy([&expected](const QByteArray &head) {
            if (head.contains(expected))
                return vxtest::httpAnswer(200, "OK", "<history/>");
            return vxtest::httpAnswer(407, "Proxy Authentication Required", QByteArray(),
                                      "Proxy-Authenticate: Basic realm=\"vx\"\r\n");
        });
        for (bool useCred : {true, false}) {
            proxy.requests.clear();
            setRecord(true, "127.0.0.1", proxy.serverPort(), useCred, "pilot", "s3cret!");
            applyProxy();
            FileDownloader download(QUrl("http://updates.example.invalid/volantix_version.xml"));
            QSignalSpy done(&download, &FileDownloader::downloaded);
            QVERIFY(done.wait(10000) && !proxy.requests.isEmpty());
            QVERIFY(proxy.requests.first().startsWith("GET http://updates.example.invalid/volantix_version.xml "));
            QCOMPARE(download.succeeded(), useCred);
            QCOMPARE(proxy.requests.last().contains(expected), useCred);
            for (const QByteArray &r : proxy.requests)
                QVERIFY(useCred || !r.contains("Proxy-Authorization"));
            QVERIFY2(useCred || download.errorString().contains("407"), qPrintable(download.errorString()));
        }
        setDefaultSettings();
        applyProxy();
    }

    // The password is stored as entered (its key and format unchanged), in a file only its owner can read, after
    // every save and after other writers of the store.
    void settingsFileOwnerOnly() {
        QSettings &store = vxtest::store();
        const QString path = store.fileName();
        setRecord(true, "proxy.example.org", 3128, true, "pilot", "s3cret");
        QFile::remove(path);
        saveSettings();  // a new file
        QCOMPARE(mode(path), 0x6600);
        QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOther));
        saveSettings();  // an existing one that others could read
        QCOMPARE(mode(path), 0x6600);
        QVERIFY(vxtest::readFile(path).contains("\nproxyThing=s3cret\n"));
        store.setValue("mainWindow/size", QSize(3, 4));
        store.sync();
        QCOMPARE(mode(path), 0x6600);
    }
};

QTEST_MAIN(TestProxy)
#include "test_proxy.moc"

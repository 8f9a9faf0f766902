// The transient notice: its look, where it sits and that it goes away.
#include "guitest.h"

#include "main/notice.h"

#include <QMainWindow>
#include <QPointer>
#include <QtTest>

using namespace vx;

class TestNotice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vxtest::silencePlatformWarnings(); }

    void sitsCentredAtTheBottomWithoutButtonsAndGoesAway()
    {
        QMainWindow window;
        window.setGeometry(100, 80, 600, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QPointer<QMessageBox> box = showTransientNotice(&window, QStringLiteral("Use Ctrl-F to toggle fullscreen mode."), 300);
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QVERIFY(box->buttons().isEmpty());
        QVERIFY(box->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(qAbs(box->windowOpacity() - 0.5) < 0.01);  // kept as a byte: 127/255
        QCOMPARE(box->styleSheet(), QStringLiteral("background-color: white; color: red; font-size:24px; "));
        QCOMPARE(box->text(), QStringLiteral("Use Ctrl-F to toggle fullscreen mode."));
        QCOMPARE(box->frameGeometry().bottom(), window.frameGeometry().bottom());
        QVERIFY(qAbs(box->frameGeometry().center().x() - window.frameGeometry().center().x()) <= 1);
        // Still there before its time, gone after.
        QTest::qWait(100);
        QVERIFY(box && box->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(box.isNull(), 2000);
    }

    void aNoticeWithoutWindowStillGoesAway()
    {
        QPointer<QMessageBox> box = showTransientNotice(nullptr, QStringLiteral("x"), 50);
        QVERIFY(box);
        QTRY_VERIFY_WITH_TIMEOUT(box.isNull(), 2000);
    }
};

QTEST_MAIN(TestNotice)
#include "test_notice.moc"

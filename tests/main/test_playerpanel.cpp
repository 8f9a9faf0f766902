// The player panel's labels at the default window layout of several screens
// and at the window's minimum width, with the longest texts a load gives
// them and with and without "NO GPS DATA LOADED": every label is painted
// whole, or shortened with "…", inside the window; none is cut off.
#include "guitest.h"

#include "main/elidedlabel.h"
#include "main/mainwindow.h"
#include "main/playerpanel.h"
#include "main/startup.h"
#include "main/windowmanager.h"
#include "settings/settings.h"

#include <QLabel>
#include <QLocale>
#include <QtTest>

using namespace vx;

class TestPlayerPanel : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        vxtest::silencePlatformWarnings();
        setApplicationIdentity();
    }

    void labelsAreWholeOrShortened_data()
    {
        QTest::addColumn<QSize>("screen");  // empty: this screen's default layout; 0 x 0: minimum width
        QTest::addColumn<bool>("gps");
        for (bool gps : {false, true}) {
            const QByteArray kind = gps ? " with speed" : " without GPS";
            QTest::newRow(("default layout" + kind).constData()) << QSize() << gps;
            QTest::newRow(("1280x1024 screen" + kind).constData()) << QSize(1280, 1024) << gps;
            QTest::newRow(("1920x1080 screen" + kind).constData()) << QSize(1920, 1080) << gps;
            QTest::newRow(("minimum width" + kind).constData()) << QSize(0, 0) << gps;
        }
    }

    void labelsAreWholeOrShortened()
    {
        QFETCH(QSize, screen);
        QFETCH(bool, gps);
        vxtest::store().clear();
        setDefaultSettings();
        MainWindow w;
        PlayerPanel *p = w.panel();
        const WindowPlace player = screen.isValid() && !screen.isEmpty()
                                       ? computeDefaultLayout(screen, 30).player
                                       : w.windows()->layout().player;
        w.resize(screen.isEmpty() && screen.isValid() ? QSize(1, player.size.height()) : player.size);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        w.setGpsPresent(gps);
        if (gps)
            p->speedLabel->setText(QStringLiteral("188 km/h"));
        p->fileNameLabel->setText(QStringLiteral("DJI_20260930235959_0100_D.MP4"));
        p->fileInfoLabel->setText(QStringLiteral("3999.99 MB, 59.94 fps, 3840x2160"));
        p->dateLabel->setText(QLocale().toString(QDateTime(QDate(2026, 9, 30), QTime(23, 59, 59)),
                                                 QLocale::LongFormat));
        p->movieCounterLabel->setText(QStringLiteral("100 of 100 movies"));
        p->durationLabel->setText(QStringLiteral("119:59 of 120:00"));
        p->rateLabel->setText(QStringLiteral("x/16"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
        if (screen.isEmpty() && screen.isValid())
            QCOMPARE(w.width(), w.minimumSizeHint().width());

        int shortened = 0;
        for (QLabel *label : p->findChildren<QLabel *>()) {
            if (!label->isVisibleTo(&w) || label->text().isEmpty())
                continue;
            const auto *elided = qobject_cast<ElidedLabel *>(label);
            const QString shown = elided ? elided->shownText() : label->text();
            const QString what = label->objectName() + QStringLiteral(": \"") + shown + QStringLiteral("\" in ")
                                 + QString::number(label->contentsRect().width()) + QStringLiteral(" px");
            QVERIFY2(!shown.isEmpty() && label->fontMetrics().horizontalAdvance(shown) <= label->contentsRect().width(),
                     qPrintable(what));
            QVERIFY2(shown == label->text() || shown.contains(QStringLiteral("\u2026")), qPrintable(what));
            QVERIFY2(w.rect().contains(QRect(label->mapTo(&w, QPoint()), label->size())), qPrintable(what));
            shortened += shown != label->text();
        }
        // From a 1280-pixel screen on the date is whole, on full HD everything.
        if (screen.width() >= 1280)
            QCOMPARE(static_cast<ElidedLabel *>(p->dateLabel)->shownText(), p->dateLabel->text());
        if (screen.width() >= 1920)
            QCOMPARE(shortened, 0);
        w.close();
    }
};

QTEST_MAIN(TestPlayerPanel)
#include "test_playerpanel.moc"

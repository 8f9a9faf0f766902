// The player panel's labels whole or shortened with "…", inside the window,
// at every layout, with and without GPS.
#include "guitest.h"

#include "main/elidedlabel.h"
#include "main/mainwindow.h"
#include "main/playerpanel.h"
#include "main/startup.h"
#include "main/windowmanager.h"

using namespace vx;

class TestPlayerPanel : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        vxtest::silencePlatformWarnings();
        setApplicationIdentity();
    }

    // The panel's longest labels at each layout: whole or shortened with "…", inside.
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
        MainWindow w;
        PlayerPanel *p = w.panel();
        const WindowPlace player = screen.isValid() && !screen.isEmpty()
                                       ? computeDefaultLayout(screen, 30).player
                                       : w.windows()->layout().player;
        w.resize(screen.isEmpty() && screen.isValid() ? QSize(1, player.size.height()) : player.size);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.setGpsPresent(gps);
        const QString date = QLocale().toString(QDateTime(QDate(2026, 9, 30), QTime(23, 59, 59)), QLocale::LongFormat);
        const QList<QPair<QLabel *, QString>> texts = {
            {p->speedLabel, gps ? "188 km/h" : p->speedLabel->text()},
            {p->fileNameLabel, "DJI_20260930235959_0100_D.MP4"}, {p->fileInfoLabel, "3999.99 MB, 59.94 fps, 3840x2160"},
            {p->dateLabel, date}, {p->movieCounterLabel, "100 of 100 movies"}, {p->durationLabel, "119:59 of 120:00"},
            {p->rateLabel, "x/16"}};
        for (const auto &t : texts)
            t.first->setText(t.second);
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
            const QString what =
                QStringLiteral("%1: \"%2\" in %3 px").arg(label->objectName(), shown).arg(label->contentsRect().width());
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

// The embedded subtitle reader: times from the movie's start, the first match of a second, the point limit
// (the samples' agreement with the plain transcription is in test_srtreader).
#include "referencereaders.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/geo.h"
#include "track/subtitlereaders.h"
#include "track/trackstore.h"

#include <QtTest>

using namespace vx;
using vxtest::pointText;

namespace {

QByteArray line(double lon, double lat, int sats, double h, double hs) {
    return QString::asprintf("F/3.2, SS 160, ISO 100, EV 0, GPS (%.4f, %.4f, %d), D 49.21m, H %.2fm, H.S %.2fm/s, "
                             "V.S 0.00m/s\n", lon, lat, sats, h, hs).toLatin1();
}

QByteArray cue(int s, int ms, const QByteArray &text) {
    return QString::asprintf("00:%02d:%02d,%03d --> 00:%02d:%02d,%03d\n", s / 60, s % 60, ms, s / 60, s % 60, ms + 1)
               .toLatin1() + text + "\n";
}

const MovieBlock &readText(const QByteArray &text) { return vxref::readBytes(readEmbeddedSubtitlesFrom, 0, text); }

uint32_t utc(int h, int m, int s) {
    return uint32_t(QDateTime(QDate(2021, 6, 1), QTime(h, m, s), Qt::UTC).toSecsSinceEpoch());
}

} // namespace

class TestEmbeddedSrtReader : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_movie;

private slots:
    void initTestCase() {
        m_movie = m_dir.filePath("DJI_0001.MP4");
        QVERIFY(vxtest::writeFile(m_movie, "not a movie"));
        QFile f(m_movie);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime(QDate(2021, 6, 1), QTime(12, 0, 40), Qt::LocalTime),
                              QFileDevice::FileModificationTime));
    }
    void init() {
        setDefaultSettings();
        resetTrackStore();
        lastBearing = 0;
        for (int b : {0, 1})  // the real reader and the transcription read the same movie
            track().block[b].movieFile = QFileInfo(m_movie);
    }
    void timesCountFromTheMovieStart() {
        // Modified 12:00:40 local, 40 s long, clock bias 1 h: starts at 13:00:00, that reading taken as UTC.
        track().block[0].duration = 40.0f;
        settings().clockBias = 3600;
        const MovieBlock &b = readText(cue(0, 0, line(8.2090, 47.4692, 18, 45.6, 1.0))
                                       + cue(1, 0, line(8.2100, 47.4700, 17, 46.6, 2.5)));
        QCOMPARE(pointText(b, 0, "tyxasvdb") + " | " + pointText(b, 1, "tyxasv"),
                 QString("%1 47.4692 8.209 45.6 18 3.6 0 0 | %2 47.47 8.21 46.6 17 9").arg(utc(13, 0, 0))
                     .arg(utc(13, 0, 1)));
        QVERIFY(b.numPoints == 2 && b.segDist[1] > 0.1 && b.segDist[1] < 0.12 && b.totalDist == b.segDist[1]);
        QVERIFY(b.hasAltitude && b.hasSats && !track().relativeAltitude);  // this reader leaves the flag alone
        track().block[0].duration = -1.0f;  // unknown duration: the modification time is the start
        settings().clockBias = 0;
        readText(cue(5, 0, line(1, 2, 3, 4, 0)));
        QCOMPARE(b.gpsTime[0], utc(12, 0, 45));
    }
    void firstMatchOfASecondIsKept() {
        track().block[0].movieFile = QFileInfo();  // no start time: cue offsets
        const MovieBlock &b = readText(cue(0, 0, line(10.0, 20.0, 5, 1, 0)) + cue(0, 500, line(10.5, 20.5, 6, 2, 0))
                                       + cue(1, 0, line(10.5, 20.5, 7, 3, 0)));
        // The second point did not move from the last match: no distance, the last bearing.
        QCOMPARE(pointText(b, 0, "txs") + " | " + pointText(b, 1, "txsdb")
                     + QString(" / %1 %2").arg(b.numPoints).arg(b.totalDist),
                 "0 10 5 | 1 10.5 7 0 0 / 2 0");
        readText(line(1, 2, 3, 4, 5) + cue(1, 0, line(1.1, 2.1, 3, 4, 5)));
        QCOMPARE(vxtest::column(b, 't'), "0 1");  // a match before any cue time: time 0, still the first
    }
    void fourThousandPointsAtMost() {
        QByteArray text;
        for (int s = 0; s < 4050; ++s)  // a second match each second
            text += cue(s, 0, line(8.0 + s * 1e-4, 47.0, 9, 10, 1)) + cue(s, 500, line(8.0 + s * 1e-4, 47.0, 9, 10, 1));
        const QByteArray difference = vxref::disagreement(readEmbeddedSubtitlesFrom, vxref::readEmbedded, text);
        QVERIFY2(difference.isEmpty(), difference.constData());
        QCOMPARE(track().block[0].numPoints, MAX_POINTS);
        QCOMPARE(track().block[0].lon[MAX_POINTS - 1], 8.0 + 3999 * 1e-4);
    }
};

QTEST_GUILESS_MAIN(TestEmbeddedSrtReader)
#include "test_embeddedsrtreader.moc"

// What the build makes for the program to ship: pictures, sounds, the user manual and the sample flight.
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/movieprobe.h"
#include "track/repair.h"
#include "track/subtitlereaders.h"
#include "track/trackstore.h"
#include "views/speedcolor.h"

#include <QImage>
#include <QTextCodec>
#include <QtTest>
#include <algorithm>

class TestArt : public QObject {
    Q_OBJECT

private slots:
    // Every picture the windows load: its role's pixel size, not blank; colour previews in the route's colours.
    void requiredPictures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("minimum");
        const QList<QPair<QString, QSize>> groups = {
            {"volantix_pro_splash", {1280, 720}}, {"volantix", {256, 256}}, {"compass", {120, 120}},
            {"phantom arrow", {100, 100}}, {"checkered_flag wrench14", {28, 28}}, {"left_arrow right_arrow", {32, 32}},
            {"levels-1 levels-5 levels-10 levels-14", {140, 12}}, {"meter-0 meter-1 meter-2 meter-3 meter-4 meter-5", {40, 20}},
            {"marker-0 marker-1 marker-2 marker-3 marker-4 marker-5 marker-6", {24, 24}},
            {"play pause sync_lock24 sync_unlock24 disc_blue disc_green settings24 trash open_folder open_files export_csv "
             "export_gpx export_kml export_jpg export_png export_clip merge recenter preferences previous_movie next_movie "
             "instant_replay geotag faster slower movie", {48, 48}}};
        for (const auto &g : groups)
            for (const QString &name : g.first.split(' '))
                QTest::newRow(qPrintable(name)) << name << g.second;
    }
    void requiredPictures() {
        QFETCH(QString, name);
        QFETCH(QSize, minimum);
        const QImage img = QImage(":/images/" + name + ".png").convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(img.width() >= minimum.width() && img.height() >= minimum.height(), qPrintable(name + " missing or small"));
        const auto *px = reinterpret_cast<const QRgb *>(img.constBits());
        QVERIFY2(QSet<QRgb>(px, px + img.width() * img.height()).size() >= 3, qPrintable(name + " is blank"));
        const int levels = name.startsWith("levels-") ? name.mid(7).toInt() : 0;  // slowest colour first
        for (int k = 0; k < levels; ++k)
            QCOMPARE(QColor(img.pixel(int((k + 0.5) * img.width() / levels), img.height() / 2)).name().toUpper(),
                     QString(vx::speedColorAt(levels, k)));
    }
    // Audible, unclipped 16-bit mono PCM of the right length: RIFF size, PCM, mono, 16 bits, samples to the end.
    void sounds() {
        for (const auto &[file, minMs, maxMs] : {std::tuple("click.wav", 20, 80), std::tuple("boing.wav", 200, 500)}) {
            const QByteArray wav = vxtest::readFile(QString(VX_RESOURCE_DIR "/") + file);
            auto u16 = [&](int at) { return int(qFromLittleEndian<quint16>(wav.constData() + at)); };
            auto u32 = [&](int at) { return int(qFromLittleEndian<quint32>(wav.constData() + at)); };
            const int rate = u32(24), data = wav.indexOf("data"), n = data > 0 ? u32(data + 4) / 2 : 0;
            QVERIFY(wav.startsWith("RIFF") && wav.mid(8, 8) == "WAVEfmt " && data > 0 && rate >= 22050 && rate <= 48000);
            QCOMPARE(QList<int>({u32(4) + 8, u16(20), u16(22), u16(34), data + 8 + 2 * n}),
                     QList<int>({wav.size(), 1, 1, 16, wav.size()}));
            const int ms = int(qint64(n) * 1000 / rate);
            QVERIFY2(ms >= minMs && ms <= maxMs, qPrintable(QString("%1 lasts %2 ms").arg(file).arg(ms)));
            const auto *s = reinterpret_cast<const qint16 *>(wav.constData() + data + 8);
            const auto [low, high] = std::minmax_element(s, s + n);
            QVERIFY2(std::max(-int(*low), int(*high)) > 8000 && *low > -32767 && *high < 32767, file);
        }
    }
    void manualPdf() {
        const QByteArray pdf = vxtest::readFile(VX_RESOURCE_DIR "/Volantix Users Manual.pdf");
        QVERIFY2(pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF"), "the manual is missing or not a PDF");
        const int pages = pdf.mid(pdf.indexOf("/Count ") + 7, 4).split('\n').first().trimmed().toInt();
        QVERIFY2(pages >= 3 && pages <= 20, qPrintable(QString("%1 pages").arg(pages)));
        QVERIFY(pdf.contains(QTextCodec::codecForName("UTF-16BE")->fromUnicode("Volantix User's Manual")));  // title
    }
    // Three small movies the program's readers take as one flight, faults: times backwards, a 0,0 fix, a late start.
    void sampleFlight() {
#ifndef VX_SAMPLE_MANIFEST
        QSKIP("the sample flight is not made in this build (no Python 3 or ffmpeg)");
#else
        const QDir dir(VX_SAMPLE_DIR);
        const auto movies = QJsonDocument::fromJson(vxtest::readFile(VX_SAMPLE_MANIFEST)).object().value("movies").toArray();
        vx::setDefaultSettings();
        vx::resetTrackStore();
        for (int b = 0; b < 3; ++b)
            vx::track().block[b].movieFile = QFileInfo(dir.filePath(movies.at(b).toObject().value("movie").toString()));
        vx::track().numBlocks = 3;
        QVERIFY(vx::probeMovies(nullptr));  // what the player will read of them
        for (int b = 0; b < 3; ++b) {
            const QJsonObject m = movies.at(b).toObject();
            const vx::MovieBlock &blk = vx::track().block[b];
            const qint64 durationMs = qint64(m.value("durationMs").toDouble()), start = qint64(m.value("startEpoch").toDouble());
            vx::readSidecarSubtitles(b, dir.filePath(m.value("srt").toString()));
            QCOMPARE(QString("%1 %2x%3 %4").arg(qRound64(blk.duration * 1000.0)).arg(blk.width).arg(blk.height)
                         .arg(blk.movieFile.lastModified().toMSecsSinceEpoch() - durationMs),
                     QString("%1 640x360 %2").arg(durationMs).arg(start * 1000));
        }
        vx::repairTrack();
        vx::computeTrackStats();
        const vx::TrackStore &t = vx::track();
        QCOMPARE(QString("%1 %2 %3").arg(t.block[0].repairCode).arg(t.block[1].repairCode).arg(t.block[2].repairCode), "5 3 4");
        QVERIFY(t.stats.maxAltitude > 10 && t.stats.maxSpeed > 10 && t.block[1].segDist[0] < 0.1 && t.block[2].segDist[0] < 0.1);
#endif
    }
};

QTEST_MAIN(TestArt)
#include "test_art.moc"

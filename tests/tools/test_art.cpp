// What the build generates for the program to ship: every picture the
// windows name (from the compiled resources), the two sounds, the user
// manual PDF and the sample flight with its sidecar telemetry.
#include <QColor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtEndian>
#include <QtTest>

#include <cmath>

namespace {

// Every picture the windows use, with its role's minimum pixel size.
struct Required {
    const char *name;
    int minW, minH;
};
const Required kRequired[] = {
    {"volantix_pro_splash", 960, 540}, {"volantix", 256, 256},
    {"play", 48, 48}, {"pause", 48, 48}, {"sync_lock24", 48, 48}, {"sync_unlock24", 48, 48},
    {"checkered_flag", 28, 28}, {"wrench14", 28, 28}, {"compass", 120, 120}, {"phantom", 80, 80},
    {"arrow", 80, 80}, {"left_arrow", 32, 32}, {"right_arrow", 32, 32},
    {"meter-0", 40, 20}, {"meter-1", 40, 20}, {"meter-2", 40, 20}, {"meter-3", 40, 20}, {"meter-4", 40, 20},
    {"meter-5", 40, 20}, {"disc_blue", 48, 48}, {"disc_green", 48, 48}, {"settings24", 48, 48}, {"trash", 48, 48},
    {"levels-1", 140, 12}, {"levels-5", 140, 12}, {"levels-10", 140, 12}, {"levels-14", 140, 12},
    {"open_folder", 48, 48}, {"open_files", 48, 48}, {"export_csv", 48, 48}, {"export_gpx", 48, 48},
    {"export_kml", 48, 48}, {"export_jpg", 48, 48}, {"export_png", 48, 48}, {"export_clip", 48, 48},
    {"merge", 48, 48}, {"recenter", 48, 48}, {"preferences", 48, 48}, {"previous_movie", 48, 48},
    {"next_movie", 48, 48}, {"instant_replay", 48, 48}, {"geotag", 48, 48}, {"faster", 48, 48},
    {"slower", 48, 48}, {"movie", 48, 48},
    {"marker-0", 24, 24}, {"marker-1", 24, 24}, {"marker-2", 24, 24}, {"marker-3", 24, 24},
    {"marker-4", 24, 24}, {"marker-5", 24, 24}, {"marker-6", 24, 24},
};

QImage resourceImage(const QString &name)
{
    return QImage(QStringLiteral(":/images/%1.png").arg(name));
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// --- sound files ---

struct Wav {
    QString error;
    int format = 0, channels = 0, sampleRate = 0, bits = 0;
    QVector<qint16> samples;
};

// Walks the RIFF chunks; every size is checked against the bytes present.
Wav parseWav(const QByteArray &bytes)
{
    Wav w;
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        w.error = QStringLiteral("not a RIFF/WAVE file");
        return w;
    }
    const quint32 riffSize = qFromLittleEndian<quint32>(bytes.constData() + 4);
    if (riffSize + 8 != quint32(bytes.size())) {
        w.error = QStringLiteral("RIFF size %1 does not match the file (%2 bytes)").arg(riffSize).arg(bytes.size());
        return w;
    }
    bool haveFmt = false, haveData = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (size > quint32(bytes.size() - at - 8)) {
            w.error = QStringLiteral("chunk %1 runs past the end").arg(QString::fromLatin1(id));
            return w;
        }
        const char *body = bytes.constData() + at + 8;
        if (id == "fmt " && size >= 16) {
            w.format = qFromLittleEndian<quint16>(body);
            w.channels = qFromLittleEndian<quint16>(body + 2);
            w.sampleRate = int(qFromLittleEndian<quint32>(body + 4));
            const quint32 byteRate = qFromLittleEndian<quint32>(body + 8);
            const quint16 align = qFromLittleEndian<quint16>(body + 12);
            w.bits = qFromLittleEndian<quint16>(body + 14);
            if (align != w.channels * w.bits / 8 || byteRate != quint32(w.sampleRate) * align) {
                w.error = QStringLiteral("inconsistent fmt chunk");
                return w;
            }
            haveFmt = true;
        } else if (id == "data") {
            if (size % 2) {
                w.error = QStringLiteral("odd data size");
                return w;
            }
            for (quint32 i = 0; i < size; i += 2)
                w.samples.append(qFromLittleEndian<qint16>(body + i));
            haveData = true;
        }
        at += 8 + size + (size & 1);
    }
    if (!haveFmt || !haveData)
        w.error = QStringLiteral("missing fmt or data chunk");
    return w;
}

double rms(const QVector<qint16> &s, int from, int to)
{
    double sum = 0;
    for (int i = from; i < to; ++i)
        sum += double(s[i]) * s[i];
    return to > from ? std::sqrt(sum / (to - from)) : 0;
}

// Rising zero crossings per second over a stretch: a pitch estimate.
double crossingsPerSecond(const QVector<qint16> &s, int from, int to, int rate)
{
    int n = 0;
    for (int i = from + 1; i < to; ++i)
        if (s[i - 1] < 0 && s[i] >= 0)
            ++n;
    return n * double(rate) / (to - from);
}

// --- sample flight ---

double distanceKm(double lat1, double lon1, double lat2, double lon2)
{
    const double k = M_PI / 180;
    const double a = std::pow(std::sin((lat2 - lat1) * k / 2), 2) +
                     std::cos(lat1 * k) * std::cos(lat2 * k) * std::pow(std::sin((lon2 - lon1) * k / 2), 2);
    return 2 * 6371.0 * std::asin(std::sqrt(a));
}

// One cue of a sidecar file, read with the same patterns the program uses.
struct Cue {
    int offsetS = -1;
    QString homeDate;
    double lon = 0, lat = 0, alt = 0;
    int sats = -1;
};

QVector<Cue> readCues(const QString &path)
{
    QVector<Cue> cues;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return cues;
    const QRegularExpression timeRe(QStringLiteral("(\\d\\d):(\\d\\d):(\\d\\d),(\\d\\d\\d) -->"));
    const QRegularExpression homeRe(QStringLiteral("HOME\\(([-+0-9.]+),([-+0-9.]+)\\) (\\d{4}\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d)"));
    const QRegularExpression gpsRe(QStringLiteral(
        "GPS.*\\(([-+]?[0-9]*\\.?[0-9]+),([-+]?[0-9]*\\.?[0-9]+),([0-9]+)\\)\\s+(Hb|BAROMETER):([-+]?[0-9]*\\.?[0-9]+)"));
    while (!f.atEnd()) {
        const QString line = QString::fromLatin1(f.readLine());
        QRegularExpressionMatch m;
        if ((m = timeRe.match(line)).hasMatch()) {
            cues.append(Cue());
            cues.last().offsetS = m.captured(1).toInt() * 3600 + m.captured(2).toInt() * 60 + m.captured(3).toInt();
        } else if (!cues.isEmpty() && (m = homeRe.match(line)).hasMatch()) {
            cues.last().homeDate = m.captured(3);
        } else if (!cues.isEmpty() && (m = gpsRe.match(line)).hasMatch()) {
            cues.last().lon = m.captured(1).toDouble();
            cues.last().lat = m.captured(2).toDouble();
            cues.last().sats = m.captured(3).toInt();
            cues.last().alt = m.captured(5).toDouble();
        }
    }
    return cues;
}

// "Duration: hh:mm:ss.cc" of ffmpeg's report, in milliseconds; -1 when absent.
qint64 probeDurationMs(const QString &movie, QString *report)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), {QStringLiteral("-hide_banner"), QStringLiteral("-i"), movie});
    if (!p.waitForFinished(30000))
        return -1;
    *report = QString::fromUtf8(p.readAllStandardError());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Duration: *(\\d\\d):(\\d\\d):(\\d\\d)\\.(\\d+)")).match(*report);
    if (!m.hasMatch())
        return -1;
    const QString frac = (m.captured(4) + QStringLiteral("000")).left(3);
    return ((m.captured(1).toLongLong() * 60 + m.captured(2).toLongLong()) * 60 + m.captured(3).toLongLong()) * 1000 +
           frac.toLongLong();
}

} // namespace

class TestArt : public QObject {
    Q_OBJECT

    QJsonArray m_movies;
    bool m_haveFfmpeg = false;

    QString sampleDir() const { return QStringLiteral(VX_SAMPLE_DIR); }

private slots:
    void initTestCase()
    {
        QProcess p;
        p.start(QStringLiteral("ffmpeg"), {QStringLiteral("-version")});
        m_haveFfmpeg = p.waitForFinished(10000) && p.exitCode() == 0;
#ifdef VX_SAMPLE_MANIFEST
        const QJsonDocument doc = QJsonDocument::fromJson(readAll(QStringLiteral(VX_SAMPLE_MANIFEST)));
        m_movies = doc.object().value(QStringLiteral("movies")).toArray();
#endif
    }

    // --- pictures ---

    void requiredPictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minW");
        QTest::addColumn<int>("minH");
        for (const Required &r : kRequired)
            QTest::newRow(r.name) << QString::fromLatin1(r.name) << r.minW << r.minH;
    }

    void requiredPictures()
    {
        QFETCH(QString, name);
        QFETCH(int, minW);
        QFETCH(int, minH);
        const QString path = QStringLiteral(":/images/%1.png").arg(name);
        QVERIFY2(QFile::exists(path), qPrintable(path + QStringLiteral(" is not in the resources")));
        const QImage img = resourceImage(name);
        QVERIFY2(!img.isNull(), qPrintable(path + QStringLiteral(" does not load")));
        QVERIFY(img.width() >= minW && img.height() >= minH);
        // something is drawn: not a blank or single-colour canvas
        QSet<QRgb> colours;
        for (int y = 0; y < img.height() && colours.size() < 3; y += 2)
            for (int x = 0; x < img.width() && colours.size() < 3; x += 2)
                colours.insert(img.pixel(x, y));
        QVERIFY2(colours.size() >= 3, qPrintable(name + QStringLiteral(" is blank")));
    }

    void iconsHaveTransparentBackgrounds()
    {
        // everything but the splash sits on its window's own background
        for (const Required &r : kRequired) {
            const QString name = QString::fromLatin1(r.name);
            if (name == QLatin1String("volantix_pro_splash") || name.startsWith(QLatin1String("levels-")))
                continue;
            const QImage img = resourceImage(name).convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(img.hasAlphaChannel(), qPrintable(name));
            const int w = img.width() - 1, h = img.height() - 1;
            for (const QPoint &corner : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)})
                QVERIFY2(qAlpha(img.pixel(corner)) == 0, qPrintable(name + QStringLiteral(" has an opaque corner")));
        }
        // the splash fades to the black of the window around it
        const QImage splash = resourceImage(QStringLiteral("volantix_pro_splash"));
        QCOMPARE(splash.size(), QSize(1280, 720));
        QVERIFY(qGray(splash.pixel(0, 0)) < 8 && qGray(splash.pixel(1279, 719)) < 8);
        QCOMPARE(resourceImage(QStringLiteral("volantix")).size(), QSize(256, 256));
    }

    void speedColourPreviewsFollowTheRouteTables_data()
    {
        QTest::addColumn<int>("levels");
        QTest::addColumn<QStringList>("colours");
        QTest::newRow("1") << 1 << QStringList{"#FF0000"};
        QTest::newRow("5") << 5 << QStringList{"#B40032", "#FF005A", "#FFE200", "#6CFF00", "#00CFFF"};
        QTest::newRow("10") << 10
                            << QStringList{"#B40032", "#FF005A", "#FF9800", "#FFD600", "#F9FF00",
                                           "#ABFF00", "#00FF84", "#00F3FF", "#00C1FF", "#0078FF"};
        QTest::newRow("14") << 14
                            << QStringList{"#B40032", "#FF005A", "#FF8100", "#FFB400", "#FFDA00", "#FFFA00", "#D9FF00",
                                           "#9BFF00", "#00FF5A", "#00FFEB", "#00E8FF", "#00C5FF", "#0098FF", "#0050FF"};
    }

    void speedColourPreviewsFollowTheRouteTables()
    {
        QFETCH(int, levels);
        QFETCH(QStringList, colours);
        const QImage img = resourceImage(QStringLiteral("levels-%1").arg(levels)).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!img.isNull());
        // equal bands left to right, slowest first: the middle of each band
        // is exactly the table colour
        const int y = img.height() / 2;
        for (int k = 0; k < levels; ++k) {
            const int x = int((k + 0.5) * img.width() / levels);
            QCOMPARE(QColor(img.pixel(x, y)).name(QColor::HexRgb).toUpper(), colours[k]);
        }
    }

    void markerSymbols()
    {
        const QStringList fills{"#FF0000", "#00FF00", "#0000FF", "#FFFF00", "#FF00FF", "#00FFFF"};
        for (int i = 0; i < fills.size(); ++i) {
            const QImage img = resourceImage(QStringLiteral("marker-%1").arg(i)).convertToFormat(QImage::Format_ARGB32);
            const QPoint c(img.width() / 2, img.height() / 2);
            QCOMPARE(QColor(img.pixel(c)).name().toUpper(), fills[i]);
            // a dark outline between the fill and the transparent outside
            bool outline = false;
            for (int x = c.x(); x < img.width() && !outline; ++x) {
                const QRgb p = img.pixel(x, c.y());
                outline = qAlpha(p) > 200 && qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60;
            }
            QVERIFY2(outline, qPrintable(QStringLiteral("marker-%1 has no black outline").arg(i)));
        }
        // symbol 6 is a pin: its tip at the bottom middle, its head wider above
        const QImage pin = resourceImage(QStringLiteral("marker-6")).convertToFormat(QImage::Format_ARGB32);
        auto opaqueWidth = [&](int y) {
            int n = 0;
            for (int x = 0; x < pin.width(); ++x)
                n += qAlpha(pin.pixel(x, y)) > 128;
            return n;
        };
        QVERIFY(opaqueWidth(pin.height() / 3) > 3 * std::max(1, opaqueWidth(pin.height() * 7 / 8)));
    }

    void gpsAccuracyBarsLightUpByLevel()
    {
        // meter-N lights the first N of its bars in colour; meter-0 none
        for (int level = 0; level <= 5; ++level) {
            const QImage img = resourceImage(QStringLiteral("meter-%1").arg(level)).convertToFormat(QImage::Format_ARGB32);
            const int y = img.height() - 5; // through the foot of every bar
            int bars = 0, lit = 0;
            bool inBar = false;
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                const bool opaque = qAlpha(p) > 200;
                if (opaque && !inBar) {
                    ++bars;
                    const QColor c(p);
                    if (c.saturation() > 100)
                        ++lit;
                }
                inBar = opaque;
            }
            QCOMPARE(bars, 5);
            QCOMPARE(lit, level);
        }
    }

    void vehicleImagesPointUp()
    {
        // the heading arrow is narrow at the top and wide at the bottom
        const QImage arrow = resourceImage(QStringLiteral("arrow")).convertToFormat(QImage::Format_ARGB32);
        auto span = [&](int y) {
            int first = -1, last = -1;
            for (int x = 0; x < arrow.width(); ++x)
                if (qAlpha(arrow.pixel(x, y)) > 128) {
                    if (first < 0)
                        first = x;
                    last = x;
                }
            return first < 0 ? 0 : last - first + 1;
        };
        QVERIFY(span(arrow.height() / 5) * 2 < span(arrow.height() * 4 / 5));
        QCOMPARE(arrow.size(), QSize(100, 100));
        QCOMPARE(resourceImage(QStringLiteral("phantom")).size(), QSize(100, 100));
    }

    // --- sounds ---

    void sounds_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        QTest::newRow("click") << QStringLiteral("click.wav") << 20 << 80;
        QTest::newRow("boing") << QStringLiteral("boing.wav") << 200 << 500;
    }

    void sounds()
    {
        QFETCH(QString, file);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        const Wav w = parseWav(readAll(QStringLiteral(VX_RESOURCE_DIR "/") + file));
        QVERIFY2(w.error.isEmpty(), qPrintable(file + QStringLiteral(": ") + w.error));
        QCOMPARE(w.format, 1); // PCM
        QCOMPARE(w.channels, 1);
        QCOMPARE(w.bits, 16);
        QVERIFY(w.sampleRate >= 22050 && w.sampleRate <= 48000);
        const int ms = int(qint64(w.samples.size()) * 1000 / w.sampleRate);
        QVERIFY2(ms >= minMs && ms <= maxMs, qPrintable(QStringLiteral("%1 lasts %2 ms").arg(file).arg(ms)));
        // audible, not clipped, and without a pop at either end
        int peak = 0;
        for (qint16 v : w.samples)
            peak = std::max(peak, std::abs(int(v)));
        QVERIFY(peak > 8000 && peak < 32767);
        QVERIFY(std::abs(int(w.samples.first())) < 1000 && std::abs(int(w.samples.last())) < 1000);
        // it dies away: the last tenth is much quieter than the first half
        const int n = w.samples.size();
        QVERIFY(rms(w.samples, n * 9 / 10, n) < rms(w.samples, 0, n / 2) / 4);
    }

    void boingFallsInPitch()
    {
        const Wav w = parseWav(readAll(QStringLiteral(VX_RESOURCE_DIR "/boing.wav")));
        QVERIFY(w.error.isEmpty());
        const int n = w.samples.size();
        const double early = crossingsPerSecond(w.samples, 0, n / 4, w.sampleRate);
        const double late = crossingsPerSecond(w.samples, n / 2, n * 3 / 4, w.sampleRate);
        QVERIFY2(early > late * 1.3, qPrintable(QStringLiteral("%1 Hz then %2 Hz").arg(early).arg(late)));
    }

    void wavReaderRejectsBrokenFiles()
    {
        // the checks above are only as good as the reader: truncated and
        // inconsistent files must not pass
        const QByteArray good = readAll(QStringLiteral(VX_RESOURCE_DIR "/click.wav"));
        QVERIFY(parseWav(good).error.isEmpty());
        QVERIFY(!parseWav(good.left(good.size() - 10)).error.isEmpty());
        QVERIFY(!parseWav(QByteArray()).error.isEmpty());
        QByteArray lying = good;
        QVERIFY(lying.mid(36, 4) == "data");
        lying.replace(40, 4, QByteArray("\xf0\xff\xff\x7f", 4)); // data chunk size far past the end
        QVERIFY(!parseWav(lying).error.isEmpty());
    }

    // --- user manual ---

    void manualPdf()
    {
        const QByteArray pdf = readAll(QStringLiteral(VX_RESOURCE_DIR "/Volantix Users Manual.pdf"));
        QVERIFY2(pdf.startsWith("%PDF-"), "the manual is missing or not a PDF");
        QVERIFY(pdf.trimmed().endsWith("%%EOF"));
        const int at = pdf.indexOf("/Count ");
        QVERIFY(at > 0);
        const int pages = pdf.mid(at + 7, 4).split('\n').first().trimmed().toInt();
        QVERIFY2(pages >= 3 && pages <= 20, qPrintable(QStringLiteral("%1 pages").arg(pages)));
        // the title in the document information (UTF-16, big-endian)
        QByteArray title("\xfe\xff", 2);
        for (QChar c : QStringLiteral("Volantix User's Manual")) {
            title.append(char(0));
            title.append(c.toLatin1());
        }
        QVERIFY(pdf.contains(title));
        // the program's own pictures are embedded
        QVERIFY(pdf.count("/Subtype /Image") >= 10);
    }

    // --- sample flight ---

    void sampleFolderHoldsThreeMoviesWithTelemetry()
    {
#ifndef VX_SAMPLE_MANIFEST
        QSKIP("the sample flight is not made in this build (no Python 3 or ffmpeg)");
#else
        QDir dir(sampleDir());
        QVERIFY2(dir.exists(), qPrintable(sampleDir()));
        const QStringList movies = dir.entryList({QStringLiteral("*.MOV")}, QDir::Files, QDir::Name);
        QCOMPARE(movies, QStringList({"DJI_0001.MOV", "DJI_0002.MOV", "DJI_0003.MOV"}));
        QCOMPARE(dir.entryList({QStringLiteral("*.SRT")}, QDir::Files, QDir::Name),
                 QStringList({"DJI_0001.SRT", "DJI_0002.SRT", "DJI_0003.SRT"}));
        QCOMPARE(m_movies.size(), 3);
        for (const QString &m : movies)
            QVERIFY2(QFileInfo(dir.filePath(m)).size() < 2 * 1024 * 1024, qPrintable(m));
#endif
    }

    void sampleMoviesStartAtTheirFirstHomeDate_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("DJI_0001") << 0;
        QTest::newRow("DJI_0002") << 1;
        QTest::newRow("DJI_0003") << 2;
    }

    void sampleMoviesStartAtTheirFirstHomeDate()
    {
#ifndef VX_SAMPLE_MANIFEST
        QSKIP("the sample flight is not made in this build");
#else
        QFETCH(int, index);
        QVERIFY(index < m_movies.size());
        const QJsonObject m = m_movies.at(index).toObject();
        const QString movie = QDir(sampleDir()).filePath(m.value(QStringLiteral("movie")).toString());
        const QString srt = QDir(sampleDir()).filePath(m.value(QStringLiteral("srt")).toString());
        const qint64 start = qint64(m.value(QStringLiteral("startEpoch")).toDouble());
        qint64 durationMs = qint64(m.value(QStringLiteral("durationMs")).toDouble());

        // the movie: H.264 (yuv420p) with AAC sound, small, 20 to 40 s, and
        // the duration the player's probe will read
        if (m_haveFfmpeg) {
            QString report;
            const qint64 probed = probeDurationMs(movie, &report);
            QCOMPARE(probed, durationMs);
            QVERIFY(report.contains(QLatin1String("Video: h264")) && report.contains(QLatin1String("yuv420p")));
            QVERIFY(report.contains(QLatin1String("640x360")) && report.contains(QLatin1String("Audio: aac")));
        }
        QVERIFY(durationMs >= 20000 && durationMs <= 40000);

        // modification time - duration = the movie's first second
        const qint64 mtimeMs = QFileInfo(movie).lastModified().toMSecsSinceEpoch();
        QCOMPARE(mtimeMs - durationMs, start * 1000);

        // the first HOME date, local time of the build, names that second
        const QVector<Cue> cues = readCues(srt);
        QVERIFY(!cues.isEmpty());
        QDateTime home = QDateTime::fromString(cues.first().homeDate, QStringLiteral("yyyy.MM.dd hh:mm:ss"));
        QVERIFY2(home.isValid(), qPrintable(cues.first().homeDate));
        home.setTimeSpec(Qt::UTC);
        const int utcOffset = m.value(QStringLiteral("utcOffsetSec")).toInt();
        QCOMPARE(home.toSecsSinceEpoch() - utcOffset, start);
        QCOMPARE(cues.first().homeDate, m.value(QStringLiteral("firstHomeDate")).toString());
        // when this test runs in the build's time zone, the reader's own
        // reading (local time) gives the same second
        const QDateTime local = QDateTime::fromString(cues.first().homeDate, QStringLiteral("yyyy.MM.dd hh:mm:ss"));
        if (local.offsetFromUtc() == utcOffset)
            QCOMPARE(local.toSecsSinceEpoch(), start);
#endif
    }

    void sampleTelemetryIsAPlausibleFlightWithFewFaults()
    {
#ifndef VX_SAMPLE_MANIFEST
        QSKIP("the sample flight is not made in this build");
#else
        QVector<QVector<Cue>> files;
        for (const char *name : {"DJI_0001.SRT", "DJI_0002.SRT", "DJI_0003.SRT"})
            files.append(readCues(QDir(sampleDir()).filePath(QString::fromLatin1(name))));
        QCOMPARE(files.size(), 3);
        const double homeLat = files[0].first().lat, homeLon = files[0].first().lon;

        int backwards = 0, zeroFixes = 0;
        double maxAlt = 0, maxSpeed = 0;
        for (int f = 0; f < 3; ++f) {
            const QVector<Cue> &cues = files[f];
            const int seconds = int(m_movies.at(f).toObject().value(QStringLiteral("durationMs")).toDouble() / 1000);
            for (int i = 0; i < cues.size(); ++i) {
                const Cue &c = cues[i];
                QVERIFY2(c.sats >= 0 && !c.homeDate.isEmpty(), qPrintable(QStringLiteral("file %1 cue %2 incomplete").arg(f).arg(i)));
                QVERIFY(c.offsetS >= 0 && c.offsetS < seconds);
                QVERIFY(c.alt >= 0 && c.alt <= 120);
                maxAlt = std::max(maxAlt, c.alt);
                if (std::fabs(c.lat) < 1e-7 && std::fabs(c.lon) < 1e-7) {
                    ++zeroFixes;
                    QCOMPARE(f, 1); // the lost fix is the last sample of the second movie
                    QCOMPARE(i, cues.size() - 1);
                    continue;
                }
                QVERIFY(distanceKm(homeLat, homeLon, c.lat, c.lon) < 2.0);
                if (i == 0)
                    continue;
                const Cue &p = cues[i - 1];
                if (c.offsetS <= p.offsetS) {
                    ++backwards;
                    QCOMPARE(f, 0);
                    continue;
                }
                if (i >= 2 && cues[i - 1].offsetS < cues[i - 2].offsetS)
                    continue; // the sample after the stale one
                const double kmh = distanceKm(p.lat, p.lon, c.lat, c.lon) / (c.offsetS - p.offsetS) * 3600;
                maxSpeed = std::max(maxSpeed, kmh);
            }
        }
        QCOMPARE(backwards, 1);
        QCOMPARE(zeroFixes, 1);
        // the third movie's telemetry starts late, at 2 s
        QCOMPARE(files[2].first().offsetS, 2);
        QCOMPARE(files[0].first().offsetS, 0);
        QCOMPARE(files[1].first().offsetS, 0);
        // take-off from and landing on the ground at home, a climb to 60-95 m
        QCOMPARE(files[0].first().alt, 0.0);
        QCOMPARE(files[2].last().alt, 0.0);
        QVERIFY(distanceKm(homeLat, homeLon, files[2].last().lat, files[2].last().lon) < 0.02);
        QVERIFY2(maxAlt >= 60 && maxAlt <= 95, qPrintable(QString::number(maxAlt)));
        // a drone's pace: up to about 50 km/h, never the jumps of a glitch
        QVERIFY2(maxSpeed > 35 && maxSpeed < 60, qPrintable(QString::number(maxSpeed)));
        // one continuous trip: the next movie starts near where the last ended
        const Cue &end1 = files[0].last();
        const Cue &start2 = files[1].first();
        QVERIFY(distanceKm(end1.lat, end1.lon, start2.lat, start2.lon) < 0.1);
#endif
    }
};

QTEST_MAIN(TestArt)
#include "test_art.moc"

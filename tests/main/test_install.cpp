// `cmake --install` into a fresh prefix: the files, the desktop validators,
// and the installed binary converting as the build tree's does (the GoPro
// heights need the geoid model: it found its run-time files).
#include "support/testsupport.h"

#include <QtTest>

namespace {

struct Run { int exitCode; QByteArray output; };  // -1: it did not end normally; output and errors

// `program` without a display; in `dir`, with its own HOME there, when given.
Run run(const QString &program, const QStringList &arguments, const QString &dir = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    if (!dir.isEmpty()) {
        env.insert(QStringLiteral("HOME"), dir + "/home");
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + "/home/.config");
        p.setWorkingDirectory(dir);
    }
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    const bool ended = p.waitForFinished(180000) && p.exitStatus() == QProcess::NormalExit;
    return Run{ended ? p.exitCode() : -1, p.readAll()};
}

// Width and height from a PNG file's header; (0, 0) when it is none.
QSize pngSize(const QString &path)
{
    const QByteArray b = vxtest::readFile(path);
    if (b.size() < 24 || !b.startsWith("\x89PNG\r\n\x1a\n") || b.mid(12, 4) != "IHDR")
        return {};
    const auto be32 = [&](int at) { return qFromBigEndian<quint32>(b.constData() + at); };
    return QSize(be32(16), be32(20));
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
    QTemporaryDir m_prefix;
    QTemporaryDir m_work;  // outside the build tree: homes and outputs
    QString installed(const QString &relative) const { return m_prefix.filePath(relative); }

    // The three files `program` converts `input` to in batch mode, joined.
    QByteArray convert(const QString &program, const QString &input, const QString &name)
    {
        const QString out = m_work.filePath(name);
        QDir().mkpath(out);
        const Run r = run(program, {"--input=" + input, "--export-csv=" + out + "/t.csv", "--export-gpx=" + out + "/t.gpx",
                                    "--export-kml=" + out + "/t.kml"},
                          out);
        return r.exitCode != 0 ? "failed: " + r.output
                               : vxtest::readFile(out + "/t.csv") + vxtest::readFile(out + "/t.gpx")
                                     + vxtest::readFile(out + "/t.kml");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid() && m_work.isValid());
        const Run r = run(QStringLiteral(VX_CMAKE_COMMAND),
                          {"--install", QStringLiteral(VX_BUILD_DIR), "--prefix", m_prefix.path()});
        QVERIFY2(r.exitCode == 0, r.output.constData());
    }

    // Each installed file; the desktop files pass their validators.
    void layout_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("iconSize");  // 0: not an icon
        QTest::addColumn<QStringList>("validator");
        const QString id = QStringLiteral(VX_APP_ID);
        for (const char *f : {"bin/volantix", "bin/addexif", "share/volantix/click.wav", "share/volantix/boing.wav",
                              "share/volantix/geoid/egm96-15.pgm", "share/volantix/Volantix Users Manual.pdf",
                              "share/doc/volantix/LICENSE", "share/doc/volantix/copyright"})
            QTest::newRow(f) << QString::fromLatin1(f) << 0 << QStringList();
        QTest::newRow("desktop entry") << "share/applications/" + id + ".desktop" << 0
                                       << QStringList{"desktop-file-validate"};
        QTest::newRow("metainfo") << "share/metainfo/" + id + ".metainfo.xml" << 0
                                  << QStringList{"appstreamcli", "validate", "--no-net", "--pedantic"};
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
            QTest::newRow(qPrintable(QStringLiteral("icon %1").arg(size)))
                << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(id) << size << QStringList();
    }
    void layout()
    {
        QFETCH(QString, file);
        QFETCH(int, iconSize);
        QFETCH(QStringList, validator);
        const QFileInfo info(installed(file));
        QVERIFY2(info.isFile() && info.size() > 0, qPrintable(file));
        QCOMPARE(info.isExecutable(), file.startsWith("bin/"));
        QCOMPARE(pngSize(info.filePath()), iconSize > 0 ? QSize(iconSize, iconSize) : QSize());
        if (validator.isEmpty())
            return;
        if (QStandardPaths::findExecutable(validator.first()).isEmpty())
            QFAIL(qPrintable(validator.first() + " is missing: run scripts/install-deps.sh"));
        const Run r = run(validator.first(), validator.mid(1) << info.filePath());
        QVERIFY2(r.exitCode == 0, r.output.constData());
        // Not even a hint (appstreamcli names "pedantic" issues, if any).
        QVERIFY2(!r.output.contains("pedantic:") && !r.output.contains("hint"), r.output.constData());
    }
    // The sample flight, and a GoPro movie whose heights need the geoid model.
    void installedProgramConverts()
    {
        QByteArray gopro;  // the last one's
        for (const QString &input : {QStringLiteral(VX_BUILD_DIR "/samples/flight"),
                                     vxtest::dataPath("gpmf/max-heromode.mp4")}) {
            const QString tag = QFileInfo(input).baseName();
            const QByteArray fromBuildTree = convert(QStringLiteral(VX_BIN_DIR "/volantix"), input, tag + "-build");
            QVERIFY(fromBuildTree.contains("<gx:coord>"));
            QCOMPARE(convert(installed("bin/volantix"), input, tag + "-installed"), fromBuildTree);
            gopro = fromBuildTree;
        }
        // Without its run-time files, other heights: the files above were its own.
        const QString input = vxtest::dataPath("gpmf/max-heromode.mp4");
        QVERIFY(QDir().rename(installed("share/volantix"), installed("share/volantix-away")));
        const QByteArray withoutGeoid = convert(installed("bin/volantix"), input, "without");
        QVERIFY(QDir().rename(installed("share/volantix-away"), installed("share/volantix")));
        QVERIFY2(!withoutGeoid.startsWith("failed: ") && withoutGeoid != gopro, withoutGeoid.constData());
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"

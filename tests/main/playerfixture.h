// Generated movies (<build>/generated) with sidecar telemetry of known times for the window tests, and the
// headers those tests use. Point i of an addMovie movie is at latitude lat0 + i * 0.001, longitude 7.5, with
// i + 3 satellites and altitude 10 + i m; the file's modification time is its start plus its length.
#pragma once

#include "guitest.h"
#include "support/testsupport.h"
#include "control/controlcenterdialog.h"
#include "control/movielist.h"
#include "main/loadcontroller.h"
#include "main/mainwindow.h"
#include "main/playbackcontroller.h"
#include "main/playerpanel.h"
#include "main/startup.h"
#include "main/videoview.h"
#include "main/windowmanager.h"
#include "track/trackstore.h"
#include "views/datadialog.h"
#include "views/gauges/qcitems.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"
#include <QMediaPlaylist>
#include <QVideoWidget>
#include <QtTest>

namespace vxtest {
inline bool exposed(QWidget &w) { return w.show(), QTest::qWaitForWindowExposed(&w); }
// The flight starts here (UTC; the tests run with TZ=UTC).
inline QDateTime flightStart() { return QDateTime(QDate(2023, 7, 14), QTime(9, 30, 0), Qt::UTC); }
inline QByteArray sidecarText(const QDateTime &start, int points, double lat0) {
    QByteArray out;
    for (int i = 0; i < points; ++i) {
        out += QString::asprintf("%d\n%02d:%02d:%02d,000 --> %02d:%02d:%02d,000\n", i + 1, i / 3600, i / 60 % 60, i % 60,
                                 (i + 1) / 3600, (i + 1) / 60 % 60, (i + 1) % 60).toLatin1()
             + "HOME(7.5000000," + QByteArray::number(lat0, 'f', 6) + ") "
             + start.addSecs(i).toString(QStringLiteral("yyyy.MM.dd hh:mm:ss")).toLatin1() + "\n"
             + "GPS(7.5000000," + QByteArray::number(lat0 + i * 0.001, 'f', 6) + "," + QByteArray::number(i + 3)
             + ") BAROMETER:" + QByteArray::number(10 + i) + ".0\n\n";
    }
    return out;
}
inline bool setModified(const QString &path, const QDateTime &when) {
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && f.setFileTime(when, QFileDevice::FileModificationTime);
}
// Copies generated movie `source` to `folder/name` with a sidecar of `points` points (none for 0).
inline bool addMovie(const QString &folder, const QString &source, const QString &name, const QDateTime &start,
                     int seconds, int points, double lat0 = 46.5) {
    const QString path = QDir(folder).filePath(name);
    QDir().mkpath(folder);
    QFile::remove(path);
    if (!QFile::copy(generatedPath(source), path))
        return false;
    if (points > 0 && !writeFile(QDir(folder).filePath(QFileInfo(path).completeBaseName() + ".SRT"), sidecarText(start, points, lat0)))
        return false;
    return setModified(path, start.addSecs(seconds));
}
// A, B and C.MOV: plain.mov (3 s) with three points each, 10 s apart, at latitudes 46.5, 47.5 and 48.5.
inline bool addThreeMovies(const QString &folder) {
    for (int i = 0; i < 3; ++i)
        if (!addMovie(folder, QStringLiteral("plain.mov"), QStringLiteral("%1.MOV").arg(QChar('A' + i)),
                      flightStart().addSecs(10 * i), 3, 3, 46.5 + i))
            return false;
    return true;
}
} // namespace vxtest

// The snapshot command of the player window ("P", the toolbar's "Export to
// JPG File"): the picture the player decoded last (the movie's own frame at
// its own size, never the screen area, so windows on top and the zoom do not
// end up in it) saved on the desktop as JPG or PNG, named after the movie,
// the GPS position and the playback position; a JPG gets the position and a
// comment in its EXIF block from addexif. The desktop note is shown once per
// run.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QVideoFrame>

class QMediaPlayer;
class QVideoProbe;

namespace vx {

class MainWindow;

class SnapshotCommand : public QObject {
    Q_OBJECT

public:
    explicit SnapshotCommand(MainWindow *window);
    ~SnapshotCommand() override;

    // The whole command; the saved file's path, empty when nothing was saved.
    QString exportScreenshot();

    // The picture the player shows now: the last decoded frame of the movie
    // in the player. Null before the first frame of a movie arrives.
    QImage currentPicture() const;
    // The program written for the EXIF position (addexifPath() when empty).
    void setExifTool(const QString &program) { m_exifTool = program; }
    // The folder the snapshots go to (the desktop when empty).
    void setFolder(const QString &folder) { m_folder = folder; }
    QString folder() const;
    bool noteShown() const { return m_noteShown; }
    bool running() const { return m_running; }

private:
    void frameProbed(const QVideoFrame &frame);
    void warn(const QString &text);

    MainWindow *m_window;
    QVideoProbe *m_probe;
    QVideoFrame m_lastFrame;
    QString m_exifTool;
    QString m_folder;
    bool m_noteShown = false;
    bool m_running = false;
};

} // namespace vx

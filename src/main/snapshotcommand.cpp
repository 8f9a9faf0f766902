#include "snapshotcommand.h"

#include "export/formatters.h"
#include "export/snapshot.h"
#include "main/mainwindow.h"
#include "main/playbackcontroller.h"
#include "settings/settings.h"
#include "track/trackstore.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVideoProbe>

namespace vx {

SnapshotCommand::SnapshotCommand(MainWindow *window)
    : QObject(window)
    , m_window(window)
    , m_probe(new QVideoProbe(this))
{
    // Every frame the player decodes passes here; only the last is kept (a
    // reference, no copy). A new movie starts without a picture.
    m_probe->setSource(window->player());
    connect(m_probe, &QVideoProbe::videoFrameProbed, this, &SnapshotCommand::frameProbed);
    connect(window->player(), &QMediaPlayer::currentMediaChanged, this, [this] { m_lastFrame = QVideoFrame(); });
}

SnapshotCommand::~SnapshotCommand() = default;

void SnapshotCommand::frameProbed(const QVideoFrame &frame) { m_lastFrame = frame; }

QImage SnapshotCommand::currentPicture() const
{
    if (!m_lastFrame.isValid())
        return QImage();
    // image() maps and converts a copy of the frame; the kept frame stays
    // untouched for the player.
    return m_lastFrame.image();
}

QString SnapshotCommand::folder() const
{
    return m_folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) : m_folder;
}

void SnapshotCommand::warn(const QString &text)
{
    QMessageBox::warning(m_window, exportApplicationName(), text, QMessageBox::Ok);
}

QString SnapshotCommand::exportScreenshot()
{
    const TrackStore &t = track();
    PlaybackController *playback = m_window->playback();
    // One snapshot at a time: a second request while addexif runs is ignored.
    if (m_running || t.numBlocks <= 0 || t.Block < 0 || t.Block >= t.numBlocks || playback->storeBusy())
        return QString();
    const QImage picture = currentPicture();
    if (picture.isNull()) {
        warn(QStringLiteral("There is no picture of the movie to save yet. Play the movie and try again."));
        return QString();
    }
    const int type = settings().imageType;
    const QString word = snapshotFormatWord(type);
    const SnapshotPosition position = snapshotPosition(t, playback->currentMoment());
    const QString name = snapshotFileName(t.block[t.Block].movieFile.fileName(), position.lat.value_or(0.0),
                                          position.lon.value_or(0.0), position.positionMs, snapshotExtension(type));
    const QString dir = folder();
    const QString path = QDir(dir).filePath(name);

    // The desktop folder may not exist on a fresh account.
    QSaveFile file(path);
    QImageWriter writer(&file, snapshotExtension(type).toLatin1());
    if (!QDir().mkpath(dir) || !file.open(QIODevice::WriteOnly) || !writer.write(picture) || !file.commit()) {
        const QString reason = writer.error() != QImageWriter::UnknownError ? writer.errorString()
                                                                            : file.errorString();
        warn(snapshotWriteErrorText(word, path) + (reason.isEmpty() ? QString() : QStringLiteral("\n\n") + reason));
        return QString();
    }

    if (snapshotIsJpeg(type)) {
        const QString tool = m_exifTool.isEmpty() ? addexifPath() : m_exifTool;
        // Without the tool the JPEG simply has no EXIF position.
        if (QFile::exists(tool)) {
            m_running = true;
            const AddexifResult exif =
                runAddexif(m_window, addexifArguments(path, path, snapshotComment(), position), tool);
            m_running = false;
            if (!exif.ok)
                warn(QStringLiteral("The snapshot was saved, but its GPS position could not be written into it.")
                     + QStringLiteral("\n\n") + exif.errorText);
        }
    }
    if (!m_noteShown) {
        m_noteShown = true;
        QMessageBox::information(m_window, exportApplicationName(), snapshotNoteText(word), QMessageBox::Ok);
    }
    return path;
}

} // namespace vx

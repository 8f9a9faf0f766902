#include "exportfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace vx {

namespace {

constexpr int kWriteChunk = 1 << 20;

struct TypeRow {
    const char *word;
    const char *extension;
};
const TypeRow kTypes[] = {{"CSV", ".csv"}, {"GPX", ".gpx"}, {"KML", ".kml"}, {"TXT", ".text"}};

bool validType(int type) { return type >= 0 && type < static_cast<int>(sizeof kTypes / sizeof kTypes[0]); }

QString &lastDirectory()
{
    static QString dir;
    return dir;
}

} // namespace

QString exportFileErrorText(const QString &path)
{
    return QStringLiteral("File error. Could not write to: %1").arg(path);
}

ExportFile::ExportFile(const QString &path) : path(path) {}

ExportFile::~ExportFile()
{
    if (save)
        save->cancelWriting();  // QSaveFile drops its temporary file
}

bool ExportFile::open()
{
    failed = true;
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (info.exists() && info.isDir())
        return false;
    if (info.exists() && !info.isFile()) {
        // A device or pipe: there is nothing to replace; write straight in.
        direct = std::make_unique<QFile>(path);
        if (!direct->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
    } else {
        save = std::make_unique<QSaveFile>(path);
        if (!save->open(QIODevice::WriteOnly))
            return false;
    }
    failed = false;
    return true;
}

bool ExportFile::writePending()
{
    if (failed)
        return false;
    QIODevice *device = save ? static_cast<QIODevice *>(save.get()) : direct.get();
    if (!device)
        return failed = true, false;
    qint64 done = 0;
    while (done < pending.size()) {
        const qint64 n = device->write(pending.constData() + done, pending.size() - done);
        if (n <= 0) {
            failed = true;
            break;
        }
        done += n;
    }
    pending.clear();
    return !failed;
}

void ExportFile::writeIfLarge()
{
    if (pending.size() >= kWriteChunk)
        writePending();
}

ExportResult ExportFile::failure() const { return {false, exportFileErrorText(path)}; }

ExportResult ExportFile::finish()
{
    writePending();
    if (save) {
        if (failed) {
            save->cancelWriting();
            save->commit();  // removes the temporary file; the target stays as it was
        } else if (!save->commit()) {
            failed = true;
        }
        save.reset();
    } else if (direct) {
        if (!direct->flush() || direct->error() != QFileDevice::NoError)
            failed = true;
        direct->close();
        if (direct->error() != QFileDevice::NoError)
            failed = true;
        direct.reset();
    } else {
        failed = true;
    }
    if (failed)
        return failure();
    return {true, QString()};
}

QString exportTypeWord(int type) { return validType(type) ? QString::fromLatin1(kTypes[type].word) : QString(); }

QString exportTypeExtension(int type)
{
    return validType(type) ? QString::fromLatin1(kTypes[type].extension) : QString();
}

QString exportDialogTitle(int type) { return QStringLiteral("Export %1").arg(exportTypeWord(type)); }

QString exportDialogFilter(int type)
{
    return QStringLiteral("%1 Text Files (*%2)").arg(exportTypeWord(type), exportTypeExtension(type));
}

QString exportDefaultPath(int type, const QString &baseName)
{
    return QStringLiteral("%1/%2%3").arg(lastExportDirectory(), baseName, exportTypeExtension(type));
}

QString completeExportPath(const QString &chosen, int type)
{
    const QString ext = exportTypeExtension(type);
    if (chosen.contains(ext, Qt::CaseSensitive))
        return chosen;
    return chosen + ext;
}

QString lastExportDirectory()
{
    QString &dir = lastDirectory();
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return dir;
}

void rememberExportPath(const QString &chosenFile)
{
    if (!chosenFile.isEmpty())
        lastDirectory() = QFileInfo(chosenFile).absolutePath();
}

} // namespace vx

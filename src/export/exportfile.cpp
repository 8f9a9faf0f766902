#include "exportfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <ctime>
#include <pthread.h>

namespace vx {

namespace {

struct TypeRow {
    const char *word;
    const char *extension;
};
const TypeRow kTypes[] = {{"CSV", ".csv"}, {"GPX", ".gpx"}, {"KML", ".kml"}, {"TXT", ".text"}};

// While it lives, a write into a pipe whose reader has gone away fails with
// EPIPE instead of ending the program with SIGPIPE: the signal is blocked for
// this thread, and one it raised is taken back before it is unblocked.
class PipeSignalGuard {
public:
    PipeSignalGuard()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_previous);
    }
    ~PipeSignalGuard()
    {
        if (!m_wasPending) {
            const timespec now = {0, 0};
            while (sigtimedwait(&m_pipe, nullptr, &now) == SIGPIPE) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    PipeSignalGuard(const PipeSignalGuard &) = delete;
    PipeSignalGuard &operator=(const PipeSignalGuard &) = delete;

private:
    sigset_t m_pipe, m_previous;
    bool m_wasPending = false;
};

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

void TextBuffer::grow(size_t needed)
{
    // Half as much again, so that a buffer reused for one movie after
    // another settles at the largest.
    const size_t capacity = std::max(needed + needed / 2, size_t{64} << 10);
    std::unique_ptr<char[]> bigger(new char[capacity]);
    if (m_used > 0)
        std::memcpy(bigger.get(), m_data.get(), m_used);
    m_data = std::move(bigger);
    m_capacity = capacity;
}

void TextBuffer::append(const char *text, size_t n)
{
    char *at = room(n);
    std::memcpy(at, text, n);
    advance(at + n);
}

ExportFile::ExportFile(const QString &path, ExportProgress *progress) : m_path(path), m_progress(progress) {}

ExportFile::~ExportFile()
{
    if (m_save)
        m_save->cancelWriting();  // QSaveFile drops its temporary file
}

bool ExportFile::open()
{
    m_failed = true;
    if (m_path.isEmpty())
        return false;
    const QFileInfo info(m_path);
    if (info.exists() && info.isDir())
        return false;
    // Unbuffered: the text arrives in large pieces already.
    if (info.exists() && !info.isFile()) {
        // A device or pipe: there is nothing to replace; write straight in.
        m_direct = std::make_unique<QFile>(m_path);
        if (!m_direct->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
    } else {
        m_save = std::make_unique<QSaveFile>(m_path);
        if (!m_save->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
    }
    m_failed = false;
    return true;
}

void ExportFile::write(const char *text, size_t n)
{
    QIODevice *device = m_save ? static_cast<QIODevice *>(m_save.get()) : m_direct.get();
    if (!device)
        m_failed = true;
    std::unique_ptr<PipeSignalGuard> pipeGuard;
    if (m_direct)
        pipeGuard = std::make_unique<PipeSignalGuard>();
    size_t done = 0;
    while (!m_failed && done < n) {
        const qint64 w = device->write(text + done, static_cast<qint64>(n - done));
        if (w <= 0)
            m_failed = true;
        else
            done += static_cast<size_t>(w);
    }
}

bool ExportFile::step(int points)
{
    if (m_progress) {
        m_progress->pointsDone += points;
        if (m_progress->cancelRequested)
            return false;
    }
    return !m_failed;
}

ExportResult ExportFile::failure() const { return {false, exportFileErrorText(m_path)}; }

ExportResult ExportFile::cancel()
{
    if (m_save) {
        m_save->cancelWriting();
        m_save->commit();  // removes the temporary file; the target stays as it was
        m_save.reset();
    }
    m_direct.reset();
    ExportResult r;
    r.cancelled = true;
    return r;
}

ExportResult ExportFile::finish()
{
    if (m_progress && m_progress->cancelRequested && !m_failed)
        return cancel();
    if (m_save) {
        if (m_failed) {
            m_save->cancelWriting();
            m_save->commit();  // removes the temporary file; the target stays as it was
        } else if (!m_save->commit()) {
            m_failed = true;
        }
        m_save.reset();
    } else if (m_direct) {
        if (!m_direct->flush() || m_direct->error() != QFileDevice::NoError)
            m_failed = true;
        m_direct->close();
        if (m_direct->error() != QFileDevice::NoError)
            m_failed = true;
        m_direct.reset();
    } else {
        m_failed = true;
    }
    if (m_failed)
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

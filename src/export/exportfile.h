// Writing an export file safely, and the pure parts of the export file
// chooser (type table, default path, extension rule, last export directory).
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>

class QFile;
class QSaveFile;

namespace vx {

// Outcome of one export: the window shows errorText in a warning box titled
// with the application name when ok is false.
struct ExportResult {
    bool ok = false;
    QString errorText;
    bool cancelled = false;  // stopped on request; nothing to report
};

// Shared with the thread that waits for an export: points written so far,
// and the request to stop. A stopped export leaves nothing behind (an
// existing file of that name stays as it was) and reports cancelled.
struct ExportProgress {
    std::atomic<int64_t> pointsDone{0};
    std::atomic<bool> cancelRequested{false};
};

// "File error. Could not write to: <path>"
QString exportFileErrorText(const QString &path);

// Text being made, in one growing buffer: room(n) gives n writable bytes at
// the end, advance() takes the end of what was written into them.
class TextBuffer {
public:
    char *room(size_t n)
    {
        if (m_used + n > m_capacity)
            grow(m_used + n);
        return m_data.get() + m_used;
    }
    void advance(const char *end) { m_used = static_cast<size_t>(end - m_data.get()); }
    void append(const char *text, size_t n);
    void append(const QByteArray &text) { append(text.constData(), static_cast<size_t>(text.size())); }
    const char *data() const { return m_data.get(); }
    size_t size() const { return m_used; }
    void clear() { m_used = 0; }

private:
    void grow(size_t needed);

    std::unique_ptr<char[]> m_data;
    size_t m_capacity = 0;
    size_t m_used = 0;
};

// One export file being written. A regular file (new or existing) is written
// to a temporary file in its directory and renamed over the target only when
// every byte is written, so a failure never leaves a half-written file in
// place of an existing one. A target that exists and is not a regular file
// (a device such as /dev/null or /dev/full, a pipe) is written directly; a
// pipe whose reader goes away is a write failure, never the program's end.
// Every open, write, flush or commit failure is reported.
class ExportFile {
public:
    // `progress` (may be null) counts the points of step() and may stop the file.
    explicit ExportFile(const QString &path, ExportProgress *progress = nullptr);
    ~ExportFile();  // an unfinished file is discarded
    ExportFile(const ExportFile &) = delete;
    ExportFile &operator=(const ExportFile &) = delete;

    bool open();
    // Text goes straight to the file: pass it in large pieces.
    void write(const char *text, size_t n);
    void write(const QByteArray &text) { write(text.constData(), static_cast<size_t>(text.size())); }
    void write(const TextBuffer &text) { write(text.data(), text.size()); }
    // A write has failed: the rest of the text need not be made.
    bool failed() const { return m_failed; }
    // After a piece of work (one movie): counts its points; false when the
    // export should end here (a write failed or a stop was requested).
    bool step(int points);
    // Commits the file; ok false with the error text on any failure since
    // open(). When a stop was requested, cancel() instead.
    ExportResult finish();
    // Drops the file: an existing file of that name stays as it was.
    ExportResult cancel();
    ExportResult failure() const;

private:
    QString m_path;
    ExportProgress *m_progress;
    std::unique_ptr<QSaveFile> m_save;
    std::unique_ptr<QFile> m_direct;
    bool m_failed = false;
};

// The export type table: index, dialog word, extension.
enum ExportType { EXPORT_CSV = 0, EXPORT_GPX = 1, EXPORT_KML = 2, EXPORT_TXT = 3 };
QString exportTypeWord(int type);       // "CSV", "GPX", "KML", "TXT"; empty when unknown
QString exportTypeExtension(int type);  // ".csv", ".gpx", ".kml", ".text"

QString exportDialogTitle(int type);   // "Export CSV"
QString exportDialogFilter(int type);  // "CSV Text Files (*.csv)"
// "<last export directory>/<baseName><extension>"
QString exportDefaultPath(int type, const QString &baseName = QStringLiteral("export"));
// The chosen path with the type's extension appended unless the path already
// contains it anywhere (case-sensitive): "track" -> "track.csv",
// "a.csv.bak" stays.
QString completeExportPath(const QString &chosen, int type);

// The directory the chooser starts in: the user's desktop until a file is
// chosen, then the directory of the last chosen file (for the run only).
QString lastExportDirectory();
void rememberExportPath(const QString &chosenFile);

} // namespace vx

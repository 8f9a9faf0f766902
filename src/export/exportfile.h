// Writing an export file safely, and the pure parts of the export file
// chooser (type table, default path, extension rule, last export directory).
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QFile;
class QSaveFile;

namespace vx {

// Outcome of one export: the window shows errorText in a warning box titled
// with the application name when ok is false.
struct ExportResult {
    bool ok = false;
    QString errorText;
};

// "File error. Could not write to: <path>"
QString exportFileErrorText(const QString &path);

// One export file being written. A regular file (new or existing) is written
// to a temporary file in its directory and renamed over the target only when
// every byte is written, so a failure never leaves a half-written file in
// place of an existing one. A target that exists and is not a regular file
// (a device such as /dev/null or /dev/full, a pipe) is written directly.
// Every open, write, flush or commit failure is reported.
class ExportFile {
public:
    explicit ExportFile(const QString &path);
    ~ExportFile();  // an unfinished file is discarded
    ExportFile(const ExportFile &) = delete;
    ExportFile &operator=(const ExportFile &) = delete;

    bool open();
    // Text goes here; it is passed on in large pieces.
    QByteArray &text() { return pending; }
    void writeIfLarge();
    // Writes what is left and commits; ok false with the error text on any
    // failure since open().
    ExportResult finish();
    ExportResult failure() const;

private:
    bool writePending();

    QString path;
    std::unique_ptr<QSaveFile> save;
    std::unique_ptr<QFile> direct;
    QByteArray pending;
    bool failed = false;
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

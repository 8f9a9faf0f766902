// The headless batch converter:
//
//   volantix [--input=]PATH [[--input=]PATH ...] [--export-csv=FILE]
//            [--export-gpx=FILE] [--export-kml=FILE]
//
// With at least one --export- option the program loads the inputs through
// the core load (as a window load would, without the window steps), writes
// each requested file as the matching menu export does, and exits: 0 on
// success, 1 with a one-line reason on standard error when nothing could be
// loaded, the media tool is missing or a file could not be written. It
// creates no GUI object, so it runs without any display.
#include "batch.h"

#include "export/trackexport.h"
#include "settings/settings.h"
#include "track/coreload.h"
#include "track/geoid.h"
#include "track/mediatool.h"
#include "track/moviediscovery.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace vx {

namespace {

struct ExportRequest {
    const char *option;  // "--export-csv="
    ExportResult (*write)(const QString &path);
};

const ExportRequest kExports[] = {
    {"--export-csv=", &exportCsv},
    {"--export-gpx=", &exportGpx},
    {"--export-kml=", &exportKml},
};

void printError(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

class StderrObserver : public LoadObserver {
public:
    void loadProgress(int oneBasedIndex, int count) override { printError(processingText(oneBasedIndex, count)); }
    void warning(const QString &, const QString &text) override { printError(text); }
};

} // namespace

bool isBatchInvocation(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const ExportRequest &e : kExports) {
            if (std::strncmp(argv[i], e.option, std::strlen(e.option)) == 0)
                return true;
        }
    }
    return false;
}

int runBatch(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(keys::ORGANIZATION));
    QCoreApplication::setApplicationName(QString::fromLatin1(keys::APPLICATION));

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    QList<QPair<const ExportRequest *, QString>> requests;
    for (const QString &arg : arguments) {
        for (const ExportRequest &e : kExports) {
            const QString option = QString::fromLatin1(e.option);
            if (arg.startsWith(option))
                requests.append({&e, arg.mid(option.size())});
        }
    }
    for (const auto &request : requests) {
        if (request.second.isEmpty()) {
            printError(QStringLiteral("No file name given after %1").arg(QString::fromLatin1(request.first->option)));
            return 1;
        }
    }

    setDefaultSettings();
    loadSettings();
    setupGeoid();
    if (!mediaToolFound()) {
        printError(mediaToolMissingText());
        return 1;
    }

    const InputSelection input = parseInputArguments(arguments, settings().dateSort);
    printMessages(input.messages);
    if (!input.inputGiven) {
        printError(QStringLiteral("Nothing to convert: give at least one PATH or --input=PATH."));
        return 1;
    }
    if (input.movies.isEmpty()) {
        printError(QStringLiteral("Nothing to convert: no movie could be loaded."));
        return 1;
    }

    StderrObserver observer;
    const LoadStatus status = loadMovies(input.movies, input.loadFolder, &observer);
    if (status != LoadStatus::Loaded) {
        printError(QStringLiteral("Nothing to convert: no movie could be loaded."));
        return 1;
    }

    int exitStatus = 0;
    for (const auto &request : requests) {
        const ExportResult result = request.first->write(request.second);
        if (!result.ok) {
            printError(result.errorText.isEmpty()
                           ? QStringLiteral("File error. Could not write to: %1").arg(request.second)
                           : result.errorText);
            exitStatus = 1;
        }
    }
    return exitStatus;
}

} // namespace vx

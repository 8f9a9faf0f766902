// Fuzzes what the media tool writes while a movie job runs: its progress
// report (standard output, line by line) and the tail of its log shown when
// the job fails. The output time never goes negative, the bar's fraction
// stays within 0 .. 1, and the tail holds at most the lines asked for.
#include "export/movieargs.h"
#include "export/movieoutput.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    vx::ProgressReport report;
    for (const QByteArray &line : bytes.split('\n')) {
        report.feed(line);
        const double f = vx::progressFraction(report.outTimeUs(), 12.5);
        if (report.outTimeUs() < 0 || !(f >= 0.0 && f <= 1.0))
            std::abort();
    }

    static QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log.txt"));
    QFile f(log);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
    f.close();
    const QString tail = vx::logTail(log, 3);
    if (tail.count(QLatin1Char('\n')) > 2)
        std::abort();
    return 0;
}

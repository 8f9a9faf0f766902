#include "versionhistory.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace vx {

namespace {

// One `version` element's children, as found.
struct RawEntry {
    QString major, minor, subminor, url, text;
    bool hasMajor = false, hasMinor = false, hasSubminor = false, hasUrl = false, hasText = false;
};

// A decimal part: digits only (surrounding blanks allowed), 0..limit.
bool readPart(const QString &text, int limit, int *value)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 9)
        return false;
    for (const QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    *value = t.toInt();
    return *value <= limit;
}

bool completeRelease(const RawEntry &raw, Release *release)
{
    if (!(raw.hasMajor && raw.hasMinor && raw.hasSubminor && raw.hasUrl && raw.hasText))
        return false;
    VersionNumber v;
    if (!readPart(raw.major, MAX_VERSION_MAJOR, &v.major) || !readPart(raw.minor, MAX_VERSION_MINOR, &v.minor)
        || !readPart(raw.subminor, MAX_VERSION_MINOR, &v.subminor))
        return false;
    const QUrl url(raw.url.trimmed(), QUrl::StrictMode);
    if (!isSafeWebUrl(url))
        return false;
    release->version = v;
    release->downloadPage = url;
    release->notes = raw.text;
    return true;
}

// Reads one `version` element; the reader stands on its start and is left on its end.
RawEntry readVersionElement(QXmlStreamReader &xml)
{
    RawEntry raw;
    const struct {
        const char *name;
        QString *field;
        bool *seen;
    } children[] = {{"major", &raw.major, &raw.hasMajor},
                    {"minor", &raw.minor, &raw.hasMinor},
                    {"subminor", &raw.subminor, &raw.hasSubminor},
                    {"url", &raw.url, &raw.hasUrl},
                    {"text", &raw.text, &raw.hasText}};
    while (xml.readNextStartElement()) {
        const auto *child = std::find_if(std::begin(children), std::end(children),
                                         [&xml](const auto &c) { return xml.name() == QLatin1String(c.name); });
        if (child == std::end(children)) {
            xml.skipCurrentElement();
            continue;
        }
        // Notes may carry their HTML as elements: their text is taken whole.
        const QString value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        if (!*child->seen) {
            *child->field = value;
            *child->seen = true;
        }
    }
    return raw;
}

} // namespace

QString VersionNumber::text() const
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(subminor);
}

VersionNumber versionFromText(const QString &text)
{
    int parts[3] = {0, 0, 0};
    int index = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('.')) {
            index = std::min(index + 1, 2);
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            // A part never grows past what the number can hold.
            parts[index] = std::min(parts[index] * 10 + (c.unicode() - '0'), 99999);
        }
    }
    return VersionNumber{std::min(parts[0], MAX_VERSION_MAJOR), parts[1], parts[2]};
}

VersionNumber runningVersion() { return versionFromText(QStringLiteral(VX_VERSION)); }

VersionHistory parseVersionHistory(const QByteArray &xmlBytes, const VersionNumber &running)
{
    VersionHistory history;
    QVector<Release> all;
    QXmlStreamReader xml(xmlBytes);
    int changesDepth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("changes")) {
                ++changesDepth;
            } else if (changesDepth > 0 && xml.name() == QLatin1String("version")) {
                Release release;
                if (completeRelease(readVersionElement(xml), &release))
                    all.append(release);
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("changes")) {
            --changesDepth;
        }
    }
    if (xml.hasError()) {
        history.error = QStringLiteral("The version history is not valid XML: %1 (line %2).")
                            .arg(xml.errorString())
                            .arg(xml.lineNumber());
        return history;
    }
    if (all.isEmpty()) {
        history.error = QStringLiteral("The version history lists no complete release.");
        return history;
    }

    // Newest first, whatever the file's order; equal versions keep theirs.
    std::stable_sort(all.begin(), all.end(),
                     [](const Release &a, const Release &b) { return a.version.number() > b.version.number(); });
    const int runningNumber = running.number();
    qint64 notesBytes = 0;
    for (const Release &r : all) {
        if (history.counted == MAX_RELEASES)
            break;
        const qint64 size = r.notes.toUtf8().size() + 1;  // with its closing zero
        if (notesBytes + size >= NOTES_CAPACITY)
            break;
        notesBytes += size;
        history.releases.append(r);
        if (r.version.number() < runningNumber)
            break;  // the newest release older than this one is kept, not counted
        ++history.counted;
    }
    if (history.releases.isEmpty())
        history.error = QStringLiteral("The release notes of version %1 are too long.").arg(all.first().version.text());
    return history;
}

bool isSafeWebUrl(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

UpdateOutcome updateOutcome(const VersionHistory &history, const VersionNumber &running, bool silent)
{
    if (!history.ok())
        return silent ? UpdateOutcome::Quiet : UpdateOutcome::Failed;
    const int latest = history.releases.first().version.number();
    if (latest < running.number())
        return silent ? UpdateOutcome::Quiet : UpdateOutcome::NewerThanRelease;
    if (silent && latest == running.number())
        return UpdateOutcome::Quiet;
    return UpdateOutcome::History;
}

QString updateCheckTitle() { return QStringLiteral("Check for new Volantix Version"); }

QString newerThanReleaseText(const VersionNumber &running, const VersionNumber &latest)
{
    return QStringLiteral("This version (%1) is newer than the latest release version (%2).")
        .arg(running.text(), latest.text());
}

QString updateFailedText(const QString &reason)
{
    return QStringLiteral("Could not check for a new version of Volantix.\n\n") + reason;
}

QString noUpdateLocationText()
{
    return QStringLiteral("This build of Volantix has no update location configured: it is updated by the "
                          "package manager that installed it.");
}

HistoryView historyView(const VersionHistory &history, const VersionNumber &running)
{
    HistoryView view;
    if (history.releases.isEmpty())
        return view;
    const Release &newest = history.releases.first();
    const QString latest = newest.version.text();
    const QString current = running.text();
    const bool upToDate = latest == current;
    view.label = QStringLiteral("The latest version is %1. You are running version %2.").arg(latest, current);
    view.groupTitle = (upToDate ? QStringLiteral("Changes in version %1") : QStringLiteral("Changes since version %1"))
                          .arg(current);
    for (int i = 0; i < history.counted && i < history.releases.size(); ++i) {
        const Release &r = history.releases.at(i);
        const QString entry =
            QStringLiteral("<b>Version %1</b><p>\n").arg(r.version.text()) + r.notes + QStringLiteral("<p>\n");
        if (view.notesHtml.size() + entry.size() > MAX_HISTORY_TEXT)
            break;
        view.notesHtml += entry;
    }
    view.downloadPage = newest.downloadPage;
    view.buttonEnabled = !upToDate;
    view.buttonText = upToDate ? QStringLiteral("You are up to date!") : QStringLiteral("Download %1").arg(latest);
    return view;
}

QUrl updateFeedUrl(const QString &base)
{
    const QString b = base.trimmed();
    if (b.isEmpty())
        return QUrl();
    return QUrl(b + (b.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/"))
                 + QStringLiteral("volantix_version.xml"));
}

} // namespace vx

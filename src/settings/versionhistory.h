// The version history file published at the update location, and what the
// update check makes of it.
//
// The file is XML: any root element holding one or more `changes` elements;
// each `changes` element lists `version` elements, newest first. A `version`
// element counts only when it has all five children `major`, `minor`,
// `subminor` (decimal integers), `url` (the release's download page) and
// `text` (the release notes, HTML allowed):
//
//   <volantix><changes>
//     <version><major>1</major><minor>1</minor><subminor>4</subminor>
//       <url>https://example.org/download</url><text><![CDATA[<ul>...</ul>]]></text></version>
//   </changes></volantix>
//
// The history arrives from the network: the whole file is parsed in memory,
// entries with parts out of range (major 0..9999, minor and subminor 0..99),
// or with a download page that is not an http(s) address with a host, are
// skipped, and the entries are taken newest first whatever order the file
// lists them in.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVector>

namespace vx {

constexpr int MAX_RELEASES = 200;             // entries counted at most
constexpr int NOTES_CAPACITY = 1000000;       // bytes of notes kept, each with a closing zero
constexpr int MAX_HISTORY_TEXT = 999997;      // characters of the dialog's notes text
constexpr int MAX_VERSION_MAJOR = 9999;
constexpr int MAX_VERSION_MINOR = 99;         // also the subminor's limit

struct VersionNumber {
    int major = 0;
    int minor = 0;
    int subminor = 0;

    // major * 10000 + minor * 100 + subminor
    int number() const { return major * 10000 + minor * 100 + subminor; }
    // "%d.%d.%d"
    QString text() const;
};

// The running version from its text ("1.1.4"): digits are appended to the
// current part, a "." moves to the next part (the third and any later part
// all feed the subminor), other characters are ignored.
VersionNumber versionFromText(const QString &text);
// This program's version (VX_VERSION).
VersionNumber runningVersion();

struct Release {
    VersionNumber version;
    QUrl downloadPage;
    QString notes;
};

struct VersionHistory {
    QVector<Release> releases;  // newest first: the counted ones, then at most one older
    int counted = 0;            // releases at least as new as the running version
    QString error;              // empty when the file gave at least one release

    bool ok() const { return error.isEmpty(); }
};

// Parses the history file against the running version.
VersionHistory parseVersionHistory(const QByteArray &xml, const VersionNumber &running);

// An address the program opens in the browser or downloads from: http or
// https with a host, complete and valid.
bool isSafeWebUrl(const QUrl &url);

// What a finished check shows.
enum class UpdateOutcome {
    Quiet,             // nothing (silent checks that found nothing new, or failed)
    Failed,            // a manual check could not get a usable history: warning
    NewerThanRelease,  // a manual check runs a version newer than any release
    History,           // the version history dialog
};
UpdateOutcome updateOutcome(const VersionHistory &history, const VersionNumber &running, bool silent);

// The texts of the check.
QString updateCheckTitle();                              // "Check for new Volantix Version"
QString newerThanReleaseText(const VersionNumber &running, const VersionNumber &latest);
QString updateFailedText(const QString &reason);
QString noUpdateLocationText();

// What the version history dialog shows.
struct HistoryView {
    QString label;        // "The latest version is %1. You are running version %2."
    QString groupTitle;   // "Changes in version %1" / "Changes since version %1"
    QString notesHtml;
    QString buttonText;   // "Download %1" / "You are up to date!"
    bool buttonEnabled = false;
    QUrl downloadPage;    // the newest release's
};
HistoryView historyView(const VersionHistory &history, const VersionNumber &running);

// The update location: the base address this program was built with
// (VX_UPDATE_URL, empty in builds that the package manager updates).
QString configuredUpdateBase();
// base + "volantix_version.xml" (a "/" is put between them when the base
// lacks it); empty when the base is empty.
QUrl updateFeedUrl(const QString &base);

} // namespace vx

// Version history files for the update tests.
#pragma once

#include <QStringList>

namespace vxtest {

// One `version` element: "1.2.0" gives major, minor and subminor ("-" none of them); a null url or notes leaves that
// child out.
struct FeedEntry { QString version, url, notes; };

// "1.2.0" with a download page and notes named after the version.
inline FeedEntry release(const QString &v) {
    return {v, "https://example.org/download/" + v, "<p>notes of " + v + "</p>"};
}

inline QByteArray historyXml(const QList<FeedEntry> &entries) {
    QString xml = "<?xml version=\"1.0\"?>\n<volantix><changes>\n";
    for (const FeedEntry &e : entries) {
        const QStringList parts = e.version == "-" ? QStringList() : e.version.split('.');
        xml += "<version>";
        for (int i = 0; i < 3 && i < parts.size(); ++i)
            xml += QStringLiteral("<%1>%2</%1>").arg(QStringList{"major", "minor", "subminor"}.at(i), parts.at(i));
        xml += (e.url.isNull() ? QString() : "<url>" + e.url.toHtmlEscaped() + "</url>")
               + (e.notes.isNull() ? QString() : "<text>" + e.notes.toHtmlEscaped() + "</text>") + "</version>\n";
    }
    return (xml + "</changes></volantix>\n").toUtf8();
}

// Releases of the given versions, as release() makes them.
inline QByteArray historyOf(const QStringList &versions) {
    QList<FeedEntry> entries;
    for (const QString &v : versions)
        entries << release(v);
    return historyXml(entries);
}

} // namespace vxtest

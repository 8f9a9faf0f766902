// Version history files for the update tests.
#pragma once

#include <QList>
#include <QStringList>

namespace vxtest {

// One `version` element. A null part leaves that child out.
struct FeedEntry {
    QString version;  // "1.2.0": major, minor, subminor; "-" leaves all three out
    QString url;      // null: no <url>
    QString notes;    // null: no <text>
};

// "1.2.0" with a download page and notes named after the version.
inline FeedEntry release(const QString &v) {
    return {v, QStringLiteral("https://example.org/download/") + v, QStringLiteral("<p>notes of %1</p>").arg(v)};
}

inline QByteArray historyXml(const QList<FeedEntry> &entries) {
    QString xml = QStringLiteral("<?xml version=\"1.0\"?>\n<volantix><changes>\n");
    for (const FeedEntry &e : entries) {
        xml += QStringLiteral("<version>");
        const QStringList parts = e.version == QLatin1String("-") ? QStringList() : e.version.split('.');
        const char *names[] = {"major", "minor", "subminor"};
        for (int i = 0; i < 3 && i < parts.size(); ++i)
            xml += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(names[i]), parts.at(i));
        if (!e.url.isNull())
            xml += QStringLiteral("<url>%1</url>").arg(e.url.toHtmlEscaped());
        if (!e.notes.isNull())
            xml += QStringLiteral("<text>%1</text>").arg(e.notes.toHtmlEscaped());
        xml += QStringLiteral("</version>\n");
    }
    return (xml + QStringLiteral("</changes></volantix>\n")).toUtf8();
}

// Releases of the given versions, as release() makes them.
inline QByteArray historyOf(const QStringList &versions) {
    QList<FeedEntry> entries;
    for (const QString &v : versions)
        entries << release(v);
    return historyXml(entries);
}

} // namespace vxtest

// Version history files for the update tests.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vxtest {

// One `version` element. A part given as null leaves that child out.
struct FeedEntry {
    QString version;  // "1.2.0": major, minor, subminor; "-" leaves all three out
    QString url;      // null: no <url>
    QString notes;    // null: no <text>
};

// "1.2.0" with a download page and notes named after the version.
inline FeedEntry release(const QString &version)
{
    return {version, QStringLiteral("https://example.org/download/") + version,
            QStringLiteral("<p>notes of ") + version + QStringLiteral("</p>")};
}

inline QByteArray historyXml(const QList<FeedEntry> &entries)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\"?>\n<volantix><changes>\n");
    auto escaped = [](const QString &s) { return s.toHtmlEscaped(); };
    for (const FeedEntry &e : entries) {
        xml += QStringLiteral("<version>");
        const QStringList parts = e.version.split(QLatin1Char('.'));
        const char *names[] = {"major", "minor", "subminor"};
        for (int i = 0; i < 3 && i < parts.size() && e.version != QLatin1String("-"); ++i)
            xml += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(names[i]), parts.at(i));
        if (!e.url.isNull())
            xml += QStringLiteral("<url>%1</url>").arg(escaped(e.url));
        if (!e.notes.isNull())
            xml += QStringLiteral("<text>%1</text>").arg(escaped(e.notes));
        xml += QStringLiteral("</version>\n");
    }
    return (xml + QStringLiteral("</changes></volantix>\n")).toUtf8();
}

// Releases of the given versions, as release() makes them.
inline QByteArray historyOf(const QStringList &versions)
{
    QList<FeedEntry> entries;
    for (const QString &v : versions)
        entries << release(v);
    return historyXml(entries);
}

} // namespace vxtest

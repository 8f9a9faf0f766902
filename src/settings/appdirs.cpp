#include "appdirs.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace vx {

QString applicationDir() { return QCoreApplication::applicationDirPath(); }

QString resourceDirFor(const QString &applicationDirectory)
{
    QString parent = applicationDirectory;
    const int slash = parent.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0)
        parent.truncate(slash);
    const QString beside = parent + QStringLiteral("/Resources/");
    const QString installed = parent + QStringLiteral("/share/volantix/");
    if (!QFileInfo(beside).isDir() && QFileInfo(installed).isDir())
        return installed;
    return beside;
}

QString resourceDir() { return resourceDirFor(applicationDir()); }

QString resourcePath(const QString &fileName) { return resourceDir() + fileName; }

} // namespace vx

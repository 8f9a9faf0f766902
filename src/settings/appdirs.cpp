#include "appdirs.h"

#include <QCoreApplication>
#include <QDir>

namespace vx {

QString applicationDir() { return QCoreApplication::applicationDirPath(); }

QString resourceDir()
{
    QString dir = applicationDir();
    const int slash = dir.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0)
        dir.truncate(slash);
    return dir + QStringLiteral("/Resources/");
}

QString resourcePath(const QString &fileName) { return resourceDir() + fileName; }

} // namespace vx

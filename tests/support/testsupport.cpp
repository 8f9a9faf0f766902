#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vxtest {

QString dataPath(const QString &name) { return QStringLiteral(VX_TEST_DATA_DIR "/") + name; }

QString generatedPath(const QString &name) { return QStringLiteral(VX_GENERATED_DIR "/") + name; }

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace vxtest

#include "resourceicon.h"

#include <QApplication>
#include <QFile>

namespace vx {

QIcon resourceIcon(const QString &path, QStyle::StandardPixmap fallback)
{
    if (QFile::exists(path))
        return QIcon(path);
    return QApplication::style()->standardIcon(fallback);
}

} // namespace vx

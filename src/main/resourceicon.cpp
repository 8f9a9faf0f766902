#include "resourceicon.h"

#include <QApplication>
#include <QFile>
#include <QPainter>

namespace vx {

QIcon resourceIcon(const QString &path, QStyle::StandardPixmap fallback, const QColor &tint)
{
    if (!path.isEmpty() && QFile::exists(path))
        return QIcon(path);
    const QIcon standard = QApplication::style()->standardIcon(fallback);
    if (!tint.isValid())
        return standard;
    QIcon tinted;
    for (int side : {16, 24, 32, 48}) {
        QPixmap pm = standard.pixmap(side, side);
        if (pm.isNull())
            continue;
        QPainter p(&pm);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(pm.rect(), tint);
        p.end();
        tinted.addPixmap(pm);
    }
    return tinted.isNull() ? standard : tinted;
}

} // namespace vx

#include "platform.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace vx {

namespace {

void openContainingFolder(const QString &absolutePath)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(absolutePath).absolutePath()));
}

} // namespace

QString fileManagerName() { return QStringLiteral("file manager"); }

QString commandModifierName() { return QStringLiteral("Ctrl"); }

QString fullscreenNoticeText()
{
    return QStringLiteral("Use %1-F to toggle fullscreen mode.").arg(commandModifierName());
}

bool showInFileManager(const QString &path) { return showInFileManager(path, QDBusConnection::sessionBus()); }

bool showInFileManager(const QString &path, const QDBusConnection &bus)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    const QString absolutePath = info.absoluteFilePath();

    if (!bus.isConnected()) {
        openContainingFolder(absolutePath);
        return true;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(absolutePath).toString()} << QString();
    // Asynchronous: starting a file manager through bus activation can take
    // seconds, and the player must not freeze meanwhile.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [absolutePath](QDBusPendingCallWatcher *w) {
        if (w->isError())
            openContainingFolder(absolutePath);
        w->deleteLater();
    });
    return true;
}

} // namespace vx

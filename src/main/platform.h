// The platform layer: what differs between desktops. On Linux a file is
// revealed through the freedesktop file manager interface
// (org.freedesktop.FileManager1.ShowItems on the session bus), falling back
// to opening the containing folder; messages name the "file manager" and the
// "Ctrl" modifier where other desktops would say otherwise.
#pragma once

#include <QString>

class QDBusConnection;

namespace vx {

// The word for the program that shows files ("file manager"), used in
// messages such as "Reveal in %2?".
QString fileManagerName();
// The word for the command modifier key ("Ctrl"), used in notices such as
// "Use Ctrl-F to toggle fullscreen mode.".
QString commandModifierName();
// "Use Ctrl-F to toggle fullscreen mode."
QString fullscreenNoticeText();

// Reveals `path` in the file manager without waiting for it: asks the
// session bus's FileManager1 service to show the item and, when that call
// fails (no bus, no service, an error reply), opens the containing folder
// with the desktop's default handler. Returns false, doing nothing, when the
// path is empty or the file does not exist.
bool showInFileManager(const QString &path);
// The same over a given bus connection (a disconnected one goes straight to
// the folder).
bool showInFileManager(const QString &path, const QDBusConnection &bus);

} // namespace vx

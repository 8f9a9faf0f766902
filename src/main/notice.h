// The transient notice: a frameless, half-transparent message without
// buttons, centred at the bottom edge of a window's frame, that hides and
// deletes itself after a few seconds.
#pragma once

#include <QString>

class QMessageBox;
class QWidget;

namespace vx {

constexpr int NOTICE_DURATION_MS = 3000;

// Shows `text` over `window`; the returned box lives until it hides itself.
QMessageBox *showTransientNotice(QWidget *window, const QString &text,
                                 int durationMs = NOTICE_DURATION_MS);

} // namespace vx

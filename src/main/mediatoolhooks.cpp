#include "mediatoolhooks.h"

namespace vx {

void WindowMediaToolHooks::mediaToolStarted(QObject *parent)
{
    auto *widget = qobject_cast<QWidget *>(parent);
    if (!widget)
        return;
    Saved saved;
    saved.widget = widget;
    saved.hadCursor = widget->testAttribute(Qt::WA_SetCursor);
    saved.cursor = widget->cursor();
    m_saved.insert(parent, saved);
    widget->setCursor(Qt::WaitCursor);
    QWidget *top = widget->window();
    top->raise();
    top->activateWindow();
}

void WindowMediaToolHooks::mediaToolFinished(QObject *parent)
{
    const auto it = m_saved.find(parent);
    if (it == m_saved.end())
        return;
    const Saved saved = it.value();
    m_saved.erase(it);
    // The window may have been closed and deleted while the tool ran.
    if (!saved.widget)
        return;
    if (saved.hadCursor)
        saved.widget->setCursor(saved.cursor);
    else
        saved.widget->unsetCursor();
}

} // namespace vx

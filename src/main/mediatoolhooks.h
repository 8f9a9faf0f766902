// The windows' part of a media-tool run: while the tool works, the window
// that started it shows the wait cursor and is brought to the front.
#pragma once

#include "track/mediatool.h"

#include <QCursor>
#include <QHash>
#include <QPointer>
#include <QWidget>

namespace vx {

class WindowMediaToolHooks : public MediaToolHooks {
public:
    void mediaToolStarted(QObject *parent) override;
    void mediaToolFinished(QObject *parent) override;

private:
    struct Saved {
        QPointer<QWidget> widget;
        bool hadCursor = false;
        QCursor cursor;
    };
    // The cursor each window had before the run, to give it back after.
    QHash<QObject *, Saved> m_saved;
};

} // namespace vx

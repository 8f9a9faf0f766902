// The shortcuts box: every keyboard shortcut of the player and the menus,
// each key drawn as a key cap.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QStringList>
#include <QVector>

namespace vx {

struct ShortcutEntry {
    QString section;          // empty: same section as the row before
    QStringList alternatives; // key combinations in portable text ("Ctrl+Shift+O", "Space")
    QString action;
};

// The table shown by the box, in order.
QVector<ShortcutEntry> shortcutTable();

// One key cap, e.g. "Ctrl" or "Left" (drawn as an arrow).
QPixmap keyCapPixmap(const QString &keyName, qreal devicePixelRatio = 1.0);
// The caps of a row: each combination's keys joined by "+", alternatives
// separated by "or".
QPixmap keysPixmap(const QStringList &alternatives, qreal devicePixelRatio = 1.0);

class shortcutsDialog : public QDialog {
    Q_OBJECT

public:
    explicit shortcutsDialog(QWidget *parent = nullptr);
};

} // namespace vx

// The shared base of the secondary windows (dashboard, map, graph, control
// center). Each window remembers its geometry in the settings store under a
// group named by its window title: restored every time it is shown, saved
// every time it is hidden or closed. On the first run of the program a
// window with a row in the default window layout takes that place instead.
// Key presses that reach the window are taken and ignored (Escape does not
// close it; the application-wide keys are handled before they get here), and
// a move is reported to the window coordinator so that windows can move
// together.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QRect>

#include <memory>

class QSettings;

namespace vx {

// Which row of the default window layout a window takes, by object name:
// "dataDialogHoriz"/"dataDialogVert", "mapDialog", "graphDialog",
// "controlCenterDialog". The values double as the windows' sync indexes.
enum class LayoutRow { None = 0, Dashboard = 1, Map = 2, Graph = 3, ControlCenter = 4 };
LayoutRow layoutRowForObjectName(const QString &objectName);

// What the secondary windows need from the window management; installed
// once by the main window.
class DialogCoordinator {
public:
    virtual ~DialogCoordinator() = default;
    // On a first run, the default place of `row` (once per row and run):
    // true with `place` filled; false to restore the stored geometry.
    virtual bool firstRunPlace(LayoutRow row, QRect *place) = 0;
    // Set while windows are being moved together.
    virtual bool syncGuard() const = 0;
    virtual void setSyncGuard(bool on) = 0;
    // A window of `row` was moved by `delta` while the guard was clear.
    virtual void dialogMoved(LayoutRow row, const QPoint &delta) = 0;
};
void setDialogCoordinator(DialogCoordinator *coordinator);
DialogCoordinator *dialogCoordinator();

// The program's settings store (organization "Norvane", application "Volantix").
std::unique_ptr<QSettings> openSettingsStore();

// Gives a dialog window the flags of a tool window that stays on top when
// "windowsStayOnTop" is set; every dialog applies it when it is created.
void applyStayOnTopFlags(QWidget *window);

// A window that has just been shown is placed by the window system and by
// the restore; the moves of that moment are not the user's and do not move
// the other windows. Moves count once the window is placed and this many
// milliseconds have passed.
constexpr int SYNC_SETTLE_MS = 300;

// Stored places are checked against the screens there are now: a place on
// no screen at all (a monitor since removed, a damaged store) is not used,
// and a stored size never exceeds the whole desktop.
bool onAnyScreen(const QRect &frame);
QSize storedSizeWithinDesktop(QSize size);

// Size restored when the store holds none and no default place applies.
constexpr int DEFAULT_DIALOG_WIDTH = 624;
constexpr int DEFAULT_DIALOG_HEIGHT = 395;

class myDialog : public QDialog {
    Q_OBJECT

public:
    explicit myDialog(QWidget *parent = nullptr);

    // The settings group of this window: its title (the map overrides this
    // because its title changes with its width).
    virtual QString settingsGroup() const;
    // The size restored when the store holds none (and no first-run place
    // applies); bounded by the window's own limits.
    virtual QSize defaultSize() const { return QSize(DEFAULT_DIALOG_WIDTH, DEFAULT_DIALOG_HEIGHT); }
    LayoutRow layoutRow() const { return layoutRowForObjectName(objectName()); }

    // The restore and save rules, callable on their own (the dashboard
    // saves before it is rebuilt).
    void restoreGeometryFromStore();
    void saveGeometryToStore() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    // Placed by the restore after a show, and settled since (SYNC_SETTLE_MS).
    bool movedByUser() const;

    bool m_placed = false;
    QElapsedTimer m_placedAt;
};

} // namespace vx

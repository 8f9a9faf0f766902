// The "Movies" tab of the control center: one row per loaded movie with its
// check box, name, icons (top speed, repaired telemetry), top speed,
// length, size and date; the totals; switching movies off and on, Invert,
// Hide/Show, and the double click that plays a movie. The list reads the
// Track store and changes only its `active` flags; everything the player
// does about a change goes through MovieListHost.
#pragma once

#include <QWidget>

#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSoundEffect;

namespace vx {

// What the movie list needs from playback.
class MovieListHost {
public:
    virtual ~MovieListHost() = default;
    // A load or a media-tool run is under way: the list changes nothing.
    virtual bool storeBusy() const = 0;
    // The `active` flags changed: the play order and the playlist are
    // rebuilt and the post-change update runs (jump-to list, statistics,
    // master slider, counter, map routes, graphs). With followCurrent the
    // player stays on the current movie, or moves on when it was switched off.
    virtual void activeMoviesChanged(bool followCurrent) = 0;
    // Plays block `block` from `positionMs` (its play position becomes current).
    virtual void jumpToMovie(int block, qint64 positionMs) = 0;
};

// Row styles.
QString activeRowStyle(int block);  // even or odd
QString inactiveRowStyle();
QString currentRowStyle();
QString topSpeedIconStyle();
QString repairIconStyle();

class MovieList : public QWidget {
    Q_OBJECT

public:
    explicit MovieList(QWidget *parent = nullptr);

    void setHost(MovieListHost *host) { m_host = host; }

    // Builds the rows from the Track store; the current row is block 0.
    void fill();
    // The row of block b shows as playing.
    void markCurrent(int block);
    int currentBlock() const { return m_current; }

    QListWidget *list() const { return m_list; }
    QPushButton *invertButton() const { return m_invert; }
    QPushButton *hideShowButton() const { return m_hideShow; }
    QLabel *countLabel() const { return m_countLabel; }
    QLabel *lengthLabel() const { return m_lengthLabel; }
    // The row widgets of block b (null beyond the rows).
    QCheckBox *checkBox(int block) const;
    QFrame *rowFrame(int block) const;
    int rowCount() const { return static_cast<int>(m_rows.size()); }

public slots:
    void active_check_box_slot();
    void movie_item_double_clicked_slot(QListWidgetItem *item);
    void invert_clicked_slot();
    void hide_show_clicked_slot();

signals:
    // A double click on a switched-off row was refused ("boing.wav").
    void refused();

private:
    struct Row {
        QListWidgetItem *item = nullptr;
        QFrame *frame = nullptr;
        QCheckBox *check = nullptr;
        QFrame *repairIcon = nullptr;
        QFrame *topSpeedIcon = nullptr;
    };

    void setActive(int block, bool active);
    void updateTotals();
    void styleRow(int block);
    void setTopSpeedIcon(int block, bool on);
    void placeTopSpeedIcon();
    void applyHidden();
    void refuse();

    MovieListHost *m_host = nullptr;
    QListWidget *m_list;
    QPushButton *m_invert;
    QPushButton *m_hideShow;
    QLabel *m_countLabel;
    QLabel *m_lengthLabel;
    std::vector<Row> m_rows;
    int m_current = 0;
    int m_topSpeedRow = -1;
    QSoundEffect *m_boing = nullptr;
};

} // namespace vx

// The "Geotags" tab of the control center: one row per geotag (number,
// title, movie, position in the movie, speed, coordinates, date, and the
// line-of-sight and route distances from the playback position), the count,
// and the commands: rename, delete, jump (double click), Clear All, Export
// and Import. The list itself is the core's (export/geotags.h); every change
// is kept in the geotag store at once, and the map's pins follow.
#pragma once

#include "export/geotags.h"

#include <QWidget>

#include <optional>
#include <vector>

class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSoundEffect;

namespace vx {

// Row styles: even and odd rows of an available movie, and a tag whose movie
// is not loaded (or no longer exists).
QString geotagRowStyle(int index, bool movieAvailable);
// Row texts.
QString geotagTimeText(int64_t moviePointMs);              // "%02d:%02d"
QString geotagSpeedText(float speedKmh);                  // "%-3.0lf%s" in the user's unit
QString geotagLatLonText(const Geotag &tag, int datumFormat);  // "No position" without one
QString geotagLosText(std::optional<double> km);          // "LOS: %.3lf %s", "LOS: n/a"
QString geotagRouteText(std::optional<double> km);        // "Route: %.3lf %s", "Route: n/a"

class GeotagPanel : public QWidget {
    Q_OBJECT

public:
    explicit GeotagPanel(QWidget *parent = nullptr);

    // Start-up: the list of the last run from the geotag store, its movies
    // looked up among the loaded ones.
    void restore();
    // After a load (and when the store was emptied): each tag's movie is
    // looked up again by its path; rows and pins follow.
    void resolveMovies();
    // A new tag: refused with "boing.wav" and a warning at the limit;
    // otherwise its row and pin are added and "click.wav" sounds.
    bool addTag(const Geotag &tag);
    // Rows again from the list, numbered 1, 2, ...; the count label.
    void rebuild();
    // The playback's point: every row's distances.
    void updateDistances(const CurrentPosition &current);
    // Units (speeds, distances) and coordinate formats of the rows.
    void applySettings(unsigned changes);

    // The commands without their dialogs (the slots ask, then call these).
    void renameTag(int index, const QString &title);
    void deleteTag(int index);
    void clearAll();
    // Writes the list; a failure is shown. true when written.
    bool exportTo(const QString &path);
    // Reads a geotag file; the list is replaced only when it holds a tag.
    bool importFrom(const QString &path);
    // The double click: plays the tag's movie at the tag, or refuses.
    void jumpToTag(int index);

    QListWidget *list() const { return m_list; }
    QLabel *countLabel() const { return m_countLabel; }
    QPushButton *clearAllButton() const { return m_clearAll; }
    QPushButton *exportButton() const { return m_export; }
    QPushButton *importButton() const { return m_import; }
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    QFrame *rowFrame(int index) const;

public slots:
    void tag_settings_slot(int index);
    void delete_tag_slot(int index);
    void tag_item_double_clicked_slot(QListWidgetItem *item);
    void clear_all_slot();
    void export_slot();
    void import_slot();

signals:
    // A tag was added: the window shows this tab.
    void tagAdded(int index);
    // A request was refused ("boing.wav").
    void refused();

private:
    struct Row {
        QListWidgetItem *item = nullptr;
        QFrame *frame = nullptr;
        QLabel *eventName = nullptr, *speed = nullptr, *latLon = nullptr;
        QLabel *los = nullptr, *route = nullptr;
    };

    void appendRow(int index);
    void fillRowTexts(int index);
    void showDistances(int index);
    void changed();  // the store and the pins after a change of the list
    void play(QSoundEffect *&effect, const char *file);
    void refuse(const QString &text);

    QListWidget *m_list;
    QLabel *m_countLabel;
    QPushButton *m_clearAll;
    QPushButton *m_export;
    QPushButton *m_import;
    std::vector<Row> m_rows;
    std::optional<CurrentPosition> m_current;
    QSoundEffect *m_click = nullptr;
    QSoundEffect *m_boing = nullptr;
    bool m_storeWarned = false;
};

} // namespace vx

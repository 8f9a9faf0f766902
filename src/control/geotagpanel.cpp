#include "geotagpanel.h"

#include "export/exportfile.h"
#include "export/formatters.h"
#include "export/geotagfile.h"
#include "main/platform.h"
#include "settings/appdirs.h"
#include "settings/settings.h"
#include "views/mapdialog.h"
#include "views/viewhost.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSoundEffect>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace vx {

namespace {

constexpr int kRowHeight = 72;

QString boxTitle() { return exportApplicationName(); }

QLabel *rowLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QToolButton *rowButton(QWidget *parent, const char *name, const char *image, const QString &tip)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(QIcon(QString::fromLatin1(image)));
    b->setIconSize(QSize(18, 18));
    b->setAutoRaise(true);
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// One coordinate as the rows show it: unsigned, followed by its hemisphere.
QString coordinateText(const QByteArray &deg, const QByteArray &min, const QByteArray &sec, int format, QChar hemi)
{
    QString text = QString::fromLatin1(deg.trimmed()) + QChar(0x00B0);
    if (format == 1)
        text += QLatin1Char(' ') + QString::fromLatin1(min) + QLatin1Char('\'');
    else if (format != 0)
        text += QLatin1Char(' ') + QString::fromLatin1(min) + QStringLiteral("' ") + QString::fromLatin1(sec)
              + QLatin1Char('"');
    return text + QLatin1Char(' ') + hemi;
}

QString distanceText(const char *label, double km)
{
    const SettingsRecord &s = settings();
    return QString::fromLatin1(label) + QString::fromLatin1(cFormat("%.3lf ", km * s.distFactor))
         + distanceUnitName(s.distUnitIndex);
}

// A title is one line of text: tabs and line ends would break the row and
// the geotag file.
QString oneLineTitle(const QString &text)
{
    QString t = text;
    for (QChar &c : t) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return t.trimmed();
}

} // namespace

QString geotagRowStyle(int index, bool movieAvailable)
{
    if (!movieAvailable)
        return QStringLiteral("background-color: rgb(200, 200, 200);");
    return index % 2 == 0 ? QStringLiteral("background-color: rgb(223, 247, 255);")
                          : QStringLiteral("background-color: rgb(213, 237, 255);");
}

QString geotagTimeText(int64_t moviePointMs)
{
    const long long s = std::max<long long>(moviePointMs / 1000, 0);
    return QString::fromLatin1(cFormat("%02lld:%02lld", s / 60, s % 60));
}

QString geotagSpeedText(float speedKmh)
{
    const SettingsRecord &s = settings();
    return QString::fromLatin1(cFormat("%-3.0lf", static_cast<double>(speedKmh) * s.speedFactor))
         + speedUnitName(s.speedUnitIndex);
}

QString geotagLatLonText(const Geotag &tag, int datumFormat)
{
    if (!geotagHasPosition(tag))
        return QStringLiteral("No position");
    const double lat = tag.lat, lon = tag.lon;
    const int format = datumFormat == 0 || datumFormat == 1 ? datumFormat : 2;
    const CoordinateText c = formatCoordinates(format, false, lat, lon);
    return coordinateText(c.latDeg, c.latMin, c.latSec, format, lat < 0 ? QLatin1Char('S') : QLatin1Char('N'))
         + QStringLiteral(", ")
         + coordinateText(c.lonDeg, c.lonMin, c.lonSec, format, lon < 0 ? QLatin1Char('W') : QLatin1Char('E'));
}

QString geotagLosText(std::optional<double> km)
{
    return km ? distanceText("LOS: ", *km) : QStringLiteral("LOS: n/a");
}

QString geotagRouteText(std::optional<double> km)
{
    return km ? distanceText("Route: ", *km) : QStringLiteral("Route: n/a");
}

GeotagPanel::GeotagPanel(QWidget *parent)
    : QWidget(parent)
    , m_list(new QListWidget(this))
    , m_countLabel(new QLabel(geotagCountText(0), this))
    , m_clearAll(new QPushButton(QStringLiteral("Clear All"), this))
    , m_export(new QPushButton(QStringLiteral("Export"), this))
    , m_import(new QPushButton(QStringLiteral("Import"), this))
{
    setObjectName(QStringLiteral("geotagPanel"));
    m_list->setObjectName(QStringLiteral("geotagListWidget"));
    m_countLabel->setObjectName(QStringLiteral("geotagCountLabel"));
    m_clearAll->setObjectName(QStringLiteral("clearAllButton"));
    m_export->setObjectName(QStringLiteral("exportButton"));
    m_import->setObjectName(QStringLiteral("importButton"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_clearAll, m_export, m_import}) {
        b->setFocusPolicy(Qt::NoFocus);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    buttons->addWidget(m_countLabel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_list, &QListWidget::itemDoubleClicked, this, &GeotagPanel::tag_item_double_clicked_slot);
    connect(m_clearAll, &QPushButton::clicked, this, &GeotagPanel::clear_all_slot);
    connect(m_export, &QPushButton::clicked, this, &GeotagPanel::export_slot);
    connect(m_import, &QPushButton::clicked, this, &GeotagPanel::import_slot);
}

QFrame *GeotagPanel::rowFrame(int index) const
{
    return index >= 0 && index < rowCount() ? m_rows[static_cast<size_t>(index)].frame : nullptr;
}

// ---- the rows -------------------------------------------------------------------------

void GeotagPanel::rebuild()
{
    m_list->clear();
    m_rows.clear();
    const vx::GeotagList &l = geotags();
    for (int i = 0; i < l.count; ++i) {
        geotags().tag[i].id = i + 1;
        appendRow(i);
    }
    m_countLabel->setText(geotagCountText(l.count));
}

void GeotagPanel::appendRow(int index)
{
    const Geotag &g = geotags().tag[index];
    Row row;
    row.frame = new QFrame;
    row.frame->setObjectName(QStringLiteral("geotagRow%1").arg(index, 3, 10, QLatin1Char('0')));
    QLabel *num = rowLabel(row.frame, "num", QStringLiteral("%1.").arg(index + 1));
    row.eventName = rowLabel(row.frame, "eventName", QString());
    QFont bold = row.eventName->font();
    bold.setBold(true);
    num->setFont(bold);
    row.eventName->setFont(bold);
    QLabel *movie = rowLabel(row.frame, "movieName", g.movieFile.fileName());
    movie->setToolTip(g.movieFile.absoluteFilePath());
    QLabel *time = rowLabel(row.frame, "time", geotagTimeText(g.moviePoint));
    row.speed = rowLabel(row.frame, "speed", QString());
    row.latLon = rowLabel(row.frame, "latLon", QString());
    QLabel *date = rowLabel(row.frame, "date", g.dateTime.toLocalTime().toString(Qt::TextDate));
    row.los = rowLabel(row.frame, "losDistance", QString());
    row.route = rowLabel(row.frame, "routeDistance", QString());
    QToolButton *rename = rowButton(row.frame, "settingsButton", ":/images/settings24.png",
                                    QStringLiteral("Rename this geotag"));
    QToolButton *trash = rowButton(row.frame, "trashButton", ":/images/trash.png",
                                   QStringLiteral("Delete this geotag"));
    // The buttons carry their row's position.
    rename->setProperty("geotagIndex", index);
    trash->setProperty("geotagIndex", index);
    connect(rename, &QToolButton::clicked, this, [this, index] { tag_settings_slot(index); });
    connect(trash, &QToolButton::clicked, this, [this, index] { delete_tag_slot(index); });

    // Three lines fit the row's height: the title with the commands, the
    // movie and the moment, the place and the distances. Long texts give way
    // in a narrow window; the distances stay whole.
    for (QLabel *shrinks : {row.eventName, movie, date, row.latLon})
        shrinks->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *top = new QHBoxLayout;
    top->setSpacing(6);
    top->addWidget(num);
    top->addWidget(row.eventName, 1);
    top->addWidget(rename);
    top->addWidget(trash);
    auto *facts = new QHBoxLayout;
    facts->setSpacing(12);
    facts->addWidget(movie, 2);
    facts->addWidget(time);
    facts->addWidget(row.speed);
    facts->addWidget(date, 3);
    auto *where = new QHBoxLayout;
    where->setSpacing(12);
    where->addWidget(row.latLon, 1);
    where->addWidget(row.los);
    where->addWidget(row.route);
    auto *lines = new QVBoxLayout(row.frame);
    lines->setSpacing(0);
    lines->setContentsMargins(4, 0, 4, 2);
    lines->addLayout(top);
    lines->addLayout(facts);
    lines->addLayout(where);
    row.frame->setStyleSheet(geotagRowStyle(index, g.movieAvailable));

    row.item = new QListWidgetItem(m_list);
    row.item->setSizeHint(QSize(0, kRowHeight));
    row.item->setData(Qt::UserRole, QStringLiteral("%1").arg(index, 3, 10, QLatin1Char('0')));
    m_list->setItemWidget(row.item, row.frame);
    m_rows.push_back(row);
    fillRowTexts(index);
}

void GeotagPanel::fillRowTexts(int index)
{
    if (index < 0 || index >= rowCount())
        return;
    const Geotag &g = geotags().tag[index];
    Row &row = m_rows[static_cast<size_t>(index)];
    row.eventName->setText(g.title);
    row.eventName->setToolTip(g.title);
    row.speed->setText(geotagSpeedText(g.speed));
    row.latLon->setText(geotagLatLonText(g, settings().datumFormat));
    showDistances(index);
}

void GeotagPanel::showDistances(int index)
{
    Row &row = m_rows[static_cast<size_t>(index)];
    if (!m_current) {
        const bool placed = geotagHasPosition(geotags().tag[index]);
        row.los->setText(geotagLosText(placed ? std::optional<double>(0.0) : std::nullopt));
        row.route->setText(geotagRouteText(placed ? std::optional<double>(0.0) : std::nullopt));
        return;
    }
    const GeotagDistances d = geotagDistances(geotags().tag[index], track(), *m_current);
    row.los->setText(geotagLosText(d.losKm));
    row.route->setText(geotagRouteText(d.routeKm));
}

void GeotagPanel::updateDistances(const CurrentPosition &current)
{
    m_current = current;
    for (int i = 0; i < rowCount(); ++i)
        showDistances(i);
}

void GeotagPanel::applySettings(unsigned changes)
{
    if (!(changes & (UnitsChanged | CoordinatesChanged)))
        return;
    for (int i = 0; i < rowCount(); ++i)
        fillRowTexts(i);
}

// ---- the list's life ------------------------------------------------------------------------

void GeotagPanel::changed()
{
    const ExportResult saved = saveGeotagStore(geotagStorePath());
    if (saved.ok || m_storeWarned)
        return;
    // Said once per run: the list itself is still here until the program ends.
    m_storeWarned = true;
    QMessageBox::warning(this, boxTitle(),
                         QStringLiteral("Your geotags could not be kept for the next start.\n\n") + saved.errorText,
                         QMessageBox::Ok);
}

void GeotagPanel::restore()
{
    if (!restoreGeotagStore(geotagStorePath()))
        qWarning().noquote() << QStringLiteral("The geotag store was damaged; it was kept as %1.damaged")
                                    .arg(geotagStorePath());
    resolveMovies();
}

void GeotagPanel::resolveMovies()
{
    resolveGeotags(track(), settings().timeBias);
    m_current.reset();
    rebuild();
    if (g_mapDialog)
        g_mapDialog->refreshGeotagPins();
}

bool GeotagPanel::addTag(const Geotag &tag)
{
    vx::GeotagList &l = geotags();
    if (l.count >= MAX_GEOTAGS) {
        refuse(geotagLimitText());
        return false;
    }
    if (l.count == 0) {
        m_list->clear();
        m_rows.clear();
    }
    Geotag g = tag;
    g.movieAvailable = g.movieBlock >= 0 && g.movieFile.exists();
    addGeotag(g);
    const int index = l.count - 1;
    emit tagAdded(index);
    appendRow(index);
    m_countLabel->setText(geotagCountText(l.count));
    m_list->scrollToBottom();
    if (g_mapDialog)
        g_mapDialog->addGeotagPin(index);
    play(m_click, "click.wav");
    changed();
    return true;
}

void GeotagPanel::renameTag(int index, const QString &title)
{
    const QString t = oneLineTitle(title);
    if (index < 0 || index >= geotags().count || t.isEmpty())
        return;
    geotags().tag[index].title = t;
    fillRowTexts(index);
    if (g_mapDialog)
        g_mapDialog->refreshGeotagPins();
    changed();
}

void GeotagPanel::deleteTag(int index)
{
    if (!removeGeotag(index))
        return;
    rebuild();
    if (g_mapDialog)
        g_mapDialog->refreshGeotagPins();
    changed();
}

void GeotagPanel::clearAll()
{
    clearGeotags();
    rebuild();
    if (g_mapDialog)
        g_mapDialog->refreshGeotagPins();
    changed();
}

bool GeotagPanel::exportTo(const QString &path)
{
    const ExportResult result = exportGeotags(path);
    if (!result.ok)
        QMessageBox::warning(this, boxTitle(), result.errorText, QMessageBox::Ok);
    return result.ok;
}

bool GeotagPanel::importFrom(const QString &path)
{
    const TrackStore &t = track();
    // The movies are looked for beside the first loaded movie, or beside
    // the geotag file when none is loaded.
    const QString movieDir = t.numBlocks > 0 && !t.block[0].movieFile.filePath().isEmpty()
                                 ? t.block[0].movieFile.absolutePath()
                                 : QFileInfo(path).absolutePath();
    const GeotagFileRead read = readGeotagFile(path, movieDir);
    if (!read.ok) {
        QMessageBox::warning(this, boxTitle(), read.errorText, QMessageBox::Ok);
        return false;
    }
    replaceGeotags(read.import.tags);
    resolveMovies();
    changed();
    if (!read.missingMovie.isEmpty())
        QMessageBox::warning(this, boxTitle(), geotagMissingMovieText(read.missingMovie), QMessageBox::Ok);
    return true;
}

void GeotagPanel::jumpToTag(int index)
{
    ViewHost *host = viewHost();
    if (index < 0 || index >= geotags().count || (host && host->storeBusy()))
        return;
    const Geotag &g = geotags().tag[index];
    const TrackStore &t = track();
    if (g.movieBlock < 0 || g.movieBlock >= t.numBlocks || playPositionOf(g.movieBlock) < 0) {
        refuse(geotagDisabledMovieText(g));
        return;
    }
    if (host)
        host->jumpToMovie(g.movieBlock, g.moviePoint / std::max(t.block[g.movieBlock].timeFactor, 1));
}

void GeotagPanel::play(QSoundEffect *&effect, const char *file)
{
    if (!effect) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(resourcePath(QString::fromLatin1(file))));
    }
    effect->play();
}

void GeotagPanel::refuse(const QString &text)
{
    play(m_boing, "boing.wav");
    emit refused();
    QMessageBox::warning(this, boxTitle(), text, QMessageBox::Ok);
}

// ---- slots ------------------------------------------------------------------------------

void GeotagPanel::tag_settings_slot(int index)
{
    if (index < 0 || index >= geotags().count)
        return;
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("Enter Tag Title"), QStringLiteral("Title:"),
                                               QLineEdit::Normal, geotags().tag[index].title, &ok);
    if (ok)
        renameTag(index, text);
}

void GeotagPanel::delete_tag_slot(int index) { deleteTag(index); }

void GeotagPanel::tag_item_double_clicked_slot(QListWidgetItem *item)
{
    if (item)
        jumpToTag(item->data(Qt::UserRole).toString().toInt());
}

void GeotagPanel::clear_all_slot()
{
    if (geotags().count <= 0)
        return;
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, boxTitle(),
        QStringLiteral("Delete all %1? This cannot be undone.").arg(geotagCountText(geotags().count)),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes)
        clearAll();
}

void GeotagPanel::export_slot()
{
    if (geotags().count <= 0)
        return;
    const QString chosen = QFileDialog::getSaveFileName(this, exportDialogTitle(EXPORT_TXT),
                                                        exportDefaultPath(EXPORT_TXT, QStringLiteral("geotags")),
                                                        exportDialogFilter(EXPORT_TXT));
    if (chosen.isEmpty())
        return;
    const QString path = completeExportPath(chosen, EXPORT_TXT);
    rememberExportPath(path);
    if (!exportTo(path))
        return;
    const QMessageBox::StandardButton answer = QMessageBox::information(
        this, boxTitle(), QStringLiteral("Export Complete! Reveal in %1?").arg(fileManagerName()),
        QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        showInFileManager(path);
}

void GeotagPanel::import_slot()
{
    const QSettings store(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
    const QString start = store.value(QString::fromLatin1(keys::MOVIE_DIRECTORY), QDir::currentPath()).toString();
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Select GeoTag File to Open"), start,
                                                      QStringLiteral("GeoTags (*%1)").arg(exportTypeExtension(EXPORT_TXT)));
    if (!path.isEmpty())
        importFrom(path);
}

} // namespace vx

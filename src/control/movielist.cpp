#include "movielist.h"

#include "main/elidedlabel.h"

#include "settings/appdirs.h"
#include "settings/settings.h"
#include "track/playbackmath.h"
#include "track/trackstore.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSoundEffect>
#include <QUrl>
#include <QVBoxLayout>

namespace vx {

namespace {

constexpr int kRowHeight = 50;
constexpr int kIconWidth = 17;
constexpr int kRowFontPoints = 11;

QLabel *rowLabel(QWidget *parent, const char *name, const QString &text,
                 Qt::TextElideMode elide = Qt::ElideNone)
{
    // A label that may be squeezed shortens its text with "…" instead of
    // being cut off.
    QLabel *label = elide == Qt::ElideNone ? new QLabel(text, parent) : new ElidedLabel(parent, elide);
    label->setText(text);
    label->setObjectName(QString::fromLatin1(name));
    QFont f = label->font();
    f.setPointSize(kRowFontPoints);
    label->setFont(f);
    return label;
}

QFrame *iconArea(QWidget *parent, const char *name)
{
    auto *icon = new QFrame(parent);
    icon->setObjectName(QString::fromLatin1(name));
    icon->setMinimumWidth(kIconWidth);
    return icon;
}

// The number at the end of a check box's object name ("activeCheckBox007"),
// or -1.
int blockFromObjectName(const QString &name)
{
    if (name.size() < 3)
        return -1;
    bool ok = false;
    const int b = name.right(3).toInt(&ok);
    return ok ? b : -1;
}

} // namespace

QString activeRowStyle(int block)
{
    return block % 2 == 0 ? QStringLiteral("background-color: rgb(230, 236, 255);")
                          : QStringLiteral("background-color: rgb(203, 220, 255);");
}
QString inactiveRowStyle() { return QStringLiteral("background-color: rgb(200, 200, 200);"); }
QString currentRowStyle() { return QStringLiteral("background-color: rgb(140, 235, 140);"); }
QString topSpeedIconStyle()
{
    return QStringLiteral(
        "QWidget {image: url(:/images/checkered_flag.png);} QToolTip {background-color: rgb(251, 255, 193);}");
}
QString repairIconStyle()
{
    return QStringLiteral(
        "QWidget {image: url(:/images/wrench14.png);} QToolTip {background-color: rgb(251, 255, 193);}");
}

MovieList::MovieList(QWidget *parent)
    : QWidget(parent)
    , m_list(new QListWidget(this))
    , m_invert(new QPushButton(QStringLiteral("Invert"), this))
    , m_hideShow(new QPushButton(QStringLiteral("Hide"), this))
    , m_countLabel(new QLabel(QStringLiteral("0 Movies"), this))
    , m_lengthLabel(new QLabel(QStringLiteral("00:00:00"), this))
{
    setObjectName(QStringLiteral("movieList"));
    m_list->setObjectName(QStringLiteral("movieListWidget"));
    m_invert->setObjectName(QStringLiteral("invertButton"));
    m_hideShow->setObjectName(QStringLiteral("hideShowButton"));
    m_countLabel->setObjectName(QStringLiteral("movieCountLabel"));
    m_lengthLabel->setObjectName(QStringLiteral("movieLengthLabel"));
    for (QPushButton *b : {m_invert, m_hideShow})
        b->setFocusPolicy(Qt::NoFocus);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_invert);
    buttons->addWidget(m_hideShow);
    buttons->addStretch(1);
    buttons->addWidget(m_countLabel);
    buttons->addSpacing(12);
    buttons->addWidget(m_lengthLabel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_list, &QListWidget::itemDoubleClicked, this, &MovieList::movie_item_double_clicked_slot);
    connect(m_invert, &QPushButton::clicked, this, &MovieList::invert_clicked_slot);
    connect(m_hideShow, &QPushButton::clicked, this, &MovieList::hide_show_clicked_slot);
}

QCheckBox *MovieList::checkBox(int block) const
{
    return block >= 0 && block < rowCount() ? m_rows[static_cast<size_t>(block)].check : nullptr;
}

QFrame *MovieList::rowFrame(int block) const
{
    return block >= 0 && block < rowCount() ? m_rows[static_cast<size_t>(block)].frame : nullptr;
}

void MovieList::fill()
{
    m_list->clear();
    m_rows.clear();
    m_topSpeedRow = -1;
    const TrackStore &t = track();
    const SettingsRecord &s = settings();
    const int n = qBound(0, t.numBlocks, MAX_BLOCKS);
    m_rows.reserve(static_cast<size_t>(n));
    for (int b = 0; b < n; ++b) {
        const MovieBlock &m = t.block[b];
        Row row;
        row.frame = new QFrame;
        row.frame->setObjectName(QStringLiteral("movieRow%1").arg(b, 3, 10, QLatin1Char('0')));
        auto *layout = new QHBoxLayout(row.frame);
        layout->setSpacing(1);
        layout->setContentsMargins(1, 1, 1, 1);
        row.check = new QCheckBox(row.frame);
        row.check->setObjectName(QStringLiteral("activeCheckBox%1").arg(b, 3, 10, QLatin1Char('0')));
        row.check->setChecked(m.active);
        row.check->setFocusPolicy(Qt::NoFocus);
        QLabel *name = rowLabel(row.frame, "movieName", QStringLiteral("%1. %2").arg(b + 1).arg(m.movieFile.fileName()),
                                Qt::ElideMiddle);
        QFont bold = name->font();
        bold.setBold(true);
        name->setFont(bold);
        row.repairIcon = iconArea(row.frame, "postProcessIconWidget");
        row.topSpeedIcon = iconArea(row.frame, "highSpeedIconWidget");
        if (m.repairCode != 0) {
            row.repairIcon->setStyleSheet(repairIconStyle());
            row.repairIcon->setToolTip(repairMessage(m.repairCode));
        }
        // Two lines fit the row's height and a narrow window: the name and
        // its icons on top, the movie's facts below it.
        QLabel *size = rowLabel(row.frame, "size", rowSizeText(m.movieFile.size()));
        size->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *top = new QHBoxLayout;
        top->setSpacing(1);
        top->addWidget(name, 1);
        top->addWidget(row.repairIcon);
        top->addWidget(row.topSpeedIcon);
        auto *facts = new QHBoxLayout;
        facts->setSpacing(8);
        facts->addWidget(rowLabel(row.frame, "vmax", rowVmaxText(m.vmax, s)));
        facts->addWidget(rowLabel(row.frame, "duration", rowDurationText(m.duration)));
        facts->addWidget(size);
        // The date gives way first when the window is narrow.
        facts->addWidget(rowLabel(row.frame, "date", m.movieFile.lastModified().toString(Qt::TextDate),
                                  Qt::ElideRight),
                         1);
        auto *lines = new QVBoxLayout;
        lines->setSpacing(0);
        lines->addLayout(top);
        lines->addLayout(facts);
        layout->addWidget(row.check);
        layout->addLayout(lines, 1);
        connect(row.check, &QCheckBox::clicked, this, &MovieList::active_check_box_slot);

        row.item = new QListWidgetItem(m_list);
        row.item->setSizeHint(QSize(0, kRowHeight));
        row.item->setData(Qt::UserRole, QStringLiteral("%1").arg(b, 3, 10, QLatin1Char('0')));
        m_list->setItemWidget(row.item, row.frame);
        m_rows.push_back(row);
        styleRow(b);
    }
    placeTopSpeedIcon();
    updateTotals();
    m_current = 0;
    if (!m_rows.empty()) {
        m_list->setCurrentRow(0);
        markCurrent(0);
    }
    applyHidden();
}

void MovieList::styleRow(int block)
{
    QFrame *frame = rowFrame(block);
    if (!frame)
        return;
    frame->setStyleSheet(track().block[block].active ? activeRowStyle(block) : inactiveRowStyle());
}

void MovieList::markCurrent(int block)
{
    if (!rowFrame(block))
        return;
    if (m_current != block)
        styleRow(m_current);
    rowFrame(block)->setStyleSheet(currentRowStyle());
    m_list->setCurrentRow(block);
    m_current = block;
}

void MovieList::updateTotals()
{
    m_countLabel->setText(movieCountText(track().playCount));
    m_lengthLabel->setText(totalLengthText(track()));
}

void MovieList::setTopSpeedIcon(int block, bool on)
{
    if (block < 0 || block >= rowCount())
        return;
    QFrame *icon = m_rows[static_cast<size_t>(block)].topSpeedIcon;
    icon->setStyleSheet(on ? topSpeedIconStyle() : QString());
    icon->setToolTip(on ? QStringLiteral("Top speed is in this movie.") : QString());
}

void MovieList::placeTopSpeedIcon()
{
    setTopSpeedIcon(m_topSpeedRow, false);
    m_topSpeedRow = -1;
    // Without any point among the active movies there is no top speed to mark.
    if (!anyBlockHasPoints(true))
        return;
    m_topSpeedRow = track().stats.topSpeedBlock;
    setTopSpeedIcon(m_topSpeedRow, true);
}

void MovieList::setActive(int block, bool active)
{
    track().block[block].active = active;
    if (QCheckBox *c = checkBox(block)) {
        const QSignalBlocker quiet(c);
        c->setChecked(active);
    }
}

void MovieList::active_check_box_slot()
{
    auto *box = qobject_cast<QCheckBox *>(sender());
    if (!box)
        return;
    if (m_host && m_host->storeBusy()) {
        // Nothing may change the store while it is being filled or read by
        // a media-tool run: the click is undone.
        const QSignalBlocker quiet(box);
        box->setChecked(!box->isChecked());
        return;
    }
    const int b = blockFromObjectName(box->objectName());
    if (b < 0 || b >= rowCount() || b >= track().numBlocks || checkBox(b) != box)
        return;
    setActive(b, box->isChecked());
    styleRow(b);
    if (m_host)
        m_host->activeMoviesChanged(true);
    updateTotals();
    placeTopSpeedIcon();
}

void MovieList::movie_item_double_clicked_slot(QListWidgetItem *item)
{
    if (!item || (m_host && m_host->storeBusy()))
        return;
    bool ok = false;
    const int b = item->data(Qt::UserRole).toString().toInt(&ok);
    if (!ok || b < 0 || b >= rowCount() || b >= track().numBlocks)
        return;
    if (!checkBox(b)->isChecked()) {
        refuse();
        return;
    }
    if (m_host)
        m_host->jumpToMovie(b, 0);
}

void MovieList::invert_clicked_slot()
{
    if (rowCount() == 0 || (m_host && m_host->storeBusy()))
        return;
    TrackStore &t = track();
    const int n = std::min(rowCount(), t.numBlocks);
    bool any = false;
    for (int b = 0; b < n; ++b) {
        setActive(b, !t.block[b].active);
        styleRow(b);
        any = any || t.block[b].active;
    }
    // Never nothing at all: the first movie plays alone.
    if (!any) {
        setActive(0, true);
        styleRow(0);
    }
    if (m_host)
        m_host->activeMoviesChanged(false);
    m_current = t.playCount > 0 ? t.playOrder[0] : 0;
    updateTotals();
    m_hideShow->setText(QStringLiteral("Hide"));
    applyHidden();
    placeTopSpeedIcon();
    if (m_host && t.playCount > 0)
        m_host->jumpToMovie(t.playOrder[0], 0);
}

void MovieList::hide_show_clicked_slot()
{
    m_hideShow->setText(m_hideShow->text() == QLatin1String("Hide") ? QStringLiteral("Show") : QStringLiteral("Hide"));
    applyHidden();
}

void MovieList::applyHidden()
{
    // "Show" on the button means the switched-off rows are hidden.
    const bool hiding = m_hideShow->text() == QLatin1String("Show");
    const TrackStore &t = track();
    for (int b = 0; b < rowCount(); ++b)
        m_rows[static_cast<size_t>(b)].item->setHidden(hiding && b < t.numBlocks && !t.block[b].active);
}

void MovieList::refuse()
{
    if (!m_boing) {
        m_boing = new QSoundEffect(this);
        m_boing->setSource(QUrl::fromLocalFile(resourcePath(QStringLiteral("boing.wav"))));
    }
    m_boing->play();
    emit refused();
}

} // namespace vx

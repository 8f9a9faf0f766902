#include "playerpanel.h"

#include "main/elidedlabel.h"
#include "main/resourceicon.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace vx {

namespace {

constexpr int kButtonIcon = 22;
const QColor kStandInTint(222, 224, 230);

QToolButton *makeButton(QWidget *parent, const char *name, const char *image, QStyle::StandardPixmap fallback,
                        const QString &toolTip)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(resourceIcon(QString::fromLatin1(image), fallback, kStandInTint));
    b->setIconSize(QSize(kButtonIcon, kButtonIcon));
    b->setToolTip(toolTip);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QToolButton *makeTextButton(QWidget *parent, const char *name, const QString &text, const QString &toolTip)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setToolTip(toolTip);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QSlider *makeSlider(QWidget *parent, const char *name, int minimumWidth)
{
    auto *s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setMinimumWidth(minimumWidth);
    s->setFocusPolicy(Qt::NoFocus);
    return s;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text = QString())
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// Long texts (file names, dates, the movie counter) must not widen the
// window: they are shortened with "…" when the room is short. The labels
// that only take what is left over (the movie's file name and facts) give
// up their room first.
QLabel *makeElidedLabel(QWidget *parent, const char *name, bool leftOver,
                        Qt::TextElideMode mode = Qt::ElideRight)
{
    auto *l = new ElidedLabel(parent, mode);
    l->setObjectName(QString::fromLatin1(name));
    if (leftOver) {
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        l->setMinimumWidth(l->minimumSizeHint().width());
    }
    return l;
}

QPalette controlBarPalette(QPalette p)
{
    const QColor bar(30, 31, 36), raised(48, 50, 58), text(222, 224, 230), dim(130, 133, 142);
    p.setColor(QPalette::Window, bar);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, raised);
    p.setColor(QPalette::AlternateBase, bar);
    p.setColor(QPalette::Button, raised);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Highlight, QColor(74, 144, 226));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::WindowText, dim);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, dim);
    p.setColor(QPalette::Disabled, QPalette::Text, dim);
    return p;
}

} // namespace

QColor PlayerPanel::standInTint() { return kStandInTint; }

QString PlayerPanel::splashStyle()
{
    return QStringLiteral("background-color: rgb(0, 0, 0);\nimage: url(:/images/volantix_pro_splash.png);\n");
}

PlayerPanel::PlayerPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("playerPanel"));

    // Picture area.
    videoContainer = new QWidget(this);
    videoContainer->setObjectName(QStringLiteral("videoContainer"));
    videoContainer->setAutoFillBackground(true);
    QPalette black = videoContainer->palette();
    black.setColor(QPalette::Window, Qt::black);
    videoContainer->setPalette(black);
    videoContainer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    videoContainer->setMinimumSize(160, 90);
    placeholder = new QFrame(videoContainer);
    placeholder->setObjectName(QStringLiteral("placeholder"));
    auto *pictureLayout = new QGridLayout(videoContainer);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    pictureLayout->addWidget(placeholder, 0, 0);
    videoWidget = new QVideoWidget(videoContainer);
    videoWidget->setObjectName(QStringLiteral("videoWidget"));
    videoWidget->hide();
    resizeLabel = makeLabel(videoContainer, "resizeLabel", QStringLiteral("Resizing..."));
    resizeLabel->setStyleSheet(QStringLiteral("color: rgb(113, 137, 255)"));
    QFont resizeFont = resizeLabel->font();
    resizeFont.setPointSize(18);
    resizeLabel->setFont(resizeFont);
    resizeLabel->adjustSize();
    resizeLabel->hide();
    videoContainer->installEventFilter(this);

    // Controls.
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("controlBar"));
    bar->setAutoFillBackground(true);
    bar->setPalette(controlBarPalette(bar->palette()));

    seekSlider = makeSlider(bar, "seekSlider", 100);
    durationLabel = makeLabel(bar, "durationLabel");
    durationLabel->setMinimumWidth(durationLabel->fontMetrics().horizontalAdvance(QStringLiteral("00:00 of 00:00")));
    durationLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    previousButton = makeButton(bar, "previousButton", ":/images/previous_movie.png", QStyle::SP_MediaSkipBackward,
                                QStringLiteral("Previous Movie"));
    instantReplayButton = makeButton(bar, "instantReplayButton", ":/images/instant_replay.png",
                                     QStyle::SP_MediaSeekBackward, QStringLiteral("Instant Replay"));
    playPauseButton = makeButton(bar, "playPauseButton", ":/images/play.png", QStyle::SP_MediaPlay,
                                 QStringLiteral("Play/Pause"));
    playPauseButton->setIconSize(QSize(30, 30));
    nextButton = makeButton(bar, "nextButton", ":/images/next_movie.png", QStyle::SP_MediaSkipForward,
                            QStringLiteral("Next Movie"));
    geotagButton = makeButton(bar, "geotagButton", ":/images/geotag.png", QStyle::SP_DialogApplyButton,
                              QStringLiteral("Create Geotag"));
    masterSlider = makeSlider(bar, "masterSlider", 60);
    masterSlider->setToolTip(QStringLiteral("Movies"));
    movieCounterLabel = makeElidedLabel(bar, "movieCounterLabel", false);
    movieCounterLabel->setAlignment(Qt::AlignCenter);
    movieButton = makeButton(bar, "movieButton", ":/images/movie.png", QStyle::SP_FileIcon, QString());
    settingsIndicatorButton = makeButton(bar, "settingsIndicatorButton", ":/images/disc_blue.png",
                                         QStyle::SP_DriveHDIcon, QStringLiteral("Per-movie settings"));

    slowerButton = makeButton(bar, "slowerButton", ":/images/slower.png", QStyle::SP_MediaSeekBackward,
                              QStringLiteral("Slower"));
    rateLabel = makeLabel(bar, "rateLabel", QStringLiteral("1x"));
    rateLabel->setAlignment(Qt::AlignCenter);
    rateLabel->setMinimumWidth(rateLabel->fontMetrics().horizontalAdvance(QStringLiteral("x/16")) + 6);
    fasterButton = makeButton(bar, "fasterButton", ":/images/faster.png", QStyle::SP_MediaSeekForward,
                              QStringLiteral("Faster"));
    jumpToLabel = makeLabel(bar, "jumpToLabel", QStringLiteral("Jump To:"));
    jumpToCombo = new QComboBox(bar);
    jumpToCombo->setObjectName(QStringLiteral("jumpToCombo"));
    jumpToCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    jumpToCombo->setMinimumContentsLength(6);
    jumpToCombo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    jumpToCombo->setFocusPolicy(Qt::NoFocus);
    muteButton = makeButton(bar, "muteButton", "", QStyle::SP_MediaVolume, QStringLiteral("Mute"));
    muteButton->setIconSize(QSize(18, 18));
    volumeSlider = makeSlider(bar, "volumeSlider", 50);
    volumeSlider->setToolTip(QStringLiteral("Volume"));
    auto *brightnessIcon = makeLabel(bar, "brightnessIcon", QStringLiteral("\u2600"));
    brightnessIcon->setToolTip(QStringLiteral("Brightness"));
    brightnessSlider = makeSlider(bar, "brightnessSlider", 50);
    brightnessSlider->setToolTip(QStringLiteral("Brightness"));
    brightnessResetButton = makeTextButton(bar, "brightnessResetButton", QStringLiteral("\u21BA"),
                                           QStringLiteral("Reset Brightness"));
    auto *contrastIcon = makeLabel(bar, "contrastIcon", QStringLiteral("\u25D0"));
    contrastIcon->setToolTip(QStringLiteral("Contrast"));
    contrastSlider = makeSlider(bar, "contrastSlider", 50);
    contrastSlider->setToolTip(QStringLiteral("Contrast"));
    contrastResetButton = makeTextButton(bar, "contrastResetButton", QStringLiteral("\u21BA"),
                                         QStringLiteral("Reset Contrast"));

    // The name keeps its start and its number and extension at the end.
    fileNameLabel = makeElidedLabel(bar, "fileNameLabel", true, Qt::ElideMiddle);
    QFont bold = fileNameLabel->font();
    bold.setBold(true);
    fileNameLabel->setFont(bold);
    fileNameLabel->setMinimumWidth(fileNameLabel->minimumSizeHint().width());
    fileInfoLabel = makeElidedLabel(bar, "fileInfoLabel", true);
    QFont big = font();
    big.setPointSize(13);
    // The date comes first: whole whenever the row has room for it, else
    // shortened at its start, so that the time of day stays.
    dateLabel = makeElidedLabel(bar, "dateLabel", false, Qt::ElideLeft);
    dateLabel->setFont(big);
    dateLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    noGpsLabel = makeLabel(bar, "noGpsLabel");
    noGpsLabel->setFont(big);
    noGpsLabel->setStyleSheet(QStringLiteral("color: rgb(255, 90, 90);"));
    speedLabel = makeLabel(bar, "speedLabel");
    QFont speedFont = big;
    speedFont.setBold(true);
    speedLabel->setFont(speedFont);
    speedLabel->setStyleSheet(QStringLiteral("color: rgb(120, 220, 140);"));

    auto separator = [bar] {
        auto *line = new QFrame(bar);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Plain);
        line->setStyleSheet(QStringLiteral("color: rgb(70, 72, 80);"));
        return line;
    };

    auto *seekRow = new QHBoxLayout;
    seekRow->setSpacing(8);
    seekRow->addWidget(seekSlider, 1);
    seekRow->addWidget(durationLabel);

    auto *transportRow = new QHBoxLayout;
    transportRow->setSpacing(2);
    transportRow->addWidget(previousButton);
    transportRow->addWidget(instantReplayButton);
    transportRow->addWidget(playPauseButton);
    transportRow->addWidget(nextButton);
    transportRow->addSpacing(6);
    transportRow->addWidget(slowerButton);
    transportRow->addWidget(rateLabel);
    transportRow->addWidget(fasterButton);
    transportRow->addSpacing(6);
    transportRow->addWidget(geotagButton);
    transportRow->addSpacing(10);
    transportRow->addWidget(masterSlider, 2);
    // No stretch for the counter and the date: a stretched widget counts
    // as small when the row shares out its room, and would be shortened
    // while the slider or the file labels still have room to give.
    transportRow->addWidget(movieCounterLabel);
    transportRow->addWidget(movieButton);
    transportRow->addWidget(settingsIndicatorButton);

    auto *controlsRow = new QHBoxLayout;
    controlsRow->setSpacing(3);
    controlsRow->addWidget(jumpToLabel);
    controlsRow->addWidget(jumpToCombo, 2);
    controlsRow->addWidget(separator());
    controlsRow->addWidget(muteButton);
    controlsRow->addWidget(volumeSlider, 1);
    controlsRow->addWidget(separator());
    controlsRow->addWidget(brightnessIcon);
    controlsRow->addWidget(brightnessSlider, 1);
    controlsRow->addWidget(brightnessResetButton);
    controlsRow->addWidget(contrastIcon);
    controlsRow->addWidget(contrastSlider, 1);
    controlsRow->addWidget(contrastResetButton);

    auto *labelsRow = new QHBoxLayout;
    labelsRow->setSpacing(10);
    labelsRow->addWidget(fileNameLabel, 2);
    labelsRow->addWidget(fileInfoLabel, 2);
    labelsRow->addWidget(noGpsLabel);
    labelsRow->addWidget(speedLabel);
    labelsRow->addWidget(dateLabel);

    auto *barLayout = new QVBoxLayout(bar);
    barLayout->setContentsMargins(8, 4, 8, 6);
    barLayout->setSpacing(2);
    barLayout->addLayout(seekRow);
    barLayout->addLayout(transportRow);
    barLayout->addLayout(controlsRow);
    barLayout->addLayout(labelsRow);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(videoContainer, 1);
    layout->addWidget(bar);
}

void PlayerPanel::placeResizeLabel()
{
    // Centred near the top of the picture.
    resizeLabel->adjustSize();
    resizeLabel->move((videoContainer->width() - resizeLabel->width()) / 2, videoContainer->height() / 8);
}

bool PlayerPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == videoContainer && event->type() == QEvent::Resize)
        placeResizeLabel();
    return QWidget::eventFilter(watched, event);
}

} // namespace vx

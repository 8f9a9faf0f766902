// The player window's central widget: the picture on top (the splash
// placeholder behind the video output, the "Resizing..." label over it), a
// seek row, a transport row (movie and rate buttons, the movie slider), a row
// of jump-to, volume and picture controls, and the movie's labels. The widgets are public so that loading
// and playback drive them directly; the panel itself connects nothing.
#pragma once

#include <QColor>
#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QSlider;
class QToolButton;
class QVideoWidget;

namespace vx {

class PlayerPanel : public QWidget {
    Q_OBJECT

public:
    explicit PlayerPanel(QWidget *parent = nullptr);

    // The picture area. The video output is placed in it by hand (fit,
    // zoom, pan), over the splash placeholder that fills it.
    QWidget *videoContainer;
    QFrame *placeholder;
    QVideoWidget *videoWidget;
    QLabel *resizeLabel;

    QSlider *seekSlider;
    QLabel *durationLabel;

    QToolButton *previousButton;
    QToolButton *instantReplayButton;
    QToolButton *playPauseButton;
    QToolButton *nextButton;
    QToolButton *geotagButton;
    QSlider *masterSlider;
    QLabel *movieCounterLabel;
    QToolButton *movieButton;
    QToolButton *settingsIndicatorButton;

    QToolButton *slowerButton;
    QLabel *rateLabel;
    QToolButton *fasterButton;
    QLabel *jumpToLabel;
    QComboBox *jumpToCombo;
    QToolButton *muteButton;
    QSlider *volumeSlider;
    QSlider *brightnessSlider;
    QToolButton *brightnessResetButton;
    QSlider *contrastSlider;
    QToolButton *contrastResetButton;

    QLabel *fileNameLabel;
    QLabel *fileInfoLabel;
    QLabel *dateLabel;
    QLabel *noGpsLabel;
    QLabel *speedLabel;

    static QString splashStyle();
    // The colour of the style's stand-in glyphs on the dark control bar
    // (mute icon, play icon before the program's images exist).
    static QColor standInTint();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeResizeLabel();
};

} // namespace vx

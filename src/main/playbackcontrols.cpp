// The transport, picture and sound controls and the keys of the player
// (the rest of PlaybackController is in playbackcontroller.cpp).
#include "playbackcontroller.h"

#include "main/mainwindow.h"
#include "main/playerpanel.h"
#include "main/resourceicon.h"
#include "main/videoview.h"
#include "settings/settings.h"
#include "track/trackstore.h"
#include "views/datadialog.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSlider>
#include <QToolButton>
#include <QVideoWidget>

namespace vx {

namespace {

// Windows in which Space is typed text, not play/pause.
bool spaceBelongsToActiveWindow()
{
    const QWidget *active = QApplication::activeWindow();
    if (!active)
        return false;
    const QString title = active->windowTitle();
    return title == QLatin1String("Enter Tag Title") || title == QLatin1String("Preferences")
           || title == QLatin1String("Network Proxy Settings");
}

bool arrowsBelongToFocus()
{
    const QWidget *focus = QApplication::focusWidget();
    return qobject_cast<const QLineEdit *>(focus) || qobject_cast<const QAbstractSpinBox *>(focus)
           || qobject_cast<const QComboBox *>(focus);
}

} // namespace

// ---- movies ---------------------------------------------------------------------------

void PlaybackController::nextMovie()
{
    TrackStore &t = track();
    if (t.numBlocks <= 0 || storeBusy())
        return;
    const int value = m_panel->masterSlider->value();
    if (value + 1 < t.playCount) {
        t.mBlock = value + 1;
        selectMovie(t.playOrder[t.mBlock]);
    }
}

void PlaybackController::previousMovie()
{
    TrackStore &t = track();
    if (t.numBlocks <= 0 || t.playCount <= 0 || storeBusy())
        return;
    t.mBlock = std::clamp(m_panel->masterSlider->value() - 1, 0, t.playCount - 1);
    selectMovie(t.playOrder[t.mBlock]);
}

void PlaybackController::backX_button_slot() { previousMovie(); }

void PlaybackController::forwardX_button_slot() { nextMovie(); }

void PlaybackController::jump_to_activated_slot(int index)
{
    TrackStore &t = track();
    if (t.numBlocks <= 0 || storeBusy())
        return;
    if (index == 0) {
        jumpToTopSpeed();
        return;
    }
    if (index - 1 < 0 || index - 1 >= t.playCount)
        return;
    t.mBlock = index - 1;
    selectMovie(t.playOrder[index - 1]);
}

void PlaybackController::jumpToTopSpeed()
{
    TrackStore &t = track();
    const int b = t.stats.topSpeedBlock;
    if (b < 0 || b >= t.numBlocks || !t.block[b].active) {
        QMessageBox::warning(m_window, QStringLiteral("Volantix"),
                             QStringLiteral("The movie containing the highest speed is hidden."));
        m_window->activateWindow();
        m_window->raise();
        return;
    }
    t.mBlock = playPositionOf(b);
    const qint64 p = topSpeedJumpMs(t.block[b], t.stats.topSpeedPoint);
    jumpTo(b, p);
    refresh(p);
}

void PlaybackController::master_slider_released_slot()
{
    TrackStore &t = track();
    if (t.numBlocks <= 0 || storeBusy())
        return;
    const int value = m_panel->masterSlider->value();
    if (value < 0 || value >= t.playCount)
        return;
    t.mBlock = value;
    selectMovie(t.playOrder[value]);
}

void PlaybackController::master_slider_moved_slot(int) {}

std::optional<int> PlaybackController::clickValue(QSlider *slider) const
{
    const SliderMouse &mouse = slider == m_panel->seekSlider ? m_seekMouse : m_masterMouse;
    // A drag of the handle is not a click: its release decides.
    if (!mouse.leftDown || !mouse.inside || slider->isSliderDown())
        return std::nullopt;
    return sliderValueForClick(slider->minimum(), slider->maximum(), mouse.x, slider->width());
}

void PlaybackController::master_slider_value_changed_slot(int)
{
    TrackStore &t = track();
    if (m_inClickToPosition || t.numBlocks <= 0 || storeBusy())
        return;
    const std::optional<int> value = clickValue(m_panel->masterSlider);
    if (!value || *value >= t.playCount)
        return;
    m_inClickToPosition = true;
    {
        const QSignalBlocker quiet(m_panel->masterSlider);
        m_panel->masterSlider->setValue(*value);
    }
    t.mBlock = *value;
    selectMovie(t.playOrder[*value]);
    m_inClickToPosition = false;
}

void PlaybackController::seek_slider_value_changed_slot(int)
{
    if (m_inClickToPosition || track().numBlocks <= 0 || storeBusy())
        return;
    const std::optional<int> value = clickValue(m_panel->seekSlider);
    if (!value)
        return;
    m_inClickToPosition = true;
    {
        const QSignalBlocker quiet(m_panel->seekSlider);
        m_panel->seekSlider->setValue(*value);
    }
    // The player's own position reports must not move the slider back
    // meanwhile (they are written with the slider's signals blocked).
    seekPlayer(*value);
    if (!m_state.playing)
        refresh(*value);
    m_inClickToPosition = false;
}

void PlaybackController::seek_slider_pressed_slot()
{
    m_seekResume = m_state.playing;
    pause();
    setPlayIcon(false);
}

void PlaybackController::seek_slider_released_slot()
{
    if (m_seekResume)
        play();
    m_seekResume = false;
    if (!m_state.playing)
        refresh(m_panel->seekSlider->value());
}

void PlaybackController::set_position_slot(int positionMs)
{
    if (track().numBlocks <= 0 || storeBusy())
        return;
    seekPlayer(positionMs);
}

bool PlaybackController::eventFilter(QObject *watched, QEvent *event)
{
    SliderMouse *mouse = nullptr;
    auto *slider = qobject_cast<QSlider *>(watched);
    if (slider == m_panel->seekSlider)
        mouse = &m_seekMouse;
    else if (slider == m_panel->masterSlider)
        mouse = &m_masterMouse;
    if (!mouse)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove: {
        const auto *m = static_cast<QMouseEvent *>(event);
        mouse->leftDown = m->buttons() & Qt::LeftButton;
        mouse->x = m->pos().x();
        mouse->inside = slider->rect().contains(m->pos());
        break;
    }
    case QEvent::MouseButtonRelease:
        mouse->leftDown = false;
        break;
    default:
        break;
    }
    return false;
}

// ---- steps and rate ---------------------------------------------------------------------

void PlaybackController::frameStep(bool forward)
{
    const TrackStore &t = track();
    if (t.numBlocks <= 0 || storeBusy())
        return;
    const MovieBlock &m = t.block[t.Block];
    const qint64 step = frameStepMs(m.fps);
    if (m_state.playing)
        pause();
    const qint64 p = m_player->position();
    const qint64 length = movieLengthMs(m.duration, 1, m_player->duration());
    const qint64 target = forward ? std::min(p + step, length) : std::max<qint64>(p - step, 0);
    seekPlayer(target);
    refresh(target);
}

void PlaybackController::instant_replay_slot()
{
    if (track().numBlocks <= 0 || storeBusy())
        return;
    const qint64 back = static_cast<qint64>(static_cast<double>(settings().instantReplay) * 1000.0);
    const qint64 target = std::max<qint64>(m_player->position() - std::max<qint64>(back, 0), 0);
    pause();
    seekPlayer(target);
    play();
    refresh(target);
}

void PlaybackController::setRateIndex(int index)
{
    m_state.rateIndex = index;
    const RateEntry entry = rateEntry(index);
    m_panel->rateLabel->setText(QString::fromLatin1(entry.label));
    m_player->setPlaybackRate(entry.rate);
    if (index == RATE_INDEX_NORMAL) {
        stopTimer(&m_state.fastTimerId);
        stopTimer(&m_state.dashboardTimerId);
        m_fastMode = false;
    } else {
        m_fastMode = true;
    }
    if (m_state.playing)
        play();
}

void PlaybackController::faster_slot()
{
    if (m_state.rateIndex >= RATE_INDEX_FASTEST)
        return;
    setRateIndex(fasterRateIndex(m_state.rateIndex));
}

void PlaybackController::slower_slot()
{
    if (m_state.rateIndex <= RATE_INDEX_SLOWEST)
        return;
    setRateIndex(slowerRateIndex(m_state.rateIndex));
}

void PlaybackController::resetRate()
{
    m_state.rateIndex = RATE_INDEX_NORMAL;
    m_panel->rateLabel->setText(QStringLiteral("1x"));
    m_player->setPlaybackRate(1.0);
    m_fastMode = false;
    stopTimer(&m_state.fastTimerId);
}

// ---- sound and picture --------------------------------------------------------------------

void PlaybackController::volume_changed_slot(int value)
{
    m_player->setVolume(value);
    settings().volume = static_cast<float>(value) / 100.0f;
    saveSettings();
}

void PlaybackController::mute_clicked_slot()
{
    const bool muted = !m_player->isMuted();
    m_player->setMuted(muted);
    m_panel->muteButton->setIcon(resourceIcon(QString(), muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume,
                                              PlayerPanel::standInTint()));
    settings().muted = muted;
    saveSettings();
}

void PlaybackController::brightness_changed_slot(int value)
{
    m_panel->videoWidget->setBrightness(value);
    settings().brightness = value;
    saveSettings();
}

void PlaybackController::brightness_reset_slot() { m_panel->brightnessSlider->setValue(0); }

void PlaybackController::contrast_changed_slot(int value)
{
    m_panel->videoWidget->setContrast(value);
    settings().contrast = value;
    saveSettings();
}

void PlaybackController::contrast_reset_slot() { m_panel->contrastSlider->setValue(0); }

// ---- keys ------------------------------------------------------------------------------------

bool PlaybackController::filterKey(const QKeyEvent *key)
{
    const int k = key->key();
    if (k != Qt::Key_Space && k != Qt::Key_Left && k != Qt::Key_Right && k != Qt::Key_Up && k != Qt::Key_Down)
        return false;
    if (track().numBlocks <= 0)
        return false;
    // A modal dialog (a file dialog, a message box, the load's progress)
    // keeps its keys: typing a blank or moving in a list there must not
    // drive the player behind it.
    if (QApplication::activeModalWidget())
        return false;
    if (k == Qt::Key_Space && spaceBelongsToActiveWindow())
        return false;
    // In the same windows the arrows move the text cursor of a field and
    // step a spin box or a list (a tick count, a unit).
    if (k != Qt::Key_Space && spaceBelongsToActiveWindow() && arrowsBelongToFocus())
        return false;
    if (storeBusy())
        return true;
    switch (k) {
    case Qt::Key_Space: pause_button_slot(); break;
    case Qt::Key_Left: frameStep(false); break;
    case Qt::Key_Right: frameStep(true); break;
    case Qt::Key_Up: nextMovie(); break;
    case Qt::Key_Down: previousMovie(); break;
    default: break;
    }
    return true;
}

bool PlaybackController::handleKey(const QKeyEvent *key)
{
    const int k = key->key();
    if (k == Qt::Key_F) {
        if (g_dataDialog)
            g_dataDialog->toggleVehicle();
        return true;
    }
    if (track().numBlocks <= 0)
        return false;
    switch (k) {
    case Qt::Key_0: m_video->fitVideo(); return true;
    case Qt::Key_9:
    case Qt::Key_E: m_video->zoomOrMove(VideoMove::ZoomIn); return true;
    case Qt::Key_7:
    case Qt::Key_Q: m_video->zoomOrMove(VideoMove::ZoomOut); return true;
    case Qt::Key_8:
    case Qt::Key_W: m_video->zoomOrMove(VideoMove::Up); return true;
    case Qt::Key_5:
    case Qt::Key_S: m_video->zoomOrMove(VideoMove::Down); return true;
    case Qt::Key_4:
    case Qt::Key_A: m_video->zoomOrMove(VideoMove::Left); return true;
    case Qt::Key_6:
    case Qt::Key_D: m_video->zoomOrMove(VideoMove::Right); return true;
    case Qt::Key_G:
        // The geotag command: its button is live once geotags exist.
        if (m_panel->geotagButton->isEnabled())
            m_panel->geotagButton->click();
        return true;
    case Qt::Key_P:
        // The snapshot command: its action is live once snapshots exist.
        m_window->actions().export_screenshot->trigger();
        return true;
    default: return false;
    }
}

} // namespace vx

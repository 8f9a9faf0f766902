#include "moviesequencer.h"

#include <QMediaPlaylist>
#include <QTimer>

namespace vx {

namespace {
// How long a movie may take to open after the player reported an error for
// it, before it is passed over (as long as a load waits for the player).
constexpr int kOpenLimitMs = 5000;
} // namespace

MovieSequencer::MovieSequencer(QMediaPlayer *player, QMediaPlaylist *playlist, QObject *parent)
    : QObject(parent)
    , m_player(player)
    , m_playlist(playlist)
{
    m_openLimit = new QTimer(this);
    m_openLimit->setSingleShot(true);
    m_openLimit->setInterval(kOpenLimitMs);
    connect(m_openLimit, &QTimer::timeout, this, &MovieSequencer::fail);
    connect(m_playlist, &QMediaPlaylist::currentIndexChanged, this, &MovieSequencer::pointPlayer);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, &MovieSequencer::statusChanged);
    connect(m_player, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), this,
            &MovieSequencer::errorReported);
}

void MovieSequencer::pointPlayer(int index)
{
    // Setting the movie stops the player first: what it reports meanwhile
    // belongs to the movie before.
    m_pointing = true;
    m_player->setMedia(index >= 0 ? m_playlist->media(index) : QMediaContent());
    m_pointing = false;
    ++m_movie;
    m_errorPending = false;
    m_playable = false;
    m_failed = false;
    m_openLimit->stop();
    if (index >= 0 && m_player->mediaStatus() == QMediaPlayer::InvalidMedia)
        fail();
}

void MovieSequencer::statusChanged(QMediaPlayer::MediaStatus status)
{
    if (m_pointing || m_playlist->currentIndex() < 0)
        return;
    switch (status) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferedMedia:
        if (m_playable || m_failed)
            break;
        // A movie that reported an error plays when it opened with a picture.
        if (m_errorPending && !m_player->isVideoAvailable()) {
            fail();
            break;
        }
        m_playable = true;
        m_errorPending = false;
        m_openLimit->stop();
        break;
    case QMediaPlayer::InvalidMedia:
        fail();
        break;
    case QMediaPlayer::EndOfMedia:
        if (!m_failed)
            moveOn(false);
        break;
    default:
        break;
    }
}

void MovieSequencer::errorReported(QMediaPlayer::Error error)
{
    if (m_pointing || m_failed || m_playlist->currentIndex() < 0)
        return;
    if (error == QMediaPlayer::ResourceError || error == QMediaPlayer::AccessDeniedError) {
        fail();
        return;
    }
    if (m_playable)
        return;  // the picture plays already
    m_errorPending = true;
    if (!m_openLimit->isActive())
        m_openLimit->start();
}

void MovieSequencer::fail()
{
    if (m_failed || m_playlist->currentIndex() < 0)
        return;
    m_failed = true;
    m_openLimit->stop();
    // The player's reports of the broken movie (its status and its error
    // come one after the other) are all in before the next movie is opened.
    const quint64 movie = m_movie;
    QTimer::singleShot(0, this, [this, movie] {
        if (movie == m_movie && m_failed)
            moveOn(true);
    });
}

void MovieSequencer::moveOn(bool failed)
{
    // Sequential: after the last movie the index becomes -1.
    m_playlist->next();
    emit movedOn(m_playlist->currentIndex(), failed);
}

} // namespace vx

// The player's way through the playlist. The playlist is the list of
// movies in play order with a current index; the player is given the
// current movie here, and at the end of a movie the sequence moves on to the
// next one (whoever drives playback then plays or pauses it).
//
// A movie is passed over only when it cannot be played: the player reports
// it as invalid, reports a resource error, or reported an error before the
// movie could be played and then opens it without a picture (or does not
// open it within the time limit). Any other error is a warning: the
// player's backend reports a stream it has no decoder for (the data tracks
// of camera movies, such as GoPro's "gpmd" and "fdsc") as an error while the
// picture plays on, and such a movie must play.
#pragma once

#include <QMediaPlayer>
#include <QObject>

class QMediaPlaylist;
class QTimer;

namespace vx {

class MovieSequencer : public QObject {
    Q_OBJECT

public:
    MovieSequencer(QMediaPlayer *player, QMediaPlaylist *playlist, QObject *parent = nullptr);

    // The current movie was found unplayable (and is being passed over).
    bool currentFailed() const { return m_failed; }
    // The player is being given another movie: setting it stops the player
    // first, and the status it reports meanwhile is the movie's before.
    bool pointing() const { return m_pointing; }

signals:
    // The sequence moved on by itself: after the end of a movie (`failed`
    // false) or past a movie that cannot be played (`failed` true), to the
    // movie at `index`, or to none (-1) after the last one. The player holds
    // that movie, stopped. Changes of the current index made by others are
    // not reported.
    void movedOn(int index, bool failed);

private:
    void pointPlayer(int index);
    void statusChanged(QMediaPlayer::MediaStatus status);
    void errorReported(QMediaPlayer::Error error);
    // The current movie cannot be played: pass over it once its reports
    // are in.
    void fail();
    void moveOn(bool failed);

    QMediaPlayer *m_player;
    QMediaPlaylist *m_playlist;
    QTimer *m_openLimit;
    bool m_pointing = false;      // the player is being given a movie here
    bool m_errorPending = false;  // an error came before the movie could play
    bool m_playable = false;      // the movie opened with a picture (or without error)
    bool m_failed = false;
    quint64 m_movie = 0;          // counts the movies pointed at
};

} // namespace vx

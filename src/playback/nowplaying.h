#pragma once

// What the face's display band shows of the player: whether it plays, is paused or is
// stopped, which track, and where in it. The face reads these as movie variables; each is
// sent only when it changes, since the position timer asks twenty times a second.

#include <QHash>
#include <QString>

class Flash;

class NowPlaying {
public:
    explicit NowPlaying(Flash& movie) : m_movie(movie) {}

    void showStopped();
    // trackNumber counts from 1, as the disc numbers its tracks.
    void showPlaying(bool paused, int trackNumber, const QString& position, const QString& length);

private:
    void Publish(const QString& variable, const QString& value);

    Flash& m_movie;
    QHash<QString, QString> m_shown;
};

#include "playback/nowplaying.h"

#include "common/flash.h"

void NowPlaying::showStopped() {
    Publish(QStringLiteral("_root.PlayState"), QStringLiteral("stopped"));
    Publish(QStringLiteral("_root.TrackNumber"), QString());
    Publish(QStringLiteral("_root.TrackPosition"), QString());
    Publish(QStringLiteral("_root.TrackLength"), QString());
}

void NowPlaying::showPlaying(bool paused, int trackNumber, const QString& position,
                             const QString& length) {
    Publish(QStringLiteral("_root.PlayState"),
            paused ? QStringLiteral("paused") : QStringLiteral("playing"));
    Publish(QStringLiteral("_root.TrackNumber"), QString::number(trackNumber));
    Publish(QStringLiteral("_root.TrackPosition"), position);
    Publish(QStringLiteral("_root.TrackLength"), length);
}

void NowPlaying::Publish(const QString& variable, const QString& value) {
    const auto shown = m_shown.constFind(variable);
    if (shown != m_shown.cend() && *shown == value)
        return;
    m_shown.insert(variable, value);
    m_movie.SetVariable(variable, value);
}

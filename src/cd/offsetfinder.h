#pragma once

// Finds a drive's read offset with a disc that is in the AccurateRip database: fetches the
// disc's entry, reads the samples around sector 450 of a few tracks on a thread of its own,
// and looks for the offset at which they match the database. The window never waits: the
// answer comes later, from the event loop.

#include "common/audiolibrary.h"
#include "verify/offsetsearch.h"

#include <QList>
#include <QObject>
#include <QString>

#include <thread>

class AccurateRipClient;

struct OffsetFinding {
    DWORD drive = 0;
    bool found = false;
    int offset = 0; // when found, in samples
    int tracks = 0; // when found, how many tracks agree on it
    QString reason; // when not found: why, as a clause ("the disc is not in the …")
};

class OffsetFinder : public QObject {
    Q_OBJECT
public:
    OffsetFinder(BassCore& core, BassCd& cd, QObject* parent = nullptr);
    ~OffsetFinder() override; // waits for a read in progress to end after its current track

    // Starts with the disc in the drive; finished comes once, later. Nothing while running.
    void start(DWORD drive);
    bool running() const { return m_running; }

signals:
    void finished(const OffsetFinding& finding);

private:
    struct TrackToRead {
        DWORD track = 0; // the library's track number
        int audioTrack = 0;
    };

    bool chooseTracks(const DiscToc& toc);
    void databaseAnswered(const DbarLookup& lookup);
    void startReading();
    // On the reader thread: the windows, or the track that could not be read.
    void readWindows(const std::stop_token& stop, int readOffset);
    bool readWindow(DWORD track, int readOffset, QByteArray& pcm);
    void windowsRead(const QList<OffsetWindow>& windows, const QString& failure);
    void finish(const OffsetFinding& finding);
    void fail(const QString& reason);

    BassCore& m_core;
    BassCd& m_cd;
    AccurateRipClient* m_client;
    bool m_running = false;
    DWORD m_drive = 0;
    AccurateRipIds m_ids;
    QList<TrackToRead> m_tracks;
    QList<DbarResponse> m_responses;
    std::jthread m_reader; // last: it ends first
};

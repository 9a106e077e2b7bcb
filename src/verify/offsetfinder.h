#pragma once

// Finds a drive's read offset with a disc that is in the AccurateRip database: fetches the
// disc's entry, reads the samples around sector 450 of a few tracks on a thread of its own,
// and looks for the offset at which they match the database. The window never waits: the
// answer comes later, from the event loop.

#include "common/audiolibrary.h"
#include "common/disctoc.h"
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
    // Ends a search at once, without finished: the database's answer is dropped and a read in
    // progress ends before this returns (a rip is about to read the drive).
    void cancel();

signals:
    void finished(const OffsetFinding& finding);

private:
    bool chooseTracks(const DiscToc& toc);
    void databaseAnswered(const DbarLookup& lookup);
    void startReading();
    // On the reader thread: the windows, or the track that could not be read; serial is the
    // search's.
    void readWindows(const std::stop_token& stop, int readOffset, int serial);
    bool readWindow(DWORD track, int readOffset, QByteArray& pcm);
    void windowsRead(const QList<OffsetWindow>& windows, const QString& failure);
    void finish(const OffsetFinding& finding);
    void fail(const QString& reason);
    void newClient();

    BassCore& m_core;
    BassCd& m_cd;
    AccurateRipClient* m_client;
    bool m_running = false;
    int m_serial = 0; // which search the events queued for the window belong to
    DWORD m_drive = 0;
    AccurateRipIds m_ids;
    QList<DiscTrack> m_tracks; // their positions are their database entries too
    QList<DbarResponse> m_responses;
    std::jthread m_reader; // last: it ends first
};

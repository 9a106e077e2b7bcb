#include "verify/offsetfinder.h"

#include "verify/accurateripclient.h"

namespace {

// A few tracks are enough: two that agree decide.
constexpr int kTracksToRead = 4;
constexpr qint64 kSampleBytes = 4;
// The window must lie inside the track whatever offset the drive reads with now.
constexpr qint64 kShortestTrack = kOffsetWindowFirst + kOffsetWindowSamples + kMostReadOffset;

QString SearchFailure(const OffsetSearch& search) {
    switch (search.outcome) {
    case OffsetSearch::Outcome::OneTrack:
        return QStringLiteral("only one track of the disc matched the AccurateRip database, and "
                              "two must agree");
    case OffsetSearch::Outcome::Disagree:
        return QStringLiteral("the tracks of the disc matched the AccurateRip database at "
                              "different offsets");
    default:
        return QStringLiteral("no track of the disc matched the AccurateRip database at any "
                              "offset within %1 samples either way")
            .arg(kOffsetSearchRange);
    }
}

} // namespace

OffsetFinder::OffsetFinder(BassCore& core, BassCd& cd, QObject* parent)
    : QObject(parent), m_core(core), m_cd(cd), m_client(nullptr) {
    newClient();
}

OffsetFinder::~OffsetFinder() = default;

// A client destroyed while its request runs says nothing.
void OffsetFinder::newClient() {
    delete m_client;
    m_client = new AccurateRipClient(this);
    connect(m_client, &AccurateRipClient::finished, this, &OffsetFinder::databaseAnswered);
}

void OffsetFinder::cancel() {
    if (!m_running)
        return;
    ++m_serial;
    newClient();
    if (m_reader.joinable()) {
        m_reader.request_stop();
        m_reader.join();
    }
    m_running = false;
}

void OffsetFinder::start(DWORD drive) {
    if (m_running)
        return;
    m_running = true;
    m_drive = drive;
    DiscToc toc;
    if (!m_cd.BASS_CD_GetTOC(drive, &toc))
        return fail(QStringLiteral("there is no disc in the drive"));
    if (!chooseTracks(toc))
        return fail(QStringLiteral("the disc has fewer than two audio tracks of more than "
                                   "six seconds to compare"));
    m_ids = AccurateRipDiscIds(toc);
    m_client->fetch(AccurateRipPath(m_ids));
}

bool OffsetFinder::chooseTracks(const DiscToc& toc) {
    m_tracks.clear();
    for (qsizetype i = 0; i < toc.tracks.size() && m_tracks.size() < kTracksToRead; ++i) {
        const qint64 samples = qint64(TrackEnd(toc, i) - toc.tracks[i].lsn) * kSamplesPerSector;
        if (toc.isAudio(i) && samples >= kShortestTrack)
            m_tracks.append(DiscTrack::At(toc, int(i)));
    }
    return m_tracks.size() >= 2;
}

void OffsetFinder::databaseAnswered(const DbarLookup& lookup) {
    if (lookup.status == DbarLookup::Status::NotInDatabase)
        return fail(QStringLiteral("the disc is not in the AccurateRip database"));
    if (lookup.status == DbarLookup::Status::NotChecked)
        return fail(
            QStringLiteral("the AccurateRip database gave no answer (%1)").arg(lookup.reason));
    m_responses = lookup.responses;
    startReading();
}

void OffsetFinder::startReading() {
    const int readOffset = m_cd.BASS_CD_GetOffset(m_drive);
    if (m_reader.joinable())
        m_reader.join(); // the last search's thread, long ended
    m_reader = std::jthread([this, readOffset, serial = m_serial](const std::stop_token& stop) {
        readWindows(stop, readOffset, serial);
    });
}

void OffsetFinder::readWindows(const std::stop_token& stop, int readOffset, int serial) {
    QList<OffsetWindow> windows;
    QString failure;
    for (const DiscTrack& track : std::as_const(m_tracks)) {
        if (stop.stop_requested())
            return;
        OffsetWindow window{track.index, {}};
        if (!readWindow(DWORD(track.index), readOffset, window.pcm)) {
            failure = QStringLiteral("track %1 of the disc could not be read").arg(track.number);
            break;
        }
        windows.append(window);
    }
    QMetaObject::invokeMethod(
        this,
        [this, windows, failure, serial] {
            if (serial == m_serial)
                windowsRead(windows, failure);
        },
        Qt::QueuedConnection);
}

// The stream reads with the drive's offset; the window is placed so that it holds what the
// drive delivers with none.
bool OffsetFinder::readWindow(DWORD track, int readOffset, QByteArray& pcm) {
    const HSTREAM stream = m_cd.BASS_CD_StreamCreate(m_drive, track, BASS_STREAM_DECODE);
    if (stream == 0)
        return false;
    pcm.resize(kOffsetWindowSamples * kSampleBytes);
    bool read =
        m_core.BASS_ChannelSetPosition(stream, (kOffsetWindowFirst - readOffset) * kSampleBytes);
    for (qsizetype done = 0; read && done < pcm.size();) {
        const int n =
            m_core.BASS_ChannelGetData(stream, pcm.data() + done, DWORD(pcm.size() - done));
        read = n > 0;
        done += n;
    }
    m_core.BASS_StreamFree(stream);
    return read;
}

void OffsetFinder::windowsRead(const QList<OffsetWindow>& windows, const QString& failure) {
    if (!failure.isEmpty())
        return fail(failure);
    const OffsetSearch search = SearchOffset(m_responses, m_ids, windows);
    if (search.outcome != OffsetSearch::Outcome::Found)
        return fail(SearchFailure(search));
    finish({m_drive, true, search.offset, search.tracks, {}});
}

void OffsetFinder::fail(const QString& reason) {
    finish({m_drive, false, 0, 0, reason});
}

// Always from the event loop, even when start found nothing to do.
void OffsetFinder::finish(const OffsetFinding& finding) {
    QMetaObject::invokeMethod(
        this,
        [this, finding, serial = m_serial] {
            if (serial != m_serial)
                return;
            m_running = false;
            emit finished(finding);
        },
        Qt::QueuedConnection);
}

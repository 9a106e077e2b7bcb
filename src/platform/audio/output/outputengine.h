#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/core/decodetaps.h"
#include "platform/audio/core/filecodecs.h"
#include "platform/audio/core/mixer.h"
#include "platform/audio/core/readahead.h"
#include "platform/audio/core/stream.h"
#include "platform/audio/core/streamengine.h"
#include "platform/audio/core/syncdispatcher.h"
#include "platform/audio/output/audiooutput.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

// The core of the audio library: output through SDL2 (device 1) or a no-sound
// clock (device 0), streams read ahead on a reader thread, a mixer with volume,
// pan and slides, and one-time syncs called on a dispatcher thread.
//
// Threads: every operation may be called from any thread (the user interface
// calls them; sync procedures may call them too). Locks, always taken in this
// order: m_lifecycle (Init/Free), m_mutex (the stream table and the syncs), a
// stream's source lock (held across a source read or seek), the mixer's lock
// (held only for copies). The audio callback takes the mixer's lock alone, and
// no lock is held while a sync procedure runs. Nothing waits for a source lock
// while holding m_mutex, so a read stuck on a slow disc never holds up calls
// on other streams, nor the freeing of its own.
class OutputEngine final : public BassCore, public StreamEngine, public DecodeTaps {
public:
    OutputEngine();
    ~OutputEngine() override;
    OutputEngine(const OutputEngine&) = delete;
    OutputEngine& operator=(const OutputEngine&) = delete;

    // Where file streams and file facts come from; without it they are not available. Set
    // before any call, and it outlives the engine.
    void setFileCodecs(FileCodecs* codecs) { m_fileCodecs = codecs; }

    BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, void* clsid) override;
    BOOL BASS_Free() override;
    BOOL BASS_Stop() override;
    BOOL BASS_SetConfig(DWORD option, DWORD value) override;
    int BASS_GetVolume() override;
    int BASS_ErrorGetCode() override;

    BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags) override;
    BOOL BASS_StreamFree(HSTREAM handle) override;
    QWORD BASS_StreamGetLength(HSTREAM handle) override;
    HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                  DWORD flags) override;

    DWORD BASS_ChannelIsActive(DWORD handle) override;
    BOOL BASS_ChannelPause(DWORD handle) override;
    BOOL BASS_ChannelResume(DWORD handle) override;
    BOOL BASS_ChannelStop(DWORD handle) override;
    BOOL BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan) override;
    BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan) override;
    BOOL BASS_ChannelSlideAttributes(DWORD handle, int freq, int volume, int pan,
                                     DWORD time) override;
    QWORD BASS_ChannelGetPosition(DWORD handle) override;
    BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos) override;
    float BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) override;
    BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) override;
    int BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) override;
    HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc,
                              void* user) override;
    BOOL BASS_GetFileFacts(const char* path, AudioFileFacts* facts) override;

    HSTREAM createStream(std::unique_ptr<PcmSource> source, DWORD flags, int owner) override;
    void freeStreamsOf(int owner) override;
    std::optional<SectorDamage> damageOf(HSTREAM handle) override;

    int tapCandidate(HSTREAM handle, std::uint64_t& bytesLeft) override;
    int attachTap(HSTREAM handle, std::shared_ptr<DataTap> tap) override;
    void detachTap(HSTREAM handle) override;

private:
    BOOL switchActive(DWORD handle, DWORD from, DWORD to, int notInState);
    // Runs the output while a stream plays or slides, and stops it otherwise. Called after
    // every change of that, with no lock held.
    void updateOutput();
    void updateOutputLocked(); // m_lifecycle held
    struct SyncCall {
        HSTREAM stream = 0;
        SyncEntry sync;
        DWORD data = 0;
        bool freeStream = false; // instead of a call: the end of an auto-free stream
    };

    std::shared_ptr<Stream> find(DWORD handle);
    std::vector<std::shared_ptr<Stream>> playbackStreams();
    bool freeStream(std::unique_lock<std::mutex>& lock, HSTREAM handle);
    void freeAllStreams();
    bool moveTo(Stream& stream, std::uint64_t pos);
    int readDecoded(Stream& stream, char* out, int wanted);

    // Dispatcher thread.
    void dispatchPending();
    void collectCalls(std::vector<SyncCall>& calls);
    void run(const SyncCall& call);
    bool stillStopped(Stream& stream);

    FileCodecs* m_fileCodecs = nullptr;
    std::mutex m_lifecycle; // serialises Init and Free
    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<ReadAhead> m_readAhead;

    std::mutex m_mutex;
    std::condition_variable m_syncReturned;
    HSTREAM m_inSync = 0; // the stream whose sync procedure runs right now
    std::map<HSTREAM, std::shared_ptr<Stream>> m_streams;
    HSTREAM m_lastHandle = 0; // handles only grow, so a late sync never names a new stream
    HSYNC m_lastSync = 0;
    bool m_initialised = false;

    Mixer m_mixer;
    ReadAheadSignal m_readAheadSignal;
    SyncDispatcher m_dispatcher; // last: its thread uses everything above
};

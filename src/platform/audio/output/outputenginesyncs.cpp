// The syncs of the output engine: installing them, and calling them on the dispatcher thread.
#include "platform/audio/output/outputengine.h"

#include "platform/audio/core/boolresult.h"
#include "platform/audio/core/lasterror.h"

namespace {

bool Supported(DWORD type) {
    const DWORD kind = type & ~BASS_SYNC_ONETIME;
    return kind == BASS_SYNC_END || kind == BASS_SYNC_SLIDE || kind == BASS_SYNC_CD_ERROR;
}

DWORD SyncTypeOf(StreamEvent event) {
    switch (event) {
    case kEventEnd:
        return BASS_SYNC_END;
    case kEventSlideDone:
        return BASS_SYNC_SLIDE;
    case kEventReadError:
        return BASS_SYNC_CD_ERROR;
    }
    return 0;
}

} // namespace

// param: none of the supported types takes one.
HSYNC OutputEngine::BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD, SYNCPROC* proc,
                                        void* user) {
    if (!Supported(type))
        return FailWith(BASS_ERROR_ILLTYPE, HSYNC{0});
    if (!proc)
        return FailWith(BASS_ERROR_ILLPARAM, HSYNC{0});
    std::lock_guard guard(m_mutex);
    const auto it = m_streams.find(handle);
    if (it == m_streams.end())
        return FailWith(BASS_ERROR_HANDLE, HSYNC{0});
    if (++m_lastSync == 0)
        ++m_lastSync;
    it->second->syncs.push_back(SyncEntry{m_lastSync, type, proc, user});
    SetLastBassError(BASS_OK);
    return m_lastSync;
}

void OutputEngine::dispatchPending() {
    std::vector<SyncCall> calls;
    {
        std::lock_guard guard(m_mutex);
        collectCalls(calls);
    }
    for (const SyncCall& call : calls)
        run(call);
    updateOutput(); // a stream ended or a slide finished: the output may stop
}

// With m_mutex held: turns the streams' new events into calls. A one-time sync is
// taken off its stream here, so it can be called once at most.
void OutputEngine::collectCalls(std::vector<SyncCall>& calls) {
    for (auto& [handle, stream] : m_streams) {
        const unsigned events = m_mixer.takeEvents(*stream);
        for (StreamEvent event : {kEventReadError, kEventSlideDone, kEventEnd}) {
            if (!(events & event))
                continue;
            DWORD data = 0;
            if (event == kEventReadError) {
                auto mix = m_mixer.lock();
                data = static_cast<DWORD>(stream->play.readError);
            }
            auto& syncs = stream->syncs;
            for (auto sync = syncs.begin(); sync != syncs.end();) {
                if ((sync->type & ~BASS_SYNC_ONETIME) != SyncTypeOf(event)) {
                    ++sync;
                    continue;
                }
                calls.push_back(SyncCall{handle, *sync, data, false});
                sync = (sync->type & BASS_SYNC_ONETIME) ? syncs.erase(sync) : sync + 1;
            }
        }
        // A played stream that ended is freed after its end syncs were called.
        if ((events & kEventEnd) && stream->autoFree() && !stream->isDecode())
            calls.push_back(SyncCall{handle, {}, 0, true});
    }
}

bool OutputEngine::stillStopped(Stream& stream) {
    auto mix = m_mixer.lock();
    return stream.play.active == BASS_ACTIVE_STOPPED;
}

// A call whose stream was freed meanwhile is dropped: no sync names a freed stream.
void OutputEngine::run(const SyncCall& call) {
    std::unique_lock lock(m_mutex);
    const auto it = m_streams.find(call.stream);
    if (it == m_streams.end())
        return;
    if (call.freeStream) {
        if (stillStopped(*it->second)) // not when it was started again meanwhile
            freeStream(lock, call.stream);
        return;
    }
    m_inSync = call.stream;
    lock.unlock();
    call.sync.proc(call.sync.handle, call.stream, call.data, call.sync.user);
    lock.lock();
    m_inSync = 0;
    m_syncReturned.notify_all();
}

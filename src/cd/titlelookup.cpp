#include "cd/titlelookup.h"

#include "metadata/disccache.h"
#include "verify/discids.h"

#include <QPointer>

#include <algorithm>

DiscQuery QueryOfDisc(const DiscToc& toc) {
    DiscQuery query;
    query.musicBrainzDiscId = MusicBrainzDiscId(toc);
    query.toc = MusicBrainzToc(toc);
    query.freedbId = FreedbId(toc);
    for (const DiscToc::Track& track : toc.tracks)
        query.offsets << track.lsn + kLbaOfLsn0;
    query.trackCount = toc.lastAudio() + 1; // up to the last audio track, as MusicBrainz counts
    query.discSeconds = (toc.leadOut + kLbaOfLsn0) / kSectorsPerSecond;
    return query;
}

TitleLookup::TitleLookup(std::function<bool()> online, Choice choose, QObject* parent)
    : QObject(parent), m_online(std::move(online)), m_choose(std::move(choose)) {}

TitleLookup::~TitleLookup() = default;

void TitleLookup::start(const DiscQuery& query) {
    cancel();
    m_query = query;
    m_pending = true;
    QMetaObject::invokeMethod(
        this,
        [this, serial = m_serial] {
            if (serial == m_serial)
                Ask();
        },
        Qt::QueuedConnection);
}

void TitleLookup::cancel() {
    ++m_serial;
    m_pending = false;
    m_heldAnswer.reset();
    m_lookup.reset();
}

void TitleLookup::setHeld(bool held) {
    m_held = held;
    if (held || !m_heldAnswer)
        return;
    QMetaObject::invokeMethod(
        this,
        [this, serial = m_serial] {
            if (serial == m_serial && !m_held && m_heldAnswer)
                Settle(*std::exchange(m_heldAnswer, std::nullopt));
        },
        Qt::QueuedConnection);
}

void TitleLookup::Answered(const LookupResult& result) {
    if (m_held)
        m_heldAnswer = result;
    else
        Settle(result);
}

void TitleLookup::Ask() {
    if (m_online && !m_online()) {
        m_pending = false;
        emit settled({}, {QStringLiteral("online lookup: off in the General Options")});
        return;
    }
    m_lookup = std::make_unique<DiscLookup>();
    // The user may be asked to choose: that box opens once the lookup has finished saying.
    connect(m_lookup.get(), &DiscLookup::finished, this,
            [this, serial = m_serial](const LookupResult& result) {
                QMetaObject::invokeMethod(
                    this,
                    [this, serial, result] {
                        if (serial == m_serial)
                            Answered(result);
                    },
                    Qt::QueuedConnection);
            });
    m_lookup->lookup(m_query);
}

void TitleLookup::Settle(LookupResult result) {
    CutLongTexts(result.releases, result.steps); // before any of it is shown
    const int serial = m_serial;
    QPointer<TitleLookup> alive(this);
    const int index = Pick(result);
    if (!alive || serial != m_serial)
        return; // another disc was scanned while the user chose
    m_pending = false;
    emit settled(index >= 0 ? result.releases[index] : ReleaseInfo(), result.steps);
}

int TitleLookup::Pick(LookupResult& result) {
    const qsizetype count = result.releases.size();
    const bool guesses = std::any_of(result.releases.cbegin(), result.releases.cend(),
                                     [](const ReleaseInfo& release) { return release.guess; });
    if (count == 0 || (count == 1 && !guesses))
        return count == 1 ? 0 : -1;
    const std::optional<int> remembered = RememberedChoice(DiscCacheKey(m_query));
    if (remembered && *remembered >= -1 && *remembered < count) {
        result.steps << QStringLiteral("choice: %1 of %2 releases, as chosen before")
                            .arg(*remembered < 0 ? QStringLiteral("none")
                                                 : QString::number(*remembered + 1))
                            .arg(count);
        return *remembered;
    }
    return AskUser(result);
}

int TitleLookup::AskUser(LookupResult& result) {
    const int serial = m_serial;
    QPointer<TitleLookup> alive(this);
    int picked = m_choose ? m_choose(result.releases) : -1;
    if (!alive || serial != m_serial)
        return -1;
    const qsizetype count = result.releases.size();
    if (picked < -1 || picked >= count)
        picked = -1;
    result.steps << QStringLiteral("choice: %1 of %2 releases, chosen by the user")
                        .arg(picked < 0 ? QStringLiteral("none") : QString::number(picked + 1))
                        .arg(count);
    if (!RememberChoice(DiscCacheKey(m_query), picked))
        result.steps << QStringLiteral("cache: choice not written");
    return picked;
}

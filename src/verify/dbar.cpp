#include "verify/dbar.h"

#include <QtEndian>

namespace {

constexpr qsizetype kHeaderBytes = 13; // track count, id1, id2, id3
constexpr qsizetype kTrackBytes = 9;   // confidence, checksum, frame-450 checksum

quint32 U32(const char* at) {
    return qFromLittleEndian<quint32>(at);
}

bool LooksLikeHtml(const QByteArray& body) {
    const QByteArray start = body.trimmed().left(5).toLower();
    return start == "<!doc" || start == "<html";
}

} // namespace

std::optional<QList<DbarResponse>> ParseDbar(const QByteArray& body) {
    if (body.isEmpty() || LooksLikeHtml(body))
        return std::nullopt;
    QList<DbarResponse> responses;
    for (qsizetype at = 0; at < body.size();) {
        const char* header = body.constData() + at;
        const int count = quint8(header[0]);
        const qsizetype size = kHeaderBytes + count * kTrackBytes;
        if (count == 0 || body.size() - at < size)
            return std::nullopt;
        DbarResponse response{U32(header + 1), U32(header + 5), U32(header + 9), {}};
        for (int t = 0; t < count; ++t) {
            const char* track = header + kHeaderBytes + t * kTrackBytes;
            response.tracks.append({quint8(track[0]), U32(track + 1), U32(track + 5)});
        }
        responses.append(response);
        at += size;
    }
    return responses;
}

QList<DbarResponse::Track> DbarEntries(const QList<DbarResponse>& responses,
                                       const AccurateRipIds& disc, int entry) {
    QList<DbarResponse::Track> entries;
    for (const DbarResponse& response : responses) {
        if (response.id1 != disc.id1 || response.id2 != disc.id2 || response.id3 != disc.id3 ||
            entry < 0 || entry >= response.tracks.size())
            continue;
        const DbarResponse::Track& track = response.tracks[entry];
        if (track.checksum != 0 || track.confidence != 0)
            entries.append(track);
    }
    return entries;
}

TrackVerdict JudgeTrack(const QList<DbarResponse>& responses, const AccurateRipIds& disc, int entry,
                        quint32 v1, quint32 v2) {
    using Result = TrackVerdict::Result;
    const QList<DbarResponse::Track> entries = DbarEntries(responses, disc, entry);
    if (entries.isEmpty())
        return {Result::NotInDatabase, 0, {}};
    int confidence = 0;
    bool anyMatch = false;
    for (const DbarResponse::Track& track : entries) {
        if (track.checksum == v1 || track.checksum == v2) {
            anyMatch = true;
            confidence += track.confidence;
        }
    }
    if (anyMatch)
        return {Result::Accurate, confidence, {}};
    return {Result::Mismatch, 0, {}};
}

TrackVerdict JudgeTrack(const DbarLookup& lookup, const AccurateRipIds& disc, int entry, quint32 v1,
                        quint32 v2) {
    using Result = TrackVerdict::Result;
    switch (lookup.status) {
    case DbarLookup::Status::Found:
        return JudgeTrack(lookup.responses, disc, entry, v1, v2);
    case DbarLookup::Status::NotInDatabase:
        return {Result::NotInDatabase, 0, {}};
    case DbarLookup::Status::NotChecked:
        break;
    }
    return {Result::NotChecked, 0, lookup.reason};
}

QString VerdictText(const TrackVerdict& verdict) {
    switch (verdict.result) {
    case TrackVerdict::Result::Accurate:
        return QStringLiteral("accurate (confidence %1)").arg(verdict.confidence);
    case TrackVerdict::Result::Mismatch:
        return QStringLiteral("mismatch");
    case TrackVerdict::Result::NotInDatabase:
        return QStringLiteral("not in database");
    case TrackVerdict::Result::NotChecked:
        break;
    }
    return QStringLiteral("not checked");
}

#pragma once

// The bytes of a dBAR file as the AccurateRip server sends them, for a test's own server.

#include "verify/dbar.h"

#include <QtEndian>

inline QByteArray DbarBytes(const QList<DbarResponse>& responses) {
    QByteArray bytes;
    const auto add = [&](auto value) {
        const auto le = qToLittleEndian(value);
        bytes.append(reinterpret_cast<const char*>(&le), sizeof le);
    };
    for (const DbarResponse& response : responses) {
        add(quint8(response.tracks.size()));
        for (quint32 id : {response.id1, response.id2, response.id3})
            add(id);
        for (const DbarResponse::Track& track : response.tracks) {
            add(track.confidence);
            add(track.checksum);
            add(track.frame450);
        }
    }
    return bytes;
}

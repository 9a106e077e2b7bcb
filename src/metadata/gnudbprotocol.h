#pragma once

// gnudb speaks the freedb protocol over HTTP: a query by the disc's freedb id and track offsets
// lists the matching entries, and a read of one entry returns its xmcd record.

#include "metadata/releaseinfo.h"

#include <QByteArray>
#include <QUrl>

struct GnudbMatch {
    QString category;
    QString discId;
    QString title;      // "Artist / Title" as the server lists it
    bool guess = false; // one of an inexact list (211): a disc of similar track lengths
};

struct GnudbQueryReply {
    enum class Kind { Matches, NoMatch, Error };
    Kind kind = Kind::Error;
    QList<GnudbMatch> matches;
    QString message; // the server's status line, for the log
};

// offsets: the LBA of every track, data tracks included; discSeconds: the disc's length.
QUrl GnudbQueryUrl(const QString& base, quint32 freedbId, const QList<int>& offsets,
                   int discSeconds);
QUrl GnudbReadUrl(const QString& base, const GnudbMatch& match);

GnudbQueryReply ParseGnudbQueryReply(const QByteArray& reply);

// The release in the reply to a read, or nothing when the reply is not an entry.
std::optional<ReleaseInfo> ParseGnudbReadReply(const QByteArray& reply);

// The release an xmcd record describes: "DTITLE=Artist / Title", DYEAR, DGENRE and TTITLEn.
ReleaseInfo ParseXmcdRecord(const QString& record);

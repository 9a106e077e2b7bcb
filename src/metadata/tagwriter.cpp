#include "metadata/tagwriter.h"

#include "metadata/disccodetags.h"
#include "metadata/tagedit.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/asftag.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/xiphcomment.h>

namespace {

enum class TagKind { Id3v2, Vorbis };

// TagLib names the disc id's ID3 frame after a key it has no name for; this key gives the
// frame the description other taggers use once its case is set (see SetTaggerCase).
const char* const kId3DiscIdKey = "MUSICBRAINZ DISC ID";

void Put(TagLib::PropertyMap& map, const char* key, const QString& value) {
    if (!value.isEmpty())
        map.replace(key, TagLib::StringList(TagText(value)));
}

void Put(TagLib::PropertyMap& map, const char* key, int value) {
    if (value > 0)
        Put(map, key, QString::number(value));
}

TagLib::PropertyMap Merged(TagLib::PropertyMap map, const TrackTags& tags, TagKind kind) {
    Put(map, "TITLE", tags.title);
    Put(map, "ARTIST", tags.artist);
    Put(map, "ALBUM", tags.album);
    Put(map, "ALBUMARTIST", tags.albumArtist);
    Put(map, "GENRE", tags.genre);
    Put(map, "DATE", tags.year);
    Put(map, "MUSICBRAINZ_ALBUMID", tags.releaseId);
    Put(map, "MUSICBRAINZ_TRACKID", tags.recordingId);
    if (kind == TagKind::Id3v2 && tags.trackNumber > 0 && tags.trackTotal > 0) {
        Put(map, "TRACKNUMBER", QStringLiteral("%1/%2").arg(tags.trackNumber).arg(tags.trackTotal));
    } else {
        Put(map, "TRACKNUMBER", tags.trackNumber);
        Put(map, "TRACKTOTAL", tags.trackTotal);
    }
    Put(map, kind == TagKind::Id3v2 ? kId3DiscIdKey : "MUSICBRAINZ_DISCID", tags.discId);
    PutDiscCodes(map, tags);
    return map;
}

// TagLib writes its free-text frame descriptions in capitals; taggers that compare them
// exactly look for MusicBrainz's own spelling. TagLib itself reads either.
void SetTaggerCase(TagLib::ID3v2::Tag& tag) {
    for (TagLib::ID3v2::Frame* frame : tag.frameList("TXXX")) {
        auto* text = dynamic_cast<TagLib::ID3v2::UserTextIdentificationFrame*>(frame);
        if (text && text->description().upper() == "MUSICBRAINZ ALBUM ID")
            text->setDescription("MusicBrainz Album Id");
        if (text && text->description().upper() == kId3DiscIdKey)
            text->setDescription("MusicBrainz Disc Id");
    }
}

} // namespace

std::optional<QString> WriteTags(const QString& path, const TrackTags& tags) {
    const auto vorbis = [&](TagLib::Ogg::XiphComment& comment) {
        comment.setProperties(Merged(comment.properties(), tags, TagKind::Vorbis));
    };
    TagEdits edits;
    edits.mp3 = [&](TagLib::ID3v2::Tag& tag) {
        tag.setProperties(Merged(tag.properties(), tags, TagKind::Id3v2));
        SetTaggerCase(tag);
    };
    edits.ogg = vorbis;
    edits.flac = [&](TagLib::FLAC::File& file) { vorbis(*file.xiphComment(true)); };
    return EditTags(path, edits, QStringLiteral("tags"));
}

std::optional<QString> WriteWmaTags(const QString& path, const TrackTags& tags) {
    TagEdits edits;
    edits.wma = [&](TagLib::ASF::Tag& tag) {
        const auto put = [&](const char* name, const QString& value) {
            if (!value.isEmpty())
                tag.setAttribute(name, TagLib::ASF::Attribute(TagText(value)));
        };
        put("WM/TrackNumber", tags.trackNumber > 0 ? QString::number(tags.trackNumber) : QString());
        put("WM/AlbumArtist", tags.albumArtist);
        put("MusicBrainz/Album Id", tags.releaseId);
        put("MusicBrainz/Track Id", tags.recordingId);
        put("MusicBrainz/Disc Id", tags.discId);
    };
    return EditTags(path, edits, QStringLiteral("tags"));
}

#include "metadata/tagwriter.h"

#include "metadata/disccodetags.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

namespace {

enum class TagKind { Id3v2, Vorbis };

// TagLib names the disc id's ID3 frame after a key it has no name for; this key gives the
// frame the description other taggers use once its case is set (see SetTaggerCase).
const char* const kId3DiscIdKey = "MUSICBRAINZ DISC ID";

void Put(TagLib::PropertyMap& map, const char* key, const QString& value) {
    if (!value.isEmpty())
        map.replace(key,
                    TagLib::StringList(TagLib::String(value.toStdString(), TagLib::String::UTF8)));
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

std::optional<QString> TagMp3(const QByteArray& path, const TrackTags& tags) {
    TagLib::MPEG::File file(path.constData());
    if (!file.isValid())
        return QStringLiteral("not a readable MP3 file");
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    tag->setProperties(Merged(tag->properties(), tags, TagKind::Id3v2));
    SetTaggerCase(*tag);
    if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v4,
                   TagLib::File::DoNotDuplicate))
        return QStringLiteral("the tags could not be saved");
    return std::nullopt;
}

template <typename File, typename GetComment>
std::optional<QString> TagVorbisComment(const QByteArray& path, const TrackTags& tags,
                                        const char* format, GetComment comment) {
    File file(path.constData());
    if (!file.isValid() || !comment(file))
        return QStringLiteral("not a readable %1 file").arg(QLatin1String(format));
    comment(file)->setProperties(Merged(comment(file)->properties(), tags, TagKind::Vorbis));
    if (!file.save())
        return QStringLiteral("the tags could not be saved");
    return std::nullopt;
}

} // namespace

std::optional<QString> WriteTags(const QString& path, const TrackTags& tags) {
    const QByteArray name = QFile::encodeName(path);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mp3"))
        return TagMp3(name, tags);
    if (suffix == QLatin1String("ogg"))
        return TagVorbisComment<TagLib::Ogg::Vorbis::File>(name, tags, "OGG",
                                                           [](auto& file) { return file.tag(); });
    if (suffix == QLatin1String("flac"))
        return TagVorbisComment<TagLib::FLAC::File>(
            name, tags, "FLAC", [](auto& file) { return file.xiphComment(true); });
    return QStringLiteral("no tags are written to .%1 files").arg(suffix);
}

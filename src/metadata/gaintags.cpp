#include "metadata/gaintags.h"

#include "metadata/tagedit.h"

#include <taglib/asftag.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/textidentificationframe.h>
#include <taglib/xiphcomment.h>

#include <utility>
#include <vector>

namespace {

using Fields = std::vector<std::pair<TagLib::String, TagLib::String>>;

Fields FieldsOf(const GainTags& gains) {
    Fields fields;
    const auto add = [&](const char* name, const std::optional<double>& value, auto format) {
        if (value)
            fields.emplace_back(name, TagText(format(*value)));
    };
    add("REPLAYGAIN_TRACK_GAIN", gains.trackGain, GainText);
    add("REPLAYGAIN_TRACK_PEAK", gains.trackPeak, PeakText);
    add("REPLAYGAIN_ALBUM_GAIN", gains.albumGain, GainText);
    add("REPLAYGAIN_ALBUM_PEAK", gains.albumPeak, PeakText);
    return fields;
}

// One TXXX frame a field; an older frame of that name, in whatever case, goes.
void SetUserText(TagLib::ID3v2::Tag& tag, const TagLib::String& name, const TagLib::String& value) {
    const TagLib::ID3v2::FrameList frames = tag.frameList("TXXX"); // a copy: frames go
    for (TagLib::ID3v2::Frame* frame : frames) {
        auto* text = dynamic_cast<TagLib::ID3v2::UserTextIdentificationFrame*>(frame);
        if (text && text->description().upper() == name)
            tag.removeFrame(frame);
    }
    auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::UTF8);
    frame->setDescription(name);
    frame->setText(value);
    tag.addFrame(frame);
}

} // namespace

GainTags TrackGainTags(const Loudness& track) {
    if (!track.gain())
        return {};
    return {track.gain(), track.truePeak, {}, {}};
}

GainTags AlbumGainTags(const Loudness& album) {
    if (!album.gain())
        return {};
    return {{}, {}, album.gain(), album.truePeak};
}

std::optional<QString> WriteGainTags(const QString& path, const GainTags& gains) {
    const Fields fields = FieldsOf(gains);
    if (fields.empty())
        return std::nullopt;
    const auto vorbis = [&](TagLib::Ogg::XiphComment& comment) {
        for (const auto& [name, value] : fields)
            comment.addField(name, value, true);
    };
    TagEdits edits;
    edits.mp3 = [&](TagLib::ID3v2::Tag& tag) {
        for (const auto& [name, value] : fields)
            SetUserText(tag, name, value);
    };
    edits.ogg = vorbis;
    edits.flac = [&](TagLib::FLAC::File& file) { vorbis(*file.xiphComment(true)); };
    edits.wma = [&](TagLib::ASF::Tag& tag) {
        for (const auto& [name, value] : fields)
            tag.setAttribute(name, TagLib::ASF::Attribute(value));
    };
    return EditTags(path, edits, QStringLiteral("ReplayGain tags"));
}

#include "metadata/tagedit.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

namespace {

struct Wording {
    QString what;

    std::optional<QString> notReadable(const char* format) const {
        return QStringLiteral("not a readable %1 file").arg(QLatin1String(format));
    }
    std::optional<QString> saved(bool saved) const {
        if (saved)
            return std::nullopt;
        return QStringLiteral("the %1 could not be saved").arg(what);
    }
};

// Opens the file as File, hands edit what part gives of it, and saves it.
template <typename File, typename Part, typename Change, typename Save>
std::optional<QString> Edit(const QByteArray& path, const Change& edit, const char* format,
                            const Wording& wording, Part part, Save save) {
    File file(path.constData());
    if (!file.isValid() || part(file) == nullptr)
        return wording.notReadable(format);
    edit(*part(file));
    return wording.saved(save(file));
}

} // namespace

TagLib::String TagText(const QString& text) {
    return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

std::optional<QString> EditTags(const QString& path, const TagEdits& edits, const QString& what) {
    const QByteArray name = QFile::encodeName(path);
    const QString suffix = QFileInfo(path).suffix().toLower();
    const Wording wording{what};
    const auto saveFile = [](auto& file) { return file.save(); };
    if (suffix == QLatin1String("mp3") && edits.mp3)
        return Edit<TagLib::MPEG::File>(
            name, edits.mp3, "MP3", wording, [](auto& file) { return file.ID3v2Tag(true); },
            [](TagLib::MPEG::File& file) {
                return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone,
                                 TagLib::ID3v2::v4, TagLib::File::DoNotDuplicate);
            });
    if (suffix == QLatin1String("ogg") && edits.ogg)
        return Edit<TagLib::Ogg::Vorbis::File>(
            name, edits.ogg, "OGG", wording, [](auto& file) { return file.tag(); }, saveFile);
    if (suffix == QLatin1String("flac") && edits.flac)
        return Edit<TagLib::FLAC::File>(
            name, edits.flac, "FLAC", wording, [](auto& file) { return &file; }, saveFile);
    if (suffix == QLatin1String("wma") && edits.wma)
        return Edit<TagLib::ASF::File>(
            name, edits.wma, "WMA", wording, [](auto& file) { return file.tag(); }, saveFile);
    return QStringLiteral("no %1 in .%2 files").arg(what, suffix);
}

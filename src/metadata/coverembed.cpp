#include "metadata/coverembed.h"

#include "metadata/tagedit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <taglib/asfpicture.h>
#include <taglib/asftag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/xiphcomment.h>

namespace {

TagLib::ByteVector Bytes(const QByteArray& data) {
    return TagLib::ByteVector(data.constData(), static_cast<unsigned>(data.size()));
}

// A new picture block for FLAC and OGG; the caller's file takes it over.
TagLib::FLAC::Picture* FlacPicture(const CoverImage& cover) {
    auto* picture = new TagLib::FLAC::Picture;
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setMimeType(TagText(cover.mimeType));
    picture->setWidth(cover.width);
    picture->setHeight(cover.height);
    picture->setColorDepth(cover.depth);
    picture->setData(Bytes(cover.data));
    return picture;
}

// FLAC files and Vorbis comments hold their pictures alike.
template <typename Holder> void ReplaceFrontCover(Holder& holder, const CoverImage& cover) {
    for (TagLib::FLAC::Picture* picture : holder.pictureList())
        if (picture->type() == TagLib::FLAC::Picture::FrontCover)
            holder.removePicture(picture, true);
    holder.addPicture(FlacPicture(cover));
}

void EmbedMp3(TagLib::ID3v2::Tag& tag, const CoverImage& cover) {
    const TagLib::ID3v2::FrameList pictures = tag.frameList("APIC"); // a copy: frames go
    for (TagLib::ID3v2::Frame* frame : pictures) {
        auto* picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame);
        if (picture && picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover)
            tag.removeFrame(frame);
    }
    auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    frame->setMimeType(TagText(cover.mimeType));
    frame->setPicture(Bytes(cover.data));
    tag.addFrame(frame);
}

void EmbedWma(TagLib::ASF::Tag& tag, const CoverImage& cover) {
    const char* const name = "WM/Picture";
    TagLib::ASF::AttributeList pictures;
    for (const TagLib::ASF::Attribute& held : tag.attribute(name))
        if (held.toPicture().type() != TagLib::ASF::Picture::FrontCover)
            pictures.append(held);
    TagLib::ASF::Picture picture;
    picture.setType(TagLib::ASF::Picture::FrontCover);
    picture.setMimeType(TagText(cover.mimeType));
    picture.setPicture(Bytes(cover.data));
    pictures.append(TagLib::ASF::Attribute(picture));
    tag.setAttribute(name, pictures);
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    if (file.size() > kLargestCover || !file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

std::optional<QString> EmbedCover(const QString& path, const CoverImage& cover) {
    if (cover.isNull())
        return QStringLiteral("no cover");
    TagEdits edits;
    edits.mp3 = [&](TagLib::ID3v2::Tag& tag) { EmbedMp3(tag, cover); };
    edits.ogg = [&](TagLib::Ogg::XiphComment& comment) { ReplaceFrontCover(comment, cover); };
    edits.flac = [&](TagLib::FLAC::File& file) { ReplaceFrontCover(file, cover); };
    edits.wma = [&](TagLib::ASF::Tag& tag) { EmbedWma(tag, cover); };
    return EditTags(path, edits, QStringLiteral("cover"));
}

std::optional<QString> SaveCoverFile(const QString& folder, const CoverImage& cover) {
    const QDir dir(folder);
    const QString name = QStringLiteral("cover.") + cover.extension();
    for (const QString& held : {QStringLiteral("cover.jpg"), QStringLiteral("cover.png")}) {
        if (!dir.exists(held))
            continue;
        if (held == name && Contents(dir.filePath(held)) == cover.data)
            return std::nullopt;
        return QStringLiteral("%1 not saved: the folder has a different %2, which is kept")
            .arg(name, held);
    }
    // Written whole under a hidden name first; the rename never replaces a file that came
    // meanwhile.
    const QString hidden = dir.filePath(QStringLiteral(".cover.mivo-%1.%2")
                                            .arg(QCoreApplication::applicationPid())
                                            .arg(cover.extension()));
    QFile file(hidden);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write(cover.data) == cover.data.size() && file.flush();
    const QString why = file.errorString();
    file.close();
    if (written && QFile::rename(hidden, dir.filePath(name)))
        return std::nullopt;
    QFile::remove(hidden);
    return QStringLiteral("%1 not saved: %2")
        .arg(name, written ? QStringLiteral("a file of that name came meanwhile") : why);
}

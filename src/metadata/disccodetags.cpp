#include "metadata/disccodetags.h"

namespace {

struct CodeField {
    const char* property; // TagLib's name, which is the Vorbis comment's
    const char* wma;
    QString TrackTags::*value;
};

constexpr CodeField kCodeFields[] = {
    {"ISRC", "WM/ISRC", &TrackTags::isrc},
    {"BARCODE", "WM/Barcode", &TrackTags::barcode},
    {"CATALOGNUMBER", "WM/CatalogNo", &TrackTags::catalogNumber},
};

} // namespace

void AddDiscCodes(TrackTags& tags, const DiscTags& disc, int track) {
    tags.isrc = disc.isrcs.value(track);
    tags.barcode = disc.mcn.isEmpty() ? disc.release.barcode : disc.mcn;
    tags.catalogNumber = disc.release.catalogNumber;
}

void PutDiscCodes(TagLib::PropertyMap& map, const TrackTags& tags) {
    for (const CodeField& field : kCodeFields)
        if (const QString& value = tags.*field.value; !value.isEmpty())
            map.replace(field.property, TagLib::StringList(TagLib::String(value.toStdString(),
                                                                          TagLib::String::UTF8)));
}

QList<std::pair<QByteArray, QByteArray>> WmaDiscCodeTags(const TrackTags& tags) {
    QList<std::pair<QByteArray, QByteArray>> wma;
    for (const CodeField& field : kCodeFields)
        if (const QString& value = tags.*field.value; !value.isEmpty())
            wma.append({field.wma, value.toUtf8()});
    return wma;
}

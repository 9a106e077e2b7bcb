#include "platform/audio/ffmpeg/asfattributes.h"

#include <taglib/asffile.h>

namespace {

using TagLib::String;
using TagLib::ASF::Tag;

struct DescriptionField {
    const char* name;
    String (Tag::*get)() const;
    void (Tag::*set)(const String&);
};

// The content description's fields; TagLib keeps them apart from the extended attributes.
const DescriptionField kFields[] = {
    {"TITLE", &Tag::title, &Tag::setTitle},
    {"AUTHOR", &Tag::artist, &Tag::setArtist},
    {"DESCRIPTION", &Tag::comment, &Tag::setComment},
    {"COPYRIGHT", &Tag::copyright, &Tag::setCopyright},
    {"RATING", &Tag::rating, &Tag::setRating},
};

// Moves the attributes of one field (whatever their case) into the content description.
bool MoveIntoDescription(Tag& tag, const DescriptionField& field) {
    bool moved = false;
    for (const auto& [name, values] : TagLib::ASF::AttributeListMap(tag.attributeListMap())) {
        if (name.upper() != field.name)
            continue;
        if ((tag.*field.get)().isEmpty() && !values.isEmpty())
            (tag.*field.set)(values.front().toString());
        tag.removeItem(name);
        moved = true;
    }
    return moved;
}

} // namespace

bool KeepDescriptionFieldsOnce(const std::string& path) {
    TagLib::ASF::File file(path.c_str());
    if (!file.isValid() || file.tag() == nullptr)
        return false;
    bool changed = false;
    for (const DescriptionField& field : kFields)
        changed = MoveIntoDescription(*file.tag(), field) || changed;
    return !changed || file.save();
}

#pragma once

#include <string>

// FFmpeg's ASF writer puts the title, author, copyright and rating in the file's content
// description and again, under its own names ("title"), among the extended attributes, so
// players list them twice; the description it writes only as an attribute. This leaves each of
// the five in the content description, once, where every player looks. False when the finished
// file could not be rewritten (it stays valid, with the copies).
bool KeepDescriptionFieldsOnce(const std::string& path);

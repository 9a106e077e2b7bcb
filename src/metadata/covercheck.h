#pragma once

// Whether bytes are a cover Mivo takes: a JPEG or PNG that Qt decodes whole, at most
// kLargestCover bytes and of a size a window can hold. The check decodes the image, so the window
// asks for it on a worker thread.

#include "metadata/coverimage.h"

#include <QImage>

#include <functional>
#include <variant>

class QObject;

struct CheckedCover {
    CoverImage file;
    QImage image; // decoded, for the window
};

// The cover, or why it is none: "not a JPEG or PNG image", "a damaged PNG image", …
using CoverCheck = std::variant<CheckedCover, QString>;

CoverCheck CheckCover(const QByteArray& data);
// The file read and checked the same way ("larger than 10 MiB", "cannot be read: …").
CoverCheck CheckCoverFile(const QString& path);

// Runs check on a worker thread; done gets its result on context's thread, never once context
// is gone.
void CheckCoverLater(QObject* context, std::function<CoverCheck()> check,
                     std::function<void(const CoverCheck&)> done);

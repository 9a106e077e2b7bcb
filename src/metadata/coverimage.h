#pragma once

// A disc's front cover as it goes into the files and the folder: the image file's own bytes, a
// JPEG or a PNG that was checked by decoding it, never encoded again, and what a FLAC picture
// block says of it.

#include <QByteArray>
#include <QString>

// The largest cover taken, from the Cover Art Archive or from the user.
inline constexpr qint64 kLargestCover = 10 * 1024 * 1024;

struct CoverImage {
    QByteArray data;
    QString mimeType; // "image/jpeg" or "image/png"
    int width = 0;
    int height = 0;
    int depth = 0; // bits per pixel

    bool isNull() const { return data.isEmpty(); }
    // "jpg" or "png", for cover.jpg beside the files.
    QString extension() const {
        return mimeType == QLatin1String("image/png") ? QStringLiteral("png")
                                                      : QStringLiteral("jpg");
    }
    // "JPEG 500×500, 43 KiB", for the window and the rip log.
    QString description() const {
        return QStringLiteral("%1 %2×%3, %4 KiB")
            .arg(extension() == QLatin1String("png") ? "PNG" : "JPEG")
            .arg(width)
            .arg(height)
            .arg((data.size() + 1023) / 1024);
    }
};

#include "metadata/covercheck.h"

#include <QBuffer>
#include <QFile>
#include <QFutureWatcher>
#include <QImageReader>
#include <QtConcurrent>

namespace {

// A cover of 8000 by 8000 pixels decodes in 256 MB; no cover needs that, and a small file that
// claims it would be a way to exhaust the memory.
constexpr int kLargestSide = 4000;

QString SizeLimitText() {
    return QStringLiteral("larger than %1 MiB").arg(kLargestCover / 1024 / 1024);
}

} // namespace

CoverCheck CheckCover(const QByteArray& data) {
    if (data.size() > kLargestCover)
        return SizeLimitText();
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format != "jpeg" && format != "png")
        return QStringLiteral("not a JPEG or PNG image");
    const QString name = format == "png" ? QStringLiteral("PNG") : QStringLiteral("JPEG");
    const QSize size = reader.size();
    if (size.width() > kLargestSide || size.height() > kLargestSide)
        return QStringLiteral("a %1 image of %2×%3 pixels, more than a cover needs")
            .arg(name)
            .arg(size.width())
            .arg(size.height());
    QImage image = reader.read();
    if (image.isNull())
        return QStringLiteral("a damaged %1 image (%2)").arg(name, reader.errorString());
    CoverImage file{data, QStringLiteral("image/") + QString::fromLatin1(format), image.width(),
                    image.height(), image.depth()};
    return CheckedCover{std::move(file), std::move(image)};
}

CoverCheck CheckCoverFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot be read: %1").arg(file.errorString());
    if (file.size() > kLargestCover)
        return SizeLimitText();
    return CheckCover(file.read(kLargestCover + 1));
}

void CheckCoverLater(QObject* context, std::function<CoverCheck()> check,
                     std::function<void(const CoverCheck&)> done) {
    auto* watcher = new QFutureWatcher<CoverCheck>(context);
    QObject::connect(watcher, &QFutureWatcher<CoverCheck>::finished, context,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         done(watcher->result());
                     });
    watcher->setFuture(QtConcurrent::run(std::move(check)));
}

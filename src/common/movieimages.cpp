#include "common/movieimages.h"

#include <QMutexLocker>

MovieImages::MovieImages() : QQuickImageProvider(QQuickImageProvider::Image) {}

QString MovieImages::put(const QString& name, const QImage& image) {
    const QMutexLocker lock(&m_mutex);
    if (image.isNull()) {
        m_images.remove(name);
        return QString();
    }
    m_images.insert(name, image);
    return QStringLiteral("image://%1/%2/%3").arg(kProviderName, name).arg(++m_serial);
}

QImage MovieImages::requestImage(const QString& id, QSize* size, const QSize& requestedSize) {
    QImage image;
    {
        const QMutexLocker lock(&m_mutex);
        image = m_images.value(id.section('/', 0, 0));
    }
    if (!image.isNull() && requestedSize.isValid())
        image = image.scaled(requestedSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (size != nullptr)
        *size = image.size();
    return image;
}

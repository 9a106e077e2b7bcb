#pragma once

// Pictures the program hands the skin movie, by name: the movie shows one through the address
// the program puts into a `_root` variable ("image://movie/CoverArt/3"). The number changes
// with each picture, so the movie loads the new one.

#include <QHash>
#include <QImage>
#include <QMutex>
#include <QQuickImageProvider>

class MovieImages : public QQuickImageProvider {
public:
    static inline const QString kProviderName = QStringLiteral("movie");

    MovieImages();

    // The address of the picture now kept under name; empty when it is none.
    QString put(const QString& name, const QImage& image);

    // id: "<name>/<number>". Called by the movie's loaders, on any thread.
    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

private:
    QMutex m_mutex;
    QHash<QString, QImage> m_images;
    int m_serial = 0;
};

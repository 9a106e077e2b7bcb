#pragma once

// Fetches a release's front cover from the Cover Art Archive in the background:
// <base>/release/<release id>/front-<size>, base https://coverartarchive.org unless
// MIVO_COVERART_URL names another. The archive answers with a redirect to the image's host; the
// limits of time and size hold across it. The image is checked by decoding it on a worker thread
// before anyone sees it; a cover that is not an image, too large or never comes is none, and the
// answer says why in a line for the rip log.

#include "metadata/covercheck.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

// The sizes the archive keeps of every cover: 250 for lists, 500 for the window and the files.
enum class CoverSize { Thumbnail = 250, Large = 500 };

QUrl CoverArtUrl(const QString& releaseId, CoverSize size);

struct CoverAnswer {
    QString releaseId;
    std::optional<CheckedCover> cover;
    // "Cover Art Archive: JPEG 500×500, 43 KiB", or why there is none ("Cover Art Archive: no
    // cover known for this release (404)").
    QString note;
};

class CoverArtFetch : public QObject {
    Q_OBJECT
public:
    explicit CoverArtFetch(QObject* parent = nullptr);
    ~CoverArtFetch() override;

    // Drops a fetch still running, without a signal.
    void fetch(const QString& releaseId, CoverSize size);
    void cancel();
    bool busy() const { return m_busy; }

    void setLimit(std::chrono::milliseconds limit) { m_limit = limit; }

signals:
    // Once per fetch, unless it was dropped.
    void finished(const CoverAnswer& answer);

private:
    void Answered(const CoverAnswer& answer);

    std::unique_ptr<QNetworkAccessManager> m_network; // made at the first fetch, not at start-up
    QPointer<QNetworkReply> m_reply;
    std::chrono::milliseconds m_limit{10000};
    int m_serial = 0; // which fetch a checked image belongs to
    bool m_busy = false;
};

#include "metadata/coverartfetch.h"

#include "common/httpget.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

namespace {

const QString kArchive = QStringLiteral("Cover Art Archive: ");

QString Failure(const HttpAnswer& answer) {
    if (answer.status == 404)
        return QStringLiteral("no cover known for this release (404)");
    return answer.status ? QStringLiteral("server error %1").arg(answer.status) : answer.failure;
}

} // namespace

QUrl CoverArtUrl(const QString& releaseId, CoverSize size) {
    return QUrl(ServiceBase("MIVO_COVERART_URL", "https://coverartarchive.org") +
                QStringLiteral("/release/") +
                QString::fromLatin1(QUrl::toPercentEncoding(releaseId)) +
                QStringLiteral("/front-%1").arg(static_cast<int>(size)));
}

CoverArtFetch::CoverArtFetch(QObject* parent) : QObject(parent) {}

CoverArtFetch::~CoverArtFetch() {
    cancel();
}

void CoverArtFetch::cancel() {
    ++m_serial;
    m_busy = false;
    if (m_reply)
        DropGet(m_reply);
}

void CoverArtFetch::fetch(const QString& releaseId, CoverSize size) {
    cancel();
    if (!m_network)
        m_network = std::make_unique<QNetworkAccessManager>();
    m_busy = true;
    const int serial = m_serial;
    const auto got = [this, serial, releaseId](const HttpAnswer& answer) {
        if (answer.status != 200)
            return Answered({releaseId, std::nullopt, kArchive + Failure(answer)});
        CheckCoverLater(
            this, [body = answer.body] { return CheckCover(body); },
            [this, serial, releaseId](const CoverCheck& check) {
                if (serial != m_serial)
                    return;
                if (const auto* cover = std::get_if<CheckedCover>(&check))
                    return Answered({releaseId, *cover, kArchive + cover->file.description()});
                Answered({releaseId, std::nullopt, kArchive + std::get<QString>(check)});
            });
    };
    m_reply = StartGet(*m_network, CoverArtUrl(releaseId, size), m_limit, got, kLargestCover);
}

void CoverArtFetch::Answered(const CoverAnswer& answer) {
    m_busy = false;
    emit finished(answer);
}

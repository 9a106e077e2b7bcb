#include "verify/accurateripclient.h"

#include "common/product.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

namespace {

constexpr qsizetype kBodyLimit = 1024 * 1024;

QUrl UrlOf(const QString& path) {
    QString base =
        qEnvironmentVariable("MIVO_ACCURATERIP_URL", QStringLiteral("http://www.accuraterip.com/"));
    if (!base.endsWith('/'))
        base += '/';
    return QUrl(base + (path.startsWith('/') ? path.mid(1) : path));
}

DbarLookup NotChecked(const QString& reason) {
    return {DbarLookup::Status::NotChecked, {}, reason};
}

} // namespace

AccurateRipClient::AccurateRipClient(QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &AccurateRipClient::timedOut);
}

AccurateRipClient::~AccurateRipClient() {
    drop();
}

void AccurateRipClient::fetch(const QString& path) {
    drop();
    QNetworkRequest request(UrlOf(path));
    request.setHeader(QNetworkRequest::UserAgentHeader, "Mivo/" + kProductVersion);
    m_body.clear();
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &AccurateRipClient::readBody);
    connect(m_reply, &QNetworkReply::finished, this, &AccurateRipClient::replyFinished);
    m_timer.start(m_limit);
}

void AccurateRipClient::readBody() {
    m_body += m_reply->readAll();
    if (m_body.size() > kBodyLimit)
        finish(NotChecked(QStringLiteral("answer too large")));
}

void AccurateRipClient::replyFinished() {
    readBody();
    if (m_reply)
        finish(lookupOfReply());
}

void AccurateRipClient::timedOut() {
    finish(NotChecked(
        QStringLiteral("no answer in %1 seconds").arg(double(m_limit.count()) / 1000.0)));
}

// Stops the running request, if any, so that nothing of it reaches this object any more.
void AccurateRipClient::drop() {
    m_timer.stop();
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void AccurateRipClient::finish(const DbarLookup& lookup) {
    drop();
    emit finished(lookup);
}

DbarLookup AccurateRipClient::lookupOfReply() const {
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        return NotChecked(m_reply->error() == QNetworkReply::RemoteHostClosedError
                              ? QStringLiteral("connection closed without an answer")
                              : QStringLiteral("no connection"));
    }
    if (status.toInt() == 404)
        return {DbarLookup::Status::NotInDatabase, {}, {}};
    if (status.toInt() != 200)
        return NotChecked(QStringLiteral("server error %1").arg(status.toInt()));
    if (m_reply->error() != QNetworkReply::NoError)
        return NotChecked(QStringLiteral("answer cut off"));
    const auto responses = ParseDbar(m_body);
    if (!responses)
        return NotChecked(QStringLiteral("answer not understood"));
    return {DbarLookup::Status::Found, *responses, {}};
}

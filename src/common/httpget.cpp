#include "common/httpget.h"

#include "common/product.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <memory>

namespace {

constexpr int kMostRedirects = 5;

QString TimeLimitText(std::chrono::milliseconds limit) {
    return QStringLiteral("no answer in %1 seconds").arg(limit.count() / 1000.0);
}

HttpAnswer Failed(QNetworkReply& reply, const QString& why) {
    HttpAnswer answer;
    answer.failure = why;
    answer.closedByServer = reply.error() == QNetworkReply::RemoteHostClosedError;
    answer.statusBeforeFailure = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return answer;
}

HttpAnswer OverLimit(QNetworkReply& reply, const QString& why) {
    HttpAnswer answer = Failed(reply, why);
    answer.overLimit = true;
    return answer;
}

HttpAnswer Answer(QNetworkReply& reply, const QString& abortReason, qint64 largest) {
    if (!abortReason.isEmpty())
        return OverLimit(reply, abortReason);
    // Errors below the content ones are the connection's: none, or one cut short.
    if (reply.error() != QNetworkReply::NoError &&
        reply.error() < QNetworkReply::ContentAccessDenied)
        return Failed(reply, QStringLiteral("no connection (%1)").arg(reply.errorString()));
    HttpAnswer answer;
    answer.status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (answer.status == 0)
        return Failed(reply, QStringLiteral("answer not understood (%1)").arg(reply.errorString()));
    answer.body = reply.read(largest + 1);
    if (answer.body.size() > largest)
        return OverLimit(reply, QStringLiteral("answer too large"));
    answer.retryAfter = std::chrono::seconds(reply.rawHeader("Retry-After").toInt());
    return answer;
}

} // namespace

QString MivoUserAgent() {
    return QStringLiteral("Mivo/%1 ( %2 )").arg(kProductVersion, kProductAddress);
}

QString ServiceBase(const char* variable, const char* fallback) {
    QString base = qEnvironmentVariable(variable, QString::fromLatin1(fallback));
    while (base.endsWith('/'))
        base.chop(1);
    return base;
}

QNetworkReply* StartGet(QNetworkAccessManager& network, const QUrl& url,
                        std::chrono::milliseconds limit,
                        std::function<void(const HttpAnswer&)> done, qint64 largestAnswer) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, MivoUserAgent());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMostRedirects);
    QNetworkReply* reply = network.get(request);
    auto abortReason = std::make_shared<QString>();
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, reply, [=] {
        *abortReason = TimeLimitText(limit);
        reply->abort();
    });
    timer->start(limit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [=](qint64 received, qint64 total) {
                         if (received <= largestAnswer && total <= largestAnswer)
                             return;
                         *abortReason = QStringLiteral("answer too large");
                         reply->abort();
                     });
    QObject::connect(reply, &QNetworkReply::finished, reply, [=] {
        timer->stop();
        reply->deleteLater();
        done(Answer(*reply, *abortReason, largestAnswer));
    });
    return reply;
}

void DropGet(QNetworkReply* reply) {
    QObject::disconnect(reply, &QNetworkReply::finished, nullptr, nullptr);
    reply->abort();
    reply->deleteLater();
}

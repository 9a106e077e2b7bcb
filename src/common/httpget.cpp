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

namespace {

// What one request keeps beside its reply, owned by it: its limits, who takes the answer, and
// why the request was cut short. The reply's signals reach it by name, so Qt makes no functor
// objects for them: Qt may free a connection's functor on its network thread, out of the
// program's sight (and ThreadSanitizer's).
class GetState : public QObject {
    Q_OBJECT
public:
    GetState(QNetworkReply* reply, std::chrono::milliseconds limit, qint64 largestAnswer,
             std::function<void(const HttpAnswer&)> done)
        : QObject(reply), m_reply(reply), m_limit(limit), m_largestAnswer(largestAnswer),
          m_done(std::move(done)), m_timer(new QTimer(this)) {
        m_timer->setSingleShot(true);
        connect(m_timer, SIGNAL(timeout()), this, SLOT(timedOut()));
        connect(reply, SIGNAL(downloadProgress(qint64, qint64)), this,
                SLOT(received(qint64, qint64)));
        connect(reply, SIGNAL(finished()), this, SLOT(finished()));
        m_timer->start(limit);
    }

private slots:
    void timedOut() {
        m_abortReason = TimeLimitText(m_limit);
        m_reply->abort();
    }
    void received(qint64 bytes, qint64 total) {
        if (bytes <= m_largestAnswer && total <= m_largestAnswer)
            return;
        m_abortReason = QStringLiteral("answer too large");
        m_reply->abort();
    }
    void finished() {
        m_timer->stop();
        m_reply->deleteLater();
        m_done(Answer(*m_reply, m_abortReason, m_largestAnswer));
    }

private:
    QNetworkReply* m_reply;
    std::chrono::milliseconds m_limit;
    qint64 m_largestAnswer;
    std::function<void(const HttpAnswer&)> m_done;
    QTimer* m_timer;
    QString m_abortReason;
};

} // namespace

QNetworkReply* StartGet(QNetworkAccessManager& network, const QUrl& url,
                        std::chrono::milliseconds limit,
                        std::function<void(const HttpAnswer&)> done, qint64 largestAnswer) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, MivoUserAgent());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMostRedirects);
    QNetworkReply* reply = network.get(request);
    new GetState(reply, limit, largestAnswer, std::move(done));
    return reply;
}

void DropGet(QNetworkReply* reply) {
    QObject::disconnect(reply, &QNetworkReply::finished, nullptr, nullptr);
    reply->abort();
    reply->deleteLater();
}

#include "httpget.moc"

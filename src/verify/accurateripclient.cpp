#include "verify/accurateripclient.h"

#include "common/httpget.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

namespace {

QUrl UrlOf(const QString& path) {
    return QUrl(ServiceBase("MIVO_ACCURATERIP_URL", "http://www.accuraterip.com") +
                QLatin1Char('/') + (path.startsWith('/') ? path.mid(1) : path));
}

DbarLookup NotChecked(const QString& reason) {
    return {DbarLookup::Status::NotChecked, {}, reason};
}

// The rip log words the database's failures in its own terms.
DbarLookup LookupOf(const HttpAnswer& answer) {
    const int status = answer.status ? answer.status : answer.statusBeforeFailure;
    if (answer.overLimit)
        return NotChecked(answer.failure);
    if (status == 0)
        return NotChecked(answer.closedByServer
                              ? QStringLiteral("connection closed without an answer")
                              : QStringLiteral("no connection"));
    if (status == 404)
        return {DbarLookup::Status::NotInDatabase, {}, {}};
    if (status != 200)
        return NotChecked(QStringLiteral("server error %1").arg(status));
    if (!answer.failure.isEmpty())
        return NotChecked(QStringLiteral("answer cut off"));
    const auto responses = ParseDbar(answer.body);
    if (!responses)
        return NotChecked(QStringLiteral("answer not understood"));
    return {DbarLookup::Status::Found, *responses, {}};
}

} // namespace

AccurateRipClient::AccurateRipClient(QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)) {}

AccurateRipClient::~AccurateRipClient() {
    drop();
}

void AccurateRipClient::fetch(const QString& path) {
    drop();
    m_reply = StartGet(*m_network, UrlOf(path), m_limit, [this](const HttpAnswer& answer) {
        m_reply = nullptr;
        emit finished(LookupOf(answer));
    });
}

// Stops the running request, if any, so that nothing of it reaches this object any more.
void AccurateRipClient::drop() {
    if (m_reply)
        DropGet(m_reply);
    m_reply = nullptr;
}

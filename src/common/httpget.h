#pragma once

// One GET to a database (titles, covers, AccurateRip), bounded in time and size so a slow, dead
// or lying server can neither hold a lookup up nor fill the memory.

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

struct HttpAnswer {
    int status = 0; // 0 when no HTTP answer came; then failure says why
    QByteArray body;
    QString failure;
    std::chrono::seconds retryAfter{0}; // the server's wish on 503
    // Why a failure came, for a caller that words them apart: a limit of time or size ended it;
    // the server closed the connection; the status it had sent before the answer broke off.
    bool overLimit = false;
    bool closedByServer = false;
    int statusBeforeFailure = 0;
};

// The User-Agent the databases ask for: the program, its version and where to learn about it.
QString MivoUserAgent();

// A database's address: the environment variable when it is set (tests point it at this
// machine), else the public one; without a trailing "/".
QString ServiceBase(const char* variable, const char* fallback);

inline constexpr qint64 kLargestDatabaseAnswer = 1024 * 1024;

// Starts the request; done runs once when it ends, unless the request is dropped first.
// Redirects are followed (never from https to http), within the same limits of time and size.
QNetworkReply* StartGet(QNetworkAccessManager& network, const QUrl& url,
                        std::chrono::milliseconds limit,
                        std::function<void(const HttpAnswer&)> done,
                        qint64 largestAnswer = kLargestDatabaseAnswer);
void DropGet(QNetworkReply* reply);

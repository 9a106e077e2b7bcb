#pragma once

// Fetches a disc's dBAR file from the AccurateRip server, without ever blocking the window.

#include "verify/dbar.h"

#include <QObject>
#include <QPointer>

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;

class AccurateRipClient : public QObject {
    Q_OBJECT

public:
    explicit AccurateRipClient(QObject* parent = nullptr);
    ~AccurateRipClient() override;

    // How long a whole fetch may take; 10 seconds unless a test wants less.
    void setTimeLimit(std::chrono::milliseconds limit) { m_limit = limit; }

    // Starts getting <base>/<path> (path as AccurateRipPath gives it); the base is
    // http://www.accuraterip.com or the environment's MIVO_ACCURATERIP_URL. finished comes
    // once, later, from the event loop. A fetch still running is dropped without a signal.
    void fetch(const QString& path);

signals:
    void finished(const DbarLookup& lookup);

private:
    void drop();

    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply;
    std::chrono::milliseconds m_limit{10000};
};

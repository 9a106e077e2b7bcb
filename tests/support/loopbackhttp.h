#pragma once

// An HTTP server on 127.0.0.1 for a test, playing a database: each request gets the whole
// response answer makes of it; no response keeps the line open without a word, until the test
// answers the requests kept waiting.

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <optional>
#include <utility>

class LoopbackHttp {
public:
    using Answer = std::function<std::optional<QByteArray>(const QByteArray& request)>;

    explicit LoopbackHttp(Answer answer) : m_answer(std::move(answer)) {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                requests << socket->readAll(); // a GET's header comes whole on the loopback
                if (const std::optional<QByteArray> response = m_answer(requests.last()))
                    Send(socket, *response);
                else
                    m_waiting << socket;
            });
        });
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_server.serverPort()); }

    // A response with the status and body; claimedLength, when given, is what the header says.
    static QByteArray Response(int status, const QByteArray& body, qsizetype claimedLength = -1) {
        return "HTTP/1.1 " + QByteArray::number(status) +
               " X\r\nConnection: close\r\nContent-Length: " +
               QByteArray::number(claimedLength < 0 ? body.size() : claimedLength) + "\r\n\r\n" +
               body;
    }

    // Answers every request kept waiting so far; true if there was one.
    bool answerWaiting(const QByteArray& response) {
        const QList<QPointer<QTcpSocket>> waiting = std::exchange(m_waiting, {});
        for (const QPointer<QTcpSocket>& socket : waiting)
            if (socket)
                Send(socket, response);
        return !waiting.isEmpty();
    }

    QList<QByteArray> requests;

private:
    static void Send(QTcpSocket* socket, const QByteArray& response) {
        socket->write(response);
        socket->disconnectFromHost();
    }

    QList<QPointer<QTcpSocket>> m_waiting;
    QTcpServer m_server;
    Answer m_answer;
};

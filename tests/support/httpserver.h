// A loopback HTTP server for tests that must not reach the network: each
// request head is recorded and handed to the handler, which returns the raw
// answer (empty: the server hangs); the connection closes after an answer.
#pragma once

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

namespace vxtest {

// "HTTP/1.1 <status> <reason>", `headers` (lines ending "\r\n"), Content-Length unless not `withLength`, body.
inline QByteArray httpAnswer(int status, const QByteArray &reason, const QByteArray &body = QByteArray(),
                             const QByteArray &headers = QByteArray(), bool withLength = true)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nConnection: close\r\n" + headers
         + (withLength ? "Content-Length: " + QByteArray::number(body.size()) + "\r\n" : QByteArray()) + "\r\n" + body;
}

class LocalHttpServer : public QTcpServer {
public:
    using Handler = std::function<QByteArray(const QByteArray &request)>;

    explicit LocalHttpServer(Handler handler = {}) : m_handler(std::move(handler))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] { readFrom(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        listen(QHostAddress::LocalHost);
    }

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(serverPort()); }

    QList<QByteArray> requests;  // each request's head

private:
    void readFrom(QTcpSocket *s)
    {
        // A client may still send on an answered connection: it sends again on a new one.
        if (s->property("answered").toBool())
            return void(s->readAll());
        QByteArray &pending = m_pending[s];
        pending += s->readAll();
        const int end = pending.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        requests << pending.left(end + 4);
        m_pending.remove(s);
        const QByteArray answer = m_handler ? m_handler(requests.last()) : QByteArray();
        if (answer.isEmpty())
            return;
        s->setProperty("answered", true);
        s->write(answer);
        s->disconnectFromHost();
    }

    Handler m_handler;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

// A request head's path ("GET /a/b HTTP/1.1" -> "/a/b"; through a proxy, the absolute form).
inline QByteArray requestPath(const QByteArray &head)
{
    const QList<QByteArray> first = head.left(head.indexOf("\r\n")).split(' ');
    return first.size() >= 2 ? first.at(1) : QByteArray();
}

} // namespace vxtest

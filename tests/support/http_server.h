#pragma once

#include <QtNetwork>

// An HTTP server on 127.0.0.1 that keeps every request it is sent and answers each with
// `status`, or not at all for 0.
struct HttpServer : QTcpServer {
    struct Request {
        QByteArray target, head, body; // head: the request and header lines as sent
    };
    QList<Request> requests;
    int status = 200;

    explicit HttpServer(quint16 port = 0)
    {
        listen(QHostAddress::LocalHost, port);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, s, [this, s] { read(s); });
        });
    }
    QUrl url(const QString &path = "/") const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path));
    }

private:
    void read(QTcpSocket *s)
    {
        QByteArray buffer = s->property("buffer").toByteArray() + s->readAll();
        for (qsizetype end; (end = buffer.indexOf("\r\n\r\n")) >= 0;) {
            const QByteArray head = buffer.left(end);
            const qsizetype at = head.indexOf("\r\nContent-Length:") + 17;
            const qsizetype size
                = at < 17 ? 0 : head.mid(at, head.indexOf('\r', at) - at).trimmed().toLongLong();
            if (buffer.size() < end + 4 + size)
                break;
            requests << Request { head.split(' ').value(1), head, buffer.mid(end + 4, size) };
            buffer.remove(0, end + 4 + size);
            if (status != 0)
                s->write("HTTP/1.1 " + QByteArray::number(status)
                         + " Whatever\r\nContent-Length: 0\r\n\r\n");
        }
        s->setProperty("buffer", buffer);
    }
};

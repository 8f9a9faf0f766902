// One HTTP GET of a small file (such as the version history), kept in
// memory, through the application's proxy. The download counts only when the
// network reported no error and the server answered 200; redirects are followed
// only to http(s) addresses with a host (never from https to http) and only
// a few times; the whole download has a time limit and a size limit. Either
// way downloaded() is emitted exactly once, after which data() holds the
// body (empty on failure) and errorString() the reason of a failure.
#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkReply;

namespace vx {

struct DownloadLimits {
    int timeoutMs = 15000;
    qint64 maxBytes = 2 * 1024 * 1024;
    int maxRedirects = 5;
};

class FileDownloader : public QObject {
    Q_OBJECT

public:
    // Starts the GET at once.
    explicit FileDownloader(const QUrl &url, QObject *parent = nullptr, const DownloadLimits &limits = {});
    ~FileDownloader() override;

    QByteArray data() const { return m_data; }
    bool succeeded() const { return m_finished && m_error.isEmpty(); }
    QString errorString() const { return m_error; }
    QUrl url() const { return m_url; }

signals:
    void downloaded();

private slots:
    void fileDownloaded(QNetworkReply *pReply);

private:
    void readAvailable();
    void checkLength();
    void redirected(const QUrl &);
    void fail(const QString &reason);
    void finish();

    QNetworkAccessManager m_manager;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_data;
    QTimer m_timer;
    QUrl m_url;
    DownloadLimits m_limits;
    QString m_error;
    bool m_finished = false;
};

} // namespace vx

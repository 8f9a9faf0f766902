#include "filedownloader.h"

#include "versionhistory.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace vx {

FileDownloader::FileDownloader(const QUrl &url, QObject *parent, const DownloadLimits &limits)
    : QObject(parent)
    , m_url(url)
    , m_limits(limits)
{
    connect(&m_manager, &QNetworkAccessManager::finished, this, &FileDownloader::fileDownloaded);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("The server did not answer within %1 seconds.")
                 .arg(m_limits.timeoutMs / 1000.0, 0, 'g', 3));
    });
    if (!isSafeWebUrl(url)) {
        m_error = QStringLiteral("Not an http or https address: %1").arg(url.toString());
        QTimer::singleShot(0, this, &FileDownloader::finish);
        return;
    }
    QNetworkRequest request(url);
    // Redirects are followed between http(s) addresses only, never from
    // https to http; any other target ends the download with its 3xx answer.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(m_limits.maxRedirects);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Volantix/" VX_VERSION));
    m_reply = m_manager.get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &FileDownloader::readAvailable);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &FileDownloader::checkLength);
    connect(m_reply, &QNetworkReply::redirected, this, &FileDownloader::redirected);
    m_timer.start(m_limits.timeoutMs);
}

FileDownloader::~FileDownloader()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_manager.disconnect(this);
        m_reply->abort();
    }
}

void FileDownloader::readAvailable()
{
    if (!m_reply || !m_error.isEmpty())
        return;
    // Never more than one byte past the limit is kept.
    m_data += m_reply->read(m_limits.maxBytes + 1 - m_data.size());
    if (m_data.size() > m_limits.maxBytes)
        fail(QStringLiteral("The answer is larger than %1 bytes.").arg(m_limits.maxBytes));
}

void FileDownloader::checkLength()
{
    if (!m_reply)
        return;
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_limits.maxBytes)
        fail(QStringLiteral("The answer is larger than %1 bytes.").arg(m_limits.maxBytes));
}

void FileDownloader::redirected(const QUrl &)
{
    // What the redirecting answer carried is not the file.
    m_data.clear();
}

void FileDownloader::fail(const QString &reason)
{
    if (!m_error.isEmpty() || m_finished)
        return;
    m_error = reason;
    if (m_reply)
        m_reply->abort();  // finishes the reply: fileDownloaded follows
}

void FileDownloader::fileDownloaded(QNetworkReply *pReply)
{
    if (pReply != m_reply || m_finished)
        return;
    if (m_error.isEmpty())
        readAvailable();
    if (m_error.isEmpty()) {
        const QVariant status = pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (pReply->error() == QNetworkReply::TooManyRedirectsError) {
            m_error = QStringLiteral("The server redirected too many times.");
        } else if (pReply->error() == QNetworkReply::InsecureRedirectError
                   || status.toInt() / 100 == 3) {
            // A redirect that was not followed.
            m_error = QStringLiteral("The server redirected to an address that is not allowed: %1")
                          .arg(QString::fromLatin1(pReply->rawHeader("Location")).left(200));
        } else if (status.isValid() && status.toInt() != 200) {
            m_error = QStringLiteral("The server answered %1 %2.")
                          .arg(status.toInt())
                          .arg(pReply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
                          .trimmed();
        } else if (pReply->error() != QNetworkReply::NoError) {
            m_error = QStringLiteral("The server could not be reached: %1").arg(pReply->errorString());
        } else if (!status.isValid()) {
            m_error = QStringLiteral("The server gave no HTTP answer.");
        }
    }
    m_reply = nullptr;
    pReply->deleteLater();
    finish();
}

void FileDownloader::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timer.stop();
    if (!m_error.isEmpty())
        m_data.clear();
    emit downloaded();
}

} // namespace vx

#include "networkproxy.h"

#include "settings.h"

namespace vx {

QNetworkProxy proxyFromSettings(const SettingsRecord &s)
{
    if (!s.useProxy)
        return QNetworkProxy(QNetworkProxy::NoProxy, QString(), 0);
    QNetworkProxy proxy(QNetworkProxy::HttpProxy, s.proxyServer.toString(), static_cast<quint16>(s.proxyPort));
    if (s.proxyUseCred) {
        proxy.setUser(s.proxyUsername.toString());
        proxy.setPassword(s.proxyThing.toString());
    }
    return proxy;
}

void applyProxy() { QNetworkProxy::setApplicationProxy(proxyFromSettings(settings())); }

int proxyPortFromText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 5)
        return 0;
    for (const QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    }
    const int port = t.toInt();
    return port >= 1 && port <= 65535 ? port : 0;
}

bool fitsLatin1Field(const QString &text, int capacity)
{
    if (text.size() > capacity - 1)
        return false;
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return false;
    }
    return true;
}

} // namespace vx

#include "mappage.h"

#include "settings/settings.h"
#include "views/maproute.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLoggingCategory>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace vx {

namespace {
// Script errors of the map pages; off unless QT_LOGGING_RULES asks for them.
Q_LOGGING_CATEGORY(lcMapScript, "volantix.map.script", QtWarningMsg)
}

QString mapUserAgent(const QString &engineDefault)
{
    return QStringLiteral("Volantix/") + QStringLiteral(VX_VERSION) + QLatin1Char(' ') + engineDefault;
}

QWebEngineProfile *mapProfile()
{
    static QWebEngineProfile *profile = nullptr;
    if (!profile) {
        profile = new QWebEngineProfile(QStringLiteral("map"), QCoreApplication::instance());
        profile->setHttpUserAgent(mapUserAgent(profile->httpUserAgent()));
        profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
        profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        QObject::connect(profile, &QObject::destroyed, [] { profile = nullptr; });
    }
    return profile;
}

MapBridge::MapBridge(ClickHandler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
}

void MapBridge::map_click_slot(const QVariant &latClick, const QVariant &lonClick)
{
    if (latClick.userType() != QMetaType::Double || lonClick.userType() != QMetaType::Double)
        return;
    const double lat = latClick.toDouble();
    const double lon = lonClick.toDouble();
    if (validMapClick(lat, lon) && m_handler)
        m_handler(lat, lon);
}

MapPage::MapPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    QWebEngineSettings *s = settings();
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
}

void MapPage::setAllowedUrl(const QUrl &url, bool httpsFrames)
{
    m_allowed = url;
    m_httpsFrames = httpsFrames;
    // The Google page talks to its servers from a local page.
    settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, httpsFrames);
}

bool isSamePage(const QUrl &url, const QUrl &allowed)
{
    return url.scheme() == allowed.scheme() && url.host() == allowed.host() && url.path() == allowed.path()
        && url.query() == allowed.query();
}

bool MapPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (!isMainFrame)
        return m_httpsFrames && url.scheme() == QLatin1String("https");
    if (isSamePage(url, m_allowed))
        return true;
    ++m_refused;
    if (type == NavigationTypeLinkClicked
        && (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http")))
        QDesktopServices::openUrl(url);
    return false;
}

QWebEnginePage *MapPage::createWindow(WebWindowType)
{
    ++m_refused;
    return nullptr;
}

void MapPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int line,
                                       const QString &source)
{
    qCDebug(lcMapScript).noquote() << source << line << message;
}

ProxyAuthAnswer proxyAuthAnswer(const SettingsRecord &s, const QString &proxyHost)
{
    if (!s.useProxy)
        return ProxyAuthAnswer::WarnProxyOff;
    const QString configured = s.proxyServer.toString().trimmed();
    if (s.proxyUseCred && !configured.isEmpty()
        && configured.compare(proxyHost.trimmed(), Qt::CaseInsensitive) == 0)
        return ProxyAuthAnswer::GiveCredentials;
    return ProxyAuthAnswer::Refuse;
}

QString proxyCredentialsWarning()
{
    return QStringLiteral("The Map is requesting your proxy credentials but you have the proxy settings disabled. "
                          "Please go to the Volantix Settings and enter valid proxy username and password. This "
                          "message will not be displayed again.");
}

} // namespace vx

// The map window's web side: the profile the map pages share (a User-Agent
// that names the program, as tile servers ask, and a disk cache for tiles),
// the page that stays on the one page the window chose, the single object a
// page script may call, and who gets the proxy credentials.
#pragma once

#include <QObject>
#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>

#include <functional>

class QWebEngineProfile;

namespace vx {

struct SettingsRecord;

// "Volantix/<version>" in front of the engine's own User-Agent.
QString mapUserAgent(const QString &engineDefault);
// The map pages' profile, created on first use (needs a QApplication).
QWebEngineProfile *mapProfile();

// What the page may call: map_click_slot and nothing else (the window
// itself is never published). The arguments are taken as the page sent
// them: only two numbers within +-90 / +-180 reach the handler. (Typed as
// double, a NaN, an Infinity - null in the channel's JSON - or a text would
// arrive as 0 and pass for a click at (0, 0).)
class MapBridge : public QObject {
    Q_OBJECT

public:
    using ClickHandler = std::function<void(double, double)>;
    explicit MapBridge(ClickHandler handler, QObject *parent = nullptr);

public slots:
    void map_click_slot(const QVariant &latClick, const QVariant &lonClick);

private:
    ClickHandler m_handler;
};

// The web page of the map: it shows only the page it was given. Any other
// address for the main frame is refused; a link the user clicks opens in the
// desktop's browser instead (http and https only); new windows are refused.
// Sub-frames are allowed only from https when asked for (the Google page).
class MapPage : public QWebEnginePage {
    Q_OBJECT

public:
    explicit MapPage(QWebEngineProfile *profile, QObject *parent = nullptr);

    void setAllowedUrl(const QUrl &url, bool httpsFrames);
    QUrl allowedUrl() const { return m_allowed; }
    int refusedNavigations() const { return m_refused; }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                  const QString &source) override;

private:
    QUrl m_allowed;
    bool m_httpsFrames = false;
    int m_refused = 0;
};

// Whether a main-frame address is the allowed page (the fragment aside).
bool isSamePage(const QUrl &url, const QUrl &allowed);

// The answer to a proxy's request for credentials: the stored user name and
// password go only to the configured proxy (useProxy and proxyUseCred on,
// and the asking host is proxyServer); with the proxy switched off the user
// is told once per run; anything else is refused.
enum class ProxyAuthAnswer { GiveCredentials, WarnProxyOff, Refuse };
ProxyAuthAnswer proxyAuthAnswer(const SettingsRecord &s, const QString &proxyHost);
QString proxyCredentialsWarning();

} // namespace vx

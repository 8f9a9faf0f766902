// The application-wide network proxy: every request of the program (the
// update check, the map pages, the weather service) goes through the one
// proxy built here from the settings record. It is applied when the map
// window is created at start-up and again whenever the proxy dialog's Apply
// is pressed.
#pragma once

#include <QNetworkProxy>
#include <QString>

namespace vx {

struct SettingsRecord;

// useProxy off: no proxy (empty host, port 0, no credentials). On: an HTTP
// proxy at proxyServer and proxyPort taken as a 16-bit number (70000 gives
// 4464), with proxyUsername and proxyThing only when proxyUseCred is on.
QNetworkProxy proxyFromSettings(const SettingsRecord &s);

// Installs proxyFromSettings(settings()) as the application proxy.
void applyProxy();

// A port typed in the proxy dialog (decimal digits, blanks around them
// allowed) as 1..65535, or 0 when it is not one.
int proxyPortFromText(const QString &text);

// Whether `text` fits a Latin-1 field of `capacity` bytes (its closing zero
// included): at most capacity - 1 characters, none outside Latin-1.
bool fitsLatin1Field(const QString &text, int capacity);

} // namespace vx

// Start-up: the application's names, the translators, the offer to clear
// every setting when Shift is held, the refusal to run without ffmpeg, then
// the player window and the event loop.
#pragma once

#include <QString>
#include <QStringList>
#include <Qt>

class QApplication;

namespace vx {

// Application name "Volantix", organization "Norvane" and the domain; set
// before the application object exists.
void setApplicationIdentity();

// The interface languages offered ("Default", "Chinese", "English").
QStringList languageList();

// Which translation files a language loads: "qt_<x>" from Qt's translations
// and "lx_<x>" from the resource directory. "Default" uses the system
// locale's name, "Chinese" "ch", "English" none. Any other stored value is
// taken as "Default".
struct TranslationChoice {
    QString qtFile;   // empty: none
    QString appFile;  // empty: none
    bool chineseLocale = false;
};
TranslationChoice translationChoice(const QString &language, const QString &systemLocaleName);

// Offered when the modifiers are exactly Shift: the question, and on
// " Yes, clear all settings " the whole store is cleared and
// "Settings have been cleared!" shown. True when the store was cleared.
bool offerToClearSettings(Qt::KeyboardModifiers modifiers);

// When ffmpeg is nowhere to be found: the warning (title "Volantix", one OK
// button) and true; the program then ends with status 0. False when found.
bool refuseWithoutMediaTool();

// The whole program after the application object is made: translators,
// the two checks above, the player window, the command line, the event
// loop. Returns the exit status (0 after the ffmpeg refusal).
int runApplication(QApplication &app, const QStringList &arguments, Qt::KeyboardModifiers modifiers);

} // namespace vx

// Helpers for the window tests.
//
// BoxAnswerer answers the modal message boxes a test provokes: every 20 ms
// it looks at the active modal widget and, when it is a message box, records
// its title, text and buttons and clicks the next button of the queue
// (matched by its text without '&' and surrounding blanks). A box met after
// the queue ran out is recorded as unexpected and rejected, so a test never
// hangs on a box.
#pragma once

#include "settings/settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QStringList>
#include <QTimer>

namespace vxtest {

// The program's own settings store (organization and application names of
// the settings record), re-read before it is handed out.
inline QSettings &store()
{
    static QSettings s(QString::fromLatin1(vx::keys::ORGANIZATION), QString::fromLatin1(vx::keys::APPLICATION));
    s.sync();
    return s;
}

// An empty store that has seen a run before (not a first run), and the
// record's defaults.
inline void freshStoreNotFirstRun()
{
    store().clear();
    store().setValue(QStringLiteral("configuration/confVersion"), 1);
    store().sync();
    vx::setDefaultSettings();
}

class BoxAnswerer {
public:
    explicit BoxAnswerer(const QStringList &buttons)
        : m_buttons(buttons)
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    QStringList titles;
    QStringList texts;
    QList<QStringList> buttonTexts;  // each box's buttons, texts as shown
    QList<QMessageBox::Icon> icons;
    QStringList unexpected;          // boxes met after the queue ran out

private:
    static QString plain(const QString &text)
    {
        QString t = text;
        t.remove(QLatin1Char('&'));
        return t.trimmed();
    }

    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == m_lastBox)
            return;
        m_lastBox = box;
        titles << box->windowTitle();
        texts << box->text();
        icons << box->icon();
        QStringList shown;
        for (QAbstractButton *b : box->buttons())
            shown << b->text();
        buttonTexts << shown;
        if (m_buttons.isEmpty()) {
            unexpected << box->text();
            box->reject();
            return;
        }
        const QString wanted = plain(m_buttons.takeFirst());
        for (QAbstractButton *b : box->buttons()) {
            if (plain(b->text()) == wanted) {
                b->click();
                return;
            }
        }
        unexpected << QStringLiteral("no button '%1' in: %2").arg(wanted, box->text());
        box->reject();
    }

    QStringList m_buttons;
    QTimer m_timer;
    QPointer<QMessageBox> m_lastBox;
};

// The offscreen platform warns about every raise() and size hint it cannot
// pass on; those lines drown a failing test's output.
inline void silencePlatformWarnings()
{
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &msg) {
        if (msg.startsWith(QLatin1String("This plugin does not support")))
            return;
        if (previous)
            previous(type, context, msg);
    });
}

} // namespace vxtest

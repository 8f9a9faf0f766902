// Helpers for the window tests.
#pragma once

#include "settings/settings.h"
#include <QtTest>
#include <QtWidgets>

namespace vxtest {
// The program's own settings store, re-read before it is handed out.
inline QSettings &store() {
    static QSettings s(QString::fromLatin1(vx::keys::ORGANIZATION), QString::fromLatin1(vx::keys::APPLICATION));
    s.sync();
    return s;
}
// Empties the store; with `seenBefore` it holds a record of an earlier run.
inline void resetStore(bool seenBefore = true) {
    store().clear();
    if (seenBefore)
        store().setValue(QStringLiteral("configuration/confVersion"), 1);
    store().sync();
    vx::setDefaultSettings();
}
inline void freshStoreNotFirstRun() { resetStore(true); }

// Answers modal dialogs in turn: a box's button text (no '&'), a file dialog's path (empty: cancel); records what met.
class BoxAnswerer {
public:
    explicit BoxAnswerer(const QStringList &answers) : m_answers(answers) {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    QStringList titles, texts;
    QList<QStringList> buttonTexts;  // each box's buttons, texts as shown
    QList<QMessageBox::Icon> icons;
    QStringList unexpected;          // dialogs met after the queue ran out
    int pending() const { return m_answers.size(); }
private:
    static QString plain(QString text) { return text.remove(QLatin1Char('&')).trimmed(); }
    static void later(QObject *o, const char *slot) { QMetaObject::invokeMethod(o, slot, Qt::QueuedConnection); }
    void poll() {
        QWidget *w = QApplication::activeModalWidget();
        auto *box = qobject_cast<QMessageBox *>(w);
        auto *files = qobject_cast<QFileDialog *>(w);
        // A file dialog is the active one again while its overwrite question closes.
        if ((!box && !files) || std::any_of(m_seen.begin(), m_seen.end(), [w](const QPointer<QWidget> &p) { return p == w; }))
            return;
        m_seen << w;
        titles << w->windowTitle();
        texts << (box ? box->text() : files->nameFilters().join(';') + '|' + files->selectedFiles().value(0));
        icons << (box ? box->icon() : QMessageBox::NoIcon);
        QStringList shown;
        for (QAbstractButton *b : box ? box->buttons() : QList<QAbstractButton *>())
            shown << b->text();
        buttonTexts << shown;
        if (m_answers.isEmpty()) {
            unexpected << texts.last();
            return later(w, "reject");
        }
        const QString answer = m_answers.takeFirst();
        if (files) {
            if (answer.isEmpty())
                return later(files, "reject");
            files->setDirectory(QFileInfo(answer).absolutePath());
            files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QFileInfo(answer).fileName());
            return later(files, "accept");
        }
        for (QAbstractButton *b : box->buttons())
            if (plain(b->text()) == plain(answer))
                return later(b, "click");
        unexpected << QStringLiteral("no button '%1' in: %2").arg(answer, box->text());
        later(box, "reject");
    }
    QStringList m_answers;
    QTimer m_timer;
    QList<QPointer<QWidget>> m_seen;
};
// The offscreen platform's warnings about every raise() and size hint drown a failing test's output.
inline void silencePlatformWarnings() {
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &msg) {
        if (msg.startsWith(QLatin1String("This plugin does not support")))
            return;
        if (previous)
            previous(type, context, msg);
    });
}
} // namespace vxtest

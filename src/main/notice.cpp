#include "notice.h"

#include <QApplication>
#include <QMessageBox>
#include <QStyle>
#include <QTimer>

namespace vx {

QMessageBox *showTransientNotice(QWidget *window, const QString &text, int durationMs)
{
    auto *box = new QMessageBox(window);
    box->setObjectName(QStringLiteral("transientNotice"));
    box->setWindowModality(Qt::NonModal);  // resets the window flags: set them after
    box->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    box->setStandardButtons(QMessageBox::NoButton);  // also stops the automatic OK button
    box->setStyleSheet(QStringLiteral("background-color: white; color: red; font-size:24px; "));
    box->setWindowOpacity(0.5);
    box->setText(text);
    // A message box settles its size as it is shown; place it after.
    box->show();
    if (window) {
        box->move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignHCenter | Qt::AlignBottom, box->frameSize(),
                                      window->frameGeometry())
                      .topLeft());
    }
    // A message box without an escape button refuses close(): hide and delete.
    QTimer::singleShot(durationMs, box, [box] {
        box->hide();
        box->deleteLater();
    });
    return box;
}

} // namespace vx

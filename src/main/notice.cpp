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
    box->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    box->setWindowModality(Qt::NonModal);
    box->setStandardButtons(QMessageBox::NoButton);  // also stops the automatic OK button
    box->setStyleSheet(QStringLiteral("background-color: white; color: red; font-size:24px; "));
    box->setWindowOpacity(0.5);
    box->setText(text);
    box->adjustSize();
    if (window) {
        box->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignHCenter | Qt::AlignBottom,
                                             box->sizeHint(), window->frameGeometry()));
    }
    box->show();
    // A message box without an escape button refuses close(): hide and delete.
    QTimer::singleShot(durationMs, box, [box] {
        box->hide();
        box->deleteLater();
    });
    return box;
}

} // namespace vx

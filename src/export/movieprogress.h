// The progress window of a movie job (clip export, merge, acceleration):
// window-modal over the dialog that started it and shown at once, with the
// job's text, a bar from 0 to 100 % as the tool's output reaches its expected
// length, and a button that stops the job (as do Escape and closing the
// window). The rest of the program keeps repainting while the tool works.
#pragma once

#include "export/moviejob.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vx {

class movieProgressDialog : public QDialog {
    Q_OBJECT

public:
    movieProgressDialog(QWidget *parent, const QString &labelText, const QString &cancelText);

    // Runs `job` with this window open and its bar and button wired to the
    // job; the window is hidden again when the job has ended.
    MovieJobResult run(MovieJob job);
    bool running() const { return m_running; }

    QLabel *label() const { return m_label; }
    QProgressBar *bar() const { return m_bar; }
    QPushButton *cancelButton() const { return m_cancelButton; }

public slots:
    void reject() override;

private:
    QLabel *m_label;
    QProgressBar *m_bar;
    QPushButton *m_cancelButton;
    ToolCancel m_cancel;
    bool m_running = false;
};

} // namespace vx

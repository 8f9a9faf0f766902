#include "movieprogress.h"

#include "export/formatters.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace vx {

namespace {
constexpr int kBarSteps = 1000;
}

movieProgressDialog::movieProgressDialog(QWidget *parent, const QString &labelText, const QString &cancelText)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("movieProgressDialog"));
    setWindowTitle(exportApplicationName());
    setWindowModality(Qt::WindowModal);
    m_label = new QLabel(labelText, this);
    m_label->setAlignment(Qt::AlignCenter);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, kBarSteps);
    m_bar->setValue(0);
    m_bar->setMinimumWidth(320);
    m_cancelButton = new QPushButton(cancelText, this);
    m_cancelButton->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    connect(m_cancelButton, &QPushButton::clicked, this, &movieProgressDialog::reject);
}

MovieJobResult movieProgressDialog::run(MovieJob job)
{
    job.cancel = &m_cancel;
    job.onProgress = [this](double fraction) {
        m_bar->setValue(static_cast<int>(std::lround(fraction * kBarSteps)));
    };
    m_running = true;
    m_cancelButton->setEnabled(true);
    if (QWidget *over = parentWidget()) {
        adjustSize();
        move(over->window()->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    // The run raises its window and shows the wait cursor over it: this
    // window stays on top, and the cursor turns only over the bar, never
    // over the button.
    const MovieJobResult result = runMovieJob(m_bar, job);
    m_running = false;
    hide();
    return result;
}

void movieProgressDialog::reject()
{
    if (!m_running) {
        QDialog::reject();
        return;
    }
    // The window stays until the tool has stopped and the partial movie is gone.
    m_cancelButton->setEnabled(false);
    m_cancel.cancel();
}

} // namespace vx

#include "exportclipdialog.h"

#include "export/clipexport.h"
#include "export/exportfile.h"
#include "export/formatters.h"
#include "export/movieargs.h"
#include "export/movieoutput.h"
#include "export/movieprogress.h"
#include "main/platform.h"
#include "settings/settings.h"
#include "track/trackstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleValidator>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

namespace vx {

namespace {

QLineEdit *numberField(QWidget *parent, const char *name, bool whole)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (whole)
        edit->setValidator(new QIntValidator(0, 99999, edit));
    else
        edit->setValidator(new QDoubleValidator(edit));
    edit->setMaximumWidth(90);
    return edit;
}

} // namespace

QString clipDestinationStart()
{
    const QString stored = openSettingsStore()->value(QString::fromLatin1(keys::MOVIE_EXPORT_DIRECTORY)).toString();
    if (!stored.isEmpty() && QFileInfo(stored).isDir())
        return stored;
    const QFileInfo current(QDir::currentPath());
    if (current.isDir() && current.isWritable())
        return current.absoluteFilePath();
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

void runExportClipDialog(QWidget *parent, int block, qint64 positionMs, qint64 playerDurationMs)
{
    if (track().numBlocks <= 0 || block < 0 || block >= std::min(track().numBlocks, MAX_BLOCKS)) {
        QMessageBox::warning(parent, exportApplicationName(), clipNoMoviesText(), QMessageBox::Ok);
        if (parent) {
            parent->window()->activateWindow();
            parent->window()->raise();
        }
        return;
    }
    exportClipDialog dialog(block, positionMs, playerDurationMs, parent);
    applyStayOnTopFlags(&dialog);
    dialog.exec();
}

exportClipDialog::exportClipDialog(int block, qint64 positionMs, qint64 playerDurationMs, QWidget *parent)
    : myDialog(parent), m_block(block), m_rateIndex(EXPORT_RATE_NORMAL)
{
    setObjectName(QStringLiteral("exportClipDialog"));
    setWindowTitle(QStringLiteral("Export Movie Fragment"));
    setModal(true);
    const MovieBlock &b = track().block[block];
    m_movieSeconds = b.duration > 0 ? static_cast<double>(b.duration) : std::max<qint64>(playerDurationMs, 0) / 1000.0;
    buildForm();

    movieNameLabel->setText(b.movieFile.fileName());
    infoLabel->setText(clipInfoText(b.timeFactor, m_movieSeconds));
    const double start = std::max<qint64>(positionMs, 0) / 1000.0;
    const double length = clipChoices().lastDurationSeconds;
    const MinutesSeconds startText = splitMinutesSeconds(start);
    const MinutesSeconds stopText = splitMinutesSeconds(start + length);
    startMinutes->setText(startText.minutes);
    startSeconds->setText(startText.seconds);
    stopMinutes->setText(stopText.minutes);
    stopSeconds->setText(stopText.seconds);
    durationEdit->setText(durationFieldText(length));
    for (int i = 0; i < EXPORT_RATE_COUNT; ++i)
        rateCombo->addItem(exportRateLabel(i));
    rateCombo->setCurrentIndex(EXPORT_RATE_NORMAL);
    audioCheck->setChecked(clipChoices().includeAudio);

    connect(startMinutes, &QLineEdit::textEdited, this, &exportClipDialog::startTime_editing_slot);
    connect(startSeconds, &QLineEdit::textEdited, this, &exportClipDialog::startTime_editing_slot);
    connect(durationEdit, &QLineEdit::textEdited, this, &exportClipDialog::startTime_editing_slot);
    connect(stopMinutes, &QLineEdit::textEdited, this, &exportClipDialog::stopTime_editing_slot);
    connect(stopSeconds, &QLineEdit::textEdited, this, &exportClipDialog::stopTime_editing_slot);
    connect(cancelButton, &QPushButton::clicked, this, &exportClipDialog::cancel_btn_slot);
    connect(exportButton, &QPushButton::clicked, this, &exportClipDialog::export_clip_slot);
}

void exportClipDialog::buildForm()
{
    movieNameLabel = new QLabel(this);
    movieNameLabel->setObjectName(QStringLiteral("movieNameLabel"));
    QFont bold = movieNameLabel->font();
    bold.setBold(true);
    movieNameLabel->setFont(bold);
    infoLabel = new QLabel(this);
    infoLabel->setObjectName(QStringLiteral("infoLabel"));
    startMinutes = numberField(this, "startMinutes", true);
    startSeconds = numberField(this, "startSeconds", false);
    stopMinutes = numberField(this, "stopMinutes", true);
    stopSeconds = numberField(this, "stopSeconds", false);
    durationEdit = numberField(this, "duration", false);
    rateCombo = new QComboBox(this);
    rateCombo->setObjectName(QStringLiteral("rateCombo"));
    audioCheck = new QCheckBox(QStringLiteral("Include audio"), this);
    audioCheck->setObjectName(QStringLiteral("audioCheck"));
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setAutoDefault(false);
    exportButton = new QPushButton(QStringLiteral("Export Clip..."), this);
    exportButton->setDefault(true);

    auto *grid = new QGridLayout;
    int row = 0;
    const auto timeRow = [&](const QString &title, QLineEdit *minutes, QLineEdit *seconds) {
        grid->addWidget(new QLabel(title, this), row, 0);
        grid->addWidget(minutes, row, 1);
        grid->addWidget(new QLabel(QStringLiteral("min"), this), row, 2);
        grid->addWidget(seconds, row, 3);
        grid->addWidget(new QLabel(QStringLiteral("sec"), this), row, 4);
        ++row;
    };
    timeRow(QStringLiteral("Start Time:"), startMinutes, startSeconds);
    timeRow(QStringLiteral("Stop Time:"), stopMinutes, stopSeconds);
    grid->addWidget(new QLabel(QStringLiteral("Duration:"), this), row, 0);
    grid->addWidget(durationEdit, row, 3);
    grid->addWidget(new QLabel(QStringLiteral("sec"), this), row, 4);
    ++row;
    grid->addWidget(new QLabel(QStringLiteral("Playback Rate:"), this), row, 0);
    grid->addWidget(rateCombo, row, 1, 1, 2);
    grid->addWidget(audioCheck, row, 3, 1, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(exportButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(movieNameLabel);
    layout->addWidget(infoLabel);
    layout->addSpacing(6);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    // As large as the form needs, whatever size the window had last time.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

double exportClipDialog::startFieldSeconds() const
{
    return fieldValue(startMinutes->text()) * 60.0 + fieldValue(startSeconds->text());
}

void exportClipDialog::startTime_editing_slot()
{
    const MinutesSeconds stop = splitMinutesSeconds(startFieldSeconds() + fieldValue(durationEdit->text()));
    stopMinutes->setText(stop.minutes);
    stopSeconds->setText(stop.seconds);
}

void exportClipDialog::stopTime_editing_slot()
{
    const double stop = fieldValue(stopMinutes->text()) * 60.0 + fieldValue(stopSeconds->text());
    durationEdit->setText(durationFieldText(stop - startFieldSeconds()));
}

void exportClipDialog::cancel_btn_slot() { reject(); }

void exportClipDialog::warn(const QString &text)
{
    QMessageBox::warning(this, exportApplicationName(), text, QMessageBox::Ok);
    activateWindow();
    raise();
}

QString exportClipDialog::chooseDestination(const QString &startDirectory)
{
    return QFileDialog::getExistingDirectory(this, QStringLiteral("Movie Destination Directory"), startDirectory,
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
}

void exportClipDialog::export_clip_slot()
{
    clipChoices().includeAudio = audioCheck->isChecked();
    m_rateIndex = rateCombo->currentIndex();
    const MovieBlock &b = track().block[m_block];
    const ClipRange range = checkClipRange(startFieldSeconds(), fieldValue(durationEdit->text()), b.timeFactor,
                                           m_movieSeconds);
    if (!range.ok) {
        warn(range.error);
        return;
    }
    clipChoices().lastDurationSeconds = range.durationSeconds;

    QString directory = chooseDestination(clipDestinationStart());
    if (directory.isEmpty())
        return;
    if (!directory.endsWith(QLatin1Char('/')))
        directory += QLatin1Char('/');
    openSettingsStore()->setValue(QString::fromLatin1(keys::MOVIE_EXPORT_DIRECTORY), directory);

    if (!mediaToolFound()) {
        warn(mediaToolMissingText());
        return;
    }
    const QString output = clipOutputPath(directory, b.movieFile.fileName());
    if (output.isEmpty()) {
        const QString name = b.movieFile.fileName();
        warn(QStringLiteral("Every clip name from %1_000.mov to %1_%2.mov is taken in %3. Please choose another "
                            "folder.")
                 .arg(name.left(name.lastIndexOf(QLatin1Char('.'))))
                 .arg(CLIP_COUNTER_LIMIT)
                 .arg(directory));
        return;
    }
    PendingOutput pending(output);
    if (!pending.create()) {
        warn(QStringLiteral("Could not write this location: %1. Please try a different location.").arg(directory));
        return;
    }

    ClipRequest request;
    request.moviePath = b.movieFile.absoluteFilePath();
    request.startSeconds = range.startSeconds;
    request.durationSeconds = range.durationSeconds;
    request.rateIndex = m_rateIndex;
    request.includeAudio = clipChoices().includeAudio;
    request.outputPath = pending.tempPath();
    MovieJob job;
    job.arguments = clipArguments(request);
    job.logFile = QDir(mediaToolTempDir()).filePath(QStringLiteral("export_log.txt"));
    job.outputPath = pending.tempPath();
    job.expectedSeconds = clipOutputSeconds(request);

    movieProgressDialog progress(this, QStringLiteral("Exporting. Please wait..."), QStringLiteral("Cancel"));
    const MovieJobResult result = progress.run(job);
    if (result.status == MovieJobStatus::Cancelled)
        return;
    if (result.status == MovieJobStatus::Failed) {
        warn(movieJobFailureText(QStringLiteral("The clip could not be exported."), result));
        return;
    }
    if (!pending.commit(false)) {
        warn(exportFileErrorText(output));
        return;
    }
    const auto answer = QMessageBox::information(this, exportApplicationName(),
                                                 clipCompleteText(QFileInfo(output).fileName(), fileManagerName()),
                                                 QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        showInFileManager(output);
    accept();
}

} // namespace vx

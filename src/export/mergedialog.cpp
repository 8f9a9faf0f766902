#include "mergedialog.h"

#include "export/formatters.h"
#include "export/movieargs.h"
#include "export/moviejob.h"
#include "export/moviemerge.h"
#include "export/movieoutput.h"
#include "export/movieprogress.h"
#include "export/trackexport.h"
#include "main/platform.h"
#include "track/mediatool.h"
#include "track/trackstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

namespace vx {

namespace {
const char *const kAbort = "Abort";
}

mergeDialog::mergeDialog(QWidget *parent) : myDialog(parent), m_rateIndex(EXPORT_RATE_NORMAL)
{
    setObjectName(QStringLiteral("mergeDialog"));
    setWindowTitle(QStringLiteral("Merge Movies"));
    setModal(true);
    buildForm();
    for (int i = 0; i < EXPORT_RATE_COUNT; ++i)
        rateCombo->addItem(exportRateLabel(i));
    rateCombo->setCurrentIndex(EXPORT_RATE_NORMAL);
    audioCheck->setChecked(mergeIncludeAudio());
    firstCombo->addItems(mergeFirstChoices());
    lastCombo->addItems(mergeLastChoices());
    connect(cancelButton, &QPushButton::clicked, this, &mergeDialog::cancel_btn_slot);
    connect(mergeButton, &QPushButton::clicked, this, &mergeDialog::merge_movies_slot);
}

void mergeDialog::buildForm()
{
    auto *heading = new QLabel(QStringLiteral("Combine multiple movies into a single video"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto *explanation = new QLabel(
        QStringLiteral("Select the first and last movie and Volantix will combine all the movies in sequence into a "
                       "single large movie file. The original movies will not be harmed. All movies must be of the "
                       "same type and have the same filename extension. A GPX file containing all of the trajectory "
                       "data will also be created. This process can take a long time so please be patient."),
        this);
    explanation->setWordWrap(true);

    firstCombo = new QComboBox(this);
    firstCombo->setObjectName(QStringLiteral("firstCombo"));
    lastCombo = new QComboBox(this);
    lastCombo->setObjectName(QStringLiteral("lastCombo"));
    auto *selection = new QGroupBox(QStringLiteral("Movie Selection:"), this);
    auto *selectionForm = new QFormLayout(selection);
    selectionForm->addRow(QStringLiteral("First Movie:"), firstCombo);
    selectionForm->addRow(QStringLiteral("Last Movie:"), lastCombo);

    rateCombo = new QComboBox(this);
    rateCombo->setObjectName(QStringLiteral("rateCombo"));
    audioCheck = new QCheckBox(QStringLiteral("Include audio"), this);
    audioCheck->setObjectName(QStringLiteral("audioCheck"));
    auto *options = new QGroupBox(QStringLiteral("Options:"), this);
    auto *optionsForm = new QFormLayout(options);
    optionsForm->addRow(QStringLiteral("Playback Rate:"), rateCombo);
    optionsForm->addRow(QString(), audioCheck);

    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setAutoDefault(false);
    mergeButton = new QPushButton(QStringLiteral("Merge Movies..."), this);
    mergeButton->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(mergeButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(explanation);
    layout->addWidget(selection);
    layout->addWidget(options);
    layout->addLayout(buttons);
    explanation->setFixedWidth(440);
    // As large as the form needs, whatever size the window had last time.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void mergeDialog::cancel_btn_slot() { reject(); }

void mergeDialog::warn(const QString &text)
{
    QMessageBox::warning(this, exportApplicationName(), text, QMessageBox::Ok);
    activateWindow();
    raise();
}

QString mergeDialog::chooseOutput(const QString &defaultPath, const QString &filter)
{
    return QFileDialog::getSaveFileName(this, QStringLiteral("Merge Movies"), defaultPath, filter);
}

QString mergeDialog::chooseOutputPath(const QString &extension)
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    QString chosen = chooseOutput(QStringLiteral("%1/%2%3").arg(desktop, QStringLiteral("merged_dashcam_movies"), extension),
                                  QStringLiteral("Movie Files (*%1)").arg(extension));
    if (chosen.isEmpty())
        return QString();
    if (!chosen.endsWith(extension, Qt::CaseInsensitive))
        chosen += extension;
    return chosen;
}

bool mergeDialog::confirmReplacing(const QStringList &paths, const QString &confirmed)
{
    for (const QString &path : paths) {
        if (path.isEmpty() || path == confirmed || !QFileInfo::exists(path))
            continue;
        const auto answer = QMessageBox::question(this, exportApplicationName(), replaceQuestionText(path),
                                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
    return true;
}

void mergeDialog::askReveal(const QString &text, const QString &path)
{
    const auto answer = QMessageBox::information(this, exportApplicationName(), text,
                                                 QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        showInFileManager(path);
}

void mergeDialog::merge_movies_slot()
{
    mergeIncludeAudio() = audioCheck->isChecked();
    m_rateIndex = rateCombo->currentIndex();
    const MergeRange range = mergeRangeAt(firstCombo->currentIndex(), lastCombo->currentIndex());
    const QString problem = mergeProblem(range);
    if (!problem.isEmpty()) {
        warn(problem);
        return;
    }
    const QVector<int> blocks = mergeBlocks(range);
    const QString listPath = concatListPath();
    if (!writeConcatList(listPath, blocks)) {
        warn(mergeCannotWriteText(listPath));
        return;
    }
    if (!mediaToolFound()) {
        warn(mediaToolMissingText());
        return;
    }
    const QString extension = mergeExtension(range);
    if (extension.isEmpty()) {
        warn(mergeNoExtensionText(track().block[range.firstBlock].movieFile.fileName()));
        return;
    }
    const QString chosen = chooseOutputPath(extension);
    const QString moviePath = mergedMoviePath(chosen);
    if (moviePath.isEmpty())
        return;
    const QString gpxPath = mergedGpxPath(moviePath);
    const bool accelerating = m_rateIndex != EXPORT_RATE_NORMAL && validExportRate(m_rateIndex);
    const QString acceleratedPath = accelerating ? acceleratedMoviePath(moviePath, m_rateIndex) : QString();

    // Nothing loaded is ever written over, and nothing the user has not
    // agreed to.
    const QStringList sources = loadedSourceFiles();
    for (const QString &path : {moviePath, gpxPath, acceleratedPath}) {
        if (!path.isEmpty() && !clashingSource(path, sources).isEmpty()) {
            warn(mergeSourceClashText(path));
            return;
        }
    }
    if (!confirmReplacing({moviePath, gpxPath, acceleratedPath}, chosen))
        return;
    PendingOutput merged(moviePath);
    if (!merged.create()) {
        warn(mergeCannotWriteText(moviePath));
        return;
    }

    const QVector<double> inputs = mergeInputSeconds(blocks);
    MovieJob job;
    job.arguments = mergeArguments(listPath, mergeIncludeAudio(), merged.tempPath());
    job.logFile = mergeLogPath();
    job.outputPath = merged.tempPath();
    job.expectedSeconds = knownSum(inputs);
    movieProgressDialog progress(this, mergeProgressText(), QString::fromLatin1(kAbort));
    MovieJobResult result = progress.run(job);
    if (result.status == MovieJobStatus::Cancelled)
        return;
    const QString failed = QStringLiteral("The movies could not be merged.");
    if (result.status == MovieJobStatus::Failed) {
        warn(movieJobFailureText(failed, result));
        return;
    }
    // ffmpeg leaves out a movie it cannot read and still ends well: the
    // merged length must be that of the movies.
    const double mergedSeconds = probeMovieSeconds(this, merged.tempPath());
    if (!mergedLengthFits(mergedSeconds, inputs)) {
        merged.discard();
        result.status = MovieJobStatus::Failed;
        result.reason = mergedSeconds < 0
                            ? QStringLiteral("The merged movie cannot be read.")
                            : QStringLiteral("The merged movie is %1 seconds long, but the movies last %2 seconds: "
                                             "some of them were left out.")
                                  .arg(mergedSeconds)
                                  .arg(knownSum(inputs));
        result.logTail = logTail(mergeLogPath());
        warn(movieJobFailureText(failed, result));
        return;
    }
    if (!merged.commit(true)) {
        warn(mergeCannotWriteText(moviePath));
        return;
    }
    m_outputPath = moviePath;
    const MovieBlock &last = track().block[range.lastBlock];
    const ExportResult gpx = exportGpxRange(gpxPath, range.firstBlock, 0, range.lastBlock,
                                            std::clamp(last.numPoints, 0, MAX_POINTS));
    if (!gpx.ok)
        warn(gpx.errorText);

    if (!accelerating) {
        accept();
        askReveal(mergeCompleteText(QFileInfo(moviePath).fileName(), fileManagerName()), moviePath);
        return;
    }
    accelerate(moviePath, mergedSeconds);
}

void mergeDialog::accelerate(const QString &mergedPath, double mergedSeconds)
{
    const QString mergedDone = mergeCompleteText(QFileInfo(mergedPath).fileName(), fileManagerName());
    const QString target = acceleratedMoviePath(mergedPath, m_rateIndex);
    if (!mediaToolFound()) {
        warn(mediaToolMissingText());
        accept();
        askReveal(mergedDone, mergedPath);
        return;
    }
    PendingOutput accelerated(target);
    if (!accelerated.create()) {
        warn(mergeCannotWriteText(target));
        accept();
        askReveal(mergedDone, mergedPath);
        return;
    }
    MovieJob job;
    job.arguments = accelerationArguments(mergedPath, m_rateIndex, mergeIncludeAudio(), accelerated.tempPath());
    job.logFile = accelerationLogPath();
    job.outputPath = accelerated.tempPath();
    job.expectedSeconds = mergedSeconds / exportRateValue(m_rateIndex);
    movieProgressDialog progress(this, accelerationProgressText(), QString::fromLatin1(kAbort));
    const MovieJobResult result = progress.run(job);
    // Whatever becomes of this step, the merged movie stays.
    if (result.status == MovieJobStatus::Failed)
        warn(movieJobFailureText(QStringLiteral("The playback acceleration failed; the merged movie is kept."), result));
    const bool made = result.status == MovieJobStatus::Succeeded && accelerated.commit(true);
    if (result.status == MovieJobStatus::Succeeded && !made)
        warn(mergeCannotWriteText(target));
    if (!made) {
        accept();
        askReveal(mergedDone, mergedPath);
        return;
    }
    m_outputPath = target;
    accept();
    askReveal(accelerationCompleteText(QFileInfo(target).fileName(), fileManagerName()), target);
}

} // namespace vx

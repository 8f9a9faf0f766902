// "Export Movie Fragment": cuts a time range out of one movie into a new
// movie file, at one of the seven export rates, with or without sound. The
// range is given as start and stop (minutes and seconds) or start and
// duration; the clip is written as "<movie>_NNN.mov" into a chosen folder
// while a progress window with a Cancel button is shown.
#pragma once

#include "views/mydialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vx {

// Opens the dialog for the playing movie: the warning "Can not export. No
// movies loaded." without movies, else the dialog for block `block` at
// `positionMs` (the player's position times the movie's time factor).
// `playerDurationMs` stands in for a movie length the probe did not find.
void runExportClipDialog(QWidget *parent, int block, qint64 positionMs, qint64 playerDurationMs);

// The folder the destination chooser starts in: the stored
// "movieExportDirectory" when it still exists, else the current directory
// when it can be written, else the desktop.
QString clipDestinationStart();

class exportClipDialog : public myDialog {
    Q_OBJECT

public:
    exportClipDialog(int block, qint64 positionMs, qint64 playerDurationMs, QWidget *parent = nullptr);

    // The form (tests reach it by these).
    QLabel *movieNameLabel = nullptr;
    QLabel *infoLabel = nullptr;
    QLineEdit *startMinutes = nullptr;
    QLineEdit *startSeconds = nullptr;
    QLineEdit *stopMinutes = nullptr;
    QLineEdit *stopSeconds = nullptr;
    QLineEdit *durationEdit = nullptr;
    QComboBox *rateCombo = nullptr;
    QCheckBox *audioCheck = nullptr;
    QPushButton *cancelButton = nullptr;
    QPushButton *exportButton = nullptr;

public slots:
    void cancel_btn_slot();
    void export_clip_slot();
    void startTime_editing_slot();
    void stopTime_editing_slot();

protected:
    // A form: Return presses the default button and Escape cancels, unlike
    // the other windows of the shared base.
    void keyPressEvent(QKeyEvent *event) override { QDialog::keyPressEvent(event); }
    // The destination chooser ("Movie Destination Directory"); empty when
    // the user cancels.
    virtual QString chooseDestination(const QString &startDirectory);

private:
    void buildForm();
    void warn(const QString &text);
    double startFieldSeconds() const;

    int m_block;
    int m_rateIndex;
    double m_movieSeconds;
};

} // namespace vx

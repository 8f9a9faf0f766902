// "Merge Movies": joins a run of the playing movies into one movie without
// re-encoding, writes one GPX file with the run's telemetry beside it, and
// optionally makes a second, re-encoded movie played faster or slower. Each
// step runs behind a progress window with a button that stops it; stopping
// the second step keeps the finished merge.
#pragma once

#include "views/mydialog.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace vx {

class mergeDialog : public myDialog {
    Q_OBJECT

public:
    explicit mergeDialog(QWidget *parent = nullptr);

    QComboBox *firstCombo = nullptr;
    QComboBox *lastCombo = nullptr;
    QComboBox *rateCombo = nullptr;
    QCheckBox *audioCheck = nullptr;
    QPushButton *cancelButton = nullptr;
    QPushButton *mergeButton = nullptr;

    // The merged movie, or the accelerated one once it exists.
    QString outputPath() const { return m_outputPath; }

public slots:
    void cancel_btn_slot();
    void merge_movies_slot();

protected:
    // A form: Return presses the default button and Escape cancels, unlike
    // the other windows of the shared base.
    void keyPressEvent(QKeyEvent *event) override { QDialog::keyPressEvent(event); }
    // The save dialog ("Merge Movies"); empty when the user cancels.
    virtual QString chooseOutput(const QString &defaultPath, const QString &filter);

private:
    void buildForm();
    void warn(const QString &text);
    // The chosen path with the first movie's extension; empty to stop.
    QString chooseOutputPath(const QString &extension);
    // Yes to replacing each existing file of `paths` the user has not
    // confirmed yet; false when one is refused.
    bool confirmReplacing(const QStringList &paths, const QString &confirmed);
    void accelerate(const QString &mergedPath, double mergedSeconds);
    void askReveal(const QString &text, const QString &path);

    int m_rateIndex;
    QString m_outputPath;
};

} // namespace vx

// The about box: the program's name and version, the Qt version it runs on,
// and the projects it builds on.
#pragma once

#include <QDialog>

namespace vx {

// "1.1.4"
QString applicationVersion();
// The box's text (rich text): name, version, Qt version, acknowledgements.
QString aboutText();

class aboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit aboutDialog(QWidget *parent = nullptr);
};

} // namespace vx

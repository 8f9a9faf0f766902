// "Network Proxy Settings": the proxy's switch, server and port, and its
// credentials with their own switch. Apply checks the fields, stores them,
// saves the settings and installs the proxy at once (networkproxy.h);
// Cancel changes nothing. Text fields refuse what the stored field cannot
// hold (longer than the field, or outside Latin-1) as it is typed or
// pasted, never cutting it; the port takes 1..65535.
#pragma once

#include "views/mydialog.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vx {

class proxyDialog : public myDialog {
    Q_OBJECT

public:
    explicit proxyDialog(QWidget *parent = nullptr);

    QCheckBox *enableCheck() const { return m_enable; }
    QCheckBox *passwordCheck() const { return m_requirePassword; }
    QLineEdit *serverField() const { return m_server; }
    QLineEdit *portField() const { return m_port; }
    QLineEdit *usernameField() const { return m_username; }
    QLineEdit *passwordField() const { return m_password; }
    QPushButton *applyButton() const { return m_apply; }
    QPushButton *cancelButton() const { return m_cancel; }

public slots:
    void enabled_clicked_slot();
    void require_password_clicked_slot();
    void apply_btn_triggered_slot();
    void cancel_btn_triggered_slot();

private:
    void fillFromSettings();
    // The first field that cannot be stored, with the message; null when all can.
    QLineEdit *refusedField(QString *message) const;

    QCheckBox *m_enable = nullptr;
    QLabel *m_note = nullptr;
    QGroupBox *m_serverGroup = nullptr;
    QLineEdit *m_server = nullptr;
    QLineEdit *m_port = nullptr;
    QCheckBox *m_requirePassword = nullptr;
    QGroupBox *m_credentialGroup = nullptr;
    QLineEdit *m_username = nullptr;
    QLineEdit *m_password = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_apply = nullptr;
};

// The preferences' "Network Proxy..." button: creates the dialog and runs it
// modally.
void openProxyDialog(QWidget *parent);

} // namespace vx

#include "proxydialog.h"

#include "settings/networkproxy.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolTip>
#include <QValidator>
#include <QVBoxLayout>

namespace vx {

namespace {

// Refuses, as it is typed or pasted, text that the stored field could not
// hold; a short hint says why.
class Latin1FieldValidator : public QValidator {
public:
    Latin1FieldValidator(int capacity, QLineEdit *field)
        : QValidator(field)
        , m_capacity(capacity)
        , m_field(field)
    {
    }
    State validate(QString &input, int &) const override
    {
        if (fitsLatin1Field(input, m_capacity))
            return Acceptable;
        if (m_field->isVisible())
            QToolTip::showText(m_field->mapToGlobal(QPoint(0, m_field->height())),
                               QStringLiteral("At most %1 characters, all of them Latin-1.").arg(m_capacity - 1),
                               m_field);
        return Invalid;
    }

private:
    int m_capacity;
    QLineEdit *m_field;
};

// Digits only, at most five; 1..65535 is acceptable.
class PortValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        if (input.size() > 5)
            return Invalid;
        for (const QChar c : input) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return Invalid;
        }
        return proxyPortFromText(input) ? Acceptable : Intermediate;
    }
};

QLineEdit *textField(int capacity, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setValidator(new Latin1FieldValidator(capacity, field));
    return field;
}

} // namespace

proxyDialog::proxyDialog(QWidget *parent)
    : myDialog(parent)
{
    setObjectName(QStringLiteral("proxyDialog"));
    setWindowTitle(QStringLiteral("Network Proxy Settings"));
    setModal(true);

    m_enable = new QCheckBox(QStringLiteral("Enable Proxy"), this);
    m_note = new QLabel(QStringLiteral("(Restart Volantix after making changes)"), this);

    m_serverGroup = new QGroupBox(this);
    m_server = textField(PROXY_SERVER_CAPACITY, m_serverGroup);
    m_server->setMinimumWidth(240);
    m_port = new QLineEdit(m_serverGroup);
    m_port->setValidator(new PortValidator(m_port));
    m_port->setMaximumWidth(80);
    m_requirePassword = new QCheckBox(QStringLiteral("Proxy Requires Password:"), m_serverGroup);
    m_requirePassword->setLayoutDirection(Qt::RightToLeft);  // the label before its box

    m_credentialGroup = new QGroupBox(m_serverGroup);
    m_username = textField(PROXY_USER_CAPACITY, m_credentialGroup);
    m_password = textField(PROXY_USER_CAPACITY, m_credentialGroup);
    m_password->setEchoMode(QLineEdit::Password);
    auto *credentials = new QFormLayout(m_credentialGroup);
    credentials->addRow(QStringLiteral("Username:"), m_username);
    credentials->addRow(QStringLiteral("Password:"), m_password);

    auto *server = new QGridLayout(m_serverGroup);
    server->addWidget(new QLabel(QStringLiteral("Proxy Server:"), m_serverGroup), 0, 0);
    server->addWidget(m_server, 0, 1);
    server->addWidget(new QLabel(QStringLiteral("Port:"), m_serverGroup), 0, 2);
    server->addWidget(m_port, 0, 3);
    server->addWidget(m_requirePassword, 1, 0, 1, 2, Qt::AlignAbsolute | Qt::AlignLeft);
    server->addWidget(m_credentialGroup, 2, 0, 1, 4);

    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_apply = new QPushButton(QStringLiteral("Apply"), this);
    m_apply->setDefault(true);

    auto *top = new QHBoxLayout;
    top->addWidget(m_enable);
    top->addStretch(1);
    top->addWidget(m_note);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_apply);
    auto *column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(m_serverGroup);
    column->addLayout(buttons);
    // As small as its fields: the stored or default size of the other windows does not apply.
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_enable, &QCheckBox::clicked, this, &proxyDialog::enabled_clicked_slot);
    connect(m_requirePassword, &QCheckBox::clicked, this, &proxyDialog::require_password_clicked_slot);
    connect(m_apply, &QPushButton::clicked, this, &proxyDialog::apply_btn_triggered_slot);
    connect(m_cancel, &QPushButton::clicked, this, &proxyDialog::cancel_btn_triggered_slot);
    fillFromSettings();
}

void proxyDialog::fillFromSettings()
{
    const SettingsRecord &s = settings();
    m_enable->setChecked(s.useProxy);
    m_requirePassword->setChecked(s.proxyUseCred);
    m_server->setText(s.proxyServer.toString());
    m_port->setText(QString::number(s.proxyPort));
    m_username->setText(s.proxyUsername.toString());
    m_password->setText(s.proxyThing.toString());
    enabled_clicked_slot();
    require_password_clicked_slot();
}

void proxyDialog::enabled_clicked_slot() { m_serverGroup->setEnabled(m_enable->isChecked()); }

void proxyDialog::require_password_clicked_slot() { m_credentialGroup->setEnabled(m_requirePassword->isChecked()); }

QLineEdit *proxyDialog::refusedField(QString *message) const
{
    const struct {
        QLineEdit *field;
        int capacity;
        const char *name;
    } texts[] = {{m_server, PROXY_SERVER_CAPACITY, "proxy server"},
                 {m_username, PROXY_USER_CAPACITY, "user name"},
                 {m_password, PROXY_USER_CAPACITY, "password"}};
    for (const auto &t : texts) {
        if (!fitsLatin1Field(t.field->text(), t.capacity)) {
            *message = QStringLiteral("The %1 can hold at most %2 characters, all of them Latin-1.")
                           .arg(QLatin1String(t.name))
                           .arg(t.capacity - 1);
            return t.field;
        }
    }
    if (!m_enable->isChecked())
        return nullptr;  // the server and port are kept, not used
    const QString server = m_server->text().trimmed();
    if (server.isEmpty()) {
        *message = QStringLiteral("Please enter the proxy server, or switch the proxy off.");
        return m_server;
    }
    if (server.contains(QLatin1Char('/')) || server.contains(QLatin1Char(' '))) {
        *message = QStringLiteral("Please enter the proxy server as a host name or address alone, "
                                  "without \"http://\" and without the port.");
        return m_server;
    }
    if (!proxyPortFromText(m_port->text())) {
        *message = QStringLiteral("The port must be a number from 1 to 65535.");
        return m_port;
    }
    return nullptr;
}

void proxyDialog::apply_btn_triggered_slot()
{
    QString message;
    if (QLineEdit *field = refusedField(&message)) {
        QMessageBox::warning(this, QString::fromLatin1(keys::APPLICATION), message);
        field->setFocus();
        field->selectAll();
        return;
    }
    SettingsRecord &s = settings();
    s.useProxy = m_enable->isChecked();
    s.proxyUseCred = m_requirePassword->isChecked();
    // With the proxy off an unusable port is not asked about: the stored one stays.
    if (const int port = proxyPortFromText(m_port->text()))
        s.proxyPort = port;
    s.proxyServer.assign(m_server->text().trimmed().toLatin1());
    s.proxyUsername.assign(m_username->text().toLatin1());
    s.proxyThing.assign(m_password->text().toLatin1());
    saveSettings();
    applyProxy();
    accept();
}

void proxyDialog::cancel_btn_triggered_slot() { reject(); }

void openProxyDialog(QWidget *parent)
{
    proxyDialog dialog(parent);
    dialog.exec();
}

} // namespace vx

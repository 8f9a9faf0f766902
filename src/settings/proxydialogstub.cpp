// Placeholder until the network proxy dialog joins the program: it keeps
// the preferences' "Network Proxy..." button working and says so. Replaced
// by the proxy dialog's own openProxyDialog.
#include "proxydialog.h"

#include <QMessageBox>

namespace vx {

void openProxyDialog(QWidget *parent)
{
    QMessageBox::information(parent, QStringLiteral("Volantix"),
                             QStringLiteral("The network proxy settings are not available in this build."));
}

} // namespace vx

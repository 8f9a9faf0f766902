// The network proxy dialog ("Network Proxy Settings"), opened modally from
// the preferences' "Network Proxy..." button.
#pragma once

class QWidget;

namespace vx {

// Runs the proxy dialog modally over `parent`.
void openProxyDialog(QWidget *parent);

} // namespace vx

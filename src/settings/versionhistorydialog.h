// "Volantix -  Version History": which version is the latest and which one
// runs, the notes of every release since the running one, and a button that
// opens the newest release's download page in the browser. The notes come
// from the network: the view loads nothing they refer to (no images, no
// style sheets, no local files), and a link in them opens only when it is
// an http(s) address with a host, like the download page.
#pragma once

#include "settings/versionhistory.h"
#include "views/mydialog.h"

#include <QTextBrowser>

class QGroupBox;
class QLabel;
class QPushButton;

namespace vx {

// A rich-text view that fetches no resources and opens no links itself.
class NotesView : public QTextBrowser {
    Q_OBJECT

public:
    explicit NotesView(QWidget *parent = nullptr);
    QVariant loadResource(int type, const QUrl &name) override;
};

// Opens `url` in the browser when it is an http(s) address with a host;
// false (and nothing opened) otherwise.
bool openWebPage(const QUrl &url);

class versionHistoryDialog : public myDialog {
    Q_OBJECT

public:
    versionHistoryDialog(const HistoryView &view, QWidget *parent = nullptr);

    QLabel *label() const { return m_label; }
    QGroupBox *group() const { return m_group; }
    NotesView *notes() const { return m_notes; }
    QPushButton *downloadButton() const { return m_download; }
    QPushButton *closeButton() const { return m_close; }

public slots:
    void close_btn_triggered_slot();
    void download_btn_triggered_slot();
    void link_clicked_slot(const QUrl &url);

private:
    QLabel *m_label = nullptr;
    QGroupBox *m_group = nullptr;
    NotesView *m_notes = nullptr;
    QPushButton *m_close = nullptr;
    QPushButton *m_download = nullptr;
    QUrl m_downloadPage;
};

} // namespace vx

#include "versionhistorydialog.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace vx {

namespace {
// A document that resolves no resource: the text's images, style sheets and
// the like stay unloaded, whatever their address (file:, qrc:, data:, ...).
class SealedDocument : public QTextDocument {
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int, const QUrl &) override { return QVariant(); }
};
} // namespace

NotesView::NotesView(QWidget *parent)
    : QTextBrowser(parent)
{
    setDocument(new SealedDocument(this));
    setOpenLinks(false);
    setOpenExternalLinks(false);
}

QVariant NotesView::loadResource(int, const QUrl &) { return QVariant(); }

bool openWebPage(const QUrl &url)
{
    if (!isSafeWebUrl(url))
        return false;
    return QDesktopServices::openUrl(url);
}

versionHistoryDialog::versionHistoryDialog(const HistoryView &view, QWidget *parent)
    : myDialog(parent)
    , m_downloadPage(view.downloadPage)
{
    setObjectName(QStringLiteral("versionHistoryDialog"));
    setWindowTitle(QStringLiteral("Volantix -  Version History"));
    setModal(true);

    m_label = new QLabel(view.label, this);
    m_label->setTextFormat(Qt::PlainText);
    m_group = new QGroupBox(view.groupTitle, this);
    m_notes = new NotesView(m_group);
    m_notes->setHtml(view.notesHtml);
    auto *notesLayout = new QVBoxLayout(m_group);
    notesLayout->addWidget(m_notes);

    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_download = new QPushButton(view.buttonText, this);
    m_download->setEnabled(view.buttonEnabled);
    m_download->setDefault(view.buttonEnabled);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    buttons->addWidget(m_download);
    auto *column = new QVBoxLayout(this);
    column->addWidget(m_label);
    column->addWidget(m_group, 1);
    column->addLayout(buttons);

    connect(m_close, &QPushButton::clicked, this, &versionHistoryDialog::close_btn_triggered_slot);
    connect(m_download, &QPushButton::clicked, this, &versionHistoryDialog::download_btn_triggered_slot);
    connect(m_notes, &QTextBrowser::anchorClicked, this, &versionHistoryDialog::link_clicked_slot);
}

void versionHistoryDialog::close_btn_triggered_slot() { accept(); }

void versionHistoryDialog::download_btn_triggered_slot() { openWebPage(m_downloadPage); }

void versionHistoryDialog::link_clicked_slot(const QUrl &url)
{
    // A relative link is taken against nothing: it has no host and stays shut.
    openWebPage(url);
}

} // namespace vx

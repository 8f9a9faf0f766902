#include "aboutdialog.h"

#include "main/resourceicon.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#ifndef VX_VERSION
#define VX_VERSION "1.1.4"
#endif

namespace vx {

namespace {

struct Acknowledgement {
    const char *name;
    const char *licence;
    const char *use;
};

const Acknowledgement kAcknowledgements[] = {
    {"Qt 5", "LGPL v3", "windows, movie playback, the web map, networking and XML"},
    {"GStreamer", "LGPL v2.1", "decoding and playing the movies (through Qt Multimedia)"},
    {"GeographicLib", "MIT", "geoid heights from the EGM96 model"},
    {"EGM96 geoid model", "public domain", "heights above mean sea level"},
    {"FFmpeg", "LGPL v2.1 / GPL v2", "run as a separate program to probe movies, extract subtitle telemetry, "
                                     "cut clips and merge movies"},
    {"Exiv2", "GPL v2", "the GPS position written into exported snapshots"},
    {"Leaflet", "BSD 2-clause", "the map page"},
};

} // namespace

QString applicationVersion() { return QStringLiteral(VX_VERSION); }

QString aboutText()
{
    QString text = QStringLiteral("<h2 style=\"margin-bottom:2px\">Volantix</h2>"
                                  "<p style=\"margin-top:0\">Version %1<br>Running on Qt %2</p>"
                                  "<p>Review drone and action-camera movies together with their telemetry.</p>"
                                  "<p><b>Volantix builds on</b></p><ul style=\"margin-left:-20px\">")
                       .arg(applicationVersion(), QString::fromLatin1(qVersion()));
    for (const Acknowledgement &a : kAcknowledgements) {
        text += QStringLiteral("<li><b>%1</b> (%2): %3</li>")
                    .arg(QString::fromLatin1(a.name), QString::fromLatin1(a.licence), QString::fromLatin1(a.use));
    }
    text += QStringLiteral("</ul><p>Thanks to everyone who works on these projects.</p>");
    return text;
}

aboutDialog::aboutDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("Volantix"));

    auto *icon = new QLabel(this);
    icon->setPixmap(resourceIcon(QStringLiteral(":/images/volantix.png"), QStyle::SP_MediaPlay).pixmap(96, 96));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto *text = new QLabel(aboutText(), this);
    text->setObjectName(QStringLiteral("aboutText"));
    text->setTextFormat(Qt::RichText);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setMinimumWidth(380);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    top->setSpacing(18);
    top->addWidget(icon);
    top->addWidget(text, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 12);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

} // namespace vx

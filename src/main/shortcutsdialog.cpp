#include "shortcutsdialog.h"

#include "main/platform.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QVBoxLayout>

namespace vx {

namespace {

constexpr int kCapHeight = 26;
constexpr int kCapPadding = 8;
constexpr int kCapMinWidth = 26;
constexpr int kGap = 5;

QFont capFont()
{
    QFont f;
    f.setPixelSize(12);
    f.setBold(true);
    return f;
}

QFont joinFont()
{
    QFont f;
    f.setPixelSize(12);
    return f;
}

// What a cap shows for a key name.
QString capLabel(const QString &key)
{
    if (key == QLatin1String("Left")) return QStringLiteral("\u2190");
    if (key == QLatin1String("Right")) return QStringLiteral("\u2192");
    if (key == QLatin1String("Up")) return QStringLiteral("\u2191");
    if (key == QLatin1String("Down")) return QStringLiteral("\u2193");
    if (key == QLatin1String("Return")) return QStringLiteral("Return \u21B5");
    return key;
}

int capWidth(const QString &key)
{
    const QFontMetrics fm(capFont());
    return qMax(kCapMinWidth, fm.horizontalAdvance(capLabel(key)) + 2 * kCapPadding);
}

void drawCap(QPainter &p, const QRectF &r, const QString &key)
{
    // A light key with a darker lower edge: the face sits above the base.
    const QRectF base = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath basePath;
    basePath.addRoundedRect(base, 5, 5);
    p.fillPath(basePath, QColor(150, 154, 164));
    const QRectF face = base.adjusted(1.5, 1, -1.5, -3.5);
    QPainterPath facePath;
    facePath.addRoundedRect(face, 4, 4);
    QLinearGradient g(face.topLeft(), face.bottomLeft());
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(1, QColor(226, 229, 235));
    p.fillPath(facePath, g);
    p.setPen(QPen(QColor(110, 114, 124), 1));
    p.drawPath(basePath);
    p.setPen(QColor(40, 42, 48));
    p.setFont(capFont());
    p.drawText(face, Qt::AlignCenter, capLabel(key));
}

// The parts of a row: caps (keys) and joining words ("+", "or").
struct Piece {
    QString text;
    bool cap;
};

QVector<Piece> rowPieces(const QStringList &alternatives)
{
    QVector<Piece> pieces;
    for (int i = 0; i < alternatives.size(); ++i) {
        if (i > 0)
            pieces.push_back({QStringLiteral("or"), false});
        // "Ctrl++" is not used; a plain split on '+' is enough for this table.
        const QStringList keys = alternatives[i].split(QLatin1Char('+'), Qt::SkipEmptyParts);
        for (int k = 0; k < keys.size(); ++k) {
            if (k > 0)
                pieces.push_back({QStringLiteral("+"), false});
            pieces.push_back({keys[k], true});
        }
    }
    return pieces;
}

int pieceWidth(const Piece &piece)
{
    return piece.cap ? capWidth(piece.text) : QFontMetrics(joinFont()).horizontalAdvance(piece.text);
}

} // namespace

QVector<ShortcutEntry> shortcutTable()
{
    const QString c = commandModifierName();
    return {
        {QStringLiteral("Player"), {QStringLiteral("Space")}, QStringLiteral("Play or pause")},
        {QString(), {QStringLiteral("Left")}, QStringLiteral("Step back 20 to 40 frames")},
        {QString(), {QStringLiteral("Right")}, QStringLiteral("Step forward 20 to 40 frames")},
        {QString(), {QStringLiteral("Up")}, QStringLiteral("Next movie")},
        {QString(), {QStringLiteral("Down")}, QStringLiteral("Previous movie")},
        {QString(), {QStringLiteral("F11"), QStringLiteral("Alt+Return")}, QStringLiteral("Toggle fullscreen")},
        {QString(), {QStringLiteral("0")}, QStringLiteral("Fit the picture to the window")},
        {QString(), {QStringLiteral("9"), QStringLiteral("E")}, QStringLiteral("Zoom in")},
        {QString(), {QStringLiteral("7"), QStringLiteral("Q")}, QStringLiteral("Zoom out")},
        {QString(), {QStringLiteral("8"), QStringLiteral("W")}, QStringLiteral("Move the picture up")},
        {QString(), {QStringLiteral("5"), QStringLiteral("S")}, QStringLiteral("Move the picture down")},
        {QString(), {QStringLiteral("4"), QStringLiteral("A")}, QStringLiteral("Move the picture left")},
        {QString(), {QStringLiteral("6"), QStringLiteral("D")}, QStringLiteral("Move the picture right")},
        {QString(), {QStringLiteral("G")}, QStringLiteral("Create a geotag here")},
        {QString(), {QStringLiteral("P")}, QStringLiteral("Export a snapshot of the picture")},
        {QString(), {QStringLiteral("F")}, QStringLiteral("Switch the dashboard's vehicle image")},
        {QStringLiteral("Menus"), {c + QStringLiteral("+O")}, QStringLiteral("Open Movie Folder...")},
        {QString(), {c + QStringLiteral("+Shift+O")}, QStringLiteral("Open Movie Files...")},
        {QString(), {c + QStringLiteral("+1")}, QStringLiteral("Vertical dashboard")},
        {QString(), {c + QStringLiteral("+2")}, QStringLiteral("Horizontal dashboard")},
        {QString(), {c + QStringLiteral("+3")}, QStringLiteral("Graph Window")},
        {QString(), {c + QStringLiteral("+4")}, QStringLiteral("Map Window")},
        {QString(), {c + QStringLiteral("+5")}, QStringLiteral("Control Center Window")},
        {QString(), {c + QStringLiteral("+6")}, QStringLiteral("Bring All To Front")},
        {QString(), {c + QStringLiteral("+7")}, QStringLiteral("Reset Window Positions")},
        {QString(), {c + QStringLiteral("+F")}, QStringLiteral("Toggle Fullscreen")},
        {QString(), {c + QStringLiteral("+0")}, QStringLiteral("Sync Window Movement")},
        {QString(), {c + QStringLiteral("+R")}, QStringLiteral("Recenter Movie")},
    };
}

QPixmap keyCapPixmap(const QString &keyName, qreal devicePixelRatio)
{
    return keysPixmap({keyName}, devicePixelRatio);
}

QPixmap keysPixmap(const QStringList &alternatives, qreal devicePixelRatio)
{
    const QVector<Piece> pieces = rowPieces(alternatives);
    int width = 0;
    for (const Piece &piece : pieces)
        width += pieceWidth(piece) + (width > 0 ? kGap : 0);
    width = qMax(width, 1);
    QPixmap pixmap(QSize(width, kCapHeight) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    int x = 0;
    for (const Piece &piece : pieces) {
        const int w = pieceWidth(piece);
        const QRectF r(x, 0, w, kCapHeight);
        if (piece.cap) {
            drawCap(p, r, piece.text);
        } else {
            p.setPen(QColor(120, 124, 132));
            p.setFont(joinFont());
            p.drawText(r.adjusted(0, 0, 0, -3), Qt::AlignCenter, piece.text);
        }
        x += w + kGap;
    }
    return pixmap;
}

shortcutsDialog::shortcutsDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("shortcutsDialog"));
    setWindowTitle(QStringLiteral("Volantix"));

    auto *content = new QWidget;
    auto *grid = new QGridLayout(content);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    const qreal dpr = devicePixelRatioF();
    int row = 0;
    auto *title = new QLabel(QStringLiteral("<h3>Keyboard Shortcuts</h3>"), content);
    grid->addWidget(title, row++, 0, 1, 2);
    for (const ShortcutEntry &e : shortcutTable()) {
        if (!e.section.isEmpty()) {
            auto *section = new QLabel(QStringLiteral("<b>%1</b>").arg(e.section), content);
            if (row > 1)
                grid->setRowMinimumHeight(row++, 8);
            grid->addWidget(section, row++, 0, 1, 2);
        }
        auto *keys = new QLabel(content);
        keys->setObjectName(QStringLiteral("keys"));
        keys->setPixmap(keysPixmap(e.alternatives, dpr));
        keys->setToolTip(e.alternatives.join(QStringLiteral(" or ")));
        auto *action = new QLabel(e.action, content);
        action->setObjectName(QStringLiteral("action"));
        grid->addWidget(keys, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(action, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
        ++row;
    }

    auto *scroll = new QScrollArea(this);
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(buttons);
    resize(qMax(460, content->sizeHint().width() + 40), 620);
}

} // namespace vx

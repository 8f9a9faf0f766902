// Build-time converter of the user manual: docs/manual.md (GitHub-flavoured
// Markdown; "@VERSION@" is replaced by the program's version, pictures are
// named ":/images/<name>.png" and come from the program's own resources)
// into an A4 PDF with a running header, page numbers and styled headings,
// tables and code.
//
//   makemanual --input manual.md --output "Volantix Users Manual.pdf" [--version X]
//   makemanual --input manual.md --png DIR [--version X]
//       renders the same pages as PNG pictures (for a look at the layout);
//       --dpi N sets their resolution (110 unless given).
//
// Run with QT_QPA_PLATFORM=offscreen; fonts come from fonts-dejavu-core.
#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const QString kTitle = QStringLiteral("Volantix User's Manual");
const QColor kInk(0x1f, 0x29, 0x37);
const QColor kAccent(0x1d, 0x4e, 0xd8);
const QColor kMuted(0x64, 0x74, 0x8b);
const QColor kRule(0xcb, 0xd5, 0xe1);
const QColor kShade(0xf1, 0xf5, 0xf9);
const QColor kHeaderShade(0xe2, 0xe8, 0xf0);

// A4 page, millimetres.
const double kPageW = 210, kPageH = 297;
const double kLeft = 22, kRight = 22, kTop = 24, kBottom = 22;

// Painting and the page size are in device pixels; lengths inside text
// formats (margins, borders, picture sizes) are in 96-dpi pixels, which the
// layout scales to the device itself.
struct Geometry {
    double dpi;
    double px(double mm) const { return mm / 25.4 * dpi; }
    double pt(double points) const { return points / 72.0 * dpi; }
    static double fmt(double points) { return points / 72.0 * 96.0; }
    static double fmtMm(double mm) { return mm / 25.4 * 96.0; }
    QSizeF body() const { return QSizeF(px(kPageW - kLeft - kRight), px(kPageH - kTop - kBottom)); }
};

// Display size of a picture of the manual, by name (millimetres).
QSizeF pictureSizeMm(const QString &name, const QSizeF &natural, bool inTable)
{
    const double aspect = natural.height() > 0 ? natural.width() / natural.height() : 1.0;
    if (name.endsWith(QLatin1String("/volantix.png")))
        return QSizeF(26, 26);
    if (name.contains(QLatin1String("splash")))
        return QSizeF(110, 110 / aspect);
    if (name.contains(QLatin1String("levels-")))
        return QSizeF(45, 45 / aspect);
    const double h = inTable ? 5.5 : 4.5; // icons sit in the text line
    return QSizeF(h * aspect, h);
}

void styleBlocks(QTextDocument &doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QTextCursor c(b);
        QTextBlockFormat bf = b.blockFormat();
        const int level = bf.headingLevel();
        QTextCharFormat cf;
        if (level == 1) {
            bf.setAlignment(Qt::AlignHCenter);
            bf.setTopMargin(Geometry::fmt(4));
            bf.setBottomMargin(Geometry::fmt(2));
            cf.setFontPointSize(26);
            cf.setFontWeight(QFont::Bold);
            cf.setForeground(kInk);
        } else if (level == 2) {
            bf.setTopMargin(Geometry::fmt(16));
            bf.setBottomMargin(Geometry::fmt(5));
            cf.setFontPointSize(15);
            cf.setFontWeight(QFont::Bold);
            cf.setForeground(kAccent);
        } else if (level >= 3) {
            bf.setTopMargin(Geometry::fmt(10));
            bf.setBottomMargin(Geometry::fmt(3));
            cf.setFontPointSize(12);
            cf.setFontWeight(QFont::Bold);
            cf.setForeground(kInk);
        } else if (bf.hasProperty(QTextFormat::BlockCodeFence) || bf.hasProperty(QTextFormat::BlockCodeLanguage)) {
            bf.setBackground(kShade);
            bf.setLeftMargin(Geometry::fmt(8));
            bf.setRightMargin(Geometry::fmt(8));
            bf.setTopMargin(Geometry::fmt(4));
            bf.setBottomMargin(Geometry::fmt(8));
            cf.setFontFamily(QStringLiteral("DejaVu Sans Mono"));
            cf.setFontPointSize(8.5);
        } else {
            bf.setLineHeight(128, QTextBlockFormat::ProportionalHeight);
            bf.setBottomMargin(Geometry::fmt(5));
        }
        // the version line under the title, and pictures standing alone
        const QString text = b.text().trimmed();
        if (text.startsWith(QLatin1String("Version ")) && b.previous().blockFormat().headingLevel() == 1) {
            bf.setAlignment(Qt::AlignHCenter);
            bf.setBottomMargin(Geometry::fmt(14));
            cf.setForeground(kMuted);
        }
        if (text == QString(QChar::ObjectReplacementCharacter) && !c.currentTable()) {
            bf.setAlignment(Qt::AlignHCenter);
            bf.setLineHeight(100, QTextBlockFormat::ProportionalHeight);
            bf.setTopMargin(Geometry::fmt(4));
            bf.setBottomMargin(Geometry::fmt(6));
        }
        c.setBlockFormat(bf);
        if (cf.propertyCount() > 0) {
            c.select(QTextCursor::BlockUnderCursor);
            c.mergeCharFormat(cf);
        }
    }
}

void styleFragments(QTextDocument &doc)
{
    // collect first, then change: changing formats while walking the
    // fragments would invalidate the walk
    struct Change {
        int pos, len;
        QTextCharFormat format;
    };
    QVector<Change> changes;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            QTextCharFormat cf = f.charFormat();
            if (cf.isImageFormat()) {
                QTextImageFormat img = cf.toImageFormat();
                const QImage natural(img.name());
                const QSizeF mm = pictureSizeMm(img.name(), natural.size(), QTextCursor(b).currentTable() != nullptr);
                img.setWidth(Geometry::fmtMm(mm.width()));
                img.setHeight(Geometry::fmtMm(mm.height()));
                img.setVerticalAlignment(QTextCharFormat::AlignMiddle);
                changes.append({f.position(), f.length(), img});
            } else if (cf.hasProperty(QTextFormat::FontFixedPitch) &&
                       !b.blockFormat().hasProperty(QTextFormat::BlockCodeFence)) {
                // a code span: the importer gives it the system's fixed font,
                // which is the only place it sets the fixed-pitch property
                cf.setFontFamily(QStringLiteral("DejaVu Sans Mono"));
                cf.setFontPointSize(9);
                cf.setBackground(kShade);
                changes.append({f.position(), f.length(), cf});
            }
        }
    }
    for (const Change &ch : changes) {
        QTextCursor c(&doc);
        c.setPosition(ch.pos);
        c.setPosition(ch.pos + ch.len, QTextCursor::KeepAnchor);
        c.setCharFormat(ch.format);
    }
}

void styleTables(QTextFrame *frame)
{
    for (QTextFrame *child : frame->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(child)) {
            QTextTableFormat tf = table->format();
            tf.setBorder(Geometry::fmt(0.6));
            tf.setBorderBrush(kRule);
            tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            tf.setBorderCollapse(true);
            tf.setCellPadding(Geometry::fmt(3.5));
            tf.setCellSpacing(0);
            tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            tf.setHeaderRowCount(1);
            tf.setTopMargin(Geometry::fmt(3));
            tf.setBottomMargin(Geometry::fmt(8));
            table->setFormat(tf);
            for (int r = 0; r < table->rows(); ++r) {
                for (int col = 0; col < table->columns(); ++col) {
                    QTextTableCell cell = table->cellAt(r, col);
                    QTextCharFormat cf = cell.format();
                    if (r == 0)
                        cf.setBackground(kHeaderShade);
                    else if (r % 2 == 0)
                        cf.setBackground(QColor(0xf8, 0xfa, 0xfc));
                    cell.setFormat(cf);
                    if (r == 0) {
                        QTextCursor c = cell.firstCursorPosition();
                        c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
                        QTextCharFormat bold;
                        bold.setFontWeight(QFont::Bold);
                        c.mergeCharFormat(bold);
                    }
                    for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
                        QTextBlock b = it.currentBlock();
                        if (!b.isValid())
                            continue;
                        QTextCursor c(b);
                        QTextBlockFormat bf = b.blockFormat();
                        bf.setBottomMargin(0);
                        bf.setLineHeight(115, QTextBlockFormat::ProportionalHeight);
                        c.setBlockFormat(bf);
                    }
                }
            }
        }
        styleTables(child);
    }
}

// The importer ends every fenced code block with an empty line of its own;
// drop it so the shaded box hugs its text.
void dropTrailingCodeLines(QTextDocument &doc)
{
    for (QTextBlock b = doc.begin(); b.isValid();) {
        const QTextBlock next = b.next();
        const bool fence = b.blockFormat().hasProperty(QTextFormat::BlockCodeFence);
        if (fence && b.text().isEmpty() && b.previous().isValid() &&
            b.previous().blockFormat().hasProperty(QTextFormat::BlockCodeFence) &&
            !(next.isValid() && next.blockFormat().hasProperty(QTextFormat::BlockCodeFence))) {
            QTextCursor c(b);
            c.movePosition(QTextCursor::PreviousCharacter);
            c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
            c.removeSelectedText();
        }
        b = next;
    }
}

// A heading left at the foot of a page, with its text on the next one, moves
// to the next page too. Each move can shift later pages, so the check runs
// again until nothing moves.
void keepHeadingsWithText(QTextDocument &doc, const Geometry &g)
{
    const double pageH = g.body().height();
    QAbstractTextDocumentLayout *layout = doc.documentLayout();
    for (int round = 0; round < 20; ++round) {
        bool moved = false;
        for (QTextBlock b = doc.begin(); b.isValid() && b.next().isValid(); b = b.next()) {
            if (b.blockFormat().headingLevel() == 0 || b.blockFormat().pageBreakPolicy() != QTextFormat::PageBreak_Auto)
                continue;
            const QRectF head = layout->blockBoundingRect(b);
            const QTextBlock following = b.next();
            double firstLineBottom = layout->blockBoundingRect(following).top() + g.pt(14);
            if (following.layout() && following.layout()->lineCount() > 0) {
                const QTextLine line = following.layout()->lineAt(0);
                firstLineBottom = layout->blockBoundingRect(following).top() + line.y() + line.height();
            }
            const int headPage = int(head.top() / pageH);
            const int nextPage = int(firstLineBottom / pageH);
            if (nextPage > headPage) {
                QTextBlockFormat bf = b.blockFormat();
                bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                QTextCursor(b).setBlockFormat(bf);
                // lay the whole document out again: the incremental relayout
                // after a format change does not repaginate what follows
                doc.markContentsDirty(0, doc.characterCount());
                moved = true;
                break;
            }
        }
        if (!moved)
            return;
    }
}

// Builds and lays out the manual for pages painted at `dpi` on `device`.
void buildDocument(QTextDocument &doc, const QString &markdown, QPaintDevice *device, const Geometry &g)
{
    doc.documentLayout()->setPaintDevice(device);
    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPointSizeF(10);
    doc.setDefaultFont(body);
    doc.setDocumentMargin(0);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    dropTrailingCodeLines(doc);
    styleBlocks(doc);
    styleFragments(doc);
    styleTables(doc.rootFrame());
    doc.setPageSize(g.body());
    keepHeadingsWithText(doc, g);
}

void paintPage(QPainter &p, QTextDocument &doc, const Geometry &g, int page, int pages, const QString &version)
{
    const QSizeF body = g.body();
    p.save();
    p.translate(g.px(kLeft), g.px(kTop) - page * body.height());
    QAbstractTextDocumentLayout::PaintContext ctx;
    // the clip stops a hair above the page end: a picture that starts the
    // next page must not smear its first row onto this one
    ctx.clip = QRectF(0, page * body.height(), body.width(), body.height() - g.pt(0.5));
    ctx.palette.setColor(QPalette::Text, kInk);
    p.setClipRect(ctx.clip);
    doc.documentLayout()->draw(&p, ctx);
    p.restore();

    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPointSizeF(8);
    p.setFont(small);
    p.setPen(kMuted);
    const double left = g.px(kLeft), right = g.px(kPageW - kRight);
    if (page > 0) {
        const QRectF header(left, g.px(11), right - left, g.px(6));
        p.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, kTitle);
        p.drawText(header, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Version %1").arg(version));
        p.setPen(QPen(kRule, g.pt(0.6)));
        p.drawLine(QPointF(left, g.px(17.5)), QPointF(right, g.px(17.5)));
        p.setPen(kMuted);
    }
    p.drawText(QRectF(left, g.px(kPageH - 14), right - left, g.px(6)), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
}

bool writePdf(const QString &markdown, const QString &path, const QString &version)
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    writer.setTitle(kTitle);
    writer.setCreator(QStringLiteral("Volantix makemanual"));
    const Geometry g{double(writer.resolution())};
    QTextDocument doc;
    buildDocument(doc, markdown, &writer, g);
    const int pages = doc.pageCount();
    QPainter p;
    if (!p.begin(&writer)) {
        std::fprintf(stderr, "makemanual: cannot write %s\n", qPrintable(path));
        return false;
    }
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        paintPage(p, doc, g, i, pages, version);
    }
    return p.end();
}

bool writePngs(const QString &markdown, const QString &dir, const QString &version, double dpi)
{
    const Geometry g{dpi};
    const QSize pagePx(int(g.px(kPageW)), int(g.px(kPageH)));
    QImage layoutDevice(pagePx, QImage::Format_ARGB32_Premultiplied);
    layoutDevice.setDotsPerMeterX(int(g.dpi / 0.0254));
    layoutDevice.setDotsPerMeterY(int(g.dpi / 0.0254));
    QTextDocument doc;
    buildDocument(doc, markdown, &layoutDevice, g);
    const int pages = doc.pageCount();
    QDir().mkpath(dir);
    for (int i = 0; i < pages; ++i) {
        QImage page = layoutDevice;
        page.fill(Qt::white);
        QPainter p(&page);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
        paintPage(p, doc, g, i, pages, version);
        p.end();
        if (!page.save(QDir(dir).filePath(QStringLiteral("page-%1.png").arg(i + 1)), "PNG"))
            return false;
    }
    std::printf("%d pages\n", pages);
    return true;
}

QString option(const QStringList &args, const QString &name)
{
    const int i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString input = option(args, QStringLiteral("--input"));
    const QString output = option(args, QStringLiteral("--output"));
    const QString pngDir = option(args, QStringLiteral("--png"));
    QString version = option(args, QStringLiteral("--version"));
    if (version.isEmpty())
        version = QStringLiteral("?");
    if (input.isEmpty() || (output.isEmpty() && pngDir.isEmpty())) {
        std::fprintf(stderr, "usage: makemanual --input FILE.md (--output FILE.pdf | --png DIR) [--version X]\n");
        return 2;
    }
    QFile in(input);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "makemanual: cannot read %s\n", qPrintable(input));
        return 1;
    }
    const QString markdown = QString::fromUtf8(in.readAll()).replace(QLatin1String("@VERSION@"), version);
    if (!pngDir.isEmpty())
        return writePngs(markdown, pngDir, version, std::max(50, option(args, QStringLiteral("--dpi")).toInt() > 0 ? option(args, QStringLiteral("--dpi")).toInt() : 110)) ? 0 : 1;
    // write beside the target and rename, so a failed run leaves no half file
    const QString partial = output + QStringLiteral(".part");
    if (!writePdf(markdown, partial, version)) {
        QFile::remove(partial);
        return 1;
    }
    QFile::remove(output);
    if (!QFile::rename(partial, output)) {
        std::fprintf(stderr, "makemanual: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}

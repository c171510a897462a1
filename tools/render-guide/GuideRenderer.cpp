#include "GuideRenderer.h"

#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace {

const QColor headerShade(230, 230, 230);
const QColor codeShade(242, 242, 242);

// Markdown tables come in with cramped cells and double borders; a shaded
// header row reads better on paper.
void styleTable(QTextTable &table, const GuideStyle &style)
{
    QTextTableFormat format = table.format();
    format.setCellPadding(style.tableCellPadding);
    format.setCellSpacing(0);
    format.setBorderCollapse(true);
    format.setBorder(0);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    format.setHeaderRowCount(1);
    table.setFormat(format);
    for (int column = 0; column < table.columns(); ++column) {
        QTextTableCell cell = table.cellAt(0, column);
        QTextCharFormat shade = cell.format();
        shade.setBackground(headerShade);
        cell.setFormat(shade);
    }
}

void styleTables(QTextFrame &frame, const GuideStyle &style)
{
    for (QTextFrame *child : frame.childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(child)) styleTable(*table, style);
        styleTables(*child, style);
    }
}

// Code blocks come in as plain monospace lines; shaded and indented, a
// command reads as something to type.
void styleCodeBlocks(QTextDocument &document, const GuideStyle &style)
{
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!block.blockFormat().hasProperty(QTextFormat::BlockCodeFence)) continue;
        QTextBlockFormat format = block.blockFormat();
        format.setLeftMargin(style.codeIndent);
        format.setTopMargin(style.codeSpacing);
        format.setBottomMargin(style.codeSpacing);
        format.setBackground(codeShade);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
}

void printInto(QIODevice &device, QTextDocument &document, const QString &title)
{
    QPdfWriter writer(&device);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Pallix Control Center"));
    // print() keeps a margin of its own around the text and numbers the pages in it.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(), QPageLayout::Millimeter));
    document.print(&writer);
}

}  // namespace

QString renderGuide(const QString &markdown, const QString &title, const QString &pdfPath,
                    const GuideStyle &style)
{
    QTextDocument document;
    QFont font(style.fontFamily);
    font.setPointSizeF(style.fontPointSize);
    document.setDefaultFont(font);
    document.setMarkdown(markdown);
    document.setMetaInformation(QTextDocument::DocumentTitle, title);
    styleTables(*document.rootFrame(), style);
    styleCodeBlocks(document, style);

    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    printInto(file, document, title);
    if (!file.commit()) return file.errorString();
    return {};
}

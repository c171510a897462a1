// Turns a Markdown document into a paginated A4 PDF.
#pragma once

#include <QString>

struct GuideStyle {
    QString fontFamily = QStringLiteral("DejaVu Sans");
    double fontPointSize = 10.5;
    double tableCellPadding = 4;
    // Code blocks, the commands to type, stand apart from the text; margins
    // are in the PDF's own units (1/1200 inch).
    double codeIndent = 240;
    double codeSpacing = 12;
};

// Writes markdown as a PDF to pdfPath, replacing it only once the whole file
// has been written. Returns an empty text on success, otherwise why it failed.
QString renderGuide(const QString &markdown, const QString &title, const QString &pdfPath,
                    const GuideStyle &style = {});

// Turns a Markdown document into a paginated A4 PDF.
#pragma once

#include <QString>

struct GuideStyle {
    QString fontFamily = QStringLiteral("DejaVu Sans");
    double fontPointSize = 10.5;
    double tableCellPadding = 4;
};

// Writes markdown as a PDF to pdfPath, replacing it only once the whole file
// has been written. Returns an empty text on success, otherwise why it failed.
QString renderGuide(const QString &markdown, const QString &title, const QString &pdfPath,
                    const GuideStyle &style = {});

#include "PowerIcon.h"

#include <QPainter>
#include <QPen>

QImage drawPowerSymbol(int size, const QColor &colour)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const qreal stroke = size / 8.0;
    QPen pen(colour, stroke, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);

    // Ring open at the top, 60 degrees either side of the bar.
    const qreal margin = stroke / 2 + size / 10.0;
    const QRectF ring(margin, margin + size / 32.0, size - 2 * margin, size - 2 * margin);
    painter.drawArc(ring, 120 * 16, 300 * 16);

    const qreal centre = size / 2.0;
    painter.drawLine(QPointF(centre, size / 12.0 + stroke / 2), QPointF(centre, centre));
    return image;
}

QIcon powerIcon(const QColor &colour)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(drawPowerSymbol(size, colour)));
    return icon;
}

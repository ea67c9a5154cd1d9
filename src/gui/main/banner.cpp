#include "gui/main/banner.h"

#include "gui/formparts.h"
#include "texts/help.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace pilotrame::gui {

namespace {

// A drawn logo, so that the program needs no image file beside it: a sheet with a script line
// and a pen stroke, crisp at any scaling.
QPixmap Logo(qreal devicePixelRatio) {
    const int size = 40;
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1f, 0x4e, 0x79), 2));
    p.setBrush(QColor(0xe8, 0xf1, 0xfa));
    p.drawRoundedRect(QRectF(4, 3, 26, 34), 3, 3);
    p.setPen(QPen(QColor(0x1f, 0x4e, 0x79), 1.5));
    for (int y = 11; y <= 27; y += 6)
        p.drawLine(QPointF(9, y), QPointF(25, y));
    p.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, 34), QPointF(36, 14));
    return pixmap;
}

} // namespace

Banner::Banner(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Banner"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(Logo(devicePixelRatioF()));
    layout->addWidget(image);
    // Plain text: the rich-text engine costs the start-up more than the whole banner else.
    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("Label10"));
    text->setTextFormat(Qt::PlainText);
    text->setText(QStringLiteral("Pilotrame — traitement par lots des plans AutoCAD\n"
                                 "Traçage, purge, conversion DWG/DXF et scripts sur des centaines "
                                 "de plans\nVersion ") +
                  FromStd(PilotrameVersion()));
    layout->addWidget(text, 1);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xf3, 0xf6, 0xf9));
    setPalette(palette);
}

} // namespace pilotrame::gui

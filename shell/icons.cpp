#include "shell/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace shell {
namespace {

constexpr int kSize = 32;

void sheet(QPainter& p) {
    QPainterPath page;
    page.moveTo(7, 3);
    page.lineTo(20, 3);
    page.lineTo(26, 9);
    page.lineTo(26, 29);
    page.lineTo(7, 29);
    page.closeSubpath();
    p.setPen(QPen(QColor(70, 70, 70), 1.5));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(220, 220, 220));
    p.drawPolygon(QPolygonF({QPointF(20, 3), QPointF(20, 9), QPointF(26, 9)}));
}

void radio(QPainter& p) {
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(QColor(60, 60, 70));
    p.drawRoundedRect(QRectF(3, 9, 11, 20), 2, 2);
    p.drawLine(QPointF(6, 9), QPointF(6, 2));
    p.setBrush(QColor(120, 200, 120));
    p.drawRect(QRectF(5, 12, 7, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 170, 170));
    for (int y = 20; y <= 26; y += 3) p.drawRect(QRectF(5, y, 7, 1.5));
}

void arrow(QPainter& p, bool towardsRadio, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    QPolygonF a;
    if (towardsRadio)
        a << QPointF(30, 16) << QPointF(22, 16) << QPointF(22, 11) << QPointF(15, 19) << QPointF(22, 27)
          << QPointF(22, 22) << QPointF(30, 22);
    else
        a << QPointF(16, 16) << QPointF(24, 16) << QPointF(24, 11) << QPointF(31, 19) << QPointF(24, 27)
          << QPointF(24, 22) << QPointF(16, 22);
    p.drawPolygon(a);
}

void draw(QPainter& p, Picture picture) {
    switch (picture) {
    case Picture::New:
        sheet(p);
        p.setPen(QPen(QColor(230, 170, 0), 2));
        p.drawLine(QPointF(11, 16), QPointF(21, 16));
        p.drawLine(QPointF(16, 11), QPointF(16, 21));
        break;
    case Picture::Open:
        p.setPen(QPen(QColor(150, 100, 20), 1.5));
        p.setBrush(QColor(240, 200, 90));
        p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(12, 8), QPointF(14, 11), QPointF(27, 11), QPointF(27, 27),
                                 QPointF(3, 27)}));
        p.setBrush(QColor(252, 225, 130));
        p.drawPolygon(QPolygonF({QPointF(7, 15), QPointF(31, 15), QPointF(27, 27), QPointF(3, 27)}));
        break;
    case Picture::Save:
        p.setPen(QPen(QColor(30, 50, 110), 1.5));
        p.setBrush(QColor(60, 100, 190));
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 4, 14, 9));
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(8, 17, 16, 11));
        p.setBrush(QColor(30, 50, 110));
        p.drawRect(QRectF(18, 6, 3, 5));
        break;
    case Picture::Read:
        radio(p);
        arrow(p, false, QColor(30, 140, 60));
        break;
    case Picture::Write:
        radio(p);
        arrow(p, true, QColor(200, 60, 40));
        break;
    case Picture::Remark:
        sheet(p);
        p.setPen(QPen(QColor(90, 110, 160), 1.5));
        for (int y = 12; y <= 24; y += 4) p.drawLine(QPointF(10, y), QPointF(23, y));
        break;
    case Picture::Password: {
        p.setPen(QPen(QColor(120, 90, 10), 1.5));
        p.setBrush(QColor(235, 190, 50));
        p.drawEllipse(QRectF(3, 8, 14, 14));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(7, 12, 5, 5));
        p.setBrush(QColor(235, 190, 50));
        p.drawRect(QRectF(16, 13, 14, 4));
        p.drawRect(QRectF(24, 17, 3, 5));
        p.drawRect(QRectF(19, 17, 3, 4));
        break;
    }
    }
}

}  // namespace

QIcon ToolIcon(Picture picture) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, picture);
    p.end();
    return QIcon(pixmap);
}

}  // namespace shell

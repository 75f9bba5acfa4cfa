#include "servers_tab/ServerIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace {
constexpr int size = 16;

QPixmap blank() {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap emblem(const QColor &fill) {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A shield: flat top, pointed bottom.
    QPainterPath shield;
    shield.moveTo(2.5, 2.5);
    shield.lineTo(13.5, 2.5);
    shield.lineTo(13.5, 8.0);
    shield.quadTo(13.5, 12.0, 8.0, 14.5);
    shield.quadTo(2.5, 12.0, 2.5, 8.0);
    shield.closeSubpath();
    p.setPen(QPen(fill.darker(160), 1.0));
    p.setBrush(fill);
    p.drawPath(shield);
    p.setPen(QPen(fill.lighter(170), 1.4));
    p.drawLine(QPointF(5.0, 7.0), QPointF(11.0, 7.0));
    p.drawLine(QPointF(8.0, 4.5), QPointF(8.0, 11.5));
    return pixmap;
}

QPixmap questionMark() {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 40, 140), 1.0));
    p.setBrush(QColor(30, 90, 220));
    p.drawEllipse(QRectF(1.0, 1.0, 14.0, 14.0));
    QFont font;
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("?"));
    return pixmap;
}

QPixmap clock() {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF face(8.5, 0.5, 7.0, 7.0);
    p.setPen(QPen(QColor(60, 60, 60), 1.0));
    p.setBrush(QColor(255, 250, 220));
    p.drawEllipse(face);
    const QPointF centre = face.center();
    p.drawLine(centre, centre + QPointF(0.0, -2.5));
    p.drawLine(centre, centre + QPointF(2.0, 0.0));
    return pixmap;
}

QPixmap dimmed(const QPixmap &source) {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setOpacity(0.4);
    p.drawPixmap(0, 0, source);
    return pixmap;
}

// A small amber bell, not dimmed with the icon beneath it, so a watched row stands out.
QPixmap withBell(const QPixmap &source) {
    QPixmap pixmap = source;
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath bell;
    bell.moveTo(8.5, 15.0);
    bell.lineTo(15.5, 15.0);
    bell.quadTo(14.0, 13.5, 14.0, 11.5);
    bell.quadTo(14.0, 8.5, 12.0, 8.5);
    bell.quadTo(10.0, 8.5, 10.0, 11.5);
    bell.quadTo(10.0, 13.5, 8.5, 15.0);
    bell.closeSubpath();
    p.setPen(QPen(QColor(90, 60, 0), 1.0));
    p.setBrush(QColor(255, 190, 20));
    p.drawPath(bell);
    p.drawEllipse(QRectF(11.3, 14.6, 1.4, 1.4));
    return pixmap;
}

// A small steel padlock, not dimmed either, in a colour of its own beside the amber bell.
QPixmap withLock(const QPixmap &source) {
    QPixmap pixmap = source;
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shackle;
    shackle.moveTo(2.0, 10.5);
    shackle.lineTo(2.0, 8.5);
    shackle.arcTo(QRectF(2.0, 6.0, 4.5, 5.0), 180.0, -180.0);
    shackle.lineTo(6.5, 10.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 40, 50), 1.4));
    p.drawPath(shackle);
    p.setPen(QPen(QColor(30, 30, 40), 1.0));
    p.setBrush(QColor(95, 105, 125));
    p.drawRect(QRectF(0.5, 10.5, 7.5, 5.0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(3.6, 12.0, 1.3, 2.2));
    return pixmap;
}

struct Set {
    // By 1-based index, dimmed or not, with the bell or not, with the padlock or not.
    std::array<QIcon, 7> icons[2][2][2];
    Set() {
        const std::array<QPixmap, 7> pictures = {
            blank(),
            questionMark(),
            emblem(QColor(150, 150, 150)),
            emblem(QColor(20, 160, 40)),
            emblem(QColor(210, 30, 30)),
            clock(),
            blank(),
        };
        for (size_t i = 0; i < pictures.size(); ++i) {
            for (int ghosted : {0, 1}) {
                const QPixmap base = ghosted ? dimmed(pictures[i]) : pictures[i];
                for (int watched : {0, 1}) {
                    const QPixmap belled = watched ? withBell(base) : base;
                    icons[ghosted][watched][0][i] = QIcon(belled);
                    icons[ghosted][watched][1][i] = QIcon(withLock(belled));
                }
            }
        }
    }
};

const Set &icons() {
    static const Set set;
    return set;
}
} // namespace

const QIcon &ServerIcons::icon(int index, bool ghosted) {
    return marked(index, ghosted, false, false);
}

const QIcon &ServerIcons::marked(int index, bool ghosted, bool watched, bool locked) {
    const Set &set = icons();
    const auto at = static_cast<size_t>(index >= 1 && index <= 6 ? index : 0);
    return set.icons[ghosted][watched][locked][at];
}

QIcon ServerIcons::refreshAll() {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The globe in the middle.
    p.setPen(QPen(QColor(0, 60, 140), 1.0));
    p.setBrush(QColor(70, 140, 230));
    const QRectF globe(7.0, 1.0, 10.0, 10.0);
    p.drawEllipse(globe);
    p.drawLine(QPointF(7.0, 6.0), QPointF(17.0, 6.0));
    p.drawEllipse(QRectF(10.0, 1.0, 4.0, 10.0));
    // Two computers below, linked to it.
    p.setPen(QPen(QColor(60, 60, 60), 1.0));
    p.drawLine(QPointF(5.0, 15.0), QPointF(10.0, 10.0));
    p.drawLine(QPointF(19.0, 15.0), QPointF(14.0, 10.0));
    for (const qreal x : {1.0, 15.0}) {
        p.setBrush(QColor(220, 220, 220));
        p.drawRect(QRectF(x, 14.0, 8.0, 6.0));
        p.setBrush(QColor(40, 80, 120));
        p.drawRect(QRectF(x + 1.5, 15.5, 5.0, 3.0));
        p.setBrush(QColor(180, 180, 180));
        p.drawRect(QRectF(x + 2.0, 21.0, 4.0, 2.0));
    }
    return QIcon(pixmap);
}

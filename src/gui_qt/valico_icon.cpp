#include "gui_qt/valico_icon.h"

#include <QPainter>
#include <QPolygonF>

namespace valico {

QPixmap ValicoLogo(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1f, 0x5f, 0xa8));
  p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
  // The V of a bold sans-serif letter, on a grid of the square's sixteenths.
  const qreal u = size / 16.0;
  const QPolygonF v({{3 * u, 3 * u},
                     {5.6 * u, 3 * u},
                     {8 * u, 10.2 * u},
                     {10.4 * u, 3 * u},
                     {13 * u, 3 * u},
                     {9.4 * u, 13 * u},
                     {6.6 * u, 13 * u}});
  p.setBrush(Qt::white);
  p.drawPolygon(v);
  return pixmap;
}

QIcon ValicoIcon() {
  QIcon icon;
  for (int size : {16, 22, 32, 48, 64}) icon.addPixmap(ValicoLogo(size));
  return icon;
}

}  // namespace valico

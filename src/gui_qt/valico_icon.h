#pragma once

#include <QIcon>
#include <QPixmap>

namespace valico {

// The program's logo, a white V on a blue rounded square, `size` pixels wide and high. Drawn
// as shapes, not as a letter of a font, so the tray icon loads no font: the font machinery
// comes in only with the first window that shows text.
QPixmap ValicoLogo(int size);

// The program's icon: the tray's and the windows'.
QIcon ValicoIcon();

}  // namespace valico

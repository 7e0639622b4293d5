// The program's own icon: a page of coloured source lines with the caret on a blue tile,
// drawn with QPainter at every size it is shown in. Application/resources/icons/varlin.svg
// is the same picture for installing.
#pragma once

#include <QIcon>

class QPainter;

namespace varlin {

// The icon with pictures of 16 to 256 pixels.
QIcon ProgramIcon();
// Draws the icon into a square of `size` pixels at the painter's origin.
void PaintProgramIcon(QPainter& painter, int size);

}  // namespace varlin

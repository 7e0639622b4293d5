// The program's own icon: a page of coloured source lines, a marked range and the caret
// on a slate tile, drawn with QPainter at every size it is shown in; the same picture as
// Application/resources/icons/varlin.svg, which the package installs.
#pragma once

#include <QIcon>

class QPainter;

namespace varlin {

// The icon with pictures of 16 to 256 pixels.
QIcon ProgramIcon();
// Draws the icon into a square of `size` pixels at the painter's origin.
void PaintProgramIcon(QPainter& painter, int size);

}  // namespace varlin

// The toolbar's images: one small picture per command that has a button image, and one
// for macro buttons, drawn with QPainter on a 16-unit grid in one style (dark outline,
// white paper, one accent colour per kind of action) so that they stay crisp at any size.
#pragma once

#include <QIcon>

class QPainter;

namespace varlin {

// The command's icon: the desktop theme's icon of the command's standard name where the
// theme has one (unless the option ThemeIcons is 0), else the drawn picture; a null icon
// for commands without an image.
QIcon ToolbarIcon(int commandId);
QIcon MacroButtonIcon();

// Draws the picture into a square of side size at the painter's origin (for tests and
// the configuration dialog's previews). False when the command has no picture.
bool PaintToolbarIcon(QPainter& painter, int commandId, int size);

}  // namespace varlin

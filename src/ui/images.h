#pragma once

#include <QIcon>
#include <QImage>

namespace tesmor {

// The toolbar image of a resource number (109..122, the ButtonImage values); a null image for
// any other number.
QImage ToolbarImage(int id);

// The program's icon at 16 x 16 and 32 x 32.
QImage IconImage(int size);
QIcon ProgramIcon();

}  // namespace tesmor

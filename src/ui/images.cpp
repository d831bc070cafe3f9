#include "ui/images.h"

#include "game/commands.h"

// The pictures are XPM text, which is C: drawn by hand, kept in resources/images, compiled in.
#include "images/computer.xpm"
#include "images/forbidden.xpm"
#include "images/free.xpm"
#include "images/hint.xpm"
#include "images/icon16.xpm"
#include "images/icon32.xpm"
#include "images/new_game.xpm"
#include "images/open.xpm"
#include "images/rif.xpm"
#include "images/save.xpm"
#include "images/stop.xpm"
#include "images/two_players.xpm"
#include "images/vcf.xpm"

namespace tesmor {

QImage ToolbarImage(int id) {
  switch (id) {
    case ImageNewGame:
      return QImage(new_game_xpm);
    case ImageComputer:
      return QImage(computer_xpm);
    case ImageForbidden:
      return QImage(forbidden_xpm);
    case ImageSave:
      return QImage(save_xpm);
    case ImageOpen:
      return QImage(open_xpm);
    case ImageHint:
      return QImage(hint_xpm);
    case ImageStop:
      return QImage(stop_xpm);
    case ImageVcf:
      return QImage(vcf_xpm);
    case ImageTwoPlayers:
      return QImage(two_players_xpm);
    case ImageFree:
      return QImage(free_xpm);
    case ImageRif:
      return QImage(rif_xpm);
    default:
      return {};
  }
}

QImage IconImage(int size) {
  return size <= 16 ? QImage(icon16_xpm) : QImage(icon32_xpm);
}

QIcon ProgramIcon() {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(IconImage(16)));
  icon.addPixmap(QPixmap::fromImage(IconImage(32)));
  return icon;
}

}  // namespace tesmor

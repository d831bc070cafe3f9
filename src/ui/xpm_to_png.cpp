// Build helper: writes the icon and the toolbar pictures as PNG files for the desktop and the
// documentation. Usage: tesmor-xpm-to-png OUTPUT_DIR
#include <QDir>
#include <QImage>

#include <cstdio>

#include "game/commands.h"
#include "ui/images.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!out.mkpath(QStringLiteral("."))) return 1;
  bool ok = tesmor::IconImage(16).save(out.filePath(QStringLiteral("tesmor-16.png")));
  ok = tesmor::IconImage(32).save(out.filePath(QStringLiteral("tesmor-32.png"))) && ok;
  // The larger sizes a desktop asks for, from the 32-pixel picture: whole multiples keep its
  // pixels sharp; 48 has to blend them.
  for (const int size : {48, 64, 128, 256}) {
    const Qt::TransformationMode mode =
        size % 32 == 0 ? Qt::FastTransformation : Qt::SmoothTransformation;
    const QImage scaled = tesmor::IconImage(32).scaled(size, size, Qt::KeepAspectRatio, mode);
    ok = scaled.save(out.filePath(QStringLiteral("tesmor-%1.png").arg(size))) && ok;
  }
  for (int id : {109, 110, 111, 112, 113, 114, 115, 116, 120, 121, 122})
    ok = tesmor::ToolbarImage(id).save(out.filePath(QStringLiteral("button-%1.png").arg(id))) && ok;
  return ok ? 0 : 1;
}

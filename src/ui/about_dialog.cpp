#include "ui/about_dialog.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "tesmor_version.h"
#include "ui/images.h"

namespace tesmor {

// 148 x 71 dialog units of an 8-point dialog font, about 222 x 115 pixels.
AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("关于 ") + QString::fromUtf8(ProgramTitle));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(222, 115);

  auto* icon = new QLabel(this);
  icon->setPixmap(QPixmap::fromImage(IconImage(32)));
  icon->setGeometry(11, 11, 32, 32);

  auto* name = new QLabel(QString::fromUtf8(ProgramTitle), this);
  name->setAlignment(Qt::AlignCenter);
  name->setGeometry(0, 40, width(), 20);

  auto* ok = new QPushButton(QStringLiteral("确定"), this);
  ok->setDefault(true);
  ok->setGeometry((width() - 75) / 2, 78, 75, 25);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tesmor

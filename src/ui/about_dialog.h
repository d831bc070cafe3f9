#pragma once

#include <QDialog>

namespace tesmor {

// "关于": the icon, the program's name and version, and a button to close it.
class AboutDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace tesmor

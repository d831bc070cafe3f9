#pragma once

#include <QAbstractButton>
#include <QImage>

namespace tesmor {

// A 24 x 24 toolbar button (scaled with the board) that shows nothing but its image, drawn whole;
// pressed, the image sinks by a pixel inside a dark frame. It never takes the keyboard focus.
class ImageButton final : public QAbstractButton {
  Q_OBJECT

 public:
  explicit ImageButton(QWidget* parent);

  void SetImage(int id);
  int imageId() const { return imageId_; }
  QSize sizeHint() const override { return {24, 24}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int imageId_ = 0;
  QImage image_;
};

}  // namespace tesmor

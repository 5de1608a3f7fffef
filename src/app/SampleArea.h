#pragma once
// The drawing area of the sample (displayPicture): cleared, or showing one line
// of text drawn from its top-left corner in a font; text wider than the area is
// cut off at its edge. The picture is kept and repainted whenever it is uncovered.
#include <QFont>
#include <QString>
#include <QWidget>

namespace typeloom::app {

class SampleArea : public QWidget {
  Q_OBJECT
 public:
  explicit SampleArea(QWidget* parent = nullptr);

  // Removes any drawn text.
  void Clear();
  // Clears the area and draws `text` as one line at the top-left corner.
  void DrawLine(const QFont& font, const QString& text);

  // What the area shows: the line and the font it was drawn in (empty when clear).
  const QString& DrawnText() const { return text_; }
  const QFont& DrawnFont() const { return font_; }
  bool IsClear() const { return text_.isEmpty(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  QFont font_;
};

}  // namespace typeloom::app

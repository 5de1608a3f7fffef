// Another program for the desktop tests: a window titled "Typing Target" with one
// text field; every change of its text is printed on a line of its own, so a test
// sees that the keys it typed arrived here.
#include <QApplication>
#include <QLineEdit>

#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLineEdit field;
  field.setWindowTitle(QStringLiteral("Typing Target"));
  // Across the right edge of the viewer, which is centred: the viewer is partly
  // covered while this is in front, and the right end stays clear for clicks.
  field.resize(500, 60);
  field.move(740, 400);
  QObject::connect(&field, &QLineEdit::textChanged, [](const QString& text) {
    std::printf("%s\n", text.toUtf8().constData());
    std::fflush(stdout);
  });
  field.show();
  return QApplication::exec();
}

// Outside text in labels, tooltips and message boxes is shown literally, and
// network texts are cut down to one short line.
#include "platform/ui/PlainText.h"
#include "platform/ui/QtMessageBoxes.h"
#include "support/TestLabel.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace typeloom::platform {
namespace {

const QString kMarkup[] = {
    QStringLiteral("<img src=/dev/zero>"),
    QStringLiteral("<h1>Signature key rotated!</h1><a href=\"https://evil.example/\">Click here</a>"),
    QStringLiteral("<b>bold</b> &amp; entity"),
};

TEST(PlainLabelTest, MarkupIsShownAsItsCharacters) {
  QWidget window;
  for (const QString& text : kMarkup) {
    SCOPED_TRACE(text.toStdString());
    QLabel* made = MakePlainLabel(text, &window);
    // A label whose format was changed to rich text gets plain text back.
    auto* reused = new QLabel(&window);
    reused->setTextFormat(Qt::RichText);
    reused->setOpenExternalLinks(true);
    SetPlainText(reused, text);
    for (QLabel* label : {made, reused}) {
      EXPECT_EQ(label->textFormat(), Qt::PlainText);
      EXPECT_EQ(label->text(), text);
      EXPECT_FALSE(label->openExternalLinks());
      EXPECT_FALSE(label->grab().isNull());  // laid out and painted without loading anything
    }
    QWidget tipped(&window);
    SetPlainToolTip(&tipped, text);
    // Rendered as Qt renders tooltips, it reads as the very characters given.
    QTextDocument rendered;
    rendered.setHtml(tipped.toolTip());
    EXPECT_EQ(rendered.toPlainText(), text) << tipped.toolTip().toStdString();
  }
}

TEST(PlainMessageBoxTest, MarkupInAMessageIsShownAsItsCharacters) {
  QtMessageBoxes boxes;
  for (const QString& text : kMarkup) {
    SCOPED_TRACE(text.toStdString());
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    QTimer::singleShot(0, [&] {
      for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(window); box != nullptr && box->isVisible()) {
          format = box->textFormat();
          shown = box->text();
          box->accept();
        }
      }
    });
    boxes.Show(nullptr, text, mb::kOkOnly, QStringLiteral("Typeloom"));
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, text);
  }
}

struct OneLineCase {
  const char* name;
  QString text;
  int maxChars;
  QString expected;
};

void PrintTo(const OneLineCase& c, std::ostream* os) { *os << c.name; }

class OneLineTextTest : public ::testing::TestWithParam<OneLineCase> {};

TEST_P(OneLineTextTest, ControlsGoAndLongTextsAreCut) {
  EXPECT_EQ(OneLineText(GetParam().text, GetParam().maxChars), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OneLineTextTest,
    ::testing::Values(
        OneLineCase{"plain", "Not Found", 160, "Not Found"},
        OneLineCase{"line-breaks", "first\r\nsecond\nthird", 160, "first second third"},
        OneLineCase{"escape-sequences", QString::fromUtf8("\x1b]0;title\x07" "erase\x1b[2K"), 160, "]0;title erase [2K"},
        OneLineCase{"c1-and-del", QString::fromUtf8("a\x7f" "b\xc2\x9b" "c"), 160, "a b c"},
        OneLineCase{"bidi-override", QString::fromUtf8("gpj.\xe2\x80\xae" "exe"), 160, "gpj. exe"},
        OneLineCase{"edges-and-runs", "  \t lead   and   trail \n ", 160, "lead and trail"},
        OneLineCase{"nul", QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b"), 160, "a b"},
        OneLineCase{"cut", "abcdefghij", 4, "abcd..."},
        OneLineCase{"exactly-fits", "abcd", 4, "abcd"},
        OneLineCase{"cut-before-surrogate-pair", QString::fromUtf8("abc\xf0\x9f\x98\x80"), 4, "abc..."},
        OneLineCase{"only-controls", "\r\n\t", 160, ""}),
    [](const auto& info) { return test::Label(info.param.name); });

}  // namespace
}  // namespace typeloom::platform

// The application's font while a window is built, over Qt's own font machinery: the
// desktop's font changes through a stand-in for the platform theme, announced as the
// window system announces a theme change. Each test runs in a process of its own
// (Qt never forgets that the application's font was set).
#include "platform/ui/ApplicationFontScope.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformtheme.h>
#include <qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace typeloom::platform {
namespace {

QFont Face() {
  QFont face = QGuiApplication::font();
  face.setFamily(QStringLiteral("Liberation Sans"));
  face.setPointSize(8);
  return face;
}

QFont Other(const char* family, int points) {
  QFont font(QString::fromLatin1(family));
  font.setPointSize(points);
  return font;
}

std::string Describe(const QFont& font) {
  return font.toString().toStdString() + " set=" + std::to_string(font.resolveMask());
}

// The desktop's theme with a font of the test's choosing; everything else is the
// platform's own theme.
class DesktopTheme final : public QPlatformTheme {
 public:
  DesktopTheme() : real_(QGuiApplicationPrivate::platform_theme), font_(*real_->font(SystemFont)) {
    QGuiApplicationPrivate::platform_theme = this;
  }
  ~DesktopTheme() override { QGuiApplicationPrivate::platform_theme = real_; }

  // The user picks another font in the desktop's settings.
  void ChangeFont(const QFont& font) {
    font_ = font;
    QWindowSystemInterface::handleThemeChange<QWindowSystemInterface::SynchronousDelivery>(nullptr);
  }

  const QFont* font(Font type) const override { return type == SystemFont ? &font_ : real_->font(type); }
  const QPalette* palette(Palette type) const override { return real_->palette(type); }
  QVariant themeHint(ThemeHint hint) const override { return real_->themeHint(hint); }

 private:
  QPlatformTheme* real_;
  QFont font_;
};

// A window as the program builds its windows (its own face set first), with the
// kinds of control that take their font in different ways, and a popup of its own,
// which takes the application's font rather than its window's.
std::unique_ptr<QWidget> BuildWindow(const QFont& face) {
  auto window = std::make_unique<QWidget>();
  window->setFont(face);
  auto* layout = new QVBoxLayout(window.get());
  layout->addWidget(new QLineEdit(window.get()));
  layout->addWidget(new QListWidget(window.get()));
  layout->addWidget(new QLabel(QStringLiteral("Font:"), window.get()));
  layout->addWidget(new QPushButton(QStringLiteral("Exit"), window.get()));
  layout->addWidget(new QCheckBox(QStringLiteral("Bold"), window.get()));
  auto* combo = new QComboBox(window.get());
  combo->setEditable(true);
  layout->addWidget(combo);
  new QWidget(window.get(), Qt::Popup);
  return window;
}

// What each widget draws in, and whether it holds a font of its own. (The set
// properties a child reports can differ: Qt does not rewrite a child's font whose
// value is already its window's. It resolves fonts by the properties set on each
// widget itself, which are the same.)
std::vector<std::string> FontsOf(const QWidget& window) {
  std::vector<std::string> fonts{Describe(window.font())};
  for (const QWidget* child : window.findChildren<QWidget*>()) {
    fonts.push_back(child->metaObject()->className() + std::string(": ") + child->font().toString().toStdString() +
                    (child->testAttribute(Qt::WA_SetFont) ? " own" : ""));
  }
  return fonts;
}

// Lets the widgets handle what was posted to them, as the event loop does before the
// first paint.
void Settle() { QCoreApplication::sendPostedEvents(); }

TEST(ApplicationFontScope, GivesBackTheFontAndTheThemesPerClassFontsAndHoldsTheFaceMeanwhile) {
  struct Case {
    const char* name;
    std::function<void()> before;  // how the application's font came to be
  };
  const std::vector<Case> cases{
      {"the desktop's font", [] {}},
      {"a font the program set", [] { QGuiApplication::setFont(Other("DejaVu Serif", 11)); }},
      {"the face itself", [] { QGuiApplication::setFont(Face()); }},
  };
  // Per-class fonts as a desktop theme gives them.
  QApplication::setFont(Other("DejaVu Sans", 10), "QMenu");
  QApplication::setFont(Other("DejaVu Sans", 7), "QTipLabel");
  QApplication::setFont(Other("DejaVu Sans Mono", 9), "QMessageBox");
  const std::vector<const char*> classes{"QMenu", "QTipLabel", "QMessageBox", "QLabel", "QLineEdit"};
  const QFont desktop = QGuiApplication::font();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.before();
    const QFont app = QGuiApplication::font();
    std::vector<std::string> perClass;
    for (const char* name : classes) perClass.push_back(Describe(QApplication::font(name)));
    const QFont face = Face();
    {
      const ApplicationFontScope scope(face);
      EXPECT_TRUE(SameFont(QGuiApplication::font(), face)) << Describe(QGuiApplication::font());
      EXPECT_EQ(Describe(QApplication::font("QMenu")), perClass[0]);
    }
    EXPECT_TRUE(SameFont(QGuiApplication::font(), app)) << Describe(QGuiApplication::font()) << " vs " << Describe(app);
    for (std::size_t i = 0; i < classes.size(); ++i) EXPECT_EQ(Describe(QApplication::font(classes[i])), perClass[i]) << classes[i];
  }
  QGuiApplication::setFont(desktop);
  for (const char* name : {"QMenu", "QTipLabel", "QMessageBox"}) QApplication::setFont(desktop, name);
}

TEST(ApplicationFontScope, AWindowBuiltInsideHasTheFontsOfOneBuiltOutside) {
  struct Case {
    const char* name;
    QFont windowFace;
  };
  const std::vector<Case> cases{
      {"window in the dialog face", Face()},
      {"window in a face of another family and size", Other("DejaVu Serif", 12)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QLabel before(QStringLiteral("message"));
    const auto outside = BuildWindow(c.windowFace);
    Settle();
    std::unique_ptr<QWidget> inside;
    {
      const ApplicationFontScope scope(Face());
      inside = BuildWindow(c.windowFace);
    }
    Settle();
    EXPECT_EQ(FontsOf(*inside), FontsOf(*outside));
    // A window from before, and one built afterwards, are in the desktop's font.
    const QLabel later(QStringLiteral("message"));
    EXPECT_EQ(Describe(later.font()), Describe(before.font()));
    EXPECT_EQ(later.font().family(), QGuiApplication::font().family());
  }
}

TEST(ApplicationFontScope, TheApplicationFontFollowsTheDesktopAfterwards) {
  struct Case {
    const char* name;
    std::function<void(DesktopTheme&)> run;
    QFont expected;
  };
  const QFont first = Other("DejaVu Sans", 13);
  const QFont second = Other("DejaVu Serif", 7);
  const QFont own = Other("DejaVu Sans Mono", 10);
  const std::vector<Case> cases{
      {"no scope: Qt's own behaviour", [&](DesktopTheme& d) { d.ChangeFont(first); }, first},
      {"changed after a scope",
       [&](DesktopTheme& d) {
         { const ApplicationFontScope scope(Face()); }
         d.ChangeFont(first);
       },
       first},
      {"changed twice after nested scopes",
       [&](DesktopTheme& d) {
         {
           const ApplicationFontScope outer(Face());
           const ApplicationFontScope inner(Other("DejaVu Sans", 8));
         }
         d.ChangeFont(first);
         d.ChangeFont(second);
       },
       second},
      {"changed while a scope lasts",
       [&](DesktopTheme& d) {
         const ApplicationFontScope scope(Face());
         d.ChangeFont(first);
         EXPECT_TRUE(SameFont(QGuiApplication::font(), Face()));
       },
       first},
      {"the program's own font set after a scope stays",
       [&](DesktopTheme& d) {
         { const ApplicationFontScope scope(Face()); }
         QGuiApplication::setFont(own);
         d.ChangeFont(first);
       },
       own},
      {"the program's own font set before a scope stays",
       [&](DesktopTheme& d) {
         QGuiApplication::setFont(own);
         { const ApplicationFontScope scope(Face()); }
         d.ChangeFont(first);
       },
       own},
  };
  // Qt remembers an explicitly set font for the rest of the process: each case in a
  // process of its own (the test is run again with a case number).
  const int only = qEnvironmentVariableIntValue("TYPELOOM_FONT_CASE");
  if (!qEnvironmentVariableIsSet("TYPELOOM_FONT_CASE")) {
    for (std::size_t i = 0; i < cases.size(); ++i) {
      SCOPED_TRACE(cases[i].name);
      const std::string command = "TYPELOOM_FONT_CASE=" + std::to_string(i) + " '" +
                                  QCoreApplication::applicationFilePath().toStdString() +
                                  "' --gtest_filter=ApplicationFontScope.TheApplicationFontFollowsTheDesktopAfterwards";
      EXPECT_EQ(std::system(command.c_str()), 0);
    }
    return;
  }
  ASSERT_LT(static_cast<std::size_t>(only), cases.size());
  const Case& c = cases[static_cast<std::size_t>(only)];
  QWidget window;  // the theme change reaches the application through its windows
  window.show();
  DesktopTheme desktop;
  c.run(desktop);
  EXPECT_TRUE(SameFont(QGuiApplication::font(), c.expected))
      << c.name << ": " << Describe(QGuiApplication::font()) << " expected " << Describe(c.expected);
}

TEST(ApplicationFontScope, NestedScopesAndAnExceptionGiveBackTheFontTheyFound) {
  const QFont desktop = QGuiApplication::font();
  const QFont face = Face();
  const QFont inner = Other("DejaVu Serif", 9);
  {
    const ApplicationFontScope outer(face);
    {
      const ApplicationFontScope nested(inner);
      EXPECT_TRUE(SameFont(QGuiApplication::font(), inner));
    }
    EXPECT_TRUE(SameFont(QGuiApplication::font(), face));
  }
  EXPECT_TRUE(SameFont(QGuiApplication::font(), desktop));
  try {
    const ApplicationFontScope scope(face);
    throw std::runtime_error("window failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(SameFont(QGuiApplication::font(), desktop));
}

TEST(SameFont, TellsApartWhatQFontEqualityDoesNot) {
  QFont plain(QStringLiteral("DejaVu Sans"));
  QFont sized = plain;
  sized.setPointSize(plain.pointSize());  // same value, now set explicitly
  QFont bigger = plain;
  bigger.setPointSize(plain.pointSize() + 1);
  struct Case {
    const char* name;
    QFont a, b;
    bool same;
  };
  const std::vector<Case> cases{
      {"a copy", plain, QFont(plain), true},
      {"same value, set once more", plain, sized, false},
      {"another size", plain, bigger, false},
      {"another family", plain, Other("DejaVu Serif", plain.pointSize()), false},
  };
  for (const Case& c : cases) EXPECT_EQ(SameFont(c.a, c.b), c.same) << c.name;
}

}  // namespace
}  // namespace typeloom::platform

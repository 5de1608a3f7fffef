#include "platform/graphics/SystemColors.h"

#include <QApplication>
#include <QPalette>

namespace typeloom::platform {
namespace {

struct PaletteEntry {
  int index;
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// The system colour table mapped onto palette roles.
constexpr PaletteEntry kEntries[] = {
    {0, QPalette::Active, QPalette::Dark},              // scroll bar
    {1, QPalette::Active, QPalette::Window},            // desktop
    {2, QPalette::Active, QPalette::Highlight},         // active caption
    {3, QPalette::Inactive, QPalette::Highlight},       // inactive caption
    {4, QPalette::Active, QPalette::Window},            // menu
    {5, QPalette::Active, QPalette::Base},              // window background
    {6, QPalette::Active, QPalette::Shadow},            // window frame
    {7, QPalette::Active, QPalette::WindowText},        // menu text
    {8, QPalette::Active, QPalette::Text},              // window text
    {9, QPalette::Active, QPalette::HighlightedText},   // caption text
    {10, QPalette::Active, QPalette::Mid},              // active border
    {11, QPalette::Inactive, QPalette::Mid},            // inactive border
    {12, QPalette::Active, QPalette::Dark},             // application workspace
    {13, QPalette::Active, QPalette::Highlight},        // highlight
    {14, QPalette::Active, QPalette::HighlightedText},  // highlighted text
    {15, QPalette::Active, QPalette::Button},           // button face
    {16, QPalette::Active, QPalette::Dark},             // button shadow
    {17, QPalette::Disabled, QPalette::Text},           // grey text
    {18, QPalette::Active, QPalette::ButtonText},       // button text
    {19, QPalette::Inactive, QPalette::HighlightedText},// inactive caption text
    {20, QPalette::Active, QPalette::Light},            // 3-D highlight
    {21, QPalette::Active, QPalette::Shadow},           // 3-D dark shadow
    {22, QPalette::Active, QPalette::Midlight},         // 3-D light
    {23, QPalette::Active, QPalette::ToolTipText},      // tooltip text
    {24, QPalette::Active, QPalette::ToolTipBase},      // tooltip background
};

}  // namespace

QColor SystemColor(int index) {
  const QPalette palette = QApplication::palette();
  for (const PaletteEntry& e : kEntries) {
    if (e.index == index) return palette.color(e.group, e.role);
  }
  return palette.color(QPalette::Active, QPalette::Text);
}

QColor ColorOf(std::uint32_t value) {
  if ((value & kSystemColorBit) != 0) return SystemColor(static_cast<int>(value & 0xFF));
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

}  // namespace typeloom::platform

#include "ui/name_tables.h"

#include <array>
#include <cstdint>
#include <span>

#include "ui/text_case.h"

namespace dirscribe {

namespace {

struct named_value {
  std::string_view name;
  int value;
};

constexpr int system_color(int index) { return static_cast<int>(0x80000000u + index); }

constexpr std::array kColors = std::to_array<named_value>({
    {"clScrollBar", system_color(0)},
    {"clBackground", system_color(1)},
    {"clActiveCaption", system_color(2)},
    {"clInactiveCaption", system_color(3)},
    {"clMenu", system_color(4)},
    {"clWindow", system_color(5)},
    {"clWindowFrame", system_color(6)},
    {"clMenuText", system_color(7)},
    {"clWindowText", system_color(8)},
    {"clCaptionText", system_color(9)},
    {"clActiveBorder", system_color(10)},
    {"clInactiveBorder", system_color(11)},
    {"clAppWorkSpace", system_color(12)},
    {"clHighlight", system_color(13)},
    {"clHighlightText", system_color(14)},
    {"clBtnFace", system_color(15)},
    {"clBtnShadow", system_color(16)},
    {"clGrayText", system_color(17)},
    {"clBtnText", system_color(18)},
    {"clInactiveCaptionText", system_color(19)},
    {"clBtnHighlight", system_color(20)},
    {"cl3DDkShadow", system_color(21)},
    {"cl3DLight", system_color(22)},
    {"clInfoText", system_color(23)},
    {"clInfoBk", system_color(24)},
    {"clHotLight", system_color(26)},
    {"clGradientActiveCaption", system_color(27)},
    {"clGradientInactiveCaption", system_color(28)},
    {"clMenuHighlight", system_color(29)},
    {"clMenuBar", system_color(30)},
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", kColorNone},
    {"clDefault", kColorDefault},
});
static_assert(kColors.size() == 54);

constexpr std::array kCursors = std::to_array<named_value>({
    {"crDefault", 0},     {"crNone", -1},       {"crArrow", -2},    {"crCross", -3},
    {"crIBeam", -4},      {"crSize", -22},      {"crSizeNESW", -6}, {"crSizeNS", -7},
    {"crSizeNWSE", -8},   {"crSizeWE", -9},     {"crUpArrow", -10}, {"crHourGlass", -11},
    {"crDrag", -12},      {"crNoDrop", -13},    {"crHSplit", -14},  {"crVSplit", -15},
    {"crMultiDrag", -16}, {"crSQLWait", -17},   {"crNo", -18},      {"crAppStart", -19},
    {"crHelp", -20},      {"crHandPoint", -21}, {"crSizeAll", -22},
});

constexpr std::array kModalResults = std::to_array<named_value>({
    {"mrNone", 0},
    {"mrOk", 1},
    {"mrCancel", 2},
    {"mrAbort", 3},
    {"mrRetry", 4},
    {"mrIgnore", 5},
    {"mrYes", 6},
    {"mrNo", 7},
    {"mrAll", 8},
    {"mrNoToAll", 9},
    {"mrYesToAll", 10},
});

int lookup(std::span<const named_value> table, std::string_view name) {
  for (const named_value& entry : table) {
    if (same_ignoring_case(entry.name, name)) return entry.value;
  }
  return -1;
}

}  // namespace

std::optional<int> named_integer(std::string_view property, std::string_view name) {
  if (property == "Color") return lookup(kColors, name);
  if (property == "Cursor") return lookup(kCursors, name);
  if (property == "ModalResult") return lookup(kModalResults, name);
  return std::nullopt;
}

std::optional<QPalette::ColorRole> system_color_role(int value) {
  const auto bits = static_cast<uint32_t>(value);
  if ((bits & 0xFF000000u) != 0x80000000u) return std::nullopt;
  switch (bits & 0xFFu) {
    case 5:  // clWindow
      return QPalette::Base;
    case 7:  // clMenuText
    case 8:  // clWindowText
      return QPalette::WindowText;
    case 13:  // clHighlight
    case 29:  // clMenuHighlight
      return QPalette::Highlight;
    case 14:  // clHighlightText
      return QPalette::HighlightedText;
    case 16:  // clBtnShadow
      return QPalette::Dark;
    case 17:  // clGrayText
      return QPalette::PlaceholderText;
    case 18:  // clBtnText
      return QPalette::ButtonText;
    case 20:  // clBtnHighlight
      return QPalette::Light;
    case 21:  // cl3DDkShadow
      return QPalette::Shadow;
    case 22:  // cl3DLight
      return QPalette::Midlight;
    case 23:  // clInfoText
      return QPalette::ToolTipText;
    case 24:  // clInfoBk
      return QPalette::ToolTipBase;
    case 26:  // clHotLight
      return QPalette::Link;
    default:  // faces, captions, borders, menus: the window's own colour
      return QPalette::Window;
  }
}

QColor rgb_color(int value) {
  const auto bits = static_cast<uint32_t>(value);
  if (bits > 0xFFFFFFu) return {};
  return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                static_cast<int>((bits >> 16) & 0xFF));
}

Qt::CursorShape cursor_shape(int value) {
  switch (value) {
    case -1:
      return Qt::BlankCursor;
    case -3:
      return Qt::CrossCursor;
    case -4:
      return Qt::IBeamCursor;
    case -6:
      return Qt::SizeBDiagCursor;
    case -7:
      return Qt::SizeVerCursor;
    case -8:
      return Qt::SizeFDiagCursor;
    case -9:
      return Qt::SizeHorCursor;
    case -10:
      return Qt::UpArrowCursor;
    case -11:
      return Qt::WaitCursor;
    case -12:
      return Qt::DragMoveCursor;
    case -13:
      return Qt::ForbiddenCursor;
    case -14:
      return Qt::SplitHCursor;
    case -15:
      return Qt::SplitVCursor;
    case -16:
      return Qt::DragCopyCursor;
    case -17:
      return Qt::WaitCursor;
    case -18:
      return Qt::ForbiddenCursor;
    case -19:
      return Qt::BusyCursor;
    case -20:
      return Qt::WhatsThisCursor;
    case -21:
      return Qt::PointingHandCursor;
    case -22:
      return Qt::SizeAllCursor;
    default:
      return Qt::ArrowCursor;
  }
}

}  // namespace dirscribe

#include "ui/class_table.h"

#include <mutex>
#include <vector>

#include "ui/basic_adapters.h"
#include "ui/container_adapters.h"
#include "ui/other_adapters.h"
#include "ui/text_case.h"

namespace dirscribe {

namespace {

template <typename Adapter>
std::unique_ptr<QObject> make() {
  return std::make_unique<Adapter>();
}

std::vector<component_class>& table() {
  static std::vector<component_class> classes;
  return classes;
}

}  // namespace

void register_classes() {
  static std::once_flag once;
  std::call_once(once, [] {
    table() = {
        {"TBevel", make<bevel_adapter>},
        {"TBitBtn", make<bit_btn_adapter>},
        {"TButton", make<button_adapter>},
        {"TCheckBox", make<check_box_adapter>},
        {"TComboBox", make<combo_box_adapter>},
        {"TImage", make<image_adapter>},
        {"TEdit", make<edit_adapter>},
        {"TGroupBox", make<group_box_adapter>},
        {"TLabel", make<label_adapter>},
        {"TListBox", make<list_box_adapter>},
        {"TMainMenu", make<main_menu_adapter>},
        {"TMemo", make<memo_adapter>},
        {"TPanel", make<panel_adapter>},
        {"TPopupMenu", make<popup_menu_adapter>},
        {"TRadioButton", make<radio_button_adapter>},
        {"TRadioGroup", make<radio_group_adapter>},
        {"TScrollBar", make<scroll_bar_adapter>},
        {"TScrollBox", make<scroll_box_adapter>},
        {"TShape", make<shape_adapter>},
        {"TSpeedButton", make<speed_button_adapter>},
        {"TSplitter", make<splitter_adapter>},
        {"TStaticText", make<static_text_adapter>},
        {"TCoolBar", make<cool_bar_adapter>},
        {"TTabControl", make<tab_control_adapter>},
        {"TPageControl", make<page_control_adapter>},
        {"TImageList", make<image_list_adapter>},
        {"TRichEdit", make<rich_edit_adapter>},
        {"TTrackBar", make<track_bar_adapter>},
        {"TProgressBar", make<progress_bar_adapter>},
        {"TUpDown", make<up_down_adapter>},
        {"THotKey", make<hot_key_adapter>},
        {"TAnimate", make<animate_adapter>},
        {"TDateTimePicker", make<date_time_picker_adapter>},
        {"TTreeView", make<tree_view_adapter>},
        {"TListView", make<list_view_adapter>},
        {"THeaderControl", make<header_control_adapter>},
        {"TToolBar", make<tool_bar_adapter>},
        {"TStatusBar", make<status_bar_adapter>},
        {"TTabSheet", make<tab_sheet_adapter>},
        {"TForm", make<form_adapter>},
    };
  });
}

std::span<const component_class> class_table() { return table(); }

const component_class* find_class(std::string_view name) {
  for (const component_class& entry : table()) {
    if (same_ignoring_case(entry.name, name)) return &entry;
  }
  return nullptr;
}

}  // namespace dirscribe

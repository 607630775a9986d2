// The filter page: the masks, the time, size and attribute windows of one
// file_filter_data, on the controls of the filter panel that the interface
// description lays out ("/pFilter/..." in the panel's own document).
#pragma once

#include <QPoint>
#include <cstdint>
#include <string>
#include <vector>

#include "files/file_filter.h"
#include "markup/xml_node.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace dirscribe {

class label_adapter;
class phrase_table;

class filter_page {
 public:
  // `language` and `panel` (the filter panel's document, its components
  // built) are borrowed and must outlive this object. Captions are phrases
  // `phrase_base` + offset.
  filter_page(const phrase_table* language, const xml_tree& panel, int phrase_base);
  filter_page(const filter_page&) = delete;
  filter_page& operator=(const filter_page&) = delete;

  // Finds every control, sets captions, hints and list items, attaches the
  // handlers and shows a default filter. 0, or 1 when a control is missing
  // (nothing else is done then).
  int set_up();

  // Replaces the drop-down items of the files-include box with `lines`, in
  // order; with at least one line, the first becomes the box's text.
  void set_include_presets(const std::vector<std::string>& lines);

  // Shows `filter` in the controls: the masks as they stand, times in local
  // time, sizes in units of 1024 bytes (truncated), the attribute bits; then
  // the groups as their modes want them.
  void load(const file_filter_data& filter);

  // Writes the controls back into `filter` and compiles its masks. Times are
  // taken as local time; sizes are the digits of their boxes times 1024.
  void store(file_filter_data& filter) const;

  // The mode handlers, run when the lists change (public for the window's
  // reset and for tests).
  void show_time_mode(int mode);
  void show_size_mode(int mode);
  void show_attribute_choices();
  // What a mode the user picks starts with, when its fields hold no window
  // of the user's (the equal ends, 0 and 0 of a filter never set, which list
  // nothing): the last 30 days up to now, or 0 up to 1 MB. Run by the user's
  // choice in the lists, never by load.
  void time_mode_chosen(int mode);
  void size_mode_chosen(int mode);
  // The listing was renamed from `old_output` to `new_output` (each a path
  // or a bare name): "Skip files" takes the new file name while it holds the
  // old one's (as a filter never set does), and is left alone once the user
  // changed it.
  void follow_output_name(const QString& old_output, const QString& new_output);

  // The four group flags: all shown in this program.
  bool show_folder_group = true;
  bool show_time_group = true;
  bool show_size_group = true;
  bool show_attribute_group = true;

 private:
  // The steps of set_up, in order. Looks up every control but the attribute
  // boxes by its path, stopping at the first missing one; false then.
  bool find_controls();
  // Looks up the eight attribute boxes, each with the bit it stands for, in
  // phrase order; false when one is missing.
  bool find_attribute_boxes();
  // Sets every caption, the files-include hint and the items of the lists.
  void set_captions();
  // Notes where the description puts the pickers and the size boxes.
  void remember_home_positions();
  // Attaches the handlers of the mode lists, the attribute switch, the size
  // boxes and the Now button.
  void connect_handlers();

  std::string phrase(int offset) const;
  void caption(QWidget* control, int offset) const;
  void fill_list(QComboBox* list, int first_offset, int count) const;
  void keep_number(QLineEdit* box) const;
  void set_pickers_to_now();

  const phrase_table* language_;
  const xml_tree& panel_;
  int phrase_base_;

  QGroupBox* files_group_ = nullptr;
  label_adapter* files_include_label_ = nullptr;
  QComboBox* files_include_ = nullptr;
  QLineEdit* files_skip_ = nullptr;
  label_adapter* files_skip_label_ = nullptr;
  QGroupBox* folders_group_ = nullptr;
  label_adapter* folders_include_label_ = nullptr;
  label_adapter* folders_skip_label_ = nullptr;
  QLineEdit* folders_include_ = nullptr;
  QLineEdit* folders_skip_ = nullptr;
  QGroupBox* time_group_ = nullptr;
  QComboBox* time_mode_ = nullptr;
  label_adapter* time_label_ = nullptr;
  QDateTimeEdit* start_date_ = nullptr;
  QDateTimeEdit* start_time_ = nullptr;
  label_adapter* time_and_label_ = nullptr;
  QDateTimeEdit* end_date_ = nullptr;
  QDateTimeEdit* end_time_ = nullptr;
  label_adapter* last_label_ = nullptr;
  QLineEdit* last_count_ = nullptr;
  QComboBox* last_unit_ = nullptr;
  QAbstractButton* now_button_ = nullptr;
  QGroupBox* size_group_ = nullptr;
  QComboBox* size_mode_ = nullptr;
  label_adapter* size_label_ = nullptr;
  label_adapter* size_and_label_ = nullptr;
  QLineEdit* size_start_ = nullptr;
  QLineEdit* size_end_ = nullptr;
  QGroupBox* attribute_group_ = nullptr;
  QWidget* include_exclude_ = nullptr;
  QWidget* all_any_ = nullptr;
  QCheckBox* attribute_switch_ = nullptr;
  QRadioButton* include_ = nullptr;
  QRadioButton* exclude_ = nullptr;
  QRadioButton* all_of_ = nullptr;
  QRadioButton* any_of_ = nullptr;
  std::vector<std::pair<QCheckBox*, uint32_t>> attribute_boxes_;

  // Where the description puts the pickers and the upper size box; the
  // modes move the end controls into the start controls' places and back.
  QPoint start_date_home_, start_time_home_, end_date_home_, end_time_home_, size_end_home_,
      size_start_home_;
};

// The include presets of `path`: the file split into lines at LF, a CR before
// the LF dropped (a file saved on Linux and one saved with CR LF give the
// same presets). Empty lines are kept, and a final line end gives a last
// empty item; a missing or empty file gives none.
std::vector<std::string> read_filter_presets(const std::string& path);

// The signed decimal at the start of `text` (leading blanks and a sign
// allowed, stopping at the first other character; 0 without digits), held at
// the 64-bit limits when it is larger.
int64_t leading_decimal(std::string_view text);

}  // namespace dirscribe

// The controls the main window works with, shared by the files that make up
// the window; not for use elsewhere.
#pragma once

#include <QPointer>
#include <memory>
#include <string_view>

#include "ui/main_window.h"  // declares the classes the controls are

namespace dirscribe {

inline constexpr int kPages = 5;
// The product's name, as the window's title and its boxes show it.
inline constexpr std::string_view kProductTitle = "Vostra Dirscribe 3.0";

// The controls the window works with, found by path once.
struct main_window::controls {
  // Watched: the forms may be freed before the window object.
  QPointer<form_adapter> form;
  tab_control_adapter* tabs = nullptr;
  QWidget* pages[kPages] = {};
  panel_adapter* header = nullptr;
  QAbstractButton* help = nullptr;
  QAbstractButton* previous = nullptr;
  QAbstractButton* next = nullptr;
  QWidget* navigation = nullptr;
  QListWidget* styles = nullptr;
  QLabel* style_name = nullptr;
  image_adapter* style_image = nullptr;
  QLabel* style_description = nullptr;
  QAbstractButton* edit = nullptr;
  QAbstractButton* copy = nullptr;
  QAbstractButton* rename = nullptr;
  QAbstractButton* image = nullptr;
  QAbstractButton* describe = nullptr;
  QLineEdit* source = nullptr;
  QAbstractButton* browse = nullptr;
  QComboBox* recursion = nullptr;
  QRadioButton* single_file = nullptr;
  QRadioButton* file_per_folder = nullptr;
  QLineEdit* output = nullptr;
  QAbstractButton* choose_output = nullptr;
  QComboBox* sort = nullptr;
  QAbstractButton* ascending = nullptr;
  QAbstractButton* descending = nullptr;
  QCheckBox* show_folders = nullptr;
  QCheckBox* show_files = nullptr;
  QCheckBox* disk_space = nullptr;
  QCheckBox* recursive_sizes = nullptr;
  QCheckBox* leave_out_empty = nullptr;
  QCheckBox* folders_after_level = nullptr;
  QCheckBox* show_summary = nullptr;
  QComboBox* url_escape = nullptr;
  QComboBox* size_units = nullptr;
  QComboBox* file_types = nullptr;
  QComboBox* date_mode = nullptr;
  QLineEdit* date_format = nullptr;
  QAbstractButton* try_date = nullptr;
  QCheckBox* utc = nullptr;
  QLabel* date_result = nullptr;
  QCheckBox* local_icons = nullptr;
  QLineEdit* icon_folder = nullptr;
  QLineEdit* link_base = nullptr;
  QLineEdit* output_dir = nullptr;
  QAbstractButton* browse_output_dir = nullptr;
  QCheckBox* overwrite = nullptr;
  QLineEdit* listing_title = nullptr;
  QCheckBox* thumbnails = nullptr;
  QAbstractButton* new_button = nullptr;
  QAbstractButton* open_button = nullptr;
  QAbstractButton* save_button = nullptr;
  QAbstractButton* make_button = nullptr;
  QAbstractButton* stop_button = nullptr;
  QAbstractButton* preview_button = nullptr;
  QAbstractButton* make_page_button = nullptr;
  QAbstractButton* stop_page_button = nullptr;
  QAbstractButton* preview_page_button = nullptr;
  label_adapter* status = nullptr;
  QProgressBar* progress = nullptr;
  QWidget* done_row = nullptr;
  QLabel* written_file = nullptr;
  QAbstractButton* open_listing = nullptr;
  QAbstractButton* show_folder = nullptr;
  // Filter page controls that only the spoken names need.
  QComboBox* time_mode = nullptr;
  QComboBox* size_mode = nullptr;
  QLabel* time_from_label = nullptr;
  QLabel* time_to_label = nullptr;
  QWidget* time_from_date = nullptr;
  QWidget* time_from_time = nullptr;
  QWidget* time_to_date = nullptr;
  QWidget* time_to_time = nullptr;
  QComboBox* time_unit = nullptr;
  // The menu.
  QMenu* menus[6] = {};
  QAction* make_action = nullptr;
  QAction* stop_action = nullptr;
  QAction* preview_action = nullptr;
  QAction* recent[program_settings::kRecentLimit] = {};
  // Lives as long as the window object: the menu's connections die with it
  // instead of reaching a freed window.
  std::unique_ptr<QObject> context = std::make_unique<QObject>();
};

}  // namespace dirscribe

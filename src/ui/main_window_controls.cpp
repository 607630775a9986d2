// Finding the window's controls in the built description, and the names
// assistive technology reads for them.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>

#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "ui/accessibility.h"
#include "ui/basic_adapters.h"
#include "ui/container_adapters.h"
#include "ui/control_paths.h"
#include "ui/form_builder.h"
#include "ui/main_window.h"
#include "ui/main_window_controls.h"
#include "ui/other_adapters.h"

namespace dirscribe {

// Looks the window's controls up by path into a `controls`, remembering the
// first path that finds nothing.
class main_window::control_finder {
 public:
  // `description` and `filter_document` are borrowed; `found` receives the
  // controls.
  control_finder(const xml_tree& description, const xml_tree& filter_document, controls& found)
      : description_(description),
        filter_document_(filter_document),
        root_(xml_find(description, control_paths::kMainForm)),
        c_(found) {}

  // The first path that found nothing; "" while every control was found.
  const std::string& missing() const { return missing_; }

  // The tab control, its five pages, the header and the navigation buttons.
  void find_frame();
  // The style list, the chosen style's name, picture and description, and the
  // style tool buttons.
  void find_style_page();
  // The source folder, recursion and output file controls.
  void find_source_page();
  // The sorting, listing, date, icon and publishing options.
  void find_options_page();
  // The project and build buttons of the top tool bar and of the build
  // page, the status line and the progress bar.
  void find_build_controls();
  // The filter page's mode lists and time controls, in the filter document.
  void find_filter_modes();

 private:
  // Sets `control` to the control of type T at `path` under the main form;
  // null, and noted as missing, when there is none.
  template <typename T>
  void find(const char* path, T*& control) {
    control = find_control<T>(description_, path, root_);
    note_missing(path, control);
  }

  // The same for a path in the filter panel's own document.
  template <typename T>
  void find_in_filter(const char* path, T*& control) {
    control = find_control<T>(filter_document_, path);
    note_missing(path, control);
  }

  // Remembers `path` when nothing was found there and no path before it
  // failed.
  void note_missing(const char* path, const void* control) {
    if (control == nullptr && missing_.empty()) missing_ = path;
  }

  const xml_tree& description_;
  const xml_tree& filter_document_;
  const xml_node* root_;
  controls& c_;
  std::string missing_;
};

void main_window::control_finder::find_frame() {
  find(control_paths::kTabs, c_.tabs);
  find(control_paths::kStylePage, c_.pages[0]);
  find(control_paths::kSourcePage, c_.pages[1]);
  find_in_filter(control_paths::kFilterPage, c_.pages[2]);
  find(control_paths::kOptionsPage, c_.pages[3]);
  find(control_paths::kBuildPage, c_.pages[4]);
  find(control_paths::kHeader, c_.header);
  find(control_paths::kNavigation, c_.navigation);
  find(control_paths::kHelp, c_.help);
  find(control_paths::kPrevious, c_.previous);
  find(control_paths::kNext, c_.next);
}

void main_window::control_finder::find_style_page() {
  find(control_paths::kStyles, c_.styles);
  find(control_paths::kStyleName, c_.style_name);
  find(control_paths::kStyleImage, c_.style_image);
  find(control_paths::kStyleDescription, c_.style_description);
  find(control_paths::kEdit, c_.edit);
  find(control_paths::kCopy, c_.copy);
  find(control_paths::kRename, c_.rename);
  find(control_paths::kImage, c_.image);
  find(control_paths::kDescribe, c_.describe);
}

void main_window::control_finder::find_source_page() {
  find(control_paths::kSource, c_.source);
  find(control_paths::kBrowse, c_.browse);
  find(control_paths::kRecursion, c_.recursion);
  find(control_paths::kSingleFile, c_.single_file);
  find(control_paths::kFilePerFolder, c_.file_per_folder);
  find(control_paths::kOutput, c_.output);
  find(control_paths::kChooseOutput, c_.choose_output);
}

void main_window::control_finder::find_options_page() {
  find(control_paths::kSort, c_.sort);
  find(control_paths::kAscending, c_.ascending);
  find(control_paths::kDescending, c_.descending);
  find(control_paths::kShowFolders, c_.show_folders);
  find(control_paths::kShowFiles, c_.show_files);
  find(control_paths::kDiskSpace, c_.disk_space);
  find(control_paths::kRecursiveSizes, c_.recursive_sizes);
  find(control_paths::kLeaveOutEmpty, c_.leave_out_empty);
  find(control_paths::kFoldersAfterLevel, c_.folders_after_level);
  find(control_paths::kShowSummary, c_.show_summary);
  find(control_paths::kUrlEscape, c_.url_escape);
  find(control_paths::kSizeUnits, c_.size_units);
  find(control_paths::kFileTypes, c_.file_types);
  find(control_paths::kDateMode, c_.date_mode);
  find(control_paths::kDateFormat, c_.date_format);
  find(control_paths::kTryDate, c_.try_date);
  find(control_paths::kUtc, c_.utc);
  find(control_paths::kDateResult, c_.date_result);
  find(control_paths::kLocalIcons, c_.local_icons);
  find(control_paths::kIconFolder, c_.icon_folder);
  find(control_paths::kLinkBase, c_.link_base);
  find(control_paths::kOutputDir, c_.output_dir);
  find(control_paths::kListingTitle, c_.listing_title);
  find(control_paths::kBrowseOutputDir, c_.browse_output_dir);
  find(control_paths::kOverwrite, c_.overwrite);
  find(control_paths::kThumbnails, c_.thumbnails);
}

void main_window::control_finder::find_build_controls() {
  find(control_paths::kNewButton, c_.new_button);
  find(control_paths::kOpenButton, c_.open_button);
  find(control_paths::kSaveButton, c_.save_button);
  find(control_paths::kMakeButton, c_.make_button);
  find(control_paths::kStopButton, c_.stop_button);
  find(control_paths::kPreviewButton, c_.preview_button);
  find(control_paths::kMakePageButton, c_.make_page_button);
  find(control_paths::kStopPageButton, c_.stop_page_button);
  find(control_paths::kPreviewPageButton, c_.preview_page_button);
  find(control_paths::kStatus, c_.status);
  find(control_paths::kProgress, c_.progress);
  find(control_paths::kDoneRow, c_.done_row);
  find(control_paths::kWrittenFile, c_.written_file);
  find(control_paths::kOpenListing, c_.open_listing);
  find(control_paths::kShowFolder, c_.show_folder);
}

void main_window::control_finder::find_filter_modes() {
  find_in_filter(control_paths::kTimeMode, c_.time_mode);
  find_in_filter(control_paths::kSizeMode, c_.size_mode);
  find_in_filter(control_paths::kTimeLabel, c_.time_from_label);
  find_in_filter(control_paths::kTimeAndLabel, c_.time_to_label);
  find_in_filter(control_paths::kStartDate, c_.time_from_date);
  find_in_filter(control_paths::kStartTime, c_.time_from_time);
  find_in_filter(control_paths::kEndDate, c_.time_to_date);
  find_in_filter(control_paths::kEndTime, c_.time_to_time);
  find_in_filter(control_paths::kLastUnit, c_.time_unit);
}

outcome main_window::find_controls() {
  controls& c = *controls_;
  control_finder finder(description_, filter_document_, c);
  c.form = qobject_cast<form_adapter*>(find_component(description_, control_paths::kMainForm));
  if (c.form == nullptr) return {1, "The interface description has no main form."};
  finder.find_frame();
  finder.find_style_page();
  finder.find_source_page();
  finder.find_options_page();
  finder.find_build_controls();
  finder.find_filter_modes();
  if (!finder.missing().empty()) {
    return {1, "The interface description lacks the control " + finder.missing()};
  }
  return {};
}

void main_window::name_controls() {
  controls& c = *controls_;
  // Names of their own first: the pass over the labels leaves them alone.
  set_spoken_name(c.styles, text(kPhraseStyleListName));
  set_spoken_name(c.time_unit, text(kPhraseTimeUnitName));
  set_spoken_name(c.date_mode, text(kPhraseDateModeName));
  set_spoken_name(c.date_format, text(kPhraseDateFormatName));
  set_spoken_name(c.icon_folder, text(kPhraseIconFolderName));
  set_spoken_name(c.progress, text(kPhraseProgressName));
  // A date and a time share one label; the pair is told apart by a word.
  const QString from = spoken_caption(c.time_from_label->text());
  const QString to = spoken_caption(c.time_to_label->text());
  set_spoken_name(c.time_from_date, from + text(kPhraseDateSuffix));
  set_spoken_name(c.time_from_time, from + text(kPhraseTimeSuffix));
  set_spoken_name(c.time_to_date, to + text(kPhraseDateSuffix));
  set_spoken_name(c.time_to_time, to + text(kPhraseTimeSuffix));
  // The status line keeps its text as its name, so that every change is
  // announced; what it is comes as its description.
  if (const auto* group = qobject_cast<const QGroupBox*>(c.status->parentWidget())) {
    c.status->setAccessibleDescription(spoken_caption(group->title()));
  }
  name_controls_from_labels(c.form);
}

}  // namespace dirscribe

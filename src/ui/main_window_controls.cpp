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

outcome main_window::find_controls() {
  controls& c = *controls_;
  const xml_node* root = xml_find(description_, control_paths::kMainForm);
  std::string missing;
  const auto find = [&](const char* path, auto*& control, const xml_tree* tree = nullptr) {
    using wanted = std::remove_reference_t<decltype(*control)>;
    control = tree != nullptr ? find_control<wanted>(*tree, path)
                              : find_control<wanted>(description_, path, root);
    if (control == nullptr && missing.empty()) missing = path;
  };
  c.form = qobject_cast<form_adapter*>(find_component(description_, control_paths::kMainForm));
  if (c.form == nullptr) return {1, "The interface description has no main form."};
  find(control_paths::kTabs, c.tabs);
  find(control_paths::kStylePage, c.pages[0]);
  find(control_paths::kSourcePage, c.pages[1]);
  find(control_paths::kFilterPage, c.pages[2], &filter_document_);
  find(control_paths::kOptionsPage, c.pages[3]);
  find(control_paths::kBuildPage, c.pages[4]);
  find(control_paths::kHeader, c.header);
  find(control_paths::kNavigation, c.navigation);
  find(control_paths::kHelp, c.help);
  find(control_paths::kPrevious, c.previous);
  find(control_paths::kNext, c.next);
  find(control_paths::kStyles, c.styles);
  find(control_paths::kStyleName, c.style_name);
  find(control_paths::kStyleImage, c.style_image);
  find(control_paths::kStyleDescription, c.style_description);
  find(control_paths::kEdit, c.edit);
  find(control_paths::kCopy, c.copy);
  find(control_paths::kRename, c.rename);
  find(control_paths::kImage, c.image);
  find(control_paths::kDescribe, c.describe);
  find(control_paths::kSource, c.source);
  find(control_paths::kBrowse, c.browse);
  find(control_paths::kRecursion, c.recursion);
  find(control_paths::kSingleFile, c.single_file);
  find(control_paths::kFilePerFolder, c.file_per_folder);
  find(control_paths::kOutput, c.output);
  find(control_paths::kChooseOutput, c.choose_output);
  find(control_paths::kSort, c.sort);
  find(control_paths::kAscending, c.ascending);
  find(control_paths::kDescending, c.descending);
  find(control_paths::kShowFolders, c.show_folders);
  find(control_paths::kShowFiles, c.show_files);
  find(control_paths::kDiskSpace, c.disk_space);
  find(control_paths::kRecursiveSizes, c.recursive_sizes);
  find(control_paths::kLeaveOutEmpty, c.leave_out_empty);
  find(control_paths::kFoldersAfterLevel, c.folders_after_level);
  find(control_paths::kShowSummary, c.show_summary);
  find(control_paths::kUrlEscape, c.url_escape);
  find(control_paths::kSizeUnits, c.size_units);
  find(control_paths::kFileTypes, c.file_types);
  find(control_paths::kDateMode, c.date_mode);
  find(control_paths::kDateFormat, c.date_format);
  find(control_paths::kTryDate, c.try_date);
  find(control_paths::kUtc, c.utc);
  find(control_paths::kDateResult, c.date_result);
  find(control_paths::kLocalIcons, c.local_icons);
  find(control_paths::kIconFolder, c.icon_folder);
  find(control_paths::kLinkBase, c.link_base);
  find(control_paths::kOutputDir, c.output_dir);
  find(control_paths::kBrowseOutputDir, c.browse_output_dir);
  find(control_paths::kOverwrite, c.overwrite);
  find(control_paths::kNewButton, c.new_button);
  find(control_paths::kOpenButton, c.open_button);
  find(control_paths::kSaveButton, c.save_button);
  find(control_paths::kMakeButton, c.make_button);
  find(control_paths::kStopButton, c.stop_button);
  find(control_paths::kPreviewButton, c.preview_button);
  find(control_paths::kMakePageButton, c.make_page_button);
  find(control_paths::kStopPageButton, c.stop_page_button);
  find(control_paths::kPreviewPageButton, c.preview_page_button);
  find(control_paths::kStatus, c.status);
  find(control_paths::kProgress, c.progress);
  find(control_paths::kTimeMode, c.time_mode, &filter_document_);
  find(control_paths::kSizeMode, c.size_mode, &filter_document_);
  find(control_paths::kTimeLabel, c.time_from_label, &filter_document_);
  find(control_paths::kTimeAndLabel, c.time_to_label, &filter_document_);
  find(control_paths::kStartDate, c.time_from_date, &filter_document_);
  find(control_paths::kStartTime, c.time_from_time, &filter_document_);
  find(control_paths::kEndDate, c.time_to_date, &filter_document_);
  find(control_paths::kEndTime, c.time_to_time, &filter_document_);
  find(control_paths::kLastUnit, c.time_unit, &filter_document_);
  if (!missing.empty()) return {1, "The interface description lacks the control " + missing};
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

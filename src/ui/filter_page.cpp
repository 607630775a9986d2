#include "ui/filter_page.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <fstream>
#include <iterator>
#include <limits>

#include "core/byte_string.h"
#include "platform/file_system.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "ui/basic_adapters.h"
#include "ui/control_paths.h"
#include "ui/form_builder.h"
#include "ui/qt_text.h"

namespace dirscribe {

namespace {

// Phrase offsets of the captions, hints and list items.
enum : int {
  files_group_caption = 0,
  files_include_caption = 1,
  files_include_hint = 2,
  files_skip_caption = 3,
  folders_group_caption = 4,
  folders_include_caption = 5,
  folders_skip_caption = 6,
  time_group_caption = 7,
  time_modes = 8,  // 5 items
  time_between_caption = 13,
  time_and_caption = 14,
  time_up_to_caption = 15,
  time_from_caption = 16,
  time_last_caption = 17,
  time_units = 18,  // 6 items
  now_caption = 24,
  size_group_caption = 25,
  size_modes = 26,  // 4 items
  size_between_caption = 30,
  size_and_caption = 31,
  size_at_most_caption = 32,
  size_at_least_caption = 33,
  attribute_group_caption = 34,
  attribute_switch_caption = 35,
  attribute_boxes = 40,  // 8 boxes
};

// A time in seconds since 1970 UTC as the user's local date and time.
QDateTime local_time(unix_time seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime);
}

unix_time from_pickers(const QDateTimeEdit* date, const QDateTimeEdit* time) {
  return QDateTime(date->date(), time->time(), Qt::LocalTime).toSecsSinceEpoch();
}

void set_shown(std::initializer_list<QWidget*> widgets, bool shown) {
  for (QWidget* widget : widgets) widget->setVisible(shown);
}

// A size bound as the unsigned 64-bit number its two words make.
uint64_t size_bound(int32_t high, uint32_t low) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) | low;
}

// The digits of a size box as units of 1024 bytes, in bytes; held at the
// largest 64-bit number when larger.
uint64_t size_from_box(const QString& text) {
  constexpr uint64_t kMost = std::numeric_limits<uint64_t>::max();
  uint64_t units = 0;
  for (const QChar c : text) {
    if (c < u'0' || c > u'9') continue;  // only the digits count
    const uint64_t digit = static_cast<uint64_t>(c.unicode() - u'0');
    units = units > (kMost - digit) / 10 ? kMost : units * 10 + digit;
  }
  return units > kMost / 1024 ? kMost : units * 1024;
}

}  // namespace

int64_t leading_decimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Gathered as a negative number, whose range reaches one further.
  constexpr int64_t kLeast = std::numeric_limits<int64_t>::min();
  int64_t value = 0;
  bool held = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (value < (kLeast + digit) / 10) {
      held = true;
      break;
    }
    value = value * 10 - digit;
  }
  if (held) return negative ? kLeast : std::numeric_limits<int64_t>::max();
  if (negative) return value;
  return value == kLeast ? std::numeric_limits<int64_t>::max() : -value;
}

std::vector<std::string> read_filter_presets(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (text.empty()) return lines;
  size_t start = 0;
  while (true) {
    const size_t end = text.find('\n', start);
    std::string line =
        text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (end != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

filter_page::filter_page(const phrase_table* language, const xml_tree& panel, int phrase_base)
    : language_(language), panel_(panel), phrase_base_(phrase_base) {}

std::string filter_page::phrase(int offset) const {
  return language_ != nullptr ? std::string(language_->text(phrase_base_ + offset)) : std::string();
}

void filter_page::caption(QWidget* control, int offset) const {
  const QString text = to_qt(phrase(offset));
  if (auto* label = qobject_cast<label_adapter*>(control)) {
    label->write_caption(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
    group->setTitle(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(text);
  }
}

void filter_page::fill_list(QComboBox* list, int first_offset, int count) const {
  list->clear();
  for (int i = 0; i < count; ++i) list->addItem(to_qt(phrase(first_offset + i)));
  list->setCurrentIndex(0);
}

int filter_page::set_up() {
  if (!find_controls() || !find_attribute_boxes()) return 1;
  set_captions();
  // No Linux file system sets these: a box for one would filter on nothing.
  // A project from elsewhere still shows (and keeps) the bits it holds.
  const QString never_set =
      language_ != nullptr ? to_qt(language_->text(kPhraseAttributeNeverSet)) : QString();
  for (const auto& [box, bit] : attribute_boxes_) {
    if ((bit & (attribute_archive | attribute_temporary | attribute_offline)) == 0) continue;
    box->setEnabled(false);
    box->setToolTip(never_set);
    box->setAccessibleDescription(never_set);
  }
  remember_home_positions();
  connect_handlers();
  file_filter_data defaults;
  load(defaults);
  return 0;
}

bool filter_page::find_controls() {
  const auto find = [this](const char* path, auto*& control) {
    using wanted = std::remove_reference_t<decltype(*control)>;
    control = find_control<wanted>(panel_, path);
    return control != nullptr;
  };
  const bool found =
      find(control_paths::kFilesGroup, files_group_) &&
      find(control_paths::kFilesIncludeLabel, files_include_label_) &&
      find(control_paths::kFilesInclude, files_include_) &&
      find(control_paths::kFilesSkip, files_skip_) &&
      find(control_paths::kFilesSkipLabel, files_skip_label_) &&
      find(control_paths::kFoldersGroup, folders_group_) &&
      find(control_paths::kFoldersIncludeLabel, folders_include_label_) &&
      find(control_paths::kFoldersSkipLabel, folders_skip_label_) &&
      find(control_paths::kFoldersInclude, folders_include_) &&
      find(control_paths::kFoldersSkip, folders_skip_) &&
      find(control_paths::kTimeGroup, time_group_) && find(control_paths::kTimeMode, time_mode_) &&
      find(control_paths::kTimeLabel, time_label_) &&
      find(control_paths::kStartDate, start_date_) &&
      find(control_paths::kStartTime, start_time_) &&
      find(control_paths::kTimeAndLabel, time_and_label_) &&
      find(control_paths::kEndDate, end_date_) && find(control_paths::kEndTime, end_time_) &&
      find(control_paths::kLastLabel, last_label_) &&
      find(control_paths::kLastCount, last_count_) && find(control_paths::kLastUnit, last_unit_) &&
      find(control_paths::kNowButton, now_button_) &&
      find(control_paths::kSizeGroup, size_group_) && find(control_paths::kSizeMode, size_mode_) &&
      find(control_paths::kSizeLabel, size_label_) &&
      find(control_paths::kSizeAndLabel, size_and_label_) &&
      find(control_paths::kSizeStart, size_start_) && find(control_paths::kSizeEnd, size_end_) &&
      find(control_paths::kAttributeGroup, attribute_group_) &&
      find(control_paths::kIncludeExclude, include_exclude_) &&
      find(control_paths::kAllAny, all_any_) &&
      find(control_paths::kAttributeSwitch, attribute_switch_) &&
      find(control_paths::kInclude, include_) && find(control_paths::kExclude, exclude_) &&
      find(control_paths::kAllOf, all_of_) && find(control_paths::kAnyOf, any_of_);
  return found;
}

bool filter_page::find_attribute_boxes() {
  // The eight attribute boxes with the bit each stands for, in phrase order.
  const std::pair<const char*, uint32_t> boxes[] = {
      {control_paths::kAttributeArchive, attribute_archive},
      {control_paths::kAttributeCompressed, attribute_compressed},
      {control_paths::kAttributeHidden, attribute_hidden},
      {control_paths::kAttributeNormal, attribute_normal},
      {control_paths::kAttributeOffline, attribute_offline},
      {control_paths::kAttributeReadOnly, attribute_read_only},
      {control_paths::kAttributeSystem, attribute_system},
      {control_paths::kAttributeTemporary, attribute_temporary},
  };
  attribute_boxes_.clear();
  for (const auto& [path, bit] : boxes) {
    auto* box = find_control<QCheckBox>(panel_, path);
    if (box == nullptr) return false;
    attribute_boxes_.emplace_back(box, bit);
  }
  return true;
}

void filter_page::set_captions() {
  const std::pair<QWidget*, int> captions[] = {
      {files_group_, files_group_caption},
      {files_include_label_, files_include_caption},
      {files_skip_label_, files_skip_caption},
      {folders_group_, folders_group_caption},
      {folders_include_label_, folders_include_caption},
      {folders_skip_label_, folders_skip_caption},
      {time_group_, time_group_caption},
      {time_label_, time_between_caption},
      {time_and_label_, time_and_caption},
      {last_label_, time_last_caption},
      {now_button_, now_caption},
      {size_group_, size_group_caption},
      {size_label_, size_between_caption},
      {size_and_label_, size_and_caption},
      {attribute_group_, attribute_group_caption},
      {attribute_switch_, attribute_switch_caption},
      {include_, attribute_switch_caption + 1},
      {exclude_, attribute_switch_caption + 2},
      {all_of_, attribute_switch_caption + 3},
      {any_of_, attribute_switch_caption + 4},
  };
  for (const auto& [control, offset] : captions) caption(control, offset);
  files_include_->setToolTip(to_qt(phrase(files_include_hint)));
  for (size_t i = 0; i < attribute_boxes_.size(); ++i) {
    caption(attribute_boxes_[i].first, attribute_boxes + static_cast<int>(i));
  }
  fill_list(time_mode_, time_modes, 5);
  fill_list(last_unit_, time_units, 6);
  fill_list(size_mode_, size_modes, 4);
}

void filter_page::remember_home_positions() {
  start_date_home_ = start_date_->pos();
  start_time_home_ = start_time_->pos();
  end_date_home_ = end_date_->pos();
  end_time_home_ = end_time_->pos();
  size_start_home_ = size_start_->pos();
  size_end_home_ = size_end_->pos();
}

void filter_page::connect_handlers() {
  QObject::connect(time_mode_, &QComboBox::currentIndexChanged, time_mode_,
                   [this](int mode) { show_time_mode(mode); });
  QObject::connect(size_mode_, &QComboBox::currentIndexChanged, size_mode_,
                   [this](int mode) { show_size_mode(mode); });
  // `activated` is the user's choice only: a loaded filter keeps its window.
  QObject::connect(time_mode_, &QComboBox::activated, time_mode_,
                   [this](int mode) { time_mode_chosen(mode); });
  QObject::connect(size_mode_, &QComboBox::activated, size_mode_,
                   [this](int mode) { size_mode_chosen(mode); });
  QObject::connect(attribute_switch_, &QCheckBox::toggled, attribute_switch_,
                   [this] { show_attribute_choices(); });
  for (QLineEdit* box : {size_start_, size_end_}) {
    QObject::connect(box, &QLineEdit::textEdited, box, [this, box] { keep_number(box); });
  }
  QObject::connect(now_button_, &QAbstractButton::clicked, now_button_,
                   [this] { set_pickers_to_now(); });
}

void filter_page::set_include_presets(const std::vector<std::string>& lines) {
  files_include_->clear();
  for (const std::string& line : lines) files_include_->addItem(to_qt(line));
  if (!lines.empty()) {
    files_include_->setCurrentIndex(0);
    files_include_->setEditText(to_qt(lines.front()));
  }
}

void filter_page::load(const file_filter_data& filter) {
  files_include_->setEditText(to_qt(filter.str_files_include));
  files_skip_->setText(to_qt(filter.str_files_skip));
  folders_include_->setText(to_qt(filter.str_folder_include));
  folders_skip_->setText(to_qt(filter.str_folder_skip));

  time_mode_->setCurrentIndex(filter.time_filter);
  const QDateTime start = local_time(filter.time_start);
  start_date_->setDate(start.date());
  start_time_->setTime(start.time());
  const QDateTime end = local_time(filter.time_end);
  end_date_->setDate(end.date());
  end_time_->setTime(end.time());
  last_count_->setText(QString::number(filter.last_how_many));
  last_unit_->setCurrentIndex(filter.last_type - 1);
  size_mode_->setCurrentIndex(filter.size_filter);
  size_start_->setText(
      QString::number(size_bound(filter.size_high_start, filter.size_start) / 1024));
  size_end_->setText(QString::number(size_bound(filter.size_high_end, filter.size_end) / 1024));

  if (show_attribute_group) {
    attribute_switch_->setChecked((filter.att_filter & 1) != 0);
    ((filter.att_filter & 2) != 0 ? include_ : exclude_)->setChecked(true);
    ((filter.att_filter & 4) != 0 ? all_of_ : any_of_)->setChecked(true);
    for (const auto& [box, bit] : attribute_boxes_) box->setChecked((filter.attrs & bit) != 0);
  }
  show_time_mode(time_mode_->currentIndex());
  show_size_mode(size_mode_->currentIndex());
  show_attribute_choices();
}

void filter_page::store(file_filter_data& filter) const {
  filter.str_files_include = files_include_->currentText().toStdString();
  filter.str_files_skip = files_skip_->text().toStdString();
  filter.str_folder_include = folders_include_->text().toStdString();
  filter.str_folder_skip = folders_skip_->text().toStdString();
  filter.compile_masks();

  // A list that shows no item (a mode it has no item for) keeps the value.
  if (time_mode_->currentIndex() >= 0) filter.time_filter = time_mode_->currentIndex();
  filter.time_start = from_pickers(start_date_, start_time_);
  filter.time_end = from_pickers(end_date_, end_time_);
  if (size_mode_->currentIndex() >= 0) filter.size_filter = size_mode_->currentIndex();
  filter.last_how_many = text_to_int(last_count_->text().toStdString());
  if (last_unit_->currentIndex() >= 0) filter.last_type = last_unit_->currentIndex() + 1;
  const uint64_t lower = size_from_box(size_start_->text());
  const uint64_t upper = size_from_box(size_end_->text());
  filter.size_start = static_cast<uint32_t>(lower);
  filter.size_high_start = static_cast<int32_t>(static_cast<uint32_t>(lower >> 32));
  filter.size_end = static_cast<uint32_t>(upper);
  filter.size_high_end = static_cast<int32_t>(static_cast<uint32_t>(upper >> 32));

  if (show_attribute_group) {
    filter.att_filter = (attribute_switch_->isChecked() ? 1 : 0) + (include_->isChecked() ? 2 : 0) +
                        (all_of_->isChecked() ? 4 : 0);
    filter.attrs = 0;
    for (const auto& [box, bit] : attribute_boxes_) {
      if (box->isChecked()) filter.attrs |= bit;
    }
  }
}

void filter_page::show_time_mode(int mode) {
  // Every mode has one row: the list, then what the mode asks for.
  set_shown({time_label_, start_date_, start_time_, time_and_label_, end_date_, end_time_,
             last_label_, last_count_, last_unit_, now_button_},
            false);
  end_date_->move(end_date_home_);
  end_time_->move(end_time_home_);
  time_label_->setBuddy(start_date_);
  switch (mode) {
    case time_between:
      caption(time_label_, time_between_caption);
      set_shown({time_label_, start_date_, start_time_, time_and_label_, end_date_, end_time_,
                 now_button_},
                true);
      break;
    case time_last:
      set_shown({last_label_, last_count_, last_unit_}, true);
      break;
    case time_not_after:
      // Only the end of the window: its pickers stand where the start's do.
      caption(time_label_, time_up_to_caption);
      end_date_->move(start_date_home_);
      end_time_->move(start_time_home_);
      time_label_->setBuddy(end_date_);
      set_shown({time_label_, end_date_, end_time_, now_button_}, true);
      break;
    case time_not_before:
      caption(time_label_, time_from_caption);
      set_shown({time_label_, start_date_, start_time_, now_button_}, true);
      break;
    default:
      break;
  }
}

void filter_page::show_size_mode(int mode) {
  set_shown({size_label_, size_and_label_, size_start_, size_end_}, false);
  size_end_->move(size_end_home_);
  size_label_->setBuddy(size_start_);
  switch (mode) {
    case size_between:
      caption(size_label_, size_between_caption);
      set_shown({size_label_, size_start_, size_and_label_, size_end_}, true);
      break;
    case size_not_above:
      caption(size_label_, size_at_most_caption);
      size_end_->move(size_start_home_);
      size_label_->setBuddy(size_end_);
      set_shown({size_label_, size_end_}, true);
      break;
    case size_not_below:
      caption(size_label_, size_at_least_caption);
      set_shown({size_label_, size_start_}, true);
      break;
    default:
      break;
  }
}

void filter_page::show_attribute_choices() {
  const bool shown = attribute_switch_->isChecked();
  include_exclude_->setVisible(shown);
  all_any_->setVisible(shown);
  for (const auto& [box, bit] : attribute_boxes_) box->setVisible(shown);
}

void filter_page::time_mode_chosen(int mode) {
  if (mode == time_off) return;
  constexpr int kUsefulDays = 30;
  const QDateTime now = QDateTime::currentDateTime();
  if (from_pickers(start_date_, start_time_) == from_pickers(end_date_, end_time_)) {
    const QDateTime start = now.addDays(-kUsefulDays);
    start_date_->setDate(start.date());
    start_time_->setTime(start.time());
    end_date_->setDate(now.date());
    end_time_->setTime(now.time());
  }
  // One day is the count a filter never set holds.
  if (text_to_int(last_count_->text().toStdString()) <= 1 &&
      last_unit_->currentIndex() == unit_day - 1) {
    last_count_->setText(QString::number(kUsefulDays));
  }
}

void filter_page::size_mode_chosen(int mode) {
  if (mode == size_off) return;
  constexpr int kUsefulKilobytes = 1024;
  if (size_from_box(size_start_->text()) == 0 && size_from_box(size_end_->text()) == 0) {
    size_start_->setText(QStringLiteral("0"));
    size_end_->setText(QString::number(kUsefulKilobytes));
  }
}

void filter_page::follow_output_name(const QString& old_output, const QString& new_output) {
  const auto file_name = [](const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); };
  if (files_skip_->text() == file_name(old_output)) files_skip_->setText(file_name(new_output));
}

void filter_page::keep_number(QLineEdit* box) const {
  const QString text = box->text();
  if (text.isEmpty()) return;
  const QString number = QString::number(leading_decimal(text.toStdString()));
  if (number != text) box->setText(number);
}

void filter_page::set_pickers_to_now() {
  const QDateTime now = QDateTime::currentDateTime();
  for (QDateTimeEdit* date : {start_date_, end_date_}) date->setDate(now.date());
  for (QDateTimeEdit* time : {start_time_, end_time_}) time->setTime(now.time());
}

}  // namespace dirscribe

// The filter page on the real panel that the interface description builds.
#include "ui/filter_page.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "services/phrase_table.h"
#include "support/temp_folder.h"
#include "ui/control_paths.h"
#include "ui/form_builder.h"
#include "ui/interface_description.h"
#include "ui/ui_test_support.h"

namespace dirscribe {
namespace {

// A default filter with `change` made to it.
template <typename Change>
file_filter_data filter_with(Change change) {
  file_filter_data filter;
  change(filter);
  return filter;
}

// A change that makes a filter keep sizes from `lower` to `upper` bytes.
auto sizes_between(uint64_t lower, uint64_t upper) {
  return [=](file_filter_data& f) {
    f.size_filter = size_between;
    f.size_start = static_cast<uint32_t>(lower);
    f.size_high_start = static_cast<int32_t>(lower >> 32);
    f.size_end = static_cast<uint32_t>(upper);
    f.size_high_end = static_cast<int32_t>(upper >> 32);
  };
}

// Filters that set the masks, each time mode and each size mode, and that
// come back from the page unchanged.
std::vector<file_filter_data> mask_time_and_size_cases() {
  // Berlin: 01:59:59 CET and 03:00:00 CEST on 29 March 2026; 01:59:59 CEST
  // and 03:00:00 CET around 25 October 2026; a date before 1970.
  return {
      filter_with([](file_filter_data& f) {
        f.str_files_include = "<a&b>;*.html";
        f.str_files_skip = "*.tmp;\"q\"";
        f.str_folder_include = "\xc3\xa9*";
        f.str_folder_skip = "";
      }),
      filter_with([](file_filter_data& f) { f.time_filter = time_off; }),
      filter_with([](file_filter_data& f) {
        f.time_filter = time_between;
        f.time_start = 1774745999;
        f.time_end = 1774746000;
      }),
      filter_with([](file_filter_data& f) {
        f.time_filter = time_last;
        f.last_how_many = 7;
        f.last_type = unit_hour;
      }),
      filter_with([](file_filter_data& f) {
        f.time_filter = time_not_after;
        f.time_start = 1792879199;
        f.time_end = 1792893600;
      }),
      filter_with([](file_filter_data& f) {
        f.time_filter = time_not_before;
        f.time_start = -86400 * 365;
        f.time_end = 0;
      }),
      filter_with(sizes_between(0, 1024)),
      filter_with(sizes_between(uint64_t{1} << 40, uint64_t{1} << 63)),
      filter_with([](file_filter_data& f) { f.size_filter = size_not_above; }),
      filter_with([](file_filter_data& f) { f.size_filter = size_not_below; }),
  };
}

// Filters with every attribute mode, then with the attribute window on and
// single and combined attribute bits (only the known bits kept).
std::vector<file_filter_data> attribute_cases() {
  std::vector<file_filter_data> cases;
  for (int att = 0; att < 8; ++att) {
    cases.push_back(filter_with([att](file_filter_data& f) { f.att_filter = att; }));
  }
  for (const uint32_t bit : {0x1u, 0x2u, 0x4u, 0x20u, 0x80u, 0x100u, 0x800u, 0x1000u, 0x39A7u}) {
    cases.push_back(filter_with([bit](file_filter_data& f) {
      f.att_filter = 1;
      f.attrs = bit & 0x19A7u;
    }));
  }
  return cases;
}

class FilterPage : public ::testing::Test {
 protected:
  void SetUp() override {
    const outcome read =
        load_interface_description(DIRSCRIBE_PROGRAM_DIR "vostra.bin", phrases_, ui_);
    ASSERT_TRUE(read.ok()) << read.message();
    const outcome built = build_forms(ui_, forms_, DIRSCRIBE_PROGRAM_DIR);  // the icons' folder
    ASSERT_TRUE(built.ok()) << built.message();
    // The panel is looked up in a document of its own, as the window does.
    panel_.append_top(ui_.detach(xml_find(ui_, control_paths::kFilterPanel)));
    page_ = find_control<QWidget>(panel_, control_paths::kFilterPage);
    forms_.main_form()->resize(900, 640);
    page_->show();
    filter_ui_ = std::make_unique<filter_page>(&phrases_, panel_, 150);
    ASSERT_EQ(filter_ui_->set_up(), 0);
  }

  template <typename T = QWidget>
  T* control(const std::string& name) {
    return find_control<T>(panel_, "/pFilter/" + name);
  }

  // The names of the group's controls that show.
  std::set<std::string> shown(const std::string& group) {
    std::set<std::string> names;
    for (QObject* child : control(group)->children()) {
      auto* widget = qobject_cast<QWidget*>(child);
      if (widget != nullptr && !widget->isHidden() && !widget->objectName().isEmpty()) {
        names.insert(widget->objectName().toStdString());
      }
    }
    return names;
  }

  // The filter's keys as the project file holds them.
  static std::string dump(const file_filter_data& filter) {
    std::string out;
    filter.write(out);
    return out;
  }

  phrase_table phrases_;
  xml_tree ui_;
  xml_tree panel_;
  form_application forms_;
  QWidget* page_ = nullptr;
  std::unique_ptr<filter_page> filter_ui_;
};

TEST_F(FilterPage, EveryFieldSurvivesLoadAndStore) {
  std::vector<file_filter_data> cases = mask_time_and_size_cases();
  for (const file_filter_data& filter : attribute_cases()) cases.push_back(filter);
  // The tests run in Berlin time, so the pickers cross real changes.
  ASSERT_EQ(QDateTime::fromSecsSinceEpoch(1774745999).offsetFromUtc(), 3600);
  ASSERT_EQ(QDateTime::fromSecsSinceEpoch(1774746000).offsetFromUtc(), 7200);
  for (const file_filter_data& filter : cases) {
    filter_ui_->load(filter);
    file_filter_data stored;
    filter_ui_->store(stored);
    EXPECT_EQ(dump(stored), dump(filter));
  }

  // Sizes are whole units of 1024 bytes.
  struct row {
    uint64_t bytes;
    const char* shown;
    uint64_t stored;
  };
  for (const row& r : std::vector<row>{{1023, "0", 0}, {1500, "1", 1024}, {4096, "4", 4096}}) {
    filter_ui_->load(filter_with(sizes_between(r.bytes, r.bytes)));
    EXPECT_EQ(control<QLineEdit>("gbSize/eSizeStart")->text(), QString::fromLatin1(r.shown));
    file_filter_data stored;
    filter_ui_->store(stored);
    EXPECT_EQ(stored.size_lower_bound(), static_cast<int64_t>(r.stored)) << r.bytes;
  }
}

TEST_F(FilterPage, SizeBoxesHoldAPlainNumber) {
  struct row {
    const char* typed;
    const char* left;
  };
  const std::vector<row> rows = {
      {"12abc", "12"},
      {"-5", "5"},                                      // "-" alone reads as 0, then "05" as 5
      {"12345678901234567890", "9223372036854775807"},  // held at the largest number
      {"", ""},
  };
  for (const row& r : rows) {
    QLineEdit* box = control<QLineEdit>("gbSize/eSizeStart");
    box->clear();
    QTest::keyClicks(box, QString::fromLatin1(r.typed));
    EXPECT_EQ(box->text(), QString::fromLatin1(r.left)) << r.typed;
  }
  EXPECT_EQ(leading_decimal("  -5x"), -5);
  EXPECT_EQ(leading_decimal("+7"), 7);
  EXPECT_EQ(leading_decimal("abc"), 0);
  EXPECT_EQ(leading_decimal("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(leading_decimal("-99999999999999999999"), INT64_MIN);
}

TEST_F(FilterPage, EachModeShowsItsControlsInOneRow) {
  const std::vector<std::set<std::string>> time_modes = {
      {"cTime"},
      {"cTime", "timeL1", "timeDT1", "timeDT2", "timeL2", "timeDT3", "timeDT4", "bSetCurTime"},
      {"cTime", "timeL3", "eTimeInt", "cTimeInt"},
      {"cTime", "timeL1", "timeDT3", "timeDT4", "bSetCurTime"},
      {"cTime", "timeL1", "timeDT1", "timeDT2", "bSetCurTime"},
  };
  const char* time_labels[] = {"", "Be&tween", "", "Up &to", "Fro&m"};
  QWidget* time_group = control("gbTime");
  const int one_row = time_group->height();
  for (int mode = 0; mode < 5; ++mode) {
    control<QComboBox>("gbTime/cTime")->setCurrentIndex(mode);
    EXPECT_EQ(shown("gbTime"), time_modes[static_cast<size_t>(mode)]) << mode;
    EXPECT_EQ(time_group->height(), one_row) << mode;
    if (time_labels[mode][0] != '\0') {
      EXPECT_EQ(control<QLabel>("gbTime/timeL1")->text(), QString::fromLatin1(time_labels[mode]));
    }
    std::vector<std::string> faults;
    collect_layout_faults(page_, faults);
    EXPECT_TRUE(faults.empty()) << "time mode " << mode << ": " << faults.front();
  }
  // "Up to" shows the end of the window where the start stands otherwise.
  control<QComboBox>("gbTime/cTime")->setCurrentIndex(time_not_after);
  EXPECT_EQ(control("gbTime/timeDT3")->pos(), control("gbTime/timeDT1")->pos());
  EXPECT_EQ(control("gbTime/timeDT4")->pos(), control("gbTime/timeDT2")->pos());
  control<QComboBox>("gbTime/cTime")->setCurrentIndex(time_between);
  EXPECT_GT(control("gbTime/timeDT3")->x(), control("gbTime/timeDT2")->x());

  const std::vector<std::set<std::string>> size_modes = {
      {"cSize"},
      {"cSize", "sizeL1", "eSizeStart", "sizeL2", "eSizeEnd"},
      {"cSize", "sizeL1", "eSizeEnd"},
      {"cSize", "sizeL1", "eSizeStart"},
  };
  for (int mode = 0; mode < 4; ++mode) {
    control<QComboBox>("gbSize/cSize")->setCurrentIndex(mode);
    EXPECT_EQ(shown("gbSize"), size_modes[static_cast<size_t>(mode)]) << mode;
    std::vector<std::string> faults;
    collect_layout_faults(page_, faults);
    EXPECT_TRUE(faults.empty()) << "size mode " << mode << ": " << faults.front();
  }
  control<QComboBox>("gbSize/cSize")->setCurrentIndex(size_not_above);
  EXPECT_EQ(control("gbSize/eSizeEnd")->pos(), QPoint(318, 24));  // in the lower bound's place

  // The attribute choices fold away with their switch, and the group with them.
  QWidget* attributes = control("gbAttr");
  auto* attribute_switch = control<QAbstractButton>("gbAttr/cbAttr");
  attribute_switch->setChecked(false);
  const int folded = attributes->height();
  EXPECT_EQ(shown("gbAttr"), std::set<std::string>{"cbAttr"});
  attribute_switch->setChecked(true);
  EXPECT_EQ(shown("gbAttr").size(), 11u);
  EXPECT_GT(attributes->height(), folded + 80);
  std::vector<std::string> faults;
  collect_layout_faults(page_, faults);
  EXPECT_TRUE(faults.empty()) << faults.front();
  attribute_switch->setChecked(false);
  EXPECT_EQ(attributes->height(), folded);
}

// A mode the user picks starts with a window that lists something; a window
// of the user's, and one a project holds, stay as they are.
TEST_F(FilterPage, AChosenModeStartsWithAUsefulWindow) {
  auto* time_mode = find_control<QComboBox>(panel_, control_paths::kTimeMode);
  auto* size_mode = find_control<QComboBox>(panel_, control_paths::kSizeMode);
  const auto choose = [](QComboBox* list, int mode) {
    list->setCurrentIndex(mode);
    emit list->activated(mode);  // as a user's choice does
  };
  constexpr int64_t kDay = 86400;
  for (int mode = 1; mode <= 4; ++mode) {
    filter_ui_->load(file_filter_data{});
    choose(time_mode, mode);
    choose(size_mode, mode <= 3 ? mode : 1);
    file_filter_data f;
    filter_ui_->store(f);
    const int64_t now = std::time(nullptr);
    // The pickers hold minutes; a daylight-saving change within the 30 days
    // moves the start by an hour.
    EXPECT_NEAR(static_cast<double>(f.time_end), static_cast<double>(now), 120) << mode;
    EXPECT_NEAR(static_cast<double>(f.time_end - f.time_start), 30.0 * kDay, 3600 + 120) << mode;
    EXPECT_EQ(f.last_how_many, 30) << mode;
    EXPECT_EQ(f.size_lower_bound(), 0) << mode;
    EXPECT_EQ(f.size_upper_bound(), 1024 * 1024) << mode;
  }
  // A window of the user's, shown with the filter off, is kept when a mode is
  // chosen; a project's zero window is shown as it is.
  file_filter_data own;
  own.time_start = 1000000000;
  own.time_end = 1100000000;
  own.last_how_many = 7;
  own.size_end = 5 * 1024;
  file_filter_data zero;
  zero.time_filter = time_between;
  zero.size_filter = size_between;
  for (const file_filter_data& loaded : {own, zero}) {
    filter_ui_->load(loaded);
    if (loaded.time_filter == time_off) {
      choose(time_mode, time_between);
      choose(size_mode, size_between);
    }
    file_filter_data f;
    filter_ui_->store(f);
    EXPECT_EQ(f.time_start, loaded.time_start);
    EXPECT_EQ(f.time_end, loaded.time_end);
    EXPECT_EQ(f.last_how_many, loaded.last_how_many);
    EXPECT_EQ(f.size_upper_bound(), loaded.size_upper_bound());
  }
}

// Attributes no Linux file system sets are shown, disabled, with the reason.
TEST_F(FilterPage, AttributesLinuxNeverSetsAreDisabledWithAHint) {
  const std::string hint(phrases_.text(327));
  ASSERT_FALSE(hint.empty());
  const struct {
    const char* path;
    bool meaningful;
  } boxes[] = {
      {control_paths::kAttributeArchive, false},   {control_paths::kAttributeTemporary, false},
      {control_paths::kAttributeOffline, false},   {control_paths::kAttributeHidden, true},
      {control_paths::kAttributeReadOnly, true},   {control_paths::kAttributeSystem, true},
      {control_paths::kAttributeCompressed, true}, {control_paths::kAttributeNormal, true},
  };
  for (const auto& box : boxes) {
    auto* check = find_control<QCheckBox>(panel_, box.path);
    EXPECT_EQ(check->isEnabled(), box.meaningful) << box.path;
    EXPECT_EQ(check->toolTip().toStdString(), box.meaningful ? "" : hint) << box.path;
  }
}

TEST_F(FilterPage, PresetsComeOneALineWhateverTheLineEnds) {
  struct row {
    const char* file;  // nullptr: no file
    std::vector<std::string> presets;
  };
  const std::vector<row> rows = {
      {"*.txt\r\n*.html;*.htm\r\n", {"*.txt", "*.html;*.htm", ""}},
      {"*.txt\n*.html;*.htm", {"*.txt", "*.html;*.htm"}},
      {"*.txt\n\n*.png\n", {"*.txt", "", "*.png", ""}},
      {"a\rb\n", {"a\rb", ""}},  // a lone CR is part of the line
      {"", {}},
      {nullptr, {}},
  };
  temp_folder folder;
  for (const row& r : rows) {
    if (r.file != nullptr) folder.write("filter.txt", r.file);
    const std::vector<std::string> presets = read_filter_presets(folder.at("filter.txt"));
    EXPECT_EQ(presets, r.presets) << (r.file ? r.file : "(none)");
    std::remove(folder.at("filter.txt").c_str());
  }
  auto* include = control<QComboBox>("gbFile/eIncFile");
  filter_ui_->set_include_presets({"*.txt", "*.png"});
  EXPECT_EQ(include->count(), 2);
  EXPECT_EQ(include->currentText(), QStringLiteral("*.txt"));
  // The bundled presets use masks the extension table knows.
  EXPECT_GE(read_filter_presets(DIRSCRIBE_SOURCE_DIR "data/filter.txt").size(), 9u);
}

TEST(FilterPanel, AMissingControlFailsTheSetUp) {
  xml_tree panel = parse_description(
      R"(<pFilter class="TPanel"><gbFile class="TGroupBox"><l1 class="TLabel"/></gbFile></pFilter>)");
  form_application forms;
  ASSERT_TRUE(build_forms(panel, forms).ok());
  filter_page filter_ui(nullptr, panel, 150);
  EXPECT_EQ(filter_ui.set_up(), 1);
}

}  // namespace
}  // namespace dirscribe

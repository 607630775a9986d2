// The real interface description, as the build packs it into vostra.bin:
// every control the window and the filter page look up exists with the right
// kind, and the laid-out window has no overlaps at its size and larger.
#include <gtest/gtest.h>

#include <QWidget>
#include <string>
#include <vector>

#include "services/phrase_table.h"
#include "ui/control.h"
#include "ui/control_paths.h"
#include "ui/form_builder.h"
#include "ui/interface_description.h"
#include "ui/ui_test_support.h"

namespace dirscribe {
namespace {

class RealDescription : public ::testing::Test {
 protected:
  void SetUp() override {
    phrase_table phrases;
    const outcome read =
        load_interface_description(DIRSCRIBE_PROGRAM_DIR "vostra.bin", phrases, ui_);
    ASSERT_TRUE(read.ok()) << read.message();
    // Pictures in the description are relative to the program folder.
    const outcome built = build_forms(ui_, forms_, DIRSCRIBE_PROGRAM_DIR);
    ASSERT_TRUE(built.ok()) << built.message();
    window_ = forms_.main_form();
    ASSERT_NE(window_, nullptr);
  }
  xml_tree ui_;
  form_application forms_;
  QWidget* window_ = nullptr;
};

TEST_F(RealDescription, EveryControlTheWindowLooksUpExists) {
  const xml_node* root = ui_.first();
  EXPECT_EQ(find_component(ui_, control_paths::kMainForm), window_);
  for (const control_paths::typed_path& control : control_paths::kWindowControls) {
    QObject* found = find_component(ui_, control.path, root);
    ASSERT_NE(found, nullptr) << control.path;
    EXPECT_TRUE(found->inherits(control.kind))
        << control.path << " is " << found->metaObject()->className();
  }
  // The filter page is looked up in a document of its own.
  xml_tree filter;
  filter.append_top(ui_.detach(xml_find(ui_, control_paths::kFilterPanel)));
  for (const control_paths::typed_path& control : control_paths::kFilterControls) {
    QObject* found = find_component(filter, control.path);
    ASSERT_NE(found, nullptr) << control.path;
    EXPECT_TRUE(found->inherits(control.kind))
        << control.path << " is " << found->metaObject()->className();
  }
}

TEST_F(RealDescription, EveryPageLaysOutWithoutOverlapsAtItsSizeAndLarger) {
  const xml_node* root = ui_.first();
  const char* pages[] = {"main/pStyle", "main/pSource", "main/pFilter", "main/pOptions",
                         "main/pBuild"};
  window_->show();
  const QSize designed = window_->size();
  EXPECT_EQ(designed, QSize(900, 640));
  for (const double scale : {1.0, 1.5}) {
    window_->resize((QSizeF(designed) * scale).toSize());
    for (const char* page : pages) {
      for (const char* other : pages) {
        find_control<QWidget>(ui_, other, root)->setVisible(other == page);
      }
      std::vector<std::string> faults;
      collect_layout_faults(window_, faults);
      EXPECT_TRUE(faults.empty()) << page << " at " << scale << ": " << faults.front();
    }
  }
}

}  // namespace
}  // namespace dirscribe

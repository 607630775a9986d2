// The real interface description, as the build packs it into vostra.bin:
// every control the window and the filter page look up exists with the right
// kind, and the laid-out window has no overlaps at its size and larger.
#include <gtest/gtest.h>

#include <QDir>
#include <QWidget>
#include <string>
#include <vector>

#include "services/phrase_table.h"
#include "ui/control.h"
#include "ui/form_builder.h"
#include "ui/interface_description.h"
#include "ui/ui_test_support.h"

namespace dirscribe {
namespace {

class RealDescription : public ::testing::Test {
 protected:
  void SetUp() override {
    // Pictures in the description are relative to the program folder.
    previous_dir_ = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(DIRSCRIBE_PROGRAM_DIR));
    phrase_table phrases;
    const outcome read =
        load_interface_description(DIRSCRIBE_PROGRAM_DIR "vostra.bin", phrases, ui_);
    ASSERT_TRUE(read.ok()) << read.message();
    const outcome built = build_forms(ui_, forms_);
    ASSERT_TRUE(built.ok()) << built.message();
    window_ = forms_.main_form();
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { QDir::setCurrent(previous_dir_); }

  xml_tree ui_;
  form_application forms_;
  QWidget* window_ = nullptr;
  QString previous_dir_;
};

struct looked_up {
  std::string path;
  const char* kind;  // the Qt class the control must be
};

// The window's controls, relative to the description's root.
const std::vector<looked_up> kWindowControls = {
    {"main", "QFrame"},  // the tab control: tabs over a panel
    {"main/pStyle", "QFrame"},
    {"main/pSource", "QFrame"},
    {"main/pOptions", "QFrame"},
    {"main/pBuild", "QFrame"},
    {"main/pTop", "QFrame"},
    {"pBottom", "QFrame"},
    {"pBottom/bHelp", "QAbstractButton"},
    {"pBottom/bPrev", "QAbstractButton"},
    {"pBottom/bNext", "QAbstractButton"},
    {"main/pStyle/pLeft/styleLB", "QListWidget"},
    {"main/pStyle/p/pStyleH", "QLabel"},
    {"main/pStyle/p/imPanel/styleIm", "dirscribe::image_adapter"},
    {"main/pStyle/p/comGb/styleL", "QLabel"},
    {"main/pStyle/pLeft/pTool/bEdit", "QAbstractButton"},
    {"main/pStyle/pLeft/pTool/bCopy", "QAbstractButton"},
    {"main/pStyle/pLeft/pTool/bRename", "QAbstractButton"},
    {"main/pStyle/pLeft/pTool/bImage", "QAbstractButton"},
    {"main/pStyle/pLeft/pTool/bDescription", "QAbstractButton"},
    {"main/pSource/gbSrc/eSrc", "QLineEdit"},
    {"main/pSource/gbSrc/bSrc", "QAbstractButton"},
    {"main/pSource/gbRec/cbRec", "QComboBox"},
    {"main/pSource/gbRec/gbSingleFile/recSingle", "QRadioButton"},
    {"main/pSource/gbRec/gbSingleFile/recMultiple", "QRadioButton"},
    {"main/pSource/gbDest/eDest", "QLineEdit"},
    {"main/pSource/gbDest/bDest", "QAbstractButton"},
    {"main/pOptions/gbSort/cSort", "QComboBox"},
    {"main/pOptions/gbSort/bAsc", "QToolButton"},
    {"main/pOptions/gbSort/bDesc", "QToolButton"},
    {"main/pOptions/gbOther/cbShowFolders", "QCheckBox"},
    {"main/pOptions/gbOther/cbShowFiles", "QCheckBox"},
    {"main/pOptions/gbOther/cbDiskSpace", "QCheckBox"},
    {"main/pOptions/gbOther/cbRecurSize", "QCheckBox"},
    {"main/pOptions/gbOther/cbSupprEmpty", "QCheckBox"},
    {"main/pOptions/gbOther/cbRecurEnd", "QCheckBox"},
    {"main/pOptions/gbOther/cbShowSummary", "QCheckBox"},
    {"main/pOptions/gbOther/cURLEnc", "QComboBox"},
    {"main/pOptions/gbOther/cSizeUnits", "QComboBox"},
    {"main/pOptions/gbOther/cWinFileTypes", "QComboBox"},
    {"main/pOptions/gbDateFormat/cDateFormat", "QComboBox"},
    {"main/pOptions/gbDateFormat/eDateFormat", "QLineEdit"},
    {"main/pOptions/gbDateFormat/bDateFormat", "QAbstractButton"},
    {"main/pOptions/gbDateFormat/cbGMT", "QCheckBox"},
    {"main/pOptions/gbDateFormat/lDateFormat", "QLabel"},
    {"main/pOptions/gbIcons/cbLocalIcons", "QCheckBox"},
    {"main/pOptions/gbIcons/eIconPath", "QLineEdit"},
    {"main/pOptions/gbPublish/eLinkBase", "QLineEdit"},
    {"main/pOptions/gbPublish/eOutputDir", "QLineEdit"},
    {"pTop/bNew", "QAbstractButton"},
    {"pTop/bOpen", "QAbstractButton"},
    {"pTop/bSave", "QAbstractButton"},
    {"pTop/bMake", "QAbstractButton"},
    {"pTop/bStop", "QAbstractButton"},
    {"pTop/bPreview", "QAbstractButton"},
    {"main/pBuild/gbButtons/bMake1", "QAbstractButton"},
    {"main/pBuild/gbButtons/bStop1", "QAbstractButton"},
    {"main/pBuild/gbButtons/bPreview1", "QAbstractButton"},
    {"main/pBuild/gbInfo/lInfo", "QLabel"},
};

// The filter page's controls, found in its own document.
const std::vector<looked_up> kFilterControls = {
    {"/pFilter/gbFile", "QGroupBox"},
    {"/pFilter/gbFile/l1", "QLabel"},
    {"/pFilter/gbFile/eIncFile", "QComboBox"},
    {"/pFilter/gbFile/eSkipFile", "QLineEdit"},
    {"/pFilter/gbFile/l2", "QLabel"},
    {"/pFilter/gbFolder", "QGroupBox"},
    {"/pFilter/gbFolder/l1", "QLabel"},
    {"/pFilter/gbFolder/l2", "QLabel"},
    {"/pFilter/gbFolder/eIncFold", "QLineEdit"},
    {"/pFilter/gbFolder/eSkipFold", "QLineEdit"},
    {"/pFilter/gbTime", "QGroupBox"},
    {"/pFilter/gbTime/cTime", "QComboBox"},
    {"/pFilter/gbTime/timeL1", "QLabel"},
    {"/pFilter/gbTime/timeDT1", "QDateTimeEdit"},
    {"/pFilter/gbTime/timeDT2", "QDateTimeEdit"},
    {"/pFilter/gbTime/timeL2", "QLabel"},
    {"/pFilter/gbTime/timeDT3", "QDateTimeEdit"},
    {"/pFilter/gbTime/timeDT4", "QDateTimeEdit"},
    {"/pFilter/gbTime/timeL3", "QLabel"},
    {"/pFilter/gbTime/eTimeInt", "QLineEdit"},
    {"/pFilter/gbTime/cTimeInt", "QComboBox"},
    {"/pFilter/gbTime/bSetCurTime", "QAbstractButton"},
    {"/pFilter/gbSize", "QGroupBox"},
    {"/pFilter/gbSize/cSize", "QComboBox"},
    {"/pFilter/gbSize/sizeL1", "QLabel"},
    {"/pFilter/gbSize/sizeL2", "QLabel"},
    {"/pFilter/gbSize/eSizeStart", "QLineEdit"},
    {"/pFilter/gbSize/eSizeEnd", "QLineEdit"},
    {"/pFilter/gbAttr", "QGroupBox"},
    {"/pFilter/gbAttr/gbIE", "QWidget"},
    {"/pFilter/gbAttr/gbAO", "QWidget"},
    {"/pFilter/gbAttr/cbAttr", "QCheckBox"},
    {"/pFilter/gbAttr/gbIE/attrI1", "QRadioButton"},
    {"/pFilter/gbAttr/gbIE/attrI2", "QRadioButton"},
    {"/pFilter/gbAttr/gbAO/attrA1", "QRadioButton"},
    {"/pFilter/gbAttr/gbAO/attrA0", "QRadioButton"},
    {"/pFilter/gbAttr/cbAtAr", "QCheckBox"},
    {"/pFilter/gbAttr/cbAtCo", "QCheckBox"},
    {"/pFilter/gbAttr/cbAtHi", "QCheckBox"},
    {"/pFilter/gbAttr/cbAtNo", "QCheckBox"},
    {"/pFilter/gbAttr/cbAtOf", "QCheckBox"},
    {"/pFilter/gbAttr/cbAtRe", "QCheckBox"},
    {"/pFilter/gbAttr/cbAtSy", "QCheckBox"},
    {"/pFilter/gbAttr/cbAtTe", "QCheckBox"},
};

TEST_F(RealDescription, EveryControlTheWindowLooksUpExists) {
  const xml_node* root = ui_.first();
  EXPECT_EQ(find_component(ui_, "/TvostraDSC"), window_);
  for (const looked_up& control : kWindowControls) {
    QObject* found = find_component(ui_, control.path, root);
    ASSERT_NE(found, nullptr) << control.path;
    EXPECT_TRUE(found->inherits(control.kind))
        << control.path << " is " << found->metaObject()->className();
  }
  // The filter page is looked up in a document of its own.
  xml_tree filter;
  filter.append_top(ui_.detach(xml_find(ui_, "/TvostraDSC/main/pFilter")));
  for (const looked_up& control : kFilterControls) {
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

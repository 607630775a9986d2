#include "ui/form_builder.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMetaProperty>
#include <string>
#include <vector>

#include "ui/basic_adapters.h"
#include "ui/class_table.h"
#include "ui/container_adapters.h"
#include "ui/ui_test_support.h"

namespace dirscribe {
namespace {

TEST(ClassTable, FortyClassesInOrderEachARealComponent) {
  register_classes();
  // name, the Qt class its adapter is
  const std::vector<std::pair<std::string, const char*>> expected = {
      {"TBevel", "QFrame"},
      {"TBitBtn", "QPushButton"},
      {"TButton", "QPushButton"},
      {"TCheckBox", "QCheckBox"},
      {"TComboBox", "QComboBox"},
      {"TImage", "QLabel"},
      {"TEdit", "QLineEdit"},
      {"TGroupBox", "QGroupBox"},
      {"TLabel", "QLabel"},
      {"TListBox", "QListWidget"},
      {"TMainMenu", "QObject"},
      {"TMemo", "QPlainTextEdit"},
      {"TPanel", "QFrame"},
      {"TPopupMenu", "QObject"},
      {"TRadioButton", "QRadioButton"},
      {"TRadioGroup", "QGroupBox"},
      {"TScrollBar", "QScrollBar"},
      {"TScrollBox", "QScrollArea"},
      {"TShape", "QWidget"},
      {"TSpeedButton", "QToolButton"},
      {"TSplitter", "QFrame"},
      {"TStaticText", "QLabel"},
      {"TCoolBar", "QFrame"},
      {"TTabControl", "QFrame"},
      {"TPageControl", "QTabWidget"},
      {"TImageList", "QObject"},
      {"TRichEdit", "QTextEdit"},
      {"TTrackBar", "QSlider"},
      {"TProgressBar", "QProgressBar"},
      {"TUpDown", "QSpinBox"},
      {"THotKey", "QKeySequenceEdit"},
      {"TAnimate", "QLabel"},
      {"TDateTimePicker", "QDateTimeEdit"},
      {"TTreeView", "QTreeWidget"},
      {"TListView", "QTreeWidget"},
      {"THeaderControl", "QHeaderView"},
      {"TToolBar", "QFrame"},
      {"TStatusBar", "QStatusBar"},
      {"TTabSheet", "QWidget"},
      {"TForm", "QWidget"},
  };
  const auto table = class_table();
  ASSERT_EQ(table.size(), expected.size());
  const char* common[] = {"Name",    "Left", "Top",   "Width",  "Height",   "Align",   "Visible",
                          "Enabled", "Hint", "Color", "Cursor", "TabOrder", "TabStop", "Font"};
  for (size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table[i].name, expected[i].first);
    const std::unique_ptr<QObject> made = table[i].create();
    EXPECT_TRUE(made->inherits(expected[i].second)) << expected[i].first;
    EXPECT_GE(made->metaObject()->indexOfProperty("Name"), 0) << expected[i].first;
    if (!made->isWidgetType()) continue;
    for (const char* name : common) {
      EXPECT_GE(made->metaObject()->indexOfProperty(name), 0) << expected[i].first << " " << name;
    }
  }
  EXPECT_EQ(find_class("tbutton"), &table[2]);
  EXPECT_EQ(find_class("TBUTTON"), &table[2]);
  EXPECT_EQ(find_class("TButtonX"), nullptr);
  EXPECT_EQ(find_class(""), nullptr);
}

struct built {
  xml_tree tree;
  form_application application;
  outcome result;
};

std::unique_ptr<built> build(const std::string& text) {
  auto b = std::make_unique<built>();
  b->tree = parse_description(text);
  b->result = build_forms(b->tree, b->application);
  return b;
}

TEST(BuildForms, ErrorsStopAtTheFirstAndKeepWhatWasMade) {
  struct row {
    std::string description;
    int code;
    std::string message;
    std::vector<std::string> made;  // paths that have a component afterwards
    std::string not_made;           // a path that has none
  };
  const std::vector<row> rows = {
      {R"(<f class="TForm"><b class="tbutton" Caption="Go"/></f>)", 0, "", {"/f", "/f/b"}, ""},
      {R"(<f class="TForm"><p class="TPanel"/><b Caption="x"/><c class="TEdit"/></f>)",
       50000,
       "eNoClassAttr: b",
       {"/f", "/f/p"},
       "/f/c"},
      {R"(<f class="TForm"><b class="TWhatever"/><c class="TEdit"/></f>)",
       50001,
       "eCantFindClassID: TWhatever",
       {"/f"},
       "/f/b"},
      {R"(<f class="TForm"><p class="TPanel"/><b class="TButton" Caption="x" Left="-1"/><c class="TEdit"/></f>)",
       50003,
       "eCantSetProp: b, Left",
       {"/f", "/f/p", "/f/b"},
       "/f/c"},
      {R"(<f class="TForm" Class="TForm"/>)", 50003, "eCantSetProp: f, Class", {"/f"}, ""},
      {R"(<f class="TForm"><i class="TImage" Picture.Data="ABC"/></f>)",
       50003,
       "eCantSetProp: i, Picture.Data",
       {"/f", "/f/i"},
       ""},
      {R"(<f class="TForm"><i class="TImage" Picture.File="/no/such/file.png"/></f>)",
       50003,
       "eCantSetProp: i, Picture.File",
       {"/f", "/f/i"},
       ""},
      {R"(<f class="TForm"><m class="TImageList"><b class="TButton"/></m></f>)",
       50002,
       "eMemError: b, TButton",
       {"/f", "/f/m"},
       "/f/m/b"},
      {R"(<f class="TForm"><m class="TMainMenu"/><b class="TButton" Bogus="1"/></f>)",
       50003,
       "eCantSetProp: b, Bogus",
       {"/f", "/f/m", "/f/b"},
       ""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.description);
    const auto b = build(r.description);
    EXPECT_EQ(b->result.code(), r.code);
    EXPECT_EQ(b->result.message(), r.message);
    for (const std::string& path : r.made)
      EXPECT_NE(find_component(b->tree, path), nullptr) << path;
    if (!r.not_made.empty()) {
      EXPECT_EQ(find_component(b->tree, r.not_made), nullptr);
    }
  }
}

TEST(BuildForms, OwnershipNamesAndTheMainForm) {
  const auto b = build(R"(<main class="TForm" Caption="One">
      <p class="TPanel"><b class="TButton" Caption="&amp;Go" ModalResult="mrOk"/></p>
      <m class="TMainMenu"/>
      <pages class="TPageControl"><s1 class="TTabSheet" Caption="First"/></pages>
      <sub class="TForm" Caption="Two"/>
    </main>
    <other class="TForm"/>)");
  ASSERT_TRUE(b->result.ok()) << b->result.message();
  auto* main_form = find_control<form_adapter>(b->tree, "/main");
  ASSERT_NE(main_form, nullptr);
  EXPECT_EQ(b->application.main_form(), main_form);
  EXPECT_EQ(main_form->objectName(), QStringLiteral("main"));
  auto* button = find_control<button_adapter>(b->tree, "p/b", xml_find(b->tree, "/main"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->parentWidget(), find_component(b->tree, "/main/p"));
  EXPECT_EQ(button->text(), QStringLiteral("&Go"));
  EXPECT_NE(main_form->menu_bar(), nullptr);
  auto* pages = find_control<QTabWidget>(b->tree, "/main/pages");
  ASSERT_EQ(pages->count(), 1);
  EXPECT_EQ(pages->tabText(0), QStringLiteral("First"));
  // A form inside a form is a window of its own, owned by the outer one.
  auto* sub = find_control<QWidget>(b->tree, "/main/sub");
  EXPECT_TRUE(sub->isWindow());
  EXPECT_EQ(sub->parent(), main_form);
  EXPECT_TRUE(find_control<QWidget>(b->tree, "/other")->isWindow());

  // A detached subtree finds the same components under its new root.
  xml_tree panel_only;
  panel_only.append_top(b->tree.detach(xml_find(b->tree, "/main/p")));
  EXPECT_EQ(find_component(panel_only, "/p/b"), button);
  EXPECT_EQ(find_component(panel_only, "/p/none"), nullptr);
  EXPECT_EQ(find_component(b->tree, "/main/p/b"), nullptr);
}

TEST(BuildForms, HostileDescriptionsFailCleanly) {
  std::string nested;
  for (int i = 0; i < 10000; ++i) nested += "<p class=\"TPanel\">";
  for (int i = 0; i < 10000; ++i) nested += "</p>";
  const auto deep = build("<f class=\"TForm\">" + nested + "</f>");
  EXPECT_EQ(deep->result.code(), 50002);
  EXPECT_EQ(deep->result.message(), "eMemError: p, TPanel");

  // The document reader refuses a 16 MB document, so the value is put into a
  // read tree: the builder must take it as it is.
  const std::string huge(16 * 1024 * 1024, 'x');
  auto big = std::make_unique<built>();
  big->tree = parse_description(
      R"(<f class="TForm"><l class="TLabel" Caption=""/><m class="TListBox" Items.Strings=""/></f>)");
  xml_node* label = xml_find(big->tree, "/f/l");
  xml_node* memo = xml_find(big->tree, "/f/m");
  ASSERT_TRUE(label != nullptr && memo != nullptr);
  label->attribute_list.at(3) = huge;
  memo->attribute_list.at(3) = huge;
  big->result = build_forms(big->tree, big->application);
  ASSERT_TRUE(big->result.ok());
  EXPECT_EQ(find_control<label_adapter>(big->tree, "/f/l")->read_caption().size(),
            static_cast<qsizetype>(huge.size()));
  EXPECT_EQ(find_control<list_box_adapter>(big->tree, "/f/m")->item(0)->text().size(),
            static_cast<qsizetype>(huge.size()));
}

TEST(AlignLayout, StripsInOrderWithPaddingSpacingAndMargins) {
  const auto b = build(R"(<f class="TForm" Width="400" Height="300" Padding="10" Spacing="4">
      <top class="TPanel" Align="alTop" Height="30"/>
      <bottom class="TPanel" Align="alBottom" Height="20" Margin="2"/>
      <left class="TPanel" Align="alLeft" Width="50"/>
      <right class="TPanel" Align="alRight" Width="60"/>
      <client class="TPanel" Align="alClient"/>
      <free class="TPanel" Left="7" Top="8" Width="9" Height="10"/>
      <group class="TGroupBox" Caption="G" AutoSize="true" Padding="5">
        <r1 class="TPanel" Align="alTop" Height="20"/>
        <r2 class="TPanel" Align="alTop" Height="20"/>
      </group>
    </f>)");
  ASSERT_TRUE(b->result.ok()) << b->result.message();
  const auto at = [&](const char* path) {
    return find_control<QWidget>(b->tree, path)->geometry();
  };
  EXPECT_EQ(at("/f/top"), QRect(10, 10, 380, 30));
  EXPECT_EQ(at("/f/bottom"), QRect(12, 268, 376, 20));
  EXPECT_EQ(at("/f/left"), QRect(10, 44, 50, 218));
  EXPECT_EQ(at("/f/right"), QRect(330, 44, 60, 218));
  EXPECT_EQ(at("/f/client"), QRect(64, 44, 262, 218));
  EXPECT_EQ(at("/f/free"), QRect(7, 8, 9, 10));

  // Resizing lays out again; a hidden strip gives its room away.
  auto* form = find_control<QWidget>(b->tree, "/f");
  form->resize(500, 300);
  find_control<QWidget>(b->tree, "/f/top")->hide();
  EXPECT_EQ(at("/f/left"), QRect(10, 10, 50, 252));
  EXPECT_EQ(at("/f/client"), QRect(64, 10, 362, 252));

  // An auto-size group is as high as its rows, and shrinks with them.
  auto* group = find_control<group_box_adapter>(b->tree, "/f/group");
  const int frame = group->height() - group->client_area().height();
  EXPECT_EQ(group->height(), frame + 2 * 5 + 20 + 20);
  find_control<QWidget>(b->tree, "/f/group/r2")->hide();
  EXPECT_EQ(group->height(), frame + 2 * 5 + 20);
}

TEST(BuildForms, LabelsNameTheirFieldsAndTabFollowsTabOrder) {
  const auto b = build(R"(<f class="TForm">
      <l class="TLabel" Caption="&amp;Name:" FocusControl="e"/>
      <plain class="TLabel" Caption="Fish &amp;&amp; chips"/>
      <e class="TEdit" TabOrder="2"/>
      <c class="TCheckBox" TabOrder="1"/>
      <n class="TEdit" TabStop="false" TabOrder="0"/>
      <a class="TButton" TabOrder="0"/>
    </f>)");
  ASSERT_TRUE(b->result.ok());
  auto* label = find_control<QLabel>(b->tree, "/f/l");
  EXPECT_EQ(label->buddy(), find_component(b->tree, "/f/e"));
  EXPECT_EQ(label->text(), QStringLiteral("&Name:"));
  EXPECT_EQ(find_control<QLabel>(b->tree, "/f/plain")->text(), QStringLiteral("Fish & chips"));
  // Tab goes from one control that takes it to the next, in TabOrder.
  const auto next_stop = [](QWidget* widget) {
    do {
      widget = widget->nextInFocusChain();
    } while ((widget->focusPolicy() & Qt::TabFocus) == 0);
    return widget;
  };
  auto* a = find_control<QWidget>(b->tree, "/f/a");
  auto* c = find_control<QWidget>(b->tree, "/f/c");
  auto* e = find_control<QWidget>(b->tree, "/f/e");
  EXPECT_EQ(next_stop(a), c);
  EXPECT_EQ(next_stop(c), e);
  EXPECT_EQ(next_stop(e), a);
  EXPECT_EQ(find_control<QWidget>(b->tree, "/f/n")->focusPolicy(), Qt::ClickFocus);
}

}  // namespace
}  // namespace dirscribe

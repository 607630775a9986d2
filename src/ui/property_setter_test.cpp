#include "ui/property_setter.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QVariant>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "ui/basic_adapters.h"
#include "ui/container_adapters.h"

namespace dirscribe {
namespace {

// A component with the kinds the adapters do not publish.
class kinds_probe : public QObject {
  Q_OBJECT
  Q_PROPERTY(double Ratio MEMBER ratio)
  Q_PROPERTY(QVariant Tag MEMBER tag)
  Q_PROPERTY(qlonglong Big MEMBER big)
  Q_PROPERTY(QStringList Set MEMBER set)

 public:
  double ratio = 0;
  QVariant tag;
  qlonglong big = 0;
  QStringList set;
};

TEST(SetProperty, ValueRulesByKind) {
  struct row {
    std::string name;
    std::string value;
    bool assigned;
    QVariant read_back;  // checked when assigned; invalid: not checked
  };
  const std::vector<row> rows = {
      // integers: digits, or a name of the three tables
      {"Left", "12", true, 12},
      {"Left", "-1", false, {}},  // no name table for Left, so no negatives
      {"Left", "12abc", false, {}},
      {"Left", "", false, {}},
      {"Left", "99999999999", false, {}},
      {"Color", "clBtnFace", true, static_cast<int>(0x8000000Fu)},
      {"Color", "CLBTNFACE", true, static_cast<int>(0x8000000Fu)},
      {"Color", "255", true, 255},
      {"Color", "-1", true, -1},  // not a name: the table gives -1
      {"Color", "clBogus", true, -1},
      {"Cursor", "crHandPoint", true, -21},
      {"Cursor", "crBogus", true, -1},
      {"Cursor", "crSize", true, -22},
      {"TabOrder", "3", true, 3},
      // enumerations and booleans: identifiers with case
      {"Align", "alClient", true, static_cast<int>(described::alClient)},
      {"Align", "alclient", false, {}},
      {"Align", "5", false, {}},
      {"Visible", "false", true, false},
      {"Visible", "True", false, {}},
      {"Visible", "", false, {}},
      // strings as they stand
      {"Caption", " a & b ", true, QStringLiteral(" a & b ")},
      {"Caption", "", true, QString()},
      // sub-objects
      {"Font.Size", "14", true, QVariant()},
      {"Font.Style", "fsBold|fsItalic", true, QVariant()},
      {"Font.Style", "fsHeavy", false, {}},
      {"Font.Bogus", "1", false, {}},
      {"Font", "x", false, {}},  // an object needs the rest of the chain
      {"Name", "renamed", true, QStringLiteral("renamed")},
      {"Bogus", "1", false, {}},
      {"Class", "TPanel", false, {}},
  };
  for (const row& r : rows) {
    panel_adapter panel;
    SCOPED_TRACE(r.name + "=" + r.value);
    EXPECT_EQ(set_property(&panel, r.name, r.value), r.assigned);
    if (r.assigned && r.read_back.isValid()) {
      QVariant read = panel.property(r.name.c_str());
      if (read.metaType().flags().testFlag(QMetaType::IsEnumeration))
        read.convert(QMetaType::fromType<int>());
      EXPECT_EQ(read, r.read_back);
    }
  }
  panel_adapter panel;
  ASSERT_TRUE(set_property(&panel, "Font.Style", "fsBold|fsItalic"));
  EXPECT_TRUE(panel.font().bold() && panel.font().italic() && !panel.font().underline());
  ASSERT_TRUE(set_property(&panel, "Font.Size", "14"));
  EXPECT_EQ(panel.font().pointSize(), 14);
  ASSERT_TRUE(set_property(&panel, "ModalResult", "mrOk") == false);  // panels have none
  button_adapter button;
  ASSERT_TRUE(set_property(&button, "ModalResult", "mrYesToAll"));
  EXPECT_EQ(button.read_modal_result(), 10);
}

TEST(SetProperty, OtherKinds) {
  kinds_probe probe;
  EXPECT_TRUE(set_property(&probe, "Ratio", "1.25"));
  EXPECT_EQ(probe.ratio, 1.25);
  EXPECT_FALSE(set_property(&probe, "Ratio", ""));
  EXPECT_FALSE(set_property(&probe, "Ratio", "1.2x"));
  EXPECT_TRUE(set_property(&probe, "Tag", "text"));
  EXPECT_EQ(probe.tag, QVariant(QStringLiteral("text")));
  EXPECT_TRUE(set_property(&probe, "Big", "8589934592"));
  EXPECT_EQ(probe.big, 8589934592LL);
  EXPECT_FALSE(set_property(&probe, "Set", "a"));  // a kind with no rule
}

TEST(StringListTokens, FirstTokenOfEveryLine) {
  struct row {
    std::string value;
    std::vector<std::string> items;
  };
  const std::vector<row> rows = {
      {"'first line'\r\n\"second line\"", {"first line", "second line"}},
      {"two words", {"two"}},
      {"\tword\tmore", {"word"}},
      {"(one\r\ntwo)", {"one", "two"}},
      {"((one))", {"(one)"}},        // one bracket off each end only
      {"a\n\n  \r\nb", {"a", "b"}},  // lines without a token add nothing
      {"'it\\'s'", {"it's"}},
      {"\"a\\b\"", {"a\\b"}},  // a backslash before anything else stays
      {"\"say \\\"hi\\\"\" rest", {"say \"hi\""}},
      {"'unterminated", {"unterminated"}},
      {"''", {""}},
      {" \r\n\t ", {}},
  };
  for (const row& r : rows) EXPECT_EQ(string_list_tokens(r.value), r.items) << r.value;

  combo_box_adapter combo;
  ASSERT_TRUE(set_property(&combo, "Items.Strings", "'a b'\r\nc d"));
  ASSERT_TRUE(set_property(&combo, "Items.strings", "e"));  // appends; "Strings" in any case
  ASSERT_EQ(combo.count(), 3);
  EXPECT_EQ(combo.itemText(0), QStringLiteral("a b"));
  EXPECT_EQ(combo.itemText(1), QStringLiteral("c"));
  EXPECT_EQ(combo.itemText(2), QStringLiteral("e"));
}

TEST(SetProperty, Pictures) {
  temp_folder folder;
  QImage image(6, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString(folder.at("red.png"))));
  ASSERT_TRUE(image.save(QString::fromStdString(folder.at("red.bmp"))));
  folder.write("box.svg",
               "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='20'>"
               "<rect width='10' height='20' fill='blue'/></svg>");
  folder.write("text.png", "not an image");
  QByteArray bmp;
  QBuffer buffer(&bmp);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(image.save(&buffer, "BMP"));
  const std::string hex = bmp.toHex(' ').toStdString();

  struct row {
    std::string name;
    std::string value;
    bool assigned;
    QSize size;
  };
  const std::vector<row> rows = {
      {"Picture.File", folder.at("red.png"), true, {6, 4}},
      {"Picture.File", folder.at("red.bmp"), true, {6, 4}},
      {"Picture.File", folder.at("box.svg"), true, {10, 20}},
      {"Picture.File", folder.at("missing.png"), false, {}},
      {"Picture.File", folder.at("text.png"), false, {}},
      {"Picture.Data", hex, true, {6, 4}},  // blanks between digits are dropped
      {"Picture.data", hex.substr(0, hex.size() - 1), false, {}},  // odd digit count
      {"Picture.Data", "00112233", false, {}},                     // even, but no BMP
      {"Picture.Bogus", "1", false, {}},
  };
  for (const row& r : rows) {
    image_adapter picture;
    SCOPED_TRACE(r.name + "=" + r.value.substr(0, 60));
    EXPECT_EQ(set_property(&picture, r.name, r.value), r.assigned);
    if (r.assigned) {
      EXPECT_EQ(picture.picture().natural_size(), r.size);
    }
  }
  bit_btn_adapter button;
  EXPECT_TRUE(set_property(&button, "Glyph.File", folder.at("red.png")));
  EXPECT_FALSE(button.icon().isNull());
}

// A relative picture name is taken in the picture folder given, whatever the
// working folder; an absolute one stands as it is.
TEST(SetProperty, PicturesNamedRelativeToTheirFolder) {
  temp_folder folder;
  QImage image(6, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  folder.make_folder("program/images");
  ASSERT_TRUE(image.save(QString::fromStdString(folder.at("program/images/red.png"))));
  struct row {
    std::string value;
    std::string picture_folder;
    bool assigned;
  };
  const std::vector<row> rows = {
      {"images/red.png", folder.at("program"), true},
      {"images/red.png", folder.at("program/"), true},
      {"red.png", folder.at("program/images"), true},
      {folder.at("program/images/red.png"), "/nowhere", true},
      {"images/red.png", folder.at("elsewhere"), false},
      {"images/red.png", "", false},  // the tests' working folder holds no such file
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.value + " in " + r.picture_folder);
    bit_btn_adapter button;
    EXPECT_EQ(set_property(&button, "Glyph.File", r.value, r.picture_folder), r.assigned);
    EXPECT_EQ(!button.icon().isNull(), r.assigned);
  }
}

}  // namespace
}  // namespace dirscribe

#include "property_setter_test.moc"

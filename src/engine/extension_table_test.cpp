#include "engine/extension_table.h"

#include <gtest/gtest.h>

#include "engine/project_context.h"
#include "files/file_node.h"
#include "support/temp_folder.h"

namespace dirscribe {
namespace {

class ExtensionTable : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    // A tiny MIME database so results do not depend on the machine.
    folder_.write("mime.types", "image/png\tpng\ntext/x-special\tspc\n");
    folder_.write("mime/globs2", "50:text/x-special:*.spc\n");
    folder_.write("mime/text/x-special.xml",
                  "<mime-type><comment>Special text</comment></mime-type>");
    collection_.mime_types = mime_database(folder_.at("mime.types"), folder_.at("mime"));
  }
  std::string write(const std::string& content) {
    folder_.write("ext.txt", content);
    return folder_.at("ext.txt");
  }

  static std::unique_ptr<file_node> file(const std::string& name) {
    auto node = std::make_unique<file_node>();
    node->name = name;
    node->ext = extension_of(name);
    return node;
  }

  temp_folder folder_;
  project_context collection_;
  html_list_project project_;
};

constexpr const char* kTable =
    "<ext>\n"
    " <extensions>\n"
    "  <_1 name=\".txt\" icon=\"text.svg\" type=\"Text file\"/>\n"
    "  <group><_2 name=\".pdf\" icon=\"pdf.svg\" type=\"PDF document\"/></group>\n"
    "  <_3 name=\".doc\" type=\"Old\"/>\n"
    "  <_4 name=\".doc\" icon=\"doc.svg\" type=\"Word document\"/>\n"
    "  <_5 name=\".with\" icon=\"x.svg\" type=\"Has end tag\">x</_5>\n"
    "  <x1 name=\".x1\" type=\"bad name\"/>\n"
    "  <_a name=\".a\" type=\"bad name\"/>\n"
    "  <_6 name=\".noicon\" type=\"No icon\"/>\n"
    "  <_7 icon=\"nameless.svg\"/>\n"
    " </extensions>\n"
    " <types>\n"
    "  <_1 name=\"folder\" icon=\"folder.svg\" type=\"Folder\"/>\n"
    "  <_2 name=\"image\" icon=\"image.svg\" type=\"Image\"/>\n"
    "  <_3 name=\"other\" icon=\"file.svg\" type=\"File\"/>\n"
    " </types>\n"
    "</ext>\n";

TEST_F(ExtensionTable, LoadsOnlySelfClosingUnderscoreDigitEntries) {
  ASSERT_TRUE(load_extension_table(write(kTable), collection_).ok());
  EXPECT_EQ(collection_.extension_type_map.count(), 4);  // .txt .pdf .doc .noicon
  tagged_value value;
  EXPECT_TRUE(collection_.extension_type_map.get(".doc", value));
  EXPECT_EQ(value.text(), "Word document");  // the later entry wins
  EXPECT_FALSE(collection_.extension_type_map.get(".with", value));
  EXPECT_FALSE(collection_.extension_type_map.get(".x1", value));
  EXPECT_FALSE(collection_.extension_type_map.get(".a", value));
  EXPECT_TRUE(collection_.extension_icon_map.get(".noicon", value));
  EXPECT_EQ(value.type(), tagged_value::kind::integer);
  EXPECT_EQ(value.to_int(), 0);
  EXPECT_EQ(collection_.kind_type_map.count(), 3);
}

TEST_F(ExtensionTable, TypeAndIconFallbacks) {
  ASSERT_TRUE(load_extension_table(write(kTable), collection_).ok());
  struct Case {
    const char* name;
    const char* type;
    const char* icon;
  } cases[] = {
      {"Notes.TXT", "Text file", "text.svg"},  // upper-case extension finds the key
      {"a.tar.pdf", "PDF document", "pdf.svg"},
      {"photo.png", "Image", "image.svg"},  // through the registered content type
      {"data.spc", "File", "file.svg"},     // registered kind "text" not in the table
      {"README", "File", "file.svg"},
      {".config", "File", "file.svg"},
  };
  for (const auto& c : cases) {
    const auto node = file(c.name);
    EXPECT_EQ(entry_type_text(*node, collection_, project_.settings.shell_mode), c.type) << c.name;
    EXPECT_EQ(entry_icon(*node, collection_).to_text(), c.icon) << c.name;
  }
  file_node folder;
  folder.name = "sub";
  folder.is_folder = true;
  EXPECT_EQ(entry_type_text(folder, collection_, project_.settings.shell_mode), "Folder");
  EXPECT_EQ(entry_icon(folder, collection_).to_text(), "folder.svg");
}

TEST_F(ExtensionTable, MissingKindsGiveIntegerZeroIcon) {
  ASSERT_TRUE(load_extension_table(write("<ext><extensions/><types/></ext>"), collection_).ok());
  const tagged_value icon = entry_icon(*file("a.zzz"), collection_);
  EXPECT_EQ(icon.type(), tagged_value::kind::integer);
  EXPECT_EQ(icon.to_text(), "0");
}

TEST_F(ExtensionTable, ShellModeUsesSystemDescriptions) {
  ASSERT_TRUE(load_extension_table(write(kTable), collection_).ok());
  project_.settings.shell_mode = 2;
  EXPECT_EQ(entry_type_text(*file("x.SPC"), collection_, project_.settings.shell_mode),
            "Special text");
  // Unregistered extension: the extension followed by the file-type phrase
  // (empty here: no language is loaded in this test).
  EXPECT_EQ(entry_type_text(*file("x.qqq"), collection_, project_.settings.shell_mode), ".qqq");
}

TEST_F(ExtensionTable, LoadFailures) {
  EXPECT_EQ(load_extension_table(folder_.at("absent.txt"), collection_).code(),
            result_document_not_opened);
  EXPECT_EQ(load_extension_table(write("<ext><extensions>"), collection_).code(),
            result_document_malformed);
  EXPECT_EQ(load_extension_table(write("<ext><types/></ext>"), collection_).code(),
            result_document_malformed);
  ASSERT_EQ(
      load_extension_table(
          write("<ext><extensions><_1 name=\".a\" type=\"A\"/></extensions></ext>"), collection_)
          .code(),
      result_document_malformed);
  // Without /ext/types the extension maps keep what was read.
  EXPECT_EQ(collection_.extension_type_map.count(), 1);
  EXPECT_EQ(collection_.kind_type_map.count(), 0);
}

}  // namespace
}  // namespace dirscribe

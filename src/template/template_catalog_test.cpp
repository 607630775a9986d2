#include "template/template_catalog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/html_list_project.h"
#include "platform/user_data.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "support/test_phrases.h"

namespace dirscribe {
namespace {

// One comparable line per entry: the four fields and the preset's nodes.
std::string dump(const template_catalog& catalog) {
  std::string out;
  std::vector<std::string> lines;
  for (const auto& entry : catalog.entries) {
    out += entry->file + "|" + entry->name + "|" + entry->description + "|" + entry->image_file +
           "|preset:";
    xml_serialise(entry->preset, lines);
    for (const std::string& line : lines) out += line;
    out += "\n";
  }
  return out;
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

class TemplateCatalog : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    program_ = folder_.path() + "/";
    ASSERT_TRUE(load_test_phrases(phrases_, {{kPhraseCantOpenFolder, "[folder] "},
                                             {kPhraseNoTemplateElement, "[no template]"},
                                             {kPhraseNoStyleSelected, "[no style]"},
                                             {kPhraseCantSaveFile, "[save] "}})
                    .ok());
    catalog_.language = &phrases_;
  }

  // Writes `content` as the program folder's catalog file and loads it;
  // returns the code and keeps the message in message_.
  int load(const std::string& content) {
    folder_.write("templates.txt", content);
    return remember(catalog_.load(catalog_path()));
  }
  int remember(const outcome& result) {
    message_ = result.message();
    return result.code();
  }
  std::string catalog_path() const { return program_ + "templates.txt"; }
  void make_template(const std::string& file, const std::string& content) {
    folder_.write("templates/" + file, content);
  }

  temp_folder folder_;
  std::string program_;  // ends in "/"
  phrase_table phrases_;
  template_catalog catalog_;
  std::string message_;  // the message of the last outcome remembered
};

TEST_F(TemplateCatalog, LoadReadsTemplateElementsInFileOrderAndSkipsTheRest) {
  ASSERT_EQ(load("<?xml version=\"1.0\"?>\r\n<!-- styles -->\r\n<other>x</other>\r\n"
                 "<template><file>list.html</file><name>List</name>"
                 "<description>Plain &amp; simple</description><image_file>list.png</image_file>"
                 "<unknown>u</unknown></template>\r\n"
                 "<!-- *************** -->\r\n"
                 "<TEMPLATE>\r\n<name>Tree</name>\r\n<file>tree.html</file>\r\n</TEMPLATE>\r\n"
                 "<templates><file>no.html</file></templates>\r\n"
                 "<template/>\r\n"),
            result_ok);
  // The second entry has no description and no image file; the self-closed
  // element is an entry with every field empty.
  EXPECT_EQ(dump(catalog_),
            "list.html|List|Plain & simple|list.png|preset:\n"
            "tree.html|Tree|||preset:\n"
            "||||preset:\n");
}

TEST_F(TemplateCatalog, LoadMovesTheFirstProjectChildIntoThePreset) {
  ASSERT_EQ(load("<template><file>a.html</file>"
                 "<project><recursion_depth>-1</recursion_depth></project>"
                 "<project><save>ignored.html</save></project></template>"),
            result_ok);
  ASSERT_EQ(catalog_.entries.size(), 1u);
  EXPECT_EQ(dump(catalog_),
            "a.html||||preset:<project><recursion_depth>-1</recursion_depth></project>\n");
}

TEST_F(TemplateCatalog, LoadFailuresLeaveTheCatalogEmptyWithAMessage) {
  struct Case {
    const char* content;  // nullptr: no file at all
    int result;
    const char* error_start;
  };
  const Case cases[] = {
      {"<project><path>/x</path></project>", result_catalog_without_template, ": [no template]"},
      {"", result_catalog_without_template, ": [no template]"},
      {"<!-- <template> in a comment --> text", result_catalog_without_template, ": [no template]"},
      {"<template><file>a.html</template>", result_document_malformed, ": Line: 1, column: "},
      {"<template><file>a.html</file>", result_document_malformed, ": Line: 1, column: "},
      {nullptr, result_document_not_opened, "Can't open source file: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content ? c.content : "(missing file)");
    ASSERT_EQ(load("<template><file>old.html</file></template>"), result_ok);
    ASSERT_EQ(catalog_.entries.size(), 1u);
    int result;
    if (c.content) {
      result = load(c.content);
    } else {
      result = remember(catalog_.load(program_ + "missing.txt"));
    }
    EXPECT_EQ(result, c.result);
    EXPECT_TRUE(catalog_.entries.empty());
    // Every message names the file, a markup error with where it lies.
    const std::string file = c.content ? catalog_path() : program_ + "missing.txt";
    const std::string expected = c.content ? file + c.error_start : c.error_start + file;
    EXPECT_TRUE(message_.starts_with(expected)) << message_;
    EXPECT_EQ(message_.find('\n'), std::string::npos) << message_;
  }
}

// Damaged or hostile catalog files end in a clear result: either entries were
// read (and the catalog holds at least one) or a failure with a message and an
// empty catalog; never a crash, under the sanitizers too.
TEST_F(TemplateCatalog, HostileFilesLoadOrFailCleanly) {
  const std::string entry = "<template><file>a.html</file><name>A</name></template>";
  std::string deep;
  for (int i = 0; i < 10000; ++i) deep += "<x>";
  deep += entry;
  for (int i = 0; i < 10000; ++i) deep += "</x>";
  std::string nested_in_name = "<template><file>a.html</file><name>";
  for (int i = 0; i < 10000; ++i) nested_in_name += "<b>";
  nested_in_name += "</name></template>";
  const struct {
    const char* label;
    std::string content;
  } cases[] = {
      {"empty", ""},
      {"truncated mid-element", entry.substr(0, entry.size() / 2)},
      {"one byte over the reader's limit", entry + std::string(16777217 - entry.size(), ' ')},
      {"NUL bytes only", std::string(4096, '\0')},
      {"NUL bytes inside fields", "<template><file>a\0b.html</file><name>\0</name></template>"},
      {"10,000 levels around an entry", deep},
      {"10,000 open elements inside a field", nested_in_name},
      {"unknown entities", "<template><file>&bogus;.html</file><name>&nbsp;&#;</name></template>"},
      {"references above 255", "<template><file>&#1234;&#x1F600;.html</file></template>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const int result = load(c.content);
    if (result == result_ok) {
      EXPECT_FALSE(catalog_.entries.empty());
    } else {
      EXPECT_TRUE(catalog_.entries.empty());
      EXPECT_FALSE(message_.empty());
    }
  }
  // Unknown entities and refused numeric references read as "!", as the
  // reader does everywhere.
  ASSERT_EQ(load("<template><file>&bogus;.html</file><name>&#1234;</name></template>"), result_ok);
  EXPECT_EQ(catalog_.entries[0]->file, "!.html");
  EXPECT_EQ(catalog_.entries[0]->name, "!");
}

TEST_F(TemplateCatalog, SaveWritesTheEntryFormWithEscapedFields) {
  auto entry = std::make_unique<style_entry>();
  entry->file = "a&b.html";
  entry->name = "<b>";
  entry->description = "caf\xc3\xa9 \"1\"";
  catalog_.entries.push_back(std::move(entry));
  ASSERT_TRUE(catalog_.save(program_).ok());
  EXPECT_EQ(read_file(catalog_path()),
            "\r\n<!-- *************** -->\r\n<template>\r\n"
            "<file>a&amp;b.html</file>\r\n"
            "<name>&lt;b&gt;</name>\r\n"
            "<description>caf&#195;&#169; &quot;1&quot;</description>\r\n"
            "<image_file></image_file>\r\n"
            "</template>\r\n");
  EXPECT_FALSE(exists(catalog_path() + ".new"));
}

// Texts with markup characters, entities, line ends and non-ASCII bytes, and
// a preset with attributes, a filter block and its own line layout, all
// survive save and load; a second save writes the same file.
TEST_F(TemplateCatalog, SaveAndLoadRoundTripEveryField) {
  ASSERT_EQ(load("<template>\r\n<file>list.html</file>\r\n<name>List</name>\r\n"
                 "<description>d</description>\r\n<image_file>list.png</image_file>\r\n"
                 "<project kind=\"a &amp; b\">\r\n<recursion_depth>-1</recursion_depth>\r\n"
                 "<save>out &lt;1&gt;.html</save>\r\n<!-- note -->\r\n"
                 "<filter>\r\n<str_files_skip>*.tmp</str_files_skip>\r\n</filter>\r\n"
                 "<show_summary></show_summary>\r\n</project>\r\n</template>\r\n"),
            result_ok);
  const std::vector<std::string> texts = {"a < b",
                                          "Tom & Jerry",
                                          "&amp;",
                                          "&lt;&#233;&",
                                          "\"quoted\" 'single'",
                                          "\xc3\xa9\xff\x80",
                                          "two\r\nlines\n",
                                          " padded ",
                                          "x]]>y",
                                          "<!-- not a comment -->"};
  for (const std::string& text : texts) {
    auto entry = std::make_unique<style_entry>();
    entry->file = text + ".html";
    entry->name = text;
    entry->description = "d:" + text;
    entry->image_file = text + ".png";
    catalog_.entries.push_back(std::move(entry));
  }
  const std::string before = dump(catalog_);
  ASSERT_TRUE(catalog_.save(program_).ok());
  const std::string first_file = read_file(catalog_path());
  ASSERT_EQ(remember(catalog_.load(catalog_path())), result_ok) << message_;
  EXPECT_EQ(dump(catalog_), before);
  ASSERT_TRUE(catalog_.save(program_).ok());
  EXPECT_EQ(read_file(catalog_path()), first_file);

  // The reloaded preset applies the same values as the original.
  html_list_project project;
  reset_project(project);
  project.settings.path = "/listed";
  apply_preset(*catalog_.entries[0], project, "/opt/dirscribe/");
  EXPECT_EQ(project.settings.recursion_depth, -1);
  EXPECT_EQ(project.settings.save, "out <1>.html");
  EXPECT_EQ(project.settings.filter.str_files_skip, "*.tmp");
  EXPECT_FALSE(project.settings.show_summary);
  EXPECT_EQ(project.settings.path, "/listed");  // not in the preset
  EXPECT_EQ(project.settings.format_file, "/opt/dirscribe/templates/list.html");
}

TEST_F(TemplateCatalog, UnescapedFilesStillRead) {
  // Catalogs written before the fields were escaped hold raw text; what the
  // reader makes of it is unchanged.
  ASSERT_EQ(load("<template><file>a.html</file><name>A &amp; B</name>"
                 "<description>caf\xc3\xa9</description></template>"),
            result_ok);
  EXPECT_EQ(dump(catalog_), "a.html|A & B|caf\xc3\xa9||preset:\n");
}

TEST_F(TemplateCatalog, SaveFailureKeepsThePreviousFile) {
  ASSERT_EQ(load("<template><file>a.html</file></template>"), result_ok);
  const std::string previous = read_file(catalog_path());
  catalog_.entries[0]->name = "changed";
  {
    const file_size_limit full_disk(16);
    EXPECT_EQ(remember(catalog_.save(program_)), result_write_failed);
  }
  EXPECT_EQ(message_, "[save] " + catalog_path() + ": File too large");
  EXPECT_EQ(read_file(catalog_path()), previous);
}

TEST_F(TemplateCatalog, FindByFileComparesTheLastPathComponentExactly) {
  ASSERT_EQ(load("<template><file>list.html</file><name>1</name></template>"
                 "<template><file>tree.html</file><name>2</name></template>"
                 "<template><file>list.html</file><name>3</name></template>"
                 "<template><file>a\\b.html</file><name>4</name></template>"),
            result_ok);
  struct Case {
    const char* path;
    int position;  // -1: not found
  };
  const Case cases[] = {
      {"list.html", 0},
      {"/opt/dirscribe/templates/list.html", 0},
      {"templates/tree.html", 1},
      {"/opt/dirscribe/templates/LIST.html", -1},
      {"/opt/dirscribe/templates/", -1},
      {"", -1},
      {"list.htm", -1},
      {"x/a\\b.html", 3},  // a backslash is part of the file name
      {"a/b.html", -1},
  };
  for (const Case& c : cases) {
    size_t position = 99;
    const style_entry* found = catalog_.find_by_file(c.path, &position);
    if (c.position < 0) {
      EXPECT_EQ(found, nullptr) << c.path;
      EXPECT_EQ(position, 99u) << c.path;
    } else {
      ASSERT_NE(found, nullptr) << c.path;
      EXPECT_EQ(position, static_cast<size_t>(c.position)) << c.path;
      EXPECT_EQ(found, catalog_.entries[position].get()) << c.path;
    }
  }
}

TEST(TemplateNextName, RaisesTheLastDigitOrAppendsZero) {
  const std::pair<const char*, const char*> cases[] = {
      {"style.html", "style0.html"},
      {"style0.html", "style1.html"},
      {"style8.html", "style9.html"},
      {"style9.html", "style90.html"},
      {"a1.b2.html", "a1.b3.html"},
      {"noext", "noext0"},
      {"v7", "v8"},
      {".html", "0.html"},
      {"", "0"},
      {"x.", "x0."},
      {"9", "90"},
      {"a/b.c/d", "a/b0.c/d"},
  };
  for (const auto& [from, to] : cases) EXPECT_EQ(next_template_name(from), to) << from;
}

TEST(TemplatePreset, ApplyWithoutPresetOnlySetsTheTemplateFile) {
  const std::pair<const char*, const char*> cases[] = {
      {"/opt/dirscribe/", "/opt/dirscribe/templates/list.html"},
      {"/opt/dirscribe//", "/opt/dirscribe/templates/list.html"},
      {"/opt/dirscribe", "/opt/dirscribe/templates/list.html"},
      {"/", "/templates/list.html"},
  };
  for (const auto& [folder, expected] : cases) {
    style_entry entry;
    entry.file = "list.html";
    html_list_project project;
    reset_project(project);
    project.settings.recursion_depth = 4;
    apply_preset(entry, project, folder);
    EXPECT_EQ(project.settings.format_file, expected) << folder;
    EXPECT_EQ(project.settings.recursion_depth, 4) << folder;
  }
}

TEST_F(TemplateCatalog, CopyTakesTheFirstFreeNameAndSaves) {
  ASSERT_EQ(load("<template><file>a.html</file><name>Alpha</name><description>d</description>"
                 "<image_file>a.png</image_file>"
                 "<project><save>x.html</save></project></template>"),
            result_ok);
  make_template("a.html", "<html>a</html>");
  make_template("a0.html", "taken");
  const std::string before = dump(catalog_);

  ASSERT_EQ(remember(catalog_.copy(catalog_.entries[0].get(), "Copy of ", program_)), result_ok)
      << message_;
  EXPECT_EQ(read_file(program_ + "templates/a1.html"), "<html>a</html>");
  EXPECT_EQ(read_file(program_ + "templates/a0.html"), "taken");
  const std::string expected =
      before + "a1.html|Copy of Alpha|d|a.png|preset:<project><save>x.html</save></project>\n";
  EXPECT_EQ(dump(catalog_), expected);

  // The preset is the copy's own: changing the original leaves it as it was.
  catalog_.entries[0]->preset.clear();
  EXPECT_FALSE(catalog_.entries[1]->preset.empty());

  // The copy was saved with the catalog.
  template_catalog reloaded;
  ASSERT_TRUE(reloaded.load(catalog_path()).ok());
  EXPECT_EQ(dump(reloaded), expected);

  // Copying the copy continues the sequence; a folder takes a name as a file does.
  folder_.make_folder("templates/a2.html");
  ASSERT_TRUE(catalog_.copy(catalog_.entries[1].get(), "Copy of ", program_).ok());
  EXPECT_EQ(catalog_.entries[2]->file, "a3.html");
  EXPECT_EQ(catalog_.entries[2]->name, "Copy of Copy of Alpha");
  EXPECT_EQ(read_file(program_ + "templates/a3.html"), "<html>a</html>");
}

TEST_F(TemplateCatalog, CopyFailuresLeaveTheCatalogAndFolderUnchanged) {
  ASSERT_EQ(load("<template><file>a.html</file><name>A</name></template>"
                 "<template><file>gone.html</file><name>G</name></template>"),
            result_ok);
  const std::string before = dump(catalog_);
  const std::string catalog_text = read_file(catalog_path());

  EXPECT_EQ(remember(catalog_.copy(nullptr, "c ", program_)), result_no_style);
  EXPECT_EQ(message_, "[no style]");

  EXPECT_EQ(remember(catalog_.copy(catalog_.entries[0].get(), "c ", program_ + "none/")),
            result_templates_folder_missing);
  EXPECT_EQ(message_, "[folder] " + program_ + "none/");
  EXPECT_EQ(remember(catalog_.copy(catalog_.entries[0].get(), "c ", program_)),
            result_templates_folder_missing);  // no templates folder yet
  EXPECT_EQ(message_, "[folder] " + program_ + "templates");

  make_template("a.html", "a");
  EXPECT_EQ(remember(catalog_.copy(catalog_.entries[1].get(), "c ", program_)),
            result_write_failed);
  EXPECT_EQ(message_, "[save] " + program_ + "templates/gone0.html");
  EXPECT_FALSE(exists(program_ + "templates/gone0.html"));

  EXPECT_EQ(dump(catalog_), before);
  EXPECT_EQ(read_file(catalog_path()), catalog_text);
}

TEST_F(TemplateCatalog, CopyKeepsTheNewEntryWhenOnlyTheSaveFails) {
  ASSERT_EQ(load("<template><file>a.html</file><name>A</name></template>"), result_ok);
  make_template("a.html", "a");
  {
    const file_size_limit full_disk(16);  // the copied template fits, the catalog does not
    EXPECT_EQ(remember(catalog_.copy(catalog_.entries[0].get(), "c ", program_)),
              result_write_failed);
  }
  ASSERT_EQ(catalog_.entries.size(), 2u);
  EXPECT_EQ(catalog_.entries[1]->file, "a0.html");
  EXPECT_EQ(read_file(program_ + "templates/a0.html"), "a");
}

TEST_F(TemplateCatalog, AnInstalledProgramCopiesAndSavesIntoTheUsersFolder) {
  ASSERT_EQ(load("<template><file>a.html</file><name>A</name></template>"), result_ok);
  make_template("a.html", "a");
  make_template("a0.html", "the program's own a0");
  const std::string program_catalog = read_file(catalog_path());
  temp_folder user;
  const user_data_folders installed(program_, user.at("dirscribe"), false);

  ASSERT_EQ(remember(catalog_.copy(catalog_.entries[0].get(), "c ", installed)), result_ok)
      << message_;
  // The copy skips a name the program folder holds, and goes with the
  // catalog into the user's folder; the program folder is untouched.
  EXPECT_EQ(catalog_.entries[1]->file, "a1.html");
  EXPECT_EQ(read_file(user.at("dirscribe/templates/a1.html")), "a");
  EXPECT_FALSE(exists(program_ + "templates/a1.html"));
  EXPECT_EQ(read_file(catalog_path()), program_catalog);
  EXPECT_EQ(installed.read_path("templates.txt"), user.at("dirscribe/templates.txt"));

  // Read back from there, each style points at the folder that holds it.
  template_catalog again;
  ASSERT_TRUE(again.load(installed.read_path("templates.txt")).ok());
  ASSERT_EQ(again.entries.size(), 2u);
  html_list_project project;
  apply_preset(*again.entries[0], project, installed);
  EXPECT_EQ(project.settings.format_file, program_ + "templates/a.html");
  apply_preset(*again.entries[1], project, installed);
  EXPECT_EQ(project.settings.format_file, user.at("dirscribe/templates/a1.html"));

  // A copy of the copy is read from the user's folder.
  ASSERT_TRUE(again.copy(again.entries[1].get(), "c ", installed).ok());
  EXPECT_EQ(read_file(user.at("dirscribe/templates/a2.html")), "a");
}

}  // namespace
}  // namespace dirscribe

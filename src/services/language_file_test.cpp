// Checks the language data the build puts into the program folder.
#include <gtest/gtest.h>

#include <string>

#include "markup/resource_document.h"
#include "services/phrase_ids.h"
#include "services/qxlang.h"

namespace dirscribe {
namespace {

class LanguageFile : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_EQ(load_resource_document(std::string(DIRSCRIBE_PROGRAM_DIR) + "vostra.bin", resources_,
                                     error),
              0)
        << error;
    const int result = lang_.load(resources_);
    ASSERT_EQ(result, 0) << qxlang::load_error_text(result);
  }

  xml_tree resources_;
  qxlang lang_;
};

TEST_F(LanguageFile, EnglishComesFirst) {
  ASSERT_GE(lang_.language_count(), 1);
  EXPECT_EQ(lang_.short_name(0), "en");
  EXPECT_EQ(lang_.full_name(0), "English");
  // The phrases are moved out of the resource document.
  EXPECT_EQ(xml_find(resources_, "/langs"), nullptr);
}

TEST_F(LanguageFile, EveryPhraseTheProgramUsesHasEnglishText) {
  for (int id : kAllPhraseIds) EXPECT_FALSE(lang_.text(id).empty()) << id;
  // The ranges that code addresses as a base plus an offset.
  for (int id = kPhraseFirstVariableName; id <= kPhraseLastVariableName; ++id) {
    EXPECT_FALSE(lang_.text(id).empty()) << id;
  }
  for (int id = kPhraseFilterBase; id <= kPhraseFilterLast; ++id) {
    EXPECT_FALSE(lang_.text(id).empty()) << id;
  }
  for (int page = 0; page < 5; ++page)
    EXPECT_FALSE(lang_.text(kPhraseFirstPageHeader + page).empty());
}

TEST_F(LanguageFile, TextsWhoseExactWordingMatters) {
  struct Case {
    int id;
    const char* text;
  } cases[] = {
      {kPhraseDirectiveErrorLine, "<b>Error occurred while processing QXI directive.</b> Line # "},
      {kPhraseDirectiveErrorColumn, " Col # "},
      {kPhraseKilobytes, " KB"},
      {kPhraseMegabytes, " MB"},
  };
  for (const auto& c : cases) EXPECT_EQ(lang_.text(c.id), c.text) << c.id;
  // Phrases that a file or folder name follows directly end in a blank.
  for (int id :
       {kPhraseCantOpenFile, kPhraseCantOpenFolder, kPhraseCantWriteFile, kPhraseReadingFolder,
        kPhraseCantSaveFile, kPhraseCantOpenWithShell, kPhraseExtensionTableError,
        kPhraseTemplateError, kPhraseBlockNotClosed, kPhraseCopyPrefix}) {
    const std::string_view text = lang_.text(id);
    ASSERT_FALSE(text.empty()) << id;
    EXPECT_EQ(text.back(), ' ') << id;
  }
}

// The template vocabulary: the names template authors write in var="...".
TEST_F(LanguageFile, VariableNamesAreTheTemplateVocabulary) {
  const char* const names[] = {
      "files",          "folders",       "tree",          "row",
      "total_rows",     "odd",           "total_files",   "total_folders",
      "total_size",     "level_files",   "level_folders", "level_size",
      "tree_files",     "tree_folders",  "tree_size",     "is_item",
      "folder_start",   "folder_end",    "descends",      "is_folder",
      "base_name",      "ext",           "name",          "modified",
      "modified_date",  "modified_time", "size",          "rel_path",
      "rel_url",        "full_path",     "url",           "size_unit",
      "download_56k",   "download_1m",   "type",          "icon",
      "has_subfolders", "attributes",    "created",       "accessed",
      "spare1",         "spare2",        "is_link",       "md5",
      "sha1",           "title",         "folder_name",   "source_path",
      "source_url",     "max_depth",     "images_url",    "show_folders",
      "show_files",     "show_summary",  "sort_by",       "sort_descending",
      "ftp_host",       "now",           "level",
  };
  ASSERT_EQ(std::size(names), size_t{kPhraseLastVariableName - kPhraseFirstVariableName + 1});
  for (size_t row = 0; row < std::size(names); ++row) {
    EXPECT_EQ(lang_.text(kPhraseFirstVariableName + static_cast<int>(row)), names[row]) << row;
  }
}

}  // namespace
}  // namespace dirscribe

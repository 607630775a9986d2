// Checks the language data the build puts into the program folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup/resource_document.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "support/test_phrases.h"

namespace dirscribe {
namespace {

class LanguageFile : public testing::Test {
 protected:
  void SetUp() override {
    const outcome read =
        load_resource_document(std::string(DIRSCRIBE_PROGRAM_DIR) + "vostra.bin", resources_);
    ASSERT_TRUE(read.ok()) << read.message();
    const outcome loaded = lang_.load(resources_);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
  }

  xml_tree resources_;
  phrase_table lang_;
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
  for (int id : kAddedVariableNames) EXPECT_FALSE(lang_.text(id).empty()) << id;
  for (int id = kPhraseFilterBase; id <= kPhraseFilterLast; ++id) {
    EXPECT_FALSE(lang_.text(id).empty()) << id;
  }
  for (int page = 0; page < 5; ++page)
    EXPECT_FALSE(lang_.text(kPhraseFirstPageHeader + page).empty());
}

TEST_F(LanguageFile, TextsWhoseExactWordingMatters) {
  // The English texts the tests compare messages and listings with.
  for (const english::phrase& phrase : english::kMessages) {
    EXPECT_EQ(lang_.text(phrase.id), phrase.text) << phrase.id;
  }
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
  const std::vector<std::string>& names = english_variable_names();
  std::vector<int> ids;
  for (int id = kPhraseFirstVariableName; id <= kPhraseLastVariableName; ++id) ids.push_back(id);
  for (int id : kAddedVariableNames) ids.push_back(id);
  ASSERT_EQ(names.size(), ids.size());
  for (size_t row = 0; row < names.size(); ++row) {
    EXPECT_EQ(lang_.text(ids[row]), names[row]) << row;
  }
}

}  // namespace
}  // namespace dirscribe

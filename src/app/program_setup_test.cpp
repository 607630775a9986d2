#include "app/program_setup.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "services/phrase_ids.h"

namespace dirscribe {
namespace {

TEST(ProgramSetup, SplitsProgramPathKeepingCase) {
  std::string dir, name;
  split_program_path("/opt/My Tools/Dirscribe", dir, name);
  EXPECT_EQ(dir, "/opt/My Tools/");
  EXPECT_EQ(name, "Dirscribe");
  split_program_path("dirscribe", dir, name);
  EXPECT_EQ(dir, "");
  EXPECT_EQ(name, "");
  split_program_path("/dirscribe", dir, name);
  EXPECT_EQ(dir, "/");
  EXPECT_EQ(name, "dirscribe");
}

TEST(ProgramSetup, StartUpSucceedsInBatchMode) {
  program_setup app;
  app.interactive = false;
  const outcome started = app.start_up();
  EXPECT_TRUE(started.ok());
  EXPECT_TRUE(app.initialised);
  EXPECT_TRUE(started.message().empty());
}

TEST(ProgramSetup, StartUpLoadsThePhrasesFromTheProgramFolder) {
  program_setup app;
  app.program_dir = DIRSCRIBE_PROGRAM_DIR;
  ASSERT_TRUE(app.start_up().ok());
  ASSERT_NE(app.lang, nullptr);
  EXPECT_EQ(app.lang->text(kPhraseCantOpenFile), "Can't open file: ");
  EXPECT_EQ(app.lang->text(kPhraseKilobytes), " KB");
}

// Without a usable resource document the run goes on with empty phrases.
TEST(ProgramSetup, StartUpSurvivesAMissingOrDamagedResourceDocument) {
  const std::string folder = testing::TempDir() + "app_resources/";
  ::mkdir(folder.c_str(), 0755);
  struct Case {
    const char* what;
    const char* content;  // nullptr: no file
    int load_result;
  } cases[] = {
      {"missing", nullptr, result_document_not_opened},
      {"not compressed, not markup", "\x1f\x8b garbage", result_document_not_opened},
      {"broken markup", "<langs><lang short=\"en\" full=\"E\"><_1>x</_1></lang>",
       result_document_malformed},
      {"phrase ids falling",
       "<langs><lang short=\"en\" full=\"E\"><_2>b</_2><_1>a</_1></lang></langs>",
       result_phrase_id_out_of_order},
  };
  for (const auto& c : cases) {
    const std::string file = folder + "vostra.bin";
    std::remove(file.c_str());
    if (c.content) std::ofstream(file, std::ios::binary) << c.content;
    program_setup app;
    app.program_dir = folder;
    EXPECT_TRUE(app.start_up().ok()) << c.what;
    ASSERT_NE(app.lang, nullptr) << c.what;
    EXPECT_EQ(app.lang->lookup(kPhraseCantOpenFile), nullptr) << c.what;
    const outcome loaded = app.load_resources();
    EXPECT_EQ(loaded.code(), c.load_result) << c.what;
    EXPECT_FALSE(loaded.message().empty()) << c.what;
    std::remove(file.c_str());
  }
}

}  // namespace
}  // namespace dirscribe

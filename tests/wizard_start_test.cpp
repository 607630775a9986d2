// The wizard's start as a user meets it: without a display, with one, and
// with a damaged interface description. Message boxes are answered by the
// program's test hook, so nothing waits for a person.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "run_program.h"

namespace dirscribe::testing {
namespace {

// Runs `program` without arguments in an environment without a display,
// plus `settings` ("NAME=value").
run_result run_wizard(const std::string& program, const std::vector<std::string>& settings) {
  // Qt wants a private runtime folder, and says so on standard error.
  static const temp_folder runtime;
  std::vector<std::string> args = {"-u",
                                   "DISPLAY",
                                   "-u",
                                   "WAYLAND_DISPLAY",
                                   "-u",
                                   "QT_QPA_PLATFORM",
                                   "XDG_RUNTIME_DIR=" + runtime.path()};
  args.insert(args.end(), settings.begin(), settings.end());
  args.push_back(program);
  return run_program("/usr/bin/env", args);
}

TEST(WizardStart, WithoutADisplaySaysSoAndPointsAtTheBatchRun) {
  const run_result result = run_wizard(program_path(), {});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(
      result.err,
      "Vostra Dirscribe 3.0: The wizard needs a display (DISPLAY or WAYLAND_DISPLAY is not "
      "set); to build a listing without one, run: dirscribe FOLDER or dirscribe PROJECT-FILE\n");
  EXPECT_TRUE(result.out.empty());
}

// A copy of the assembled program folder in `folder`/program, so that what a
// wizard run writes there stays out of the build; returns its executable.
std::string copy_program(const temp_folder& folder) {
  const std::filesystem::path program = std::filesystem::path(program_path()).parent_path();
  std::filesystem::copy(program, folder.at("program"), std::filesystem::copy_options::recursive);
  return folder.at("program/dirscribe");
}

const std::vector<std::string> kOffscreen = {"QT_QPA_PLATFORM=offscreen",
                                             "DIRSCRIBE_TEST_HOOK=quit"};

TEST(WizardStart, OpensTheDescribedWindowWhereTheLastRunLeftIt) {
  temp_folder folder;
  const std::string program = copy_program(folder);
  run_result result = run_wizard(program, kOffscreen);
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out.rfind("Shown: Vostra Dirscribe 3.0 [Untitled] 900x640 at ", 0), 0u)
      << result.out;
  EXPECT_TRUE(result.err.empty()) << result.err;
  // The run leaves its settings in the (writable) program folder; the next
  // run opens the window where they say.
  EXPECT_NE(read_file(folder.at("program/settings.txt")).find("<lastDir></lastDir>\r\n"),
            std::string::npos);
  folder.write("program/settings.txt", "<left>123</left>\r\n<top>45</top>\r\n");
  result = run_wizard(program, kOffscreen);
  EXPECT_EQ(result.out, "Shown: Vostra Dirscribe 3.0 [Untitled] 900x640 at 123,45\n");
  EXPECT_EQ(
      read_file(folder.at("program/settings.txt")).rfind("<left>123</left>\r\n<top>45</top>", 0),
      0u);

  // A settings file that cannot be written is named in an error box (which
  // the test hook prints), not only on standard error, which a desktop user
  // never sees.
  std::filesystem::remove(folder.at("program/settings.txt"));
  folder.make_folder("program/settings.txt/in-the-way");
  result = run_wizard(program, kOffscreen);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.err,
            "Error: Can't save file: " + folder.at("program/settings.txt") + ": Is a directory\n");
}

TEST(WizardStart, AnInstalledCopyKeepsTheSettingsInTheUsersFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the program as the user nobody";
  temp_folder folder;
  const std::string program = copy_program(folder);
  temp_folder config;
  ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
  ASSERT_EQ(::chmod(config.path().c_str(), 0777), 0);
  static const temp_folder runtime;
  ASSERT_EQ(::chmod(runtime.path().c_str(), 0777), 0);
  std::vector<std::string> args = {"-u",
                                   "DISPLAY",
                                   "-u",
                                   "WAYLAND_DISPLAY",
                                   "XDG_RUNTIME_DIR=" + runtime.path(),
                                   "XDG_CONFIG_HOME=" + config.path()};
  args.insert(args.end(), kOffscreen.begin(), kOffscreen.end());
  args.push_back(program);
  constexpr unsigned kNobody = 65534;
  const run_result result = run_program_as(kNobody, "/usr/bin/env", args);
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_FALSE(std::filesystem::exists(folder.at("program/settings.txt")));
  EXPECT_NE(read_file(config.at("dirscribe/settings.txt")).find("<left>"), std::string::npos)
      << result.err;
}

TEST(WizardStart, ADamagedDescriptionIsReportedInABox) {
  struct row {
    std::string resources;  // the whole vostra.bin, uncompressed
    std::string box;        // what the box says, after the title
  };
  const std::vector<row> rows = {
      {"<langs/>", "The interface description is missing from {dir}/vostra.bin"},
      {"<TvostraDSC class=\"TForm\"><b class=\"TNope\"/></TvostraDSC>", "eCantFindClassID: TNope"},
      {"<TvostraDSC class=\"TForm\"><b class=\"TButton\" Left=\"-1\"/></TvostraDSC>",
       "eCantSetProp: b, Left"},
      {"<TvostraDSC class=\"TForm\"><b Caption=\"x\"/></TvostraDSC>", "eNoClassAttr: b"},
      {"<TvostraDSC class=\"TPanel\"/>", "The interface description has no form."},
  };
  for (const row& r : rows) {
    temp_folder folder;
    const std::string program = folder.at("dirscribe");
    std::filesystem::copy_file(program_path(), program);
    // The window runs in the wizard's executable, beside the program.
    std::filesystem::copy_file(
        std::filesystem::path(program_path()).replace_filename("dirscribe-wizard"),
        folder.at("dirscribe-wizard"));
    folder.write("vostra.bin", r.resources);
    std::string box = r.box;
    if (const size_t at = box.find("{dir}"); at != std::string::npos) {
      box.replace(at, 5, folder.path());
    }
    const run_result result = run_wizard(program, kOffscreen);
    EXPECT_EQ(result.exit_code, 1) << r.resources;
    EXPECT_EQ(result.err, "Vostra Dirscribe 3.0: " + box + "\n") << r.resources;
  }
}

}  // namespace
}  // namespace dirscribe::testing

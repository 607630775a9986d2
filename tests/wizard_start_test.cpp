// The wizard's start as a user meets it: without a display, with one, and
// with a damaged interface description. Message boxes are answered by the
// program's test hook, so nothing waits for a person.
#include <gtest/gtest.h>

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
  EXPECT_EQ(result.err,
            "Vostra Dirscribe 3.0: The wizard needs a display (DISPLAY or WAYLAND_DISPLAY is not "
            "set); to build a listing without one, run: dirscribe PROJECT-FILE\n");
  EXPECT_TRUE(result.out.empty());
}

TEST(WizardStart, OpensTheDescribedWindow) {
  const run_result result =
      run_wizard(program_path(), {"QT_QPA_PLATFORM=offscreen", "DIRSCRIBE_TEST_HOOK=quit"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "Shown: Vostra Dirscribe 3.0 900x640\n");
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
    folder.write("vostra.bin", r.resources);
    std::string box = r.box;
    if (const size_t at = box.find("{dir}"); at != std::string::npos) {
      box.replace(at, 5, folder.path());
    }
    const run_result result =
        run_wizard(program, {"QT_QPA_PLATFORM=offscreen", "DIRSCRIBE_TEST_HOOK=quit"});
    EXPECT_EQ(result.exit_code, 1) << r.resources;
    EXPECT_EQ(result.err, "Vostra Dirscribe 3.0: " + box + "\n") << r.resources;
  }
}

}  // namespace
}  // namespace dirscribe::testing

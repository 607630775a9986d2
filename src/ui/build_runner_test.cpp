#include "ui/build_runner.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/extension_table.h"
#include "engine/project_context.h"
#include "services/phrase_table.h"
#include "support/temp_folder.h"
#include "ui/interface_description.h"

namespace dirscribe {
namespace {

// A collection of one project listing `tree` into `output` with a style of
// the program folder.
class BuildRunner : public ::testing::Test {
 protected:
  void SetUp() override {
    xml_tree description;
    ASSERT_TRUE(
        load_interface_description(DIRSCRIBE_PROGRAM_DIR "vostra.bin", phrases_, description).ok());
    collection_.program_folder = DIRSCRIBE_PROGRAM_DIR;
    collection_.language = &phrases_;
    collection_.fill_size_unit_names();
    ASSERT_TRUE(load_extension_table(DIRSCRIBE_PROGRAM_DIR "ext.txt", collection_).ok());
  }

  void load_project(const std::string& tree, const std::string& output) {
    const outcome loaded =
        collection_.load_text("<project><path>" + tree + "</path><save>" + output +
                              "</save><format_file>templates/plain.html"
                              "</format_file><recursion_depth>-1"
                              "</recursion_depth><subfolders_in_one_file>1"
                              "</subfolders_in_one_file></project>");
    ASSERT_TRUE(loaded.ok()) << loaded.message();
  }

  // Starts the runner and handles events until it has finished; returns
  // what it emitted, in order.
  std::vector<std::string> run(build_runner& runner) {
    std::vector<std::string> heard;
    QObject::connect(&runner, &build_runner::progressed, &runner,
                     [&](const build_progress&) { heard.push_back("progress"); });
    QObject::connect(&runner, &build_runner::warned, &runner,
                     [&](const std::string& warning) { heard.push_back("warning " + warning); });
    QObject::connect(&runner, &build_runner::finished, &runner, [&](const build_progress& totals) {
      heard.push_back("finished " + std::to_string(totals.folders_read) + " " +
                      std::to_string(totals.files_listed));
    });
    runner.start();
    EXPECT_TRUE(runner.running());
    while (runner.running()) QApplication::processEvents(QEventLoop::AllEvents, 50);
    return heard;
  }

  temp_folder folder_;
  phrase_table phrases_;
  project_context collection_;
};

TEST_F(BuildRunner, FinishesOnceWithTheFinalCounts) {
  for (int i = 0; i < 40; ++i) {
    folder_.write("tree/d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".txt", "x");
  }
  load_project(folder_.at("tree"), folder_.at("out.html"));
  build_runner runner(collection_);
  const std::vector<std::string> heard = run(runner);
  ASSERT_FALSE(heard.empty());
  // The root and its 7 folders, 40 files; nothing after the end.
  EXPECT_EQ(heard.back(), "finished 8 40");
  EXPECT_EQ(std::count(heard.begin(), heard.end(), heard.back()), 1);
  EXPECT_TRUE(collection_.last_result.ok()) << collection_.last_result.message();
  EXPECT_NE(read_file(folder_.at("out.html")).find("f39.txt"), std::string::npos);

  // A second build counts afresh.
  EXPECT_EQ(run(runner).back(), "finished 8 40");
}

TEST_F(BuildRunner, AFailedBuildFinishesWithItsOutcome) {
  load_project(folder_.at("no such tree"), folder_.at("out.html"));
  build_runner runner(collection_);
  const std::vector<std::string> heard = run(runner);
  EXPECT_EQ(heard, std::vector<std::string>{"finished 0 0"});
  EXPECT_NE(collection_.last_result.message().find("no such tree"), std::string::npos)
      << collection_.last_result.message();
}

TEST_F(BuildRunner, StopEndsABuildAndTheRunnerWaitsForItWhenDestroyed) {
  for (int i = 0; i < 5000; ++i) {
    folder_.write("big/d" + std::to_string(i % 50) + "/f" + std::to_string(i) + ".txt", "x");
  }
  load_project(folder_.at("big"), folder_.at("big.html"));
  {
    build_runner runner(collection_);
    runner.start();
    runner.stop();
    while (runner.running()) QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(collection_.last_result.is(result_stopped)) << collection_.last_result.message();
  }
  // Destroyed while it builds: the thread is stopped and joined, nothing is
  // emitted into a freed runner.
  auto runner = std::make_unique<build_runner>(collection_);
  runner->start();
  runner.reset();
  QApplication::processEvents();
  EXPECT_TRUE(collection_.last_result.is(result_stopped) || collection_.last_result.ok());
}

}  // namespace
}  // namespace dirscribe

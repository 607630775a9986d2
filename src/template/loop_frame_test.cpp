#include "template/loop_frame.h"

#include <gtest/gtest.h>

#include "engine/link_rules.h"

namespace dirscribe {
namespace {

TEST(LoopFrame, GoingDownExtendsPathsAndLinks) {
  loop_frame root = make_root_frame("/", folder_url("/", 2, 0, ""));
  root.mode = loop_tree;
  root.depth_left = 2;
  loop_frame level = go_down(root, "a b&c", 2, nullptr);
  EXPECT_EQ(level.folder, "/a b&c");  // no second "/" after the root
  EXPECT_EQ(level.relative_path, "a b&c");
  EXPECT_EQ(level.relative_url, "a%20b%26c/");
  EXPECT_EQ(level.absolute_url, "file:///a%20b%26c/");
  EXPECT_EQ(level.depth_left, 1);
  EXPECT_EQ(level.mode, loop_tree);
  EXPECT_TRUE(level.is_subfolder_level);
  loop_frame deeper = go_down(level, "d", 1, nullptr);
  EXPECT_EQ(deeper.folder, "/a b&c/d");
  EXPECT_EQ(deeper.relative_path, "a b&c/d");
  EXPECT_EQ(deeper.relative_url, "a%20b%26c/d/");
  EXPECT_EQ(deeper.depth_left, 0);
}

}  // namespace
}  // namespace dirscribe

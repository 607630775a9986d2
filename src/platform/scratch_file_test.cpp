#include "platform/scratch_file.h"

#include <gtest/gtest.h>

#include <string>

namespace dirscribe {
namespace {

// Reads see every byte appended, wherever it is: in the file, in the
// buffer, or across the two.
TEST(ScratchFileTest, ReadsWhatWasAppendedAcrossTheBuffer) {
  int error = -1;
  std::unique_ptr<scratch_file> file = scratch_file::create(error);
  ASSERT_NE(file, nullptr) << error;
  EXPECT_EQ(error, 0);
  std::string all;
  for (int i = 0; i < 3000; ++i) {
    std::string piece = std::to_string(i) + std::string(static_cast<size_t>(i % 500), 'x') + ";";
    ASSERT_TRUE(file->append(piece));
    all += piece;
  }
  ASSERT_EQ(file->size(), all.size());
  const struct {
    uint64_t offset;
    size_t length;
  } cases[] = {{0, 10},         {0, all.size()}, {1000, 300000}, {all.size() - 7, 7},
               {all.size(), 0}, {262143, 2}};
  for (const auto& c : cases) {
    std::string read;
    ASSERT_TRUE(file->read(c.offset, c.length, read)) << c.offset << "+" << c.length;
    EXPECT_EQ(read, all.substr(static_cast<size_t>(c.offset), c.length)) << c.offset;
  }
  std::string past;
  EXPECT_FALSE(file->read(all.size() - 1, 2, past));
  EXPECT_FALSE(file->read(all.size() + 1, 0, past));
}

}  // namespace
}  // namespace dirscribe

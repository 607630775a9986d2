#include "files/hidden_entries.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"

namespace dirscribe {
namespace {

bool keeps(const file_filter_data& filter, const char* name, bool folder) {
  file_node node;
  node.name = name;
  node.is_folder = folder;
  if (name[0] == '.') node.attributes |= attribute_hidden;
  return filter.keeps(node);
}

// What a filter keeps of a small tree's names, hidden ones among them.
std::string kept(const file_filter_data& filter) {
  std::string out;
  for (const auto& [name, folder] :
       {std::pair{".git", true}, std::pair{"src", true}, std::pair{"node_modules", true},
        std::pair{".env", false}, std::pair{".htaccess", false}, std::pair{"a.txt", false},
        std::pair{"b.tmp", false}}) {
    if (keeps(filter, name, folder)) out += std::string(out.empty() ? "" : " ") + name;
  }
  return out;
}

TEST(HiddenEntries, LeaveOutAndLetInChangeOnlyTheHiddenRules) {
  struct start {
    const char* what;
    int32_t att_filter;
    uint32_t attrs;
    const char* folder_skip;
    const char* file_skip;
    // After leave_out_hidden:
    int32_t out_att_filter;
    uint32_t out_attrs;
    const char* out_folder_skip;
    const char* kept_then;
    // After let_in_hidden on that:
    int32_t in_att_filter;
    const char* in_folder_skip;
  };
  const start cases[] = {
      {"defaults", 0, 0, "", "", 1, 0x2, ".*", "src node_modules a.txt b.tmp", 0, ""},
      {"own folder masks", 0, 0, "node_modules ; build", "", 1, 0x2, ".*;node_modules;build",
       "src a.txt b.tmp", 0, "node_modules;build"},
      {"already leaves them out", 1, 0x2, ".*", "", 1, 0x2, ".*", "src node_modules a.txt b.tmp", 0,
       ""},
      {"excludes read-only too", 1, 0x1, "", "*.tmp", 1, 0x3, ".*", "src node_modules a.txt", 1,
       ""},
      {"includes by attributes", 3, 0x2, "", "", 3, 0x2, ".*", "src node_modules .env .htaccess", 3,
       ""},
      {"excludes all-of", 5, 0x5, "", "", 5, 0x5, ".*",
       "src node_modules .env .htaccess a.txt b.tmp", 5, ""},
  };
  for (const start& c : cases) {
    SCOPED_TRACE(c.what);
    file_filter_data filter;
    filter.att_filter = c.att_filter;
    filter.attrs = c.attrs;
    filter.str_folder_skip = c.folder_skip;
    filter.str_files_skip = c.file_skip;
    filter.compile_masks();
    leave_out_hidden(filter);
    EXPECT_EQ(filter.att_filter, c.out_att_filter);
    EXPECT_EQ(filter.attrs, c.out_attrs);
    EXPECT_EQ(filter.str_folder_skip, c.out_folder_skip);
    EXPECT_EQ(kept(filter), c.kept_then);
    leave_out_hidden(filter);  // twice is once
    EXPECT_EQ(filter.str_folder_skip, c.out_folder_skip);
    let_in_hidden(filter);
    EXPECT_EQ(filter.att_filter, c.in_att_filter);
    EXPECT_EQ(filter.str_folder_skip, c.in_folder_skip);
    EXPECT_TRUE(keeps(filter, ".git", true));
  }
}

}  // namespace
}  // namespace dirscribe

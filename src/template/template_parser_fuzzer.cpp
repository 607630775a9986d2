// libFuzzer target for the template parser. The first byte picks the piece
// size, so directives straddle pieces in every way; the same input fed in one
// piece must give the same tree and result.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "services/phrase_table.h"
#include "support/test_phrases.h"
#include "template/template_parser.h"

namespace dirscribe {
namespace {

const phrase_table& phrases() {
  static phrase_table* table = [] {
    auto* loaded = new phrase_table;
    if (!load_test_phrases(*loaded, test_template_phrases()).ok()) std::abort();
    return loaded;
  }();
  return *table;
}

struct parse_report {
  int code;
  std::string dump;
  std::string error;
};

parse_report parse(std::string_view text, size_t piece) {
  template_tree tree;
  template_parser parser(phrases(), tree);
  outcome result;
  for (size_t pos = 0; pos < text.size() && result.ok(); pos += piece) {
    result = parser.feed(std::string(text.substr(pos, piece)));
  }
  if (result.ok()) result = parser.finish();
  return {result.code(), dump_template_tree(tree), result.message()};
}

}  // namespace
}  // namespace dirscribe

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 16;
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  dirscribe::parse_report split = dirscribe::parse(text, piece);
  dirscribe::parse_report whole = dirscribe::parse(text, text.size() + 1);
  if (split.code != whole.code || split.dump != whole.dump || split.error != whole.error) {
    std::abort();
  }
  return 0;
}

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
    load_test_phrases(*loaded, test_template_phrases());
    return loaded;
  }();
  return *table;
}

struct outcome {
  int result;
  std::string dump;
  std::string error;
};

outcome parse(std::string_view text, size_t piece) {
  template_tree tree;
  template_parser parser(phrases(), tree);
  int result = 0;
  for (size_t pos = 0; pos < text.size() && result == 0; pos += piece) {
    result = parser.feed(std::string(text.substr(pos, piece)));
  }
  if (result == 0) result = parser.finish();
  std::string error;
  if (result == 2) {
    if (template_node* open = parser.first_unclosed()) error = parser.error_text(10002, open);
  } else {
    error = parser.error_text(result);
  }
  return {result, dump_template_tree(tree), error};
}

}  // namespace
}  // namespace dirscribe

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 16;
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  dirscribe::outcome split = dirscribe::parse(text, piece);
  dirscribe::outcome whole = dirscribe::parse(text, text.size() + 1);
  if (split.result != whole.result || split.dump != whole.dump || split.error != whole.error) {
    std::abort();
  }
  return 0;
}

// libFuzzer target for the document reader. The first byte picks the reader's
// switches and a chunk size; the rest is the document. Besides looking for
// crashes it checks that the chunking of the input does not change the tree
// or the result, and exercises the serialiser and the path queries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "markup/document_reader.h"
#include "markup/markup_lexer.h"
#include "markup/xml_dump.h"
#include "markup/xml_reader.h"

namespace {

using namespace dirscribe;

// Feeds `input` to `scanner` in pieces of `piece` bytes, scanning after each,
// then ends the input and scans once more; the first non-zero result stops
// it and is returned.
int scan_in_pieces(markup_lexer& scanner, std::string_view input, size_t piece) {
  int result = 0;
  for (size_t at = 0; at < input.size() && result == 0; at += piece) {
    scanner.append_chunk(std::string(input.substr(at, piece)));
    result = scanner.scan();
  }
  if (result == 0) {
    scanner.set_end_of_input(true);
    result = scanner.scan();
  }
  return result;
}

std::string read_in_pieces(std::string_view input, size_t piece, const document_options& options,
                           int& result) {
  xml_tree tree;
  xml_reader reader(tree);
  reader.set_lower_case_names(options.lower_case_names);
  reader.set_normalise_line_ends(options.normalise_line_ends);
  reader.set_attributes_as_map(options.attributes_as_map);
  result = scan_in_pieces(reader, input, piece);
  return xml_dump(tree);
}

// A lexer with every kind on and the default kind table, where several rows
// allow nested markup; records what the hooks see.
class recording_lexer : public markup_lexer {
 public:
  std::string events;
  int text_hook() override {
    events += "T" + token() + "\n";
    return 0;
  }
  int markup_hook() override {
    events += "M" + std::to_string(kind()) + token() + "\n";
    return 0;
  }
};

std::string lex_in_pieces(std::string_view input, size_t piece, bool keep_text) {
  recording_lexer lexer;
  lexer.enable_kinds(0x7fff);
  lexer.set_keep_text(keep_text);
  lexer.set_bulk_reads(piece % 2 == 0);
  const int result = scan_in_pieces(lexer, input, piece);
  if (result != markup_lexer::scan_complete && result != markup_lexer::scan_too_long) std::abort();
  return lexer.events + std::to_string(result) + "/" + std::to_string(lexer.line()) + ":" +
         std::to_string(lexer.column());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t switches = data[0];
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  document_options options;
  options.lower_case_names = switches & 1;
  options.normalise_line_ends = switches & 2;
  options.attributes_as_map = switches & 4;

  xml_tree tree;
  const outcome result = parse_text(input, tree, options);
  if (!result.ok() && !result.is(result_document_malformed)) std::abort();
  // A failure always says what went wrong, a success never.
  if (result.ok() != result.message().empty()) std::abort();

  // The same document fed in small pieces gives the same tree.
  const size_t piece = 1 + (switches >> 3);
  int pieces_result = 0;
  const std::string in_pieces = read_in_pieces(input, piece, options, pieces_result);
  if (in_pieces != xml_dump(tree)) std::abort();
  if ((pieces_result == markup_lexer::scan_complete) != result.ok()) std::abort();

  // The bare lexer with nested markup, whole and in pieces.
  const bool keep_text = switches & 4;
  if (lex_in_pieces(input, input.size() + 1, keep_text) != lex_in_pieces(input, piece, keep_text)) {
    std::abort();
  }

  std::vector<std::string> lines;
  xml_serialise(tree, lines);
  std::string text;
  xml_text_of(tree, "/a/b", nullptr, text);
  xml_find(tree, "a//b/", tree.first());
  return 0;
}

#include "template/template_file.h"

#include <cstdio>
#include <memory>

#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "template/template_parser.h"

namespace dirscribe {

namespace {

// Template text is fed to the parser in pieces of this size as it is read.
constexpr size_t kTemplatePiece = 16384;

struct file_closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

outcome read_template_file(const std::string& path, const std::string& shown_name,
                           const phrase_table& phrases, template_tree& tree) {
  const auto not_opened = [&] {
    return outcome{result_template_not_opened,
                   std::string(phrases.text(kPhraseCantOpenFile)) + shown_name};
  };
  std::unique_ptr<std::FILE, file_closer> file(std::fopen(path.c_str(), "rb"));
  if (!file) return not_opened();
  template_parser parser(phrases, tree);
  std::string piece(kTemplatePiece, '\0');
  outcome parsed;
  for (;;) {
    const size_t got = std::fread(piece.data(), 1, piece.size(), file.get());
    if (got == 0) break;
    parsed = parser.feed(piece.substr(0, got));
    if (!parsed.ok()) break;
  }
  // A template that cannot be read to its end is one that could not be
  // opened for what it holds: say so rather than list half a template.
  if (parsed.ok() && std::ferror(file.get()) != 0) return not_opened();
  file.reset();
  if (parsed.ok()) parsed = parser.finish();
  if (parsed.ok()) return {};
  // The parser's text gives the line and column; the path says of which file.
  return outcome{parsed.code(),
                 path + ": " + std::string(phrases.text(kPhraseTemplateError)) + parsed.message()};
}

}  // namespace dirscribe

#include "markup/html_title.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <string_view>

namespace dirscribe {

namespace {

struct html_element {
  std::string_view name;
  bool empty;  // has no end tag
  bool body;   // its start or end tag only occurs in a document body
};

// Alphabetical, so that the index is a binary search away. abbr and optgroup
// are not in the table and count as unknown elements.
constexpr html_element kElements[] = {
    {"a", false, true},        {"acronym", false, true},    {"address", false, true},
    {"applet", false, true},   {"area", true, true},        {"b", false, true},
    {"base", true, false},     {"basefont", true, true},    {"bdo", false, true},
    {"big", false, true},      {"blockquote", false, true}, {"body", false, true},
    {"br", true, true},        {"button", false, true},     {"caption", false, true},
    {"center", false, true},   {"cite", false, true},       {"code", false, true},
    {"col", true, true},       {"colgroup", false, true},   {"dd", false, true},
    {"del", false, true},      {"dfn", false, true},        {"dir", false, true},
    {"div", false, true},      {"dl", false, true},         {"dt", false, true},
    {"em", false, true},       {"fieldset", false, true},   {"font", false, true},
    {"form", false, true},     {"frame", true, true},       {"frameset", false, true},
    {"h1", false, true},       {"h2", false, true},         {"h3", false, true},
    {"h4", false, true},       {"h5", false, true},         {"h6", false, true},
    {"head", false, false},    {"hr", true, true},          {"html", false, false},
    {"i", false, true},        {"iframe", false, true},     {"img", true, true},
    {"input", true, true},     {"ins", false, true},        {"isindex", true, false},
    {"kbd", false, true},      {"label", false, true},      {"legend", false, true},
    {"li", false, true},       {"link", true, false},       {"map", false, true},
    {"menu", false, true},     {"meta", true, false},       {"noframes", false, true},
    {"noscript", false, true}, {"object", false, true},     {"ol", false, true},
    {"option", false, true},   {"p", false, true},          {"param", true, true},
    {"pre", false, true},      {"q", false, true},          {"s", false, true},
    {"samp", false, true},     {"script", false, false},    {"select", false, true},
    {"small", false, true},    {"span", false, true},       {"strike", false, true},
    {"strong", false, true},   {"style", false, false},     {"sub", false, true},
    {"sup", false, true},      {"table", false, true},      {"tbody", false, true},
    {"td", false, true},       {"textarea", false, true},   {"tfoot", false, true},
    {"th", false, true},       {"thead", false, true},      {"title", false, false},
    {"tr", false, true},       {"tt", false, true},         {"u", false, true},
    {"ul", false, true},       {"var", false, true},
};
static_assert(std::size(kElements) == 89);

constexpr bool names_ascend() {
  for (size_t i = 1; i < std::size(kElements); ++i) {
    if (!(kElements[i - 1].name < kElements[i].name)) return false;
  }
  return true;
}
static_assert(names_ascend(), "the element table must stay sorted");

constexpr int find_element(std::string_view name) {
  const auto* end = std::end(kElements);
  const auto* found = std::lower_bound(
      std::begin(kElements), end, name,
      [](const html_element& element, std::string_view key) { return element.name < key; });
  if (found == end || found->name != name) return -1;
  return static_cast<int>(found - std::begin(kElements));
}

constexpr int kScriptIndex = find_element("script");
constexpr int kTitleIndex = find_element("title");
static_assert(kScriptIndex == 67 && kTitleIndex == 83);

// A file opened for reading, closed on destruction.
class file_byte_source : public byte_source {
 public:
  explicit file_byte_source(const std::string& file_name)
      : fd_(::open(file_name.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~file_byte_source() override {
    if (fd_ >= 0) ::close(fd_);
  }
  bool is_open() const { return fd_ >= 0; }
  long read(char* buffer, size_t size) override {
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, size);
      if (got >= 0 || errno != EINTR) return static_cast<long>(got);
    }
  }

 private:
  int fd_;
};

}  // namespace

int html_title_scanner::element_index(std::string_view name) { return find_element(name); }

bool html_title_scanner::is_empty_element(int index) {
  return index >= 0 && index < static_cast<int>(std::size(kElements)) && kElements[index].empty;
}

bool html_title_scanner::is_body_element(int index) {
  return index >= 0 && index < static_cast<int>(std::size(kElements)) && kElements[index].body;
}

html_title_scanner::html_title_scanner() {
  enable_kinds(0x205B);  // start and end tags, declarations, comments, DOCTYPE, directives
  for (int kind : {kind_start_tag, kind_end_tag, kind_declaration, kind_doctype}) {
    set_row(kind, ">", false, false, false);
  }
  set_row(kind_comment, "-->", false, false, false);
  set_row(kind_directive, "-->", false, false, false);
  set_keep_text(true);
  set_size_limit(4194304);
  set_entity_names_folded(false);
}

int html_title_scanner::text_hook() {
  if (in_title_ && !token().empty()) {
    title_.append(token(), 0, kTitleLimit - std::min(title_.size(), kTitleLimit));
    if (title_.size() >= kTitleLimit) return 2;
  }
  return 0;
}

bool html_title_scanner::collected_enough() const {
  const size_t pending = token().size();
  if (in_title_ && !in_markup() && title_.size() + pending >= kTitleLimit) return true;
  return pending > kLongestToken;
}

std::string html_title_scanner::collected_title() const {
  std::string title = title_;
  if (in_title_ && !in_markup()) title += token();
  if (title.size() > kTitleLimit) title.resize(kTitleLimit);
  return title;
}

int html_title_scanner::markup_hook() {
  int kind = this->kind();
  if (in_script_) {
    // Inside a script only an end tag is markup; anything else is script text.
    if (kind != kind_end_tag) return text_hook();
    in_script_ = false;
  }

  const std::string& markup = token();
  markup_attributes parsed;
  attribute_options options;
  options.lower_case_names = true;
  if (kind == kind_start_tag && markup.size() >= 2) {
    parse_attributes(std::string_view(markup).substr(1, markup.size() - 2), options, parsed);
  } else if (kind == kind_end_tag && markup.size() >= 3) {
    options.name_only = true;
    parse_attributes(std::string_view(markup).substr(2, markup.size() - 3), options, parsed);
  }
  const int index = parsed.element_name.empty() ? -1 : element_index(parsed.element_name);

  if (kind == kind_start_tag) {
    if (index < 0 || is_empty_element(index)) {
      kind = kind_empty_element;
    } else if (index == kScriptIndex) {
      in_script_ = true;
    }
  }
  if (index < 0) return 0;
  if (is_body_element(index)) return 2;
  if (index == kTitleIndex) {
    if (kind == kind_start_tag) {
      in_title_ = true;
      return 0;
    }
    if (kind == kind_end_tag) return 2;
  }
  return 0;
}

int title_of_source(byte_source& source, std::string& title) {
  title.clear();
  html_title_scanner scanner;
  char buffer[kTitleReadSize];
  int result = 0;
  for (;;) {
    const long got = source.read(buffer, sizeof buffer);
    if (got <= 0) break;
    scanner.append_chunk(std::string(buffer, static_cast<size_t>(got)));
    result = scanner.scan();
    if (result == 2) break;
    if (result != 0) return 3;
    while (scanner.remove_first_chunk()) {
    }
    if (scanner.collected_enough()) {
      title = scanner.collected_title();
      return 0;
    }
  }
  if (result != 2) {
    scanner.set_end_of_input(true);
    if (scanner.scan() != 2) return 3;
  }
  title = std::move(scanner.title());
  return 0;
}

int title_of_file(const std::string& file_name, std::string& title) {
  title.clear();
  file_byte_source file(file_name);
  if (!file.is_open()) return 1;
  return title_of_source(file, title);
}

}  // namespace dirscribe

#include "markup/document_reader.h"

#include <sys/stat.h>
#include <algorithm>
#include <cstdio>

#include "markup/xml_reader.h"

namespace dirscribe {

namespace {

constexpr size_t kChunkSize = 16384;

void configure(xml_reader& reader, const document_options& options) {
  reader.set_lower_case_names(options.lower_case_names);
  reader.set_normalise_line_ends(options.normalise_line_ends);
  reader.set_attributes_as_map(options.attributes_as_map);
}

void report_progress(const document_options& options, int64_t done, int64_t total) {
  if (!options.progress) return;
  int percent = 100;
  if (total > 0 && done < total) percent = static_cast<int>(done * 100 / total);
  options.progress(percent, options.progress_context);
}

// Feeds the chunks that `read_chunk` hands out (false at the end) and ends the
// input. Succeeds, or fails with result_document_malformed and the reader's
// error text.
template <class ReadChunk>
outcome read_document(xml_reader& reader, const document_options& options, int64_t total,
                      ReadChunk read_chunk) {
  int64_t done = 0;
  std::string chunk;
  while (read_chunk(chunk)) {
    done += static_cast<int64_t>(chunk.size());
    reader.append_chunk(std::move(chunk));
    chunk.clear();
    const int result = reader.scan();
    if (result != xml_reader::scan_needs_more) {
      return {result_document_malformed, reader.error_text(result)};
    }
    report_progress(options, done, total);
  }
  reader.set_end_of_input(true);
  const int result = reader.scan();
  if (result != xml_reader::scan_complete) {
    return {result_document_malformed, reader.error_text(result)};
  }
  report_progress(options, total, total);
  return {};
}

}  // namespace

outcome parse_file(const std::string& file_name, xml_tree& tree, const document_options& options) {
  const auto not_opened = [&] {
    return outcome{result_document_not_opened, "Can't open source file: " + file_name};
  };
  std::FILE* file = std::fopen(file_name.c_str(), "rb");
  if (!file) return not_opened();
  struct stat status {};
  const int64_t total = fstat(fileno(file), &status) == 0 ? status.st_size : 0;
  xml_reader reader(tree);
  configure(reader, options);
  bool read_failed = false;
  auto read_chunk = [&](std::string& chunk) {
    chunk.resize(kChunkSize);
    const size_t got = std::fread(chunk.data(), 1, kChunkSize, file);
    chunk.resize(got);
    if (got == 0 && std::ferror(file)) read_failed = true;
    return got > 0;
  };
  outcome result = read_document(reader, options, total, read_chunk);
  std::fclose(file);
  // A file that opens but cannot be read (a folder, an I/O error) is not an
  // empty document.
  if (read_failed) return not_opened();
  return result;
}

outcome parse_text(std::string_view text, xml_tree& tree, const document_options& options) {
  xml_reader reader(tree);
  configure(reader, options);
  size_t at = 0;
  auto read_chunk = [&](std::string& chunk) {
    if (at >= text.size()) return false;
    const size_t size = std::min(kChunkSize, text.size() - at);
    chunk.assign(text.substr(at, size));
    at += size;
    return true;
  };
  return read_document(reader, options, static_cast<int64_t>(text.size()), read_chunk);
}

std::string error_text_line(std::string_view error_text) {
  std::string line;
  bool blank_pending = false;
  for (const char c : error_text) {
    if (c == '\r' || c == '\n') {
      blank_pending = true;
      continue;
    }
    if (blank_pending && !line.empty() && line.back() != ' ') line += ' ';
    blank_pending = false;
    line += c;
  }
  return line;
}

}  // namespace dirscribe

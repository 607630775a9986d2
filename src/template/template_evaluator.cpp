#include "template/template_evaluator.h"

#include <algorithm>
#include <cwctype>
#include <deque>
#include <memory>
#include <utility>

#include "core/byte_string.h"
#include "core/tagged_value.h"
#include "engine/html_list_project.h"
#include "engine/link_rules.h"
#include "engine/listing_run.h"
#include "engine/thumbnail_source.h"
#include "files/file_format.h"
#include "files/file_node.h"
#include "files/folder_scanner.h"
#include "files/folder_summary.h"
#include "platform/file_system.h"
#include "platform/regex_service.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "template/loop_frame.h"
#include "template/template_values.h"
#include "template/template_variables.h"

namespace dirscribe {

namespace {

// Length of the UTF-8 sequence at `i` and its code point, or 1 and -1 for a
// byte that starts no valid sequence.
size_t decode_utf8(std::string_view text, size_t i, int32_t& code) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  code = -1;
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  size_t length = 0;
  int32_t value = 0;
  int32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 1;
  }
  if (i + length > text.size()) return 1;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 1;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 1;
  code = value;
  return length;
}

void encode_utf8(int32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Answers of one if pattern kept for later entries: enough for the icons and
// types of a listing, small enough that names (all different) cost little.
constexpr size_t kRememberedAnswers = 256;
// Type texts and icons kept per extension.
constexpr size_t kRememberedExtensions = 4096;

bool is_echo(int type) { return type >= node_echo && type <= node_echoen; }

// The node after `node` in document order that does not lie inside it.
const template_node* after(const template_node* node) { return node->next_skipping_children(); }

}  // namespace

std::string cut_text(std::string_view text, int size) {
  if (size < 0) return std::string(text);
  size_t i = 0;
  int characters = 0;
  while (i < text.size() && characters < size) {
    int32_t code;
    i += decode_utf8(text, i, code);
    ++characters;
  }
  if (i >= text.size()) return std::string(text);
  return std::string(text.substr(0, i)) + "...";
}

std::string change_case(std::string_view text, bool upper) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    int32_t code;
    const size_t length = decode_utf8(text, i, code);
    if (code < 0) {
      out += text[i];
    } else {
      const wint_t changed = upper ? std::towupper(static_cast<wint_t>(code))
                                   : std::towlower(static_cast<wint_t>(code));
      encode_utf8(static_cast<int32_t>(changed), out);
    }
    i += length;
  }
  return out;
}

namespace {
// Output gathered beyond this size goes to the sink.
constexpr size_t kOutputPiece = 1 << 15;
}  // namespace

[[gnu::always_inline]] inline bool template_evaluator::put(std::string_view text) {
  out_ += text;
  return out_.size() < kOutputPiece || flush();
}

bool template_evaluator::flush() {
  if (out_.empty()) return true;
  const bool written = sink_.write(out_);
  out_.clear();
  return written;
}

bool file_sink::write(std::string_view text) {
  if (text.empty()) return true;
  if (!file_) return false;
  return std::fwrite(text.data(), 1, text.size(), file_) == text.size();
}

evaluation_memo::evaluation_memo() = default;
evaluation_memo::~evaluation_memo() = default;

template_evaluator::template_evaluator(listing_run& run, output_sink& sink, evaluation_memo* memo)
    : run_(run),
      sink_(sink),
      own_memo_(memo ? nullptr : std::make_unique<evaluation_memo>()),
      memo_(memo ? *memo : *own_memo_) {}

template_evaluator::~template_evaluator() = default;

bool template_evaluator::stopped() const { return run_.stop_raised(); }

int template_evaluator::value_of(int row, const template_value_context& context,
                                 tagged_value& value) {
  // The type text and the icon depend on nothing but whether the entry is a
  // folder and its extension (and on tables fixed for the run), while their
  // lookups cost more than anything else printed for an entry.
  const template_variable* variable = template_variable_row(row);
  int kind = -1;
  if (variable != nullptr && variable->value == template_values::type) kind = 0;
  if (variable != nullptr && variable->value == template_values::icon) kind = 1;
  if (kind < 0) return template_value(row, context, value);
  std::string key(1, context.entry.is_folder ? '/' : '.');
  key += context.entry.ext;
  auto& known = memo_.by_extension[kind];
  if (const auto found = known.find(key); found != known.end()) {
    value = found->second;
    return 0;
  }
  const int code = template_value(row, context, value);
  if (code == 0 && known.size() < kRememberedExtensions) known.emplace(std::move(key), value);
  return code;
}

int template_evaluator::echo(const template_node& node, const file_node& entry,
                             const loop_frame& process) {
  template_value_context context{entry, run_, process, nullptr, &error_text_};
  tagged_value& value = value_;
  if (int code = value_of(node.index, context, value)) return code;
  // A text value is used where it lies; only other kinds are converted.
  std::string_view text;
  if (value.is_string()) {
    text = value.text();
  } else {
    scratch_ = value.to_text();
    text = scratch_;
  }
  tagged_value size;
  if ((node.type == node_echon || node.type == node_echoen) && node.attributes &&
      node.attributes->get("size", size)) {
    scratch_ = cut_text(text, text_to_int(size.to_text()));
    text = scratch_;
  }
  switch (node.type) {
    case node_echoe:
    case node_echoen:
      // Under url_escape 1 the link rules have escaped the names already;
      // escaping again would link to a different file ("a&amp;amp;b").
      if (run_.settings.url_escape == url_escape_markup &&
          template_variables::is_link(node.index)) {
        out_ += text;
      } else {
        append_html_escape(out_, text);
      }
      break;
    case node_echou:
      out_ += change_case(text, true);
      break;
    case node_echol:
      out_ += change_case(text, false);
      break;
    default:
      out_ += text;
      break;
  }
  return put({}) ? 0 : result_write_failed;
}

int template_evaluator::condition(const template_node& node, const file_node& entry,
                                  const loop_frame& process, bool& holds) {
  template_value_context context{entry, run_, process, nullptr, &error_text_};
  tagged_value& value = value_;
  if (int code = value_of(node.index, context, value)) return code;
  // Whether the node has a pattern is looked up once, like its compilation.
  const auto [known, first_time] = memo_.patterns.try_emplace(&node);
  evaluation_memo::node_pattern& found = known->second;
  tagged_value pattern;
  if (first_time && node.attributes && node.attributes->get("re", pattern)) {
    found.regex = std::make_unique<compiled_regex>(pattern.to_text(), regex_icase | regex_nosub);
  }
  if (found.regex) {
    if (!value.is_string()) scratch_ = value.to_text();
    const std::string& subject = value.is_string() ? value.text() : scratch_;
    // Values tested by a pattern are mostly few and repeated (icons, types,
    // extensions): a subject already met has its answer.
    if (const auto answer = found.answers.find(subject); answer != found.answers.end()) {
      holds = answer->second;
      return 0;
    }
    // As with the filter's masks, a byte that is not valid UTF-8 would make
    // the subject unmatchable in a UTF-8 locale; it counts as one character.
    std::string repaired;
    const std::string* tested = &subject;
    if (!is_valid_utf8(subject)) {
      repaired = replace_invalid_utf8(subject, '?');
      tested = &repaired;
    }
    holds = found.regex->ok() && found.regex->matches(*tested);
    if (found.answers.size() < kRememberedAnswers) found.answers.emplace(subject, holds);
  } else if (value.is_string()) {
    holds = text_to_int(value.text()) != 0;
  } else {
    holds = value.to_bool();
  }
  return 0;
}

bool template_evaluator::takes(const loop_frame& loop, const file_node& entry) const {
  switch (loop.mode) {
    case loop_files:
      return !entry.is_folder;
    case loop_folders:
      return entry.is_folder;
    case loop_tree:
      return (run_.settings.show_folders & (entry.is_folder ? show_folders_bit : show_files_bit)) !=
             0;
    default:
      return false;
  }
}

// A tree loop enters a folder while depth is left (negative depth never runs
// out); links to folders are listed but never entered, so a link cycle
// cannot make the walk endless.
bool template_evaluator::may_descend(const loop_frame& loop, const file_node& entry) const {
  return loop.mode == loop_tree && entry.is_folder && loop.depth_left != 0 &&
         (entry.attributes & attribute_link) == 0 &&
         (entry.summary != nullptr || run_.summary == nullptr);
}

void template_evaluator::count(loop_frame& loop, const file_node& entry) const {
  if (entry.is_folder) {
    ++loop.folder_count;
  } else {
    ++loop.file_count;
    loop.total_size += entry.size;
  }
}

bool template_evaluator::prints_other_times(const template_node* body, const template_node* stop) {
  return prints_any(body, stop, {template_values::created, template_values::accessed},
                    memo_.other_times);
}

bool template_evaluator::prints_contents(const template_node* body, const template_node* stop) {
  return prints_any(body, stop,
                    {template_values::md5, template_values::sha1, template_values::sha256,
                     template_values::title},
                    memo_.contents);
}

bool template_evaluator::prints_any(const template_node* body, const template_node* stop,
                                    std::initializer_list<template_value_function> values,
                                    std::unordered_map<const template_node*, bool>& known) {
  const auto [answer, first_time] = known.try_emplace(body, false);
  if (!first_time) return answer->second;
  // Every node that can print an entry of the loop lies between its body and
  // its stop, nested loops included.
  for (const template_node* node = body; node && node != stop;
       node = node->next_in_document_order()) {
    if (!is_echo(node->type) && node->type != node_if) continue;
    const template_variable* variable = template_variable_row(node->index);
    if (variable != nullptr &&
        std::find(values.begin(), values.end(), variable->value) != values.end()) {
      answer->second = true;
      break;
    }
  }
  return answer->second;
}

void template_evaluator::prepare(file_tree& tree, const loop_frame& loop, bool other_times) const {
  const project_settings& settings = run_.settings;
  const int64_t cluster = run_.cluster_size;
  for (file_node* entry = tree.first(); entry;) {
    file_node* next = entry->next();
    // Folders print their dates as files do: a folder and the file made in
    // it at the same moment show the same time.
    if (settings.is_local_date) {
      entry->mtime = to_local_time(entry->mtime);
      if (other_times) {
        entry->ctime = to_local_time(entry->ctime);
        entry->atime = to_local_time(entry->atime);
      }
    }
    if (!entry->is_folder) {
      entry->ext = extension_of(entry->name);
      if (cluster > 0 && entry->size % static_cast<uint64_t>(cluster) != 0) {
        entry->size +=
            static_cast<uint64_t>(cluster) - entry->size % static_cast<uint64_t>(cluster);
      }
    } else if (run_.summary) {
      if (loop.summary) find_summary(*entry, *loop.summary);
      // A folder left out of the summary holds no file and is meant to be
      // suppressed: drop it as the filter would.
      if (!entry->summary) tree.remove(entry);
    }
    entry = next;
  }
}

int template_evaluator::pass(loop_frame& loop, bool start, const template_node* body,
                             const template_node* stop) {
  file_node nameless;
  nameless.is_folder = true;
  file_node* slot = &nameless;
  (start ? loop.folder_start : loop.folder_end) = true;
  const int code = walk(body, stop, slot, loop);
  loop.folder_start = false;
  loop.folder_end = false;
  return code;
}

int template_evaluator::run_level(const loop_frame& loop, file_node& folder,
                                  const recorded_level& recorded, const template_node* body,
                                  const template_node* stop) {
  loop_frame level = go_down(loop, folder.name, run_.settings.url_escape, folder.summary);
  level.block = recorded.block_of(folder.summary);
  // A folder the run recorded is read from the record; it is held only when
  // the loop reads its files' content.
  const bool from_record = run_.record && level.block.recorded();
  if (loop.handle && (!from_record || prints_contents(body, stop))) {
    folder_opening opened = loop.handle->open_child(folder.name);
    if (opened.fault == folder_fault::symbolic_link) {
      // Swapped for a link since the folder was read: never followed, and
      // said. (A folder that went fails the listing as one that cannot be
      // read does.)
      run_.warn(phrase_text(kPhraseFolderSwapped) + level.folder);
      return 0;
    }
    if (!opened.folder) {
      error_text_ = phrase_text(kPhraseCantOpenFolder) + level.folder;
      return result_folder_not_entered;
    }
    level.handle = std::move(opened.folder);
  }
  return run_loop(level, body, stop);
}

int template_evaluator::run_loop(loop_frame& loop, const template_node* body,
                                 const template_node* stop) {
  const project_settings& settings = run_.settings;
  const bool tree_loop = loop.mode == loop_tree;
  loop.clear_counts();
  loop.odd_row = true;
  if (tree_loop && !loop.is_subfolder_level) run_.clear_listing_totals();
  loop.folder_start = loop.folder_end = loop.descends = false;

  // The level's nodes go back to the run's pool when it is done, for the
  // levels read after it.
  auto tree = std::make_unique<file_tree>(&run_.node_pool);
  recorded_level recorded;  // the summary nodes of a level read from the record
  if (int code = read_level(loop, body, stop, *tree, recorded)) return code;

  if (tree_loop) {
    if (int code = pass(loop, true, body, stop)) return code;
  }
  const bool after_level = (settings.recursive_options & recursive_folders_after_level) != 0;
  for (file_node* entry = tree->first(); entry;) {
    count(loop, *entry);
    file_node* slot = entry;
    if (takes(loop, *entry)) {
      loop.descends = !after_level && may_descend(loop, *entry);
      if (int code = walk(body, stop, slot, loop)) return code;
      turn_row(loop, +1);
      if (!slot) break;
      if (loop.descends) {
        loop.descends = false;
        if (int code = run_level(loop, *slot, recorded, body, stop)) return code;
      }
    } else if (!after_level && may_descend(loop, *entry)) {
      // Hidden folders of a tree loop still show their files, in place.
      if (int code = run_level(loop, *entry, recorded, body, stop)) return code;
    }
    if (stopped()) return result_stopped;
    entry = slot->next();
  }
  loop.descends = false;

  if (tree_loop) {
    if (int code = pass(loop, false, body, stop)) return code;
  }
  add_to_listing_totals(loop);
  if (tree_loop && after_level) {
    for (file_node* entry = tree->first(); entry; entry = entry->next()) {
      if (!may_descend(loop, *entry)) continue;
      if (int code = run_level(loop, *entry, recorded, body, stop)) return code;
    }
  }
  return 0;
}

std::string template_evaluator::phrase_text(int id) const { return run_.phrase(id); }

void template_evaluator::keep_page_subfolders(const loop_frame& loop, const file_tree& tree) {
  if (run_.page_subfolders_read || !loop.handle || loop.handle.get() != run_.page_folder_read) {
    return;
  }
  run_.page_subfolders.clear();
  for (const file_node* entry = tree.first(); entry; entry = entry->next()) {
    if (entry->is_folder && !(entry->attributes & attribute_link)) {
      run_.page_subfolders.push_back(entry->name);
    }
  }
  run_.page_subfolders_read = true;
}

int template_evaluator::read_level(loop_frame& loop, const template_node* body,
                                   const template_node* stop, file_tree& tree,
                                   recorded_level& recorded) {
  const project_settings& settings = run_.settings;
  if (run_.record && loop.block.recorded()) {
    // Read once already, and reported, by the walk that summed the
    // subtrees, with the run's outputs left out.
    if (!run_.record->read(loop.block, tree, recorded)) {
      error_text_ = phrase_text(kPhraseCantOpenFolder) + loop.folder;
      return result_folder_not_entered;
    }
  } else {
    run_.report_progress(phrase_text(kPhraseReadingFolder) + loop.folder);
    if (!loop.handle) loop.handle = folder_handle::open_path(loop.folder).folder;
    if (!loop.handle || !scan_folder(*loop.handle, tree, nullptr, "*")) {
      error_text_ = phrase_text(kPhraseCantOpenFolder) + loop.folder;
      return result_folder_not_entered;
    }
    keep_page_subfolders(loop, tree);
    run_.outputs.leave_out(tree, nullptr, *loop.handle);
  }
  const auto count_files = [&tree] {
    int64_t files = 0;
    for (const file_node* node = tree.first(); node; node = node->next_in_document_order()) {
      if (!node->is_folder) ++files;
    }
    return files;
  };
  run_.files_found += count_files();
  run_.filter.apply(tree, nullptr);
  run_.files_passed += count_files();
  // Converting the creation and access times costs two time-zone lookups per
  // file; a template that prints neither has no use for them.
  prepare(tree, loop, prints_other_times(body, stop));
  if (stopped()) return result_stopped;
  if (settings.order_files != 0) {
    tree.sort_key = settings.order_files - 1;
    tree.sort_all();
  }
  if (settings.sort_order) tree.reverse_all();
  // The folder's thumbnails are made side by side before its first entry is
  // printed, so each entry finds its own made.
  if (run_.thumbnails && !stopped()) {
    run_.thumbnails->make_thumbnails(*loop.handle, loop.relative_path, loop.folder, tree);
  }
  return stopped() ? result_stopped : 0;
}

void template_evaluator::add_to_listing_totals(const loop_frame& loop) {
  if (loop.mode == loop_tree) {
    run_.listing_folder_total += loop.folder_count;
    run_.listing_file_total += loop.file_count;
    run_.listing_total_size += loop.total_size;
  } else {
    run_.listing_folder_total = loop.folder_count;
    run_.listing_file_total = loop.file_count;
    run_.listing_total_size = loop.total_size;
  }
  run_.publish_file_total();
}

void template_evaluator::turn_row(loop_frame& loop, int32_t step) {
  loop.odd_row = !loop.odd_row;
  loop.row_index += step;
  run_.listing_row_total += step;
}

outcome template_evaluator::evaluate(const template_node* start, const template_node* stop,
                                     file_node*& slot, loop_frame& process) {
  error_text_.clear();
  int code = walk(start, stop, slot, process);
  const bool written = flush();
  if (code == 0 && !written) code = result_write_failed;
  if (code == 0) return {};
  // Only the steps that know more than their code leave a text.
  return {code, error_text_};
}

int template_evaluator::walk(const template_node* start, const template_node* stop,
                             file_node*& slot, loop_frame& process) {
  // Nodes reached after a repeat used up the list print as the nameless entry.
  file_node nameless;
  nameless.is_folder = true;
  // The blocks whose branches are being walked (see walk_level), kept here
  // rather than on the call stack. Each nested walk (a loop's body) takes its
  // own list from the pool, which keeps its memory from one walk to the next.
  if (walk_depth_ == level_pool_.size()) {
    level_pool_.push_back(std::make_unique<std::deque<walk_level>>());
  }
  walk_cursor at{start, stop, &slot, *level_pool_[walk_depth_]};
  at.levels.clear();
  struct depth_guard {
    size_t& depth;
    ~depth_guard() { --depth; }
  } guard{++walk_depth_};

  for (;;) {
    if (at.node && at.node != at.stop) {
      const file_node& entry = *at.current ? **at.current : nameless;
      if (int code = step(at, entry, process)) return code;
    } else if (at.levels.empty()) {
      return 0;
    } else if (int code = close_block(at, process)) {
      return code;
    }
  }
}

// Inlined into the walk, as the loop it was cut out of: a call per node
// showed in the timings of large listings.
[[gnu::always_inline]] inline int template_evaluator::step(walk_cursor& at, const file_node& entry,
                                                           loop_frame& process) {
  const template_node* node = at.node;
  // Where the walk goes on; a block sets it past its end, which is nullptr
  // when the block closes the template.
  const template_node* next = node->next_in_document_order();
  if (node->type == node_text) {
    if (!put(node->text)) return result_write_failed;
  } else if (is_echo(node->type)) {
    if (int code = echo(*node, entry, process)) return code;
  } else if (node->type == node_for) {
    if (int code = run_for(*node, process)) return code;
    next = after(node);
  } else if (node->type == node_if) {
    bool holds = false;
    if (int code = condition(*node, entry, process, holds)) return code;
    if (enter_if(at, holds, next)) return 0;
  } else if (node->type == node_repeat) {
    next = after(node);
    if (node->first_child() && enter_repeat(at, process, next)) return 0;
  }
  if (stopped()) return result_stopped;
  at.node = next;
  return 0;
}

int template_evaluator::run_for(const template_node& node, const loop_frame& process) {
  if (!node.first_child()) return 0;
  const project_settings& settings = run_.settings;
  loop_frame loop;
  loop.mode = node.index;
  loop.depth_left = settings.subfolders_in_one_file ? settings.recursion_depth : 0;
  loop.folder = process.folder;
  loop.handle = process.handle;
  loop.block = process.block;
  loop.absolute_url = folder_link(run_, process.folder);
  loop.page_way = process.page_way;  // relative links start at the page
  loop.summary = run_.summary ? run_.summary->first() : nullptr;
  return run_loop(loop, node.first_child(), node.next());
}

[[gnu::always_inline]] inline bool template_evaluator::enter_if(walk_cursor& at, bool holds,
                                                                const template_node*& next) {
  const template_node* node = at.node;
  const template_node* middle = node->next();
  if (middle && middle->type != node_else) middle = nullptr;
  const template_node* end = middle ? middle->next() : node->next();
  const template_node* branch =
      holds ? node->first_child() : (middle ? middle->first_child() : nullptr);
  next = end ? after(end) : nullptr;
  if (!branch) return false;
  walk_level block;
  block.resume = next;
  block.stop = at.stop;
  block.slot = at.current;
  at.levels.push_back(std::move(block));
  at.node = branch;
  at.stop = holds && middle ? middle : end;
  return true;
}

bool template_evaluator::enter_repeat(walk_cursor& at, loop_frame& process,
                                      const template_node*& next) {
  const template_node* node = at.node;
  walk_level block;
  block.repeat = node;
  block.middle = node->next();
  if (block.middle && block.middle->type != node_elserepeat) block.middle = nullptr;
  block.end = block.middle ? block.middle->next() : node->next();
  block.resume = block.end ? after(block.end) : nullptr;
  block.stop = at.stop;
  block.slot = at.current;
  repeat_counter_ = 0;
  at.levels.push_back(std::move(block));
  if (next_pass(at, at.levels.back(), true)) return true;
  // No entry and nothing to pad: the repeat is done at once.
  turn_row(process, -1);
  next = at.levels.back().resume;
  at.levels.pop_back();
  return false;
}

bool template_evaluator::next_pass(walk_cursor& at, walk_level& block, bool entries_left) {
  if (entries_left && *block.slot) {
    at.node = block.repeat->first_child();
    at.stop = block.middle ? block.middle : block.end;
    return true;
  }
  if (block.middle && block.middle->first_child() && repeat_counter_ < block.repeat->index) {
    block.pad = std::make_unique<file_node>();
    block.pad->is_folder = true;
    block.pad_slot = block.pad.get();
    at.current = &block.pad_slot;
    at.node = block.middle->first_child();
    at.stop = block.end;
    return true;
  }
  return false;
}

int template_evaluator::close_block(walk_cursor& at, loop_frame& process) {
  walk_level& block = at.levels.back();
  if (block.repeat) {
    bool entries_left = false;
    if (int code = end_repeat_pass(block, process, entries_left)) return code;
    if (next_pass(at, block, entries_left)) return 0;
    // The enclosing loop counts the pass the repeat stood in.
    turn_row(process, -1);
  }
  at.node = block.resume;
  at.stop = block.stop;
  at.current = block.slot;
  at.levels.pop_back();
  return stopped() ? result_stopped : 0;
}

int template_evaluator::end_repeat_pass(walk_level& block, loop_frame& process,
                                        bool& entries_left) {
  const bool padding = block.pad != nullptr;
  turn_row(process, +1);
  ++repeat_counter_;
  entries_left = false;
  if (padding || repeat_counter_ == block.repeat->index) {
    return padding && stopped() ? result_stopped : 0;
  }
  if (stopped()) return result_stopped;
  // Entries passed over are counted as the loop would have counted them; at
  // the end of the list the slot empties, which ends the loop's items. A
  // repeat nested in this one may have emptied it.
  file_node*& entry = *block.slot;
  if (entry) entry = next_taken(process, *entry);
  entries_left = true;
  return 0;
}

file_node* template_evaluator::next_taken(loop_frame& loop, const file_node& entry) const {
  file_node* next = entry.next();
  while (next) {
    count(loop, *next);
    if (takes(loop, *next)) break;
    next = next->next();
  }
  return next;
}

outcome evaluate(const template_node* start, const template_node* stop, file_node*& slot,
                 loop_frame& process, listing_run& run, output_sink& sink, evaluation_memo* memo) {
  template_evaluator evaluator(run, sink, memo);
  return evaluator.evaluate(start, stop, slot, process);
}

}  // namespace dirscribe

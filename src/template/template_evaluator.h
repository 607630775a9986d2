// The template evaluator: walks a parsed template and writes the listing,
// copying text, printing variables, choosing if branches and running the for
// loops that scan, filter and sort the listed folders.
#pragma once

#include <cstdio>
#include <deque>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/outcome.h"
#include "core/tagged_value.h"
#include "template/template_node.h"
#include "template/template_variables.h"

namespace dirscribe {

struct file_node;
class file_tree;
struct loop_frame;
class recorded_level;
class listing_run;
class compiled_regex;
struct template_value_context;

// Where the listing goes. write returns false when not every byte was taken.
class output_sink {
 public:
  virtual ~output_sink() = default;
  virtual bool write(std::string_view text) = 0;
};

// Collects the output in memory.
class memory_sink : public output_sink {
 public:
  bool write(std::string_view text) override {
    text_.append(text);
    return true;
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// Writes to an open stdio file (borrowed); stdio's buffer is the only one.
class file_sink : public output_sink {
 public:
  explicit file_sink(std::FILE* file) : file_(file) {}
  bool write(std::string_view text) override;

 private:
  std::FILE* file_;
};

// What evaluations of one parsed template in one project run may share, as
// each entry depends only on the template, the run's tables and settings: the
// compiled patterns of the if nodes (compiled once however often their loops
// run) with answers for the first subjects tested, type texts and icons by
// extension, and which loop bodies print creation or access times. One
// output file per folder makes thousands of evaluations.
struct evaluation_memo {
  evaluation_memo();
  ~evaluation_memo();
  evaluation_memo(const evaluation_memo&) = delete;
  evaluation_memo& operator=(const evaluation_memo&) = delete;

  struct node_pattern {
    std::unique_ptr<compiled_regex> regex;  // nullptr for a node without one
    std::unordered_map<std::string, bool> answers;
  };
  std::unordered_map<const template_node*, node_pattern> patterns;
  // Type texts [0] and icons [1], by "/" or "." and the extension.
  std::unordered_map<std::string, tagged_value> by_extension[2];
  std::unordered_map<const template_node*, bool> other_times;  // by loop body
  std::unordered_map<const template_node*, bool> contents;     // by loop body: digests, titles
};

// One evaluation of one output file.
class template_evaluator {
 public:
  // Writes what it counts (the listing totals) into `run`, which it borrows
  // and which must have been prepared for the build. `memo`, when given,
  // must come from evaluations of the same template in the same run; without
  // it the evaluator keeps its own.
  template_evaluator(listing_run& run, output_sink& sink, evaluation_memo* memo = nullptr);
  ~template_evaluator();
  template_evaluator(const template_evaluator&) = delete;
  template_evaluator& operator=(const template_evaluator&) = delete;

  // Walks from `start` in document order up to, not including, `stop`
  // (nullptr: to the end). `slot` holds the current entry; a repeat may move
  // it along its loop's list, down to nullptr at the end of the list. The
  // output reaches the sink by the time this returns, also after a failure.
  // Fails with 20001 when the stop flag is raised, 20004 when the sink takes
  // not every byte, 20005 (phrase 20 + the folder) when a listed folder cannot
  // be read, or a variable's code with its text (a digest or title of a file
  // that cannot be read: 1 and phrase 15 + the path).
  outcome evaluate(const template_node* start, const template_node* stop, file_node*& slot,
                   loop_frame& process);

 private:
  // One block whose branches a walk is in, innermost last. It keeps where
  // the walk around it goes on once it is done (nullptr: that walk is done as
  // well), where that walk stops and the slot it uses. Kept in a deque, not
  // on the call stack, so a template nesting blocks deeply cannot exhaust
  // the stack; a deque, because slots point into the levels and must stay
  // where they are as levels come and go.
  struct walk_level {
    const template_node* resume = nullptr;
    const template_node* stop = nullptr;
    file_node** slot = nullptr;
    const template_node* repeat = nullptr;  // a repeat's passes; nullptr for an if branch
    const template_node* middle = nullptr;  // the repeat's elserepeat, if any
    const template_node* end = nullptr;
    // A padding pass walks the elserepeat branch with a nameless folder
    // entry in a slot of its own.
    std::unique_ptr<file_node> pad;
    file_node* pad_slot = nullptr;
  };

  // Where one walk stands: the node it is at, the node it stops before, the
  // slot its entries come from and the blocks it is inside (innermost last).
  struct walk_cursor {
    const template_node* node;
    const template_node* stop;
    file_node** current;
    std::deque<walk_level>& levels;
  };

  int walk(const template_node* start, const template_node* stop, file_node*& slot,
           loop_frame& process);
  // Handles the node at `at` with `entry` as the current entry: prints it,
  // runs its loop, or steps into the branch of its block. Moves `at` on.
  int step(walk_cursor& at, const file_node& entry, loop_frame& process);
  // Runs the for loop `node` over the folder `process` lists; nothing for a
  // loop without a body.
  int run_for(const template_node& node, const loop_frame& process);
  // Steps into the branch of the if node at `at` that `holds` chooses and
  // returns true; false, leaving `at` alone, when that branch is empty.
  // Either way `next` is set past the whole block.
  bool enter_if(walk_cursor& at, bool holds, const template_node*& next);
  // Steps into the first pass of the repeat node at `at` and returns true;
  // false, with `next` set past the block, when it has no pass at all.
  // REQUIRES: the repeat has a body.
  bool enter_repeat(walk_cursor& at, loop_frame& process, const template_node*& next);
  // Sets `at` to the next pass of the repeat `block`: an entry pass while
  // `entries_left` and its slot holds an entry, else a padding pass until the
  // repeat's count. False when no pass is left.
  bool next_pass(walk_cursor& at, walk_level& block, bool entries_left);
  // At the end of the innermost block's branch: goes on with the repeat's
  // next pass, or leaves the block to where the walk around it resumes.
  // REQUIRES: at.levels is not empty.
  int close_block(walk_cursor& at, loop_frame& process);
  // Counts the pass of the repeat `block` just walked and, after an entry pass
  // short of the repeat's count, moves its slot to the next entry the loop
  // takes (nullptr at the end of the list); `entries_left` tells which.
  int end_repeat_pass(walk_level& block, loop_frame& process, bool& entries_left);
  // The first entry after `entry` the loop takes, counting the ones passed
  // over as the loop counts them; nullptr when none is left.
  file_node* next_taken(loop_frame& loop, const file_node& entry) const;
  // Turns the row parity and moves the row index and the listing's row total
  // by `step` (+1 after an item, -1 to give back a pass a repeat stood in).
  void turn_row(loop_frame& loop, int32_t step);
  // The output is gathered here and handed to the sink in large pieces: a
  // listing is made of very many short texts.
  bool put(std::string_view text);
  bool flush();
  int value_of(int row, const template_value_context& context, tagged_value& value);
  int echo(const template_node& node, const file_node& entry, const loop_frame& process);
  int condition(const template_node& node, const file_node& entry, const loop_frame& process,
                bool& holds);
  int run_loop(loop_frame& loop, const template_node* body, const template_node* stop);
  // The phrase `id` of the run's phrase table; "" without one.
  std::string phrase_text(int id) const;
  // Reads the folder of `loop` into `tree` as the loop lists it: scanned,
  // without the run's own outputs, filtered, prepared and sorted. Reports
  // progress before and the failure (in error_text_) when the folder
  // cannot be read.
  // A loop whose folder is not held yet opens it by its path first.
  // A folder the run recorded is read from the record instead, its
  // subfolders' summary nodes kept in `recorded`.
  int read_level(loop_frame& loop, const template_node* body, const template_node* stop,
                 file_tree& tree, recorded_level& recorded);
  // When `loop` lists the folder of the page being written, tells the run
  // its subfolders from `tree` (as scanned), once.
  void keep_page_subfolders(const loop_frame& loop, const file_tree& tree);
  // Adds a tree loop's counts to the listing's totals; another loop's counts
  // replace them.
  void add_to_listing_totals(const loop_frame& loop);
  // Runs the loop's body over the subfolder `folder`, opened from the loop's
  // held folder; one that turned into a link since it was read is skipped
  // with a warning.
  // `recorded` holds the level's summary nodes, with where the record keeps
  // each folder's entries.
  int run_level(const loop_frame& loop, file_node& folder, const recorded_level& recorded,
                const template_node* body, const template_node* stop);
  int pass(loop_frame& loop, bool start, const template_node* body, const template_node* stop);
  // Fills the entries' extensions, rounds sizes to clusters and converts
  // times to local time; the creation and access times only when
  // `other_times`.
  void prepare(file_tree& tree, const loop_frame& loop, bool other_times) const;
  // Whether the nodes from `body` to `stop` print a creation or access time.
  bool prints_other_times(const template_node* body, const template_node* stop);
  // Whether they print what only a file's content tells (digests, titles).
  bool prints_contents(const template_node* body, const template_node* stop);
  // Whether they print or test one of `values`; answered once per body in
  // `known`.
  bool prints_any(const template_node* body, const template_node* stop,
                  std::initializer_list<template_value_function> values,
                  std::unordered_map<const template_node*, bool>& known);
  bool takes(const loop_frame& loop, const file_node& entry) const;
  bool may_descend(const loop_frame& loop, const file_node& entry) const;
  void count(loop_frame& loop, const file_node& entry) const;
  bool stopped() const;

  listing_run& run_;
  output_sink& sink_;
  std::unique_ptr<evaluation_memo> own_memo_;  // when the caller gives none
  evaluation_memo& memo_;
  std::string out_;
  std::string scratch_;  // an echo's text while it is cut or converted
  // The value an echo prints or a condition tests, kept between entries so
  // that its text's memory serves them all.
  tagged_value value_;
  std::string error_text_;  // what the failing step says went wrong
  // One list of blocks per depth of nested walks, reused across walks.
  std::vector<std::unique_ptr<std::deque<walk_level>>> level_pool_;
  size_t walk_depth_ = 0;
  int32_t repeat_counter_ = 0;  // passes of the innermost repeat so far
};

// Evaluates a whole walk with a fresh evaluator (sharing `memo` if given).
outcome evaluate(const template_node* start, const template_node* stop, file_node*& slot,
                 loop_frame& process, listing_run& run, output_sink& sink,
                 evaluation_memo* memo = nullptr);

// `text` cut to its first `size` UTF-8 characters followed by "..." when it
// has more; a negative size cuts nothing. Invalid bytes count as characters.
std::string cut_text(std::string_view text, int size);

// Upper or lower case per code point; bytes that are not valid UTF-8 stay.
std::string change_case(std::string_view text, bool upper);

}  // namespace dirscribe

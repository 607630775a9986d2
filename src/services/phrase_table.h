// phrase_table: the phrase table. Every user-visible text is a phrase addressed by a
// small non-negative id; the phrases of all languages live in the `langs`
// element of the resource document and are loaded once at start.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"
#include "markup/xml_node.h"

namespace dirscribe {

class phrase_table {
 public:
  phrase_table() = default;
  phrase_table(const phrase_table&) = delete;
  phrase_table& operator=(const phrase_table&) = delete;

  // Loads the first closed `langs` element of `document`, which is taken out of
  // the document and destroyed whatever the result. Fails with
  // result_language_without_short, result_language_without_full,
  // result_phrase_id_out_of_order, result_no_languages or
  // result_languages_without_phrases and the wording of load_error_text. No
  // `langs` element: success, and the table stays empty.
  outcome load(xml_tree& document);

  // The phrase of the current language, or nullptr when the table has no
  // language, the id is out of range, or the current language lacks it.
  const std::string* lookup(int id) const;
  // The phrase, or an empty text when there is none.
  std::string_view text(int id) const;

  // Takes effect only when 0 <= index < language_count().
  void set_current_language(int index);
  int current_language() const { return current_; }
  int language_count() const { return static_cast<int>(full_names_.size()); }
  int phrase_id_count() const { return phrase_id_count_; }
  const std::string& full_name(int index) const { return full_names_.at(index); }
  const std::string& short_name(int index) const { return short_names_.at(index); }

  // Writes the table as a `langs` element, the current language first.
  // Returns 0, 2 when the file cannot be created, 3 on a short write.
  int write(const std::string& file_name) const;

  // The program's wording of a load result ("No languages found" and so on),
  // also of the document reader's result_document_not_opened and
  // result_document_malformed for the language file.
  static std::string_view load_error_text(int code);

 private:
  // load without the wording: result_ok or the failure's code.
  int load_phrases(xml_tree& document);

  std::vector<std::string> full_names_;
  std::vector<std::string> short_names_;
  int current_ = 0;
  int phrase_id_count_ = 0;
  // table_[language][id]; a null entry is a missing phrase.
  std::vector<std::vector<std::unique_ptr<std::string>>> table_;
};

}  // namespace dirscribe

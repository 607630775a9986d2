#include "services/phrase_table.h"

#include <cstdio>
#include <utility>

#include "core/byte_string.h"

namespace dirscribe {

namespace {

// A phrase id above this is refused as a wrong id: the table holds one entry
// per id and language, so an id such as _2000000000 would otherwise ask for
// gigabytes before a single phrase is stored.
constexpr int kLargestPhraseId = 65535;

bool is_closed_element(const xml_node& node, std::string_view name) {
  return node.type == xml_start_tag && node.closed && node.name == name;
}

bool is_phrase_element(const xml_node& node) {
  return node.type == xml_start_tag && node.closed && !node.name.empty() && node.name[0] == '_';
}

// The id written after "_": the leading decimal digits, 0 when there are none,
// -1 when the number is above kLargestPhraseId.
int phrase_id_of(const std::string& name) {
  int id = 0;
  for (size_t i = 1; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
    id = id * 10 + (name[i] - '0');
    if (id > kLargestPhraseId) return -1;
  }
  return id;
}

// Visits `lang` and every node below it in document order, never leaving
// its subtree.
template <class Visit>
int walk_subtree(xml_node* lang, Visit visit) {
  xml_node* node = lang;
  while (node) {
    if (int result = visit(*node)) return result;
    if (node->first_child()) {
      node = node->first_child();
      continue;
    }
    while (node != lang && !node->next()) node = node->parent();
    node = node == lang ? nullptr : node->next();
  }
  return 0;
}

}  // namespace

outcome phrase_table::load(xml_tree& document) {
  const int code = load_phrases(document);
  if (code == result_ok) return {};
  return outcome{code, std::string(load_error_text(code))};
}

int phrase_table::load_phrases(xml_tree& document) {
  full_names_.clear();
  short_names_.clear();
  table_.clear();
  current_ = 0;
  phrase_id_count_ = 0;

  xml_node* found = document.first();
  while (found && !is_closed_element(*found, "langs")) found = found->next_in_document_order();
  if (!found) return result_ok;

  // The element lives in a tree of its own from here on, so the walks below
  // cannot run into the rest of the document; it is freed on every return.
  xml_tree langs;
  langs.append_top(document.detach(found));
  xml_node* root = langs.first();

  // Pass 1: names, id order and the phrase-id count.
  int language_count = 0;
  for (xml_node* lang = root->first_child(); lang; lang = lang->next()) {
    if (!is_closed_element(*lang, "lang")) continue;
    int previous_id = -1;
    const int result = walk_subtree(lang, [&](const xml_node& node) {
      if (&node == lang) {
        ++language_count;
        const tagged_value* short_name = node.attribute("short");
        if (!short_name) return result_language_without_short;
        short_names_.push_back(short_name->to_text());
        const tagged_value* full_name = node.attribute("full");
        if (!full_name) return result_language_without_full;
        full_names_.push_back(full_name->to_text());
        return result_ok;
      }
      if (!is_phrase_element(node)) return result_ok;
      const int id = phrase_id_of(node.name);
      if (id < 0 || id < previous_id + 1) return result_phrase_id_out_of_order;
      previous_id = id;
      return result_ok;
    });
    if (result) return result;
    if (previous_id + 1 > phrase_id_count_) phrase_id_count_ = previous_id + 1;
  }
  if (language_count == 0) return result_no_languages;
  if (phrase_id_count_ == 0) return result_languages_without_phrases;

  // Pass 2: move the texts into the table.
  table_.resize(language_count);
  for (auto& row : table_) row.resize(phrase_id_count_);
  int language = -1;
  for (xml_node* lang = root->first_child(); lang; lang = lang->next()) {
    if (!is_closed_element(*lang, "lang")) continue;
    ++language;
    walk_subtree(lang, [&](xml_node& node) {
      if (!is_phrase_element(node)) return 0;
      xml_node* text = node.first_child();
      if (!text || (text->type != xml_text && text->type != xml_untyped) || text->text.empty()) {
        return 0;
      }
      table_[language][phrase_id_of(node.name)] =
          std::make_unique<std::string>(std::move(text->text));
      return 0;
    });
  }
  return result_ok;
}

const std::string* phrase_table::lookup(int id) const {
  if (id < 0 || id >= phrase_id_count_) return nullptr;
  if (current_ < 0 || current_ >= static_cast<int>(table_.size())) return nullptr;
  return table_[current_][id].get();
}

std::string_view phrase_table::text(int id) const {
  const std::string* phrase = lookup(id);
  return phrase ? std::string_view(*phrase) : std::string_view();
}

void phrase_table::set_current_language(int index) {
  if (index >= 0 && index < language_count()) current_ = index;
}

int phrase_table::write(const std::string& file_name) const {
  std::string out = "<langs>";
  const int languages = static_cast<int>(table_.size());
  for (int step = 0; step < languages; ++step) {
    // The current language goes first, the others keep their order.
    int language = step;
    if (step == 0) {
      language = current_;
    } else if (step <= current_) {
      language = step - 1;
    }
    out += "<lang short=\"" + markup_escape(short_names_[language]) + "\" full=\"" +
           markup_escape(full_names_[language]) + "\">";
    for (int id = 0; id < phrase_id_count_; ++id) {
      const std::string* phrase = table_[language][id].get();
      if (!phrase) continue;
      const std::string tag = "_" + std::to_string(id);
      out += "<" + tag + ">" + markup_escape(*phrase) + "</" + tag + ">\r\n";
    }
    out += "</lang>";
  }
  out += "</langs>";

  std::FILE* file = std::fopen(file_name.c_str(), "wb");
  if (!file) return 2;
  const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  const bool closed = std::fclose(file) == 0;
  return written && closed ? 0 : 3;
}

std::string_view phrase_table::load_error_text(int code) {
  switch (code) {
    case result_document_not_opened:
      return "Can't find language file";
    case result_document_malformed:
      return "can't parse XML file";
    case result_language_without_short:
      return "No short language description";
    case result_language_without_full:
      return "No full language description";
    case result_phrase_id_out_of_order:
      return "Phrase ID is wrong";
    case result_no_languages:
      return "No languages found";
    case result_languages_without_phrases:
      return "No phrases found";
    default:
      return "Unknown lang error";
  }
}

}  // namespace dirscribe

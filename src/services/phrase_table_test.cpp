#include "services/phrase_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>

#include "support/temp_folder.h"

namespace dirscribe {
namespace {

// Builds documents the way the document reader shapes them: an element with
// content is a closed start tag whose last child is its end tag.
class document_builder {
 public:
  explicit document_builder(xml_tree& tree) : tree_(tree) {}

  xml_node* element(xml_node* parent, std::string name,
                    std::initializer_list<std::pair<const char*, const char*>> attributes = {}) {
    auto node = std::make_unique<xml_node>();
    node->type = xml_start_tag;
    node->closed = true;
    node->name = std::move(name);
    for (const auto& [key, value] : attributes)
      node->attributes.set(std::string(key), tagged_value(value));
    xml_node* raw = place(parent, std::move(node));
    auto end = std::make_unique<xml_node>();
    end->type = xml_end_tag;
    end->closed = true;
    end->name = raw->name;
    tree_.append_child(raw, std::move(end));
    return raw;
  }

  // Inserts a text run as the first child (before the end tag).
  void text(xml_node* element, std::string value) {
    auto node = std::make_unique<xml_node>();
    node->type = xml_text;
    node->closed = true;
    node->raw = value;
    node->text = std::move(value);
    tree_.insert_before(element->first_child(), std::move(node));
  }

  xml_node* phrase(xml_node* lang, int id, std::string value) {
    xml_node* node = element(lang, "_" + std::to_string(id));
    if (!value.empty()) text(node, std::move(value));
    return node;
  }

  // An empty-element tag such as <_4/>.
  void empty_element(xml_node* parent, std::string name) {
    auto node = std::make_unique<xml_node>();
    node->type = xml_empty_element;
    node->closed = true;
    node->name = std::move(name);
    place(parent, std::move(node));
  }

  xml_node* english(xml_node* langs) {
    return element(langs, "lang", {{"short", "en"}, {"full", "English"}});
  }

 private:
  // Appends as the last child, but in front of the parent's end tag.
  xml_node* place(xml_node* parent, std::unique_ptr<xml_node> node) {
    xml_node* last = parent ? parent->last_child() : nullptr;
    if (last && last->type == xml_end_tag) return tree_.insert_before(last, std::move(node));
    return tree_.append_child(parent, std::move(node));
  }

  xml_tree& tree_;
};

// The phrases of the current language as "id=text" lines, for ids 0 to count-1.
std::string dump(const phrase_table& lang) {
  std::ostringstream out;
  for (int id = 0; id < lang.phrase_id_count(); ++id) {
    if (const std::string* phrase = lang.lookup(id)) out << id << "=" << *phrase << "\n";
  }
  return out.str();
}

TEST(PhraseTable, LoadsPhrasesWithGapsAndMovesThemOut) {
  xml_tree document;
  document_builder b(document);
  b.element(nullptr, "before");
  xml_node* langs = b.element(nullptr, "langs");
  xml_node* en = b.english(langs);
  b.phrase(en, 1, "one");
  b.phrase(en, 2, " KB");
  b.phrase(en, 5, "five");
  b.element(nullptr, "after");

  phrase_table lang;
  ASSERT_TRUE(lang.load(document).ok());
  EXPECT_EQ(lang.language_count(), 1);
  EXPECT_EQ(lang.phrase_id_count(), 6);
  EXPECT_EQ(lang.short_name(0), "en");
  EXPECT_EQ(lang.full_name(0), "English");
  EXPECT_EQ(dump(lang), "1=one\n2= KB\n5=five\n");
  for (int missing : {0, 3, 4}) EXPECT_EQ(lang.lookup(missing), nullptr) << missing;

  // The langs element is gone from the document; its neighbours stay.
  ASSERT_NE(document.first(), nullptr);
  EXPECT_EQ(document.first()->name, "before");
  ASSERT_NE(document.first()->next(), nullptr);
  EXPECT_EQ(document.first()->next()->name, "after");
  EXPECT_EQ(document.first()->next()->next(), nullptr);
}

TEST(PhraseTable, LookupOutOfRange) {
  xml_tree document;
  document_builder b(document);
  xml_node* en = b.english(b.element(nullptr, "langs"));
  b.phrase(en, 0, "zero");
  b.phrase(en, 3, "three");
  phrase_table lang;
  ASSERT_TRUE(lang.load(document).ok());
  for (int id : {-1, 4, 5, 1 << 30}) {
    EXPECT_EQ(lang.lookup(id), nullptr) << id;
    EXPECT_EQ(lang.text(id), "") << id;
  }
  EXPECT_EQ(lang.text(3), "three");

  phrase_table empty;
  for (int id : {-1, 0, 1}) EXPECT_EQ(empty.lookup(id), nullptr) << id;
}

TEST(PhraseTable, TwoLanguagesShareThePhraseIdCount) {
  xml_tree document;
  document_builder b(document);
  xml_node* langs = b.element(nullptr, "langs");
  xml_node* en = b.english(langs);
  b.phrase(en, 0, "File");
  b.phrase(en, 10, "ten");
  b.element(langs, "comment-like-noise");
  xml_node* de = b.element(langs, "lang", {{"short", "de"}, {"full", "Deutsch"}});
  b.phrase(de, 0, "Datei");
  b.phrase(de, 20, "zwanzig");

  phrase_table lang;
  ASSERT_TRUE(lang.load(document).ok());
  EXPECT_EQ(lang.language_count(), 2);
  EXPECT_EQ(lang.phrase_id_count(), 21);
  EXPECT_EQ(dump(lang), "0=File\n10=ten\n");
  // A phrase that only the other language has is missing in this one.
  EXPECT_EQ(lang.lookup(20), nullptr);

  lang.set_current_language(1);
  EXPECT_EQ(lang.current_language(), 1);
  EXPECT_EQ(dump(lang), "0=Datei\n20=zwanzig\n");
  for (int refused : {-1, 2, 100}) {
    lang.set_current_language(refused);
    EXPECT_EQ(lang.current_language(), 1) << refused;
  }
}

TEST(PhraseTable, PhrasesNestedInsideOtherElementsCount) {
  xml_tree document;
  document_builder b(document);
  xml_node* en = b.english(b.element(nullptr, "langs"));
  xml_node* group = b.element(en, "group");
  b.phrase(group, 7, "nested");
  b.phrase(en, 8, "after group");
  phrase_table lang;
  ASSERT_TRUE(lang.load(document).ok());
  EXPECT_EQ(dump(lang), "7=nested\n8=after group\n");
}

TEST(PhraseTable, EmptyPhrasesStoreNothing) {
  xml_tree document;
  document_builder b(document);
  xml_node* en = b.english(b.element(nullptr, "langs"));
  b.phrase(en, 1, "one");
  b.empty_element(en, "_2");  // <_2/>
  b.phrase(en, 3, "");        // an element with only its end tag inside
  xml_node* nested_first = b.phrase(en, 4, "");
  b.phrase(nested_first, 9, "inner");  // first child is an element, not text
  phrase_table lang;
  // _9 inside _4 is still a phrase in document order, after 4.
  ASSERT_TRUE(lang.load(document).ok());
  EXPECT_EQ(dump(lang), "1=one\n9=inner\n");
}

TEST(PhraseTable, IdsReadTheirLeadingDigits) {
  xml_tree document;
  document_builder b(document);
  xml_node* en = b.english(b.element(nullptr, "langs"));
  b.text(b.element(en, "_"), "zero");  // no digits: id 0
  b.phrase(en, 3, "three");
  xml_node* suffixed = b.element(en, "_12abc");
  b.text(suffixed, "twelve");
  phrase_table lang;
  ASSERT_TRUE(lang.load(document).ok());
  EXPECT_EQ(dump(lang), "0=zero\n3=three\n12=twelve\n");
}

TEST(PhraseTable, NoLangsElementLeavesTheTableEmpty) {
  xml_tree document;
  document_builder b(document);
  b.element(nullptr, "TvostraDSC");
  // An unclosed langs element does not count either.
  xml_node* open = b.element(nullptr, "langs");
  open->closed = false;
  phrase_table lang;
  EXPECT_TRUE(lang.load(document).ok());
  EXPECT_EQ(lang.language_count(), 0);
  EXPECT_EQ(lang.phrase_id_count(), 0);
  EXPECT_EQ(lang.lookup(0), nullptr);
  EXPECT_NE(document.first(), nullptr);
}

TEST(PhraseTable, LoadFailures) {
  struct Case {
    const char* what;
    void (*build)(document_builder&);
    int code;
  } cases[] = {
      {"repeated id",
       [](document_builder& b) {
         xml_node* en = b.english(b.element(nullptr, "langs"));
         b.phrase(en, 3, "a");
         b.phrase(en, 3, "b");
       },
       result_phrase_id_out_of_order},
      {"falling id",
       [](document_builder& b) {
         xml_node* en = b.english(b.element(nullptr, "langs"));
         b.phrase(en, 3, "a");
         b.phrase(en, 2, "b");
       },
       result_phrase_id_out_of_order},
      {"id too large",
       [](document_builder& b) {
         xml_node* en = b.english(b.element(nullptr, "langs"));
         b.element(en, "_4294967296");
       },
       result_phrase_id_out_of_order},
      {"no short in the second language",
       [](document_builder& b) {
         xml_node* langs = b.element(nullptr, "langs");
         b.phrase(b.english(langs), 0, "x");
         b.element(langs, "lang", {{"full", "Deutsch"}});
       },
       result_language_without_short},
      {"no full",
       [](document_builder& b) {
         b.element(b.element(nullptr, "langs"), "lang", {{"short", "en"}});
       },
       result_language_without_full},
      {"no lang element",
       [](document_builder& b) { b.element(b.element(nullptr, "langs"), "language"); },
       result_no_languages},
      {"languages without phrases",
       [](document_builder& b) {
         xml_node* langs = b.element(nullptr, "langs");
         b.english(langs);
         b.element(langs, "lang", {{"short", "de"}, {"full", "Deutsch"}});
       },
       result_languages_without_phrases},
      {"names are case-sensitive",
       [](document_builder& b) {
         xml_node* langs = b.element(nullptr, "langs");
         b.phrase(b.element(langs, "Lang", {{"short", "en"}, {"full", "English"}}), 0, "x");
       },
       result_no_languages},
  };
  for (const auto& c : cases) {
    xml_tree document;
    document_builder b(document);
    c.build(b);
    phrase_table lang;
    const outcome loaded = lang.load(document);
    EXPECT_EQ(loaded.code(), c.code) << c.what;
    EXPECT_EQ(loaded.message(), phrase_table::load_error_text(c.code)) << c.what;
    EXPECT_EQ(lang.lookup(0), nullptr) << c.what;
    // The langs element is destroyed whatever the result.
    EXPECT_TRUE(document.empty()) << c.what;
  }
}

TEST(PhraseTable, LoadErrorTexts) {
  struct Case {
    int code;
    const char* text;
  } cases[] = {
      {result_document_not_opened, "Can't find language file"},
      {result_document_malformed, "can't parse XML file"},
      {result_language_without_short, "No short language description"},
      {result_language_without_full, "No full language description"},
      {result_phrase_id_out_of_order, "Phrase ID is wrong"},
      {result_no_languages, "No languages found"},
      {result_languages_without_phrases, "No phrases found"},
      {result_ok, "Unknown lang error"},
      {result_languages_without_phrases + 1, "Unknown lang error"},
  };
  for (const auto& c : cases) EXPECT_EQ(phrase_table::load_error_text(c.code), c.text) << c.code;
}

TEST(PhraseTable, ReloadReplacesTheTable) {
  phrase_table lang;
  {
    xml_tree document;
    document_builder b(document);
    xml_node* langs = b.element(nullptr, "langs");
    b.phrase(b.english(langs), 40, "forty");
    b.phrase(b.element(langs, "lang", {{"short", "de"}, {"full", "Deutsch"}}), 1, "eins");
    ASSERT_TRUE(lang.load(document).ok());
    lang.set_current_language(1);
  }
  xml_tree document;
  document_builder b(document);
  b.phrase(b.english(b.element(nullptr, "langs")), 1, "one");
  ASSERT_TRUE(lang.load(document).ok());
  EXPECT_EQ(lang.language_count(), 1);
  EXPECT_EQ(lang.current_language(), 0);
  EXPECT_EQ(lang.phrase_id_count(), 2);
  EXPECT_EQ(dump(lang), "1=one\n");
}

TEST(PhraseTable, WritesTheCurrentLanguageFirstEscaped) {
  xml_tree document;
  document_builder b(document);
  xml_node* langs = b.element(nullptr, "langs");
  xml_node* en = b.english(langs);
  b.phrase(en, 0, "a<b & \"c\"");
  b.phrase(en, 2, "two");
  xml_node* fr = b.element(langs, "lang",
                           {{"short", "fr"},
                            {"full",
                             "Fran\xE7"
                             "ais"}});
  b.phrase(fr, 1, "un");
  xml_node* de = b.element(langs, "lang", {{"short", "de"}, {"full", "Deutsch"}});
  b.phrase(de, 2, "zwei");
  phrase_table lang;
  ASSERT_TRUE(lang.load(document).ok());
  lang.set_current_language(1);

  temp_folder folder;
  const std::string file = folder.at("phrase_table_write.xml");
  ASSERT_EQ(lang.write(file), 0);
  EXPECT_EQ(read_file(file),
            "<langs><lang short=\"fr\" full=\"Fran&#231;ais\"><_1>un</_1>\r\n</lang>"
            "<lang short=\"en\" full=\"English\"><_0>a&lt;b &amp; &quot;c&quot;</_0>\r\n"
            "<_2>two</_2>\r\n</lang>"
            "<lang short=\"de\" full=\"Deutsch\"><_2>zwei</_2>\r\n</lang></langs>");
}

TEST(PhraseTable, WriteFailures) {
  phrase_table lang;
  temp_folder folder;
  EXPECT_EQ(lang.write(folder.at("no-such-folder/x/langs.xml")), 2);
  // /dev/full accepts the open and fails the write.
  if (std::FILE* probe = std::fopen("/dev/full", "wb")) {
    std::fclose(probe);
    EXPECT_EQ(lang.write("/dev/full"), 3);
  }
}

}  // namespace
}  // namespace dirscribe

// The phrase table over documents read by the document reader, as at start-up.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "markup/document_reader.h"
#include "services/phrase_table.h"
#include "support/temp_folder.h"

namespace dirscribe {
namespace {

int load_text(phrase_table& lang, std::string_view text) {
  xml_tree tree;
  document_options options;
  options.lower_case_names = false;
  const outcome read = parse_text(text, tree, options);
  EXPECT_TRUE(read.ok()) << read.message();
  return lang.load(tree).code();
}

std::string dump(const phrase_table& lang) {
  std::ostringstream out;
  for (int id = 0; id < lang.phrase_id_count(); ++id) {
    if (const std::string* phrase = lang.lookup(id)) out << id << "=" << *phrase << "\n";
  }
  return out.str();
}

TEST(PhraseTableDocument, ReadsPhrasesFromMarkup) {
  struct Case {
    const char* document;
    int result;
    const char* phrases;
  } cases[] = {
      {"<langs><lang short=\"en\" full=\"English\"><_1>a</_1><_2>b</_2><_5>c</_5></lang></langs>",
       0, "1=a\n2=b\n5=c\n"},
      // Entities are decoded; blanks around the text are kept.
      {"<langs><lang short=\"en\" full=\"E\"><_5>&lt;b&gt;x&amp;y&lt;/b&gt; </_5>\n"
       "<_27> KB</_27></lang></langs>",
       result_ok, "5=<b>x&y</b> \n27= KB\n"},
      // Empty phrases store nothing, whichever way they are written.
      {"<langs><lang short=\"en\" full=\"E\"><_1/><_2></_2><_3>x</_3></lang></langs>", result_ok,
       "3=x\n"},
      // Comments and text between phrases are passed over.
      {"<x/><!-- c --><langs>\n<lang short=\"en\" full=\"E\">\n<!-- <_9>no</_9> -->\n"
       "<_4>four</_4>\n</lang>\n</langs>",
       result_ok, "4=four\n"},
      {"<langs><lang short=\"en\" full=\"E\"><_3>a</_3><_3>b</_3></lang></langs>",
       result_phrase_id_out_of_order, ""},
      {"<langs><lang short=\"en\" full=\"E\"><_3>a</_3><_2>b</_2></lang></langs>",
       result_phrase_id_out_of_order, ""},
      {"<langs><lang full=\"E\"><_1>a</_1></lang></langs>", result_language_without_short, ""},
      {"<langs><lang short=\"en\"><_1>a</_1></lang></langs>", result_language_without_full, ""},
      {"<langs><language/></langs>", result_no_languages, ""},
      {"<langs><lang short=\"en\" full=\"E\">only text</lang></langs>",
       result_languages_without_phrases, ""},
      // A lang written as an empty element is no language.
      {"<langs><lang short=\"en\" full=\"E\"/></langs>", result_no_languages, ""},
      {"<other>no phrases here</other>", result_ok, ""},
  };
  for (const auto& c : cases) {
    phrase_table lang;
    EXPECT_EQ(load_text(lang, c.document), c.result) << c.document;
    EXPECT_EQ(dump(lang), c.phrases) << c.document;
  }
}

TEST(PhraseTableDocument, WrittenTableReadsBackTheSame) {
  phrase_table lang;
  ASSERT_EQ(load_text(lang,
                      "<langs><lang short=\"en\" full=\"English\">"
                      "<_0>&lt;b&gt;Bold&lt;/b&gt; &amp; &quot;quoted&quot;</_0>"
                      "<_2> leading and trailing </_2><_7>caf&#233;</_7></lang>"
                      "<lang short=\"x&amp;y\" full=\"Other\"><_1>one</_1><_9>nine</_9></lang>"
                      "</langs>"),
            result_ok);
  lang.set_current_language(1);
  temp_folder folder;
  const std::string file = folder.at("phrase_table_round_trip.xml");
  ASSERT_EQ(lang.write(file), 0);

  xml_tree tree;
  document_options options;
  options.lower_case_names = false;
  const outcome read = parse_file(file, tree, options);
  ASSERT_TRUE(read.ok()) << read.message();
  phrase_table again;
  ASSERT_TRUE(again.load(tree).ok());

  // The language that was current is written first.
  ASSERT_EQ(again.language_count(), 2);
  EXPECT_EQ(again.short_name(0), "x&y");
  EXPECT_EQ(again.short_name(1), "en");
  EXPECT_EQ(dump(again), "1=one\n9=nine\n");
  again.set_current_language(1);
  lang.set_current_language(0);
  EXPECT_EQ(dump(again), dump(lang));
  EXPECT_EQ(again.text(7), "caf\xE9");
}

}  // namespace
}  // namespace dirscribe

#include "markup/resource_document.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "support/temp_folder.h"

namespace dirscribe {
namespace {

void write_gzip(const std::string& file, const std::string& text) {
  gzFile out = gzopen(file.c_str(), "wb9");
  ASSERT_NE(out, nullptr);
  ASSERT_EQ(gzwrite(out, text.data(), static_cast<unsigned>(text.size())),
            static_cast<int>(text.size()));
  ASSERT_EQ(gzclose(out), Z_OK);
}

std::string top_level_names(const xml_tree& tree) {
  std::string names;
  for (const xml_node* node = tree.first(); node; node = node->next()) {
    if (node->type == xml_start_tag || node->type == xml_empty_element) names += node->name + ";";
  }
  return names;
}

const char kDocument[] =
    "<!-- comment -->\r\n<langs><lang short=\"en\" full=\"English\"><_0>x</_0></lang></langs>\r\n"
    "<TvostraDSC><main Caption=\"A\"/></TvostraDSC>\r\n";

TEST(ResourceDocument, ReadsCompressedAndPlainKeepingNameCase) {
  temp_folder folder;
  const std::string file = folder.at("resource.bin");
  for (bool compressed : {true, false}) {
    if (compressed) {
      write_gzip(file, kDocument);
    } else {
      folder.write("resource.bin", kDocument);
    }
    xml_tree tree;
    const outcome read = load_resource_document(file, tree);
    ASSERT_TRUE(read.ok()) << compressed << " " << read.message();
    EXPECT_EQ(read.message(), "");
    EXPECT_EQ(top_level_names(tree), "langs;TvostraDSC;") << compressed;
    const xml_node* main = xml_find(tree, "/TvostraDSC/main");
    ASSERT_NE(main, nullptr) << compressed;
    ASSERT_NE(main->attribute("Caption"), nullptr) << compressed;
  }
}

TEST(ResourceDocument, Failures) {
  temp_folder folder;
  const std::string missing = folder.at("no-such-resource.bin");
  xml_tree tree;
  outcome read = load_resource_document(missing, tree);
  EXPECT_EQ(read.code(), result_document_not_opened);
  EXPECT_EQ(read.message(), "Can't open source file: " + missing);

  // A stream cut short is refused, not read as far as it goes.
  const std::string file = folder.at("cut-resource.bin");
  const std::string long_text = "<a>" + std::string(100000, 'x') + "</a>";
  write_gzip(file, long_text);
  const std::string bytes = read_file(file);
  folder.write("cut-resource.bin", bytes.substr(0, bytes.size() / 2));
  read = load_resource_document(file, tree);
  EXPECT_EQ(read.code(), result_document_not_opened);
  EXPECT_EQ(read.message(), "Can't open source file: " + file);

  // Broken markup reports the reader's error.
  tree.clear();
  write_gzip(file, "<a>\n</b>");
  read = load_resource_document(file, tree);
  EXPECT_EQ(read.code(), result_document_malformed);
  EXPECT_EQ(read.message().rfind("Line: 2, column: ", 0), 0u) << read.message();
  EXPECT_NE(read.message().find("misplaced end tag."), std::string::npos) << read.message();

  // A document inflating past the reader's limit is stopped at the limit.
  tree.clear();
  write_gzip(file, "<a>" + std::string(kResourceDocumentLimit, ' ') + "</a>");
  read = load_resource_document(file, tree);
  EXPECT_EQ(read.code(), result_document_malformed);
  EXPECT_NE(read.message().find("size exceeded."), std::string::npos) << read.message();
}

}  // namespace
}  // namespace dirscribe

// The English phrases tests compare with, and phrase tables for tests that
// need no language file: texts as data/sources/langs-en.xml holds them, and
// tables built in memory in the shape the document reader gives a langs
// element.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/outcome.h"
#include "services/phrase_ids.h"

namespace dirscribe {

class phrase_table;

// English texts of the phrases that messages and listings are made of. The
// test "language file" holds each to the language file through kMessages.
namespace english {

inline constexpr char kDirectiveErrorLine[] =
    "<b>Error occurred while processing QXI directive.</b> Line # ";
inline constexpr char kDirectiveErrorColumn[] = " Col # ";
inline constexpr char kBlockNotClosed[] = "This block is never closed: ";
inline constexpr char kUnknownVariable[] = "The directive names a variable that does not exist.";
inline constexpr char kCantOpenFile[] = "Can't open file: ";
inline constexpr char kReadingFolder[] = "Reading folder: ";
inline constexpr char kCantOpenFolder[] = "Can't open folder: ";
inline constexpr char kKilobytes[] = " KB";
inline constexpr char kMegabytes[] = " MB";
inline constexpr char kCantWriteFile[] = "Can't write file: ";
inline constexpr char kTemplateError[] = "The template can't be read. ";
inline constexpr char kNotAProject[] = "This file is not a Dirscribe project.";
inline constexpr char kOutputNameHasFolder[] =
    "A listing file in every folder needs a plain file name, without a folder.";
inline constexpr char kCantLoadExtensionTable[] = "Can't load the extension table ext.txt.";
inline constexpr char kOutputIsLink[] = "Won't write the listing through a symbolic link: ";
inline constexpr char kOutputNotRegular[] =
    "Won't write the listing into what is not a regular file: ";
inline constexpr char kOutputIsInput[] = "Won't write the listing over a file this run reads: ";

struct phrase {
  int id;
  const char* text;
};

// Every text above with its phrase id.
inline constexpr phrase kMessages[] = {
    {kPhraseDirectiveErrorLine, kDirectiveErrorLine},
    {kPhraseDirectiveErrorColumn, kDirectiveErrorColumn},
    {kPhraseBlockNotClosed, kBlockNotClosed},
    {kPhraseUnknownVariable, kUnknownVariable},
    {kPhraseCantOpenFile, kCantOpenFile},
    {kPhraseReadingFolder, kReadingFolder},
    {kPhraseCantOpenFolder, kCantOpenFolder},
    {kPhraseKilobytes, kKilobytes},
    {kPhraseMegabytes, kMegabytes},
    {kPhraseCantWriteFile, kCantWriteFile},
    {kPhraseTemplateError, kTemplateError},
    {kPhraseNotAProject, kNotAProject},
    {kPhraseOutputNameHasFolder, kOutputNameHasFolder},
    {kPhraseCantLoadExtensionTable, kCantLoadExtensionTable},
    {kPhraseOutputIsLink, kOutputIsLink},
    {kPhraseOutputNotRegular, kOutputNotRegular},
    {kPhraseOutputIsInput, kOutputIsInput},
};

// A template error as the batch run prints it, in plain text: the
// template's path, then phrase 149 and the parser's line, column and detail
// (empty for none) without the message box's markup.
std::string plain_template_error(const std::string& path, int line, int column,
                                 const std::string& detail);

}  // namespace english

// The English variable names, row by row (phrases 30 to 88): the names
// template authors write in var="...".
const std::vector<std::string>& english_variable_names();

// Loads `phrases` (id -> text) as the only language of `table`. Returns the
// load's outcome.
outcome load_test_phrases(phrase_table& table, const std::map<int, std::string>& phrases);

// Error-text phrases 5 to 14 with short marked texts, plus the English names.
std::map<int, std::string> test_template_phrases();

// Loads the bundled English language file of the source tree into `table`.
// Fails as the document reader or phrase_table::load does.
outcome load_english_phrases(phrase_table& table);

}  // namespace dirscribe

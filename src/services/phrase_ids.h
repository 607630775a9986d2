// The phrase ids the program uses, by name. The texts live in the language
// files (data/sources/langs-*.xml); every id named here must have a text in
// the English file, which a test checks against kAllPhraseIds below.
#pragma once

#include <cstddef>

namespace dirscribe {

// --- Extension table ("ext.txt") --------------------------------------------
inline constexpr int kPhraseExtensionListMissing = 0;  // no /ext/extensions
inline constexpr int kPhraseExtensionTableError = 16;  // + the reader's error text
inline constexpr int kPhraseTypeListMissing = 18;      // no /ext/types
inline constexpr int kPhraseFolderType = 24;           // type text of a folder
inline constexpr int kPhraseFileTypeSuffix = 25;       // follows an extension: ".txt" + " file"
inline constexpr int kPhraseFileType = 26;             // type text of any other file
inline constexpr int kPhraseCantLoadExtensionTable = 275;

// --- General messages (phrase + a file or folder name) -----------------------
inline constexpr int kPhraseCantOpenFile = 15;
inline constexpr int kPhraseReadingFolder = 19;  // progress line
inline constexpr int kPhraseCantOpenFolder = 20;
inline constexpr int kPhraseCantWriteFile = 29;
inline constexpr int kPhraseOutOfMemory = 227;
inline constexpr int kPhraseNotAProject = 231;
inline constexpr int kPhraseCantSaveFile = 232;
inline constexpr int kPhraseCantOpenWithShell = 238;

// --- Template parser error text -----------------------------------------------
// Composed as: line phrase, line, column phrase, column, detail separator,
// detail phrase (and for an open block the directive itself).
inline constexpr int kPhraseDirectiveErrorLine = 5;
inline constexpr int kPhraseDirectiveErrorColumn = 6;
inline constexpr int kPhraseDirectiveErrorDetail = 7;
inline constexpr int kPhraseDirectiveWithoutBlock = 8;  // result_directive_without_block
inline constexpr int kPhraseTagNotClosed = 9;           // result_tag_not_closed
inline constexpr int kPhraseBlockNotClosed = 10;        // result_block_not_closed, + the directive
inline constexpr int kPhraseUnknownVariable = 11;       // result_unknown_variable
inline constexpr int kPhraseVariableNotAllowedHere = 12;  // result_variable_not_permitted
inline constexpr int kPhraseForInsideFor = 13;            // result_for_inside_for
inline constexpr int kPhraseRepeatOutsideFor = 14;        // result_repeat_outside_for
// result_repeat_in_tree_loop shares the text of result_repeat_outside_for.
inline constexpr int kPhraseRepeatNeedsFilesOrFolders = 14;
inline constexpr int kPhraseTemplateError = 149;  // + the parser's description

// --- Template variable texts ---------------------------------------------------
inline constexpr int kPhraseSeconds = 21;  // download time units, after a number
inline constexpr int kPhraseMinutes = 22;
inline constexpr int kPhraseHours = 23;
inline constexpr int kPhraseKilobytes = 27;  // " KB", fixed size unit 1
inline constexpr int kPhraseMegabytes = 28;  // " MB", fixed size unit 2
// Variable names as written in templates: row r of the variable table has
// phrase kPhraseFirstVariableName + r up to kPhraseLastVariableName; the rows
// added after those have the phrases of kAddedVariableNames, in row order
// (each took the next free id when it came).
inline constexpr int kPhraseFirstVariableName = 30;
inline constexpr int kPhraseLastVariableName = 88;
inline constexpr int kAddedVariableNames[] = {302, 303, 304, 329, 330};

// --- Filter page: captions are kPhraseFilterBase + offset ----------------------
inline constexpr int kPhraseFilterBase = 150;
inline constexpr int kPhraseFilterLast = 197;

// --- Main window ------------------------------------------------------------------
inline constexpr int kPhraseFirstPageHeader = 200;     // + page index 0..4
inline constexpr int kPhraseFirstRecursionItem = 208;  // items 208..215, index = depth + 1
inline constexpr int kPhraseLastRecursionItem = 215;
inline constexpr int kPhraseNoTemplateElement = 216;
inline constexpr int kPhraseNoStyles = 217;
inline constexpr int kPhraseErrorCaption = 218;
inline constexpr int kPhraseChooseSourceTitle = 219;
inline constexpr int kPhraseOutputDefaultExtension = 220;
inline constexpr int kPhraseChooseOutputTitle = 221;
inline constexpr int kPhraseOpenProjectTitle = 222;
inline constexpr int kPhraseProjectDefaultExtension = 223;
inline constexpr int kPhraseProjectFilter = 224;  // parts separated by "|"
inline constexpr int kPhraseOutputFilter = 225;   // parts separated by "|"
inline constexpr int kPhraseSaveProjectTitle = 226;
inline constexpr int kPhraseNoSourceFolder = 228;
inline constexpr int kPhraseNoStyleSelected = 229;
inline constexpr int kPhraseNoProject = 230;
inline constexpr int kPhraseNoOutputName = 233;
inline constexpr int kPhraseOutputNameHasFolder = 234;
inline constexpr int kPhraseBuildDone = 235;
inline constexpr int kPhraseBuildStopped = 236;
inline constexpr int kPhraseUntitled = 237;
inline constexpr int kPhraseCopyPrefix = 239;
inline constexpr int kPhraseConfirmButton = 240;
inline constexpr int kPhraseCancelButton = 241;
inline constexpr int kPhraseStyleNameTitle = 242;
inline constexpr int kPhraseStyleImageTitle = 243;
inline constexpr int kPhraseStyleDescriptionTitle = 244;
// Menu captions.
inline constexpr int kPhraseMenuFile = 245;
inline constexpr int kPhraseMenuBuild = 246;
inline constexpr int kPhraseMenuStyle = 247;
inline constexpr int kPhraseMenuFilter = 248;
inline constexpr int kPhraseMenuHelp = 249;
inline constexpr int kPhraseMenuWebPage = 250;
inline constexpr int kPhraseMenuNew = 252;
inline constexpr int kPhraseMenuOpen = 253;
inline constexpr int kPhraseMenuSave = 254;
inline constexpr int kPhraseMenuSaveAs = 255;
inline constexpr int kPhraseMenuRecent = 256;
inline constexpr int kPhraseMenuExit = 257;
inline constexpr int kPhraseMenuMake = 258;
inline constexpr int kPhraseMenuStop = 259;
inline constexpr int kPhraseMenuPreview = 260;
inline constexpr int kPhraseMenuResetFilter = 261;
inline constexpr int kPhraseMenuHelpContents = 262;
inline constexpr int kPhraseMenuSupport = 264;
inline constexpr int kPhraseMenuAbout = 265;
inline constexpr int kPhraseAboutCaption = 266;
inline constexpr int kPhraseAboutText = 267;
inline constexpr int kPhraseAboutButton = 268;
inline constexpr int kPhraseCantOpenWebPage = 269;
inline constexpr int kPhraseMenuEditTemplate = 277;
inline constexpr int kPhraseMenuCopyStyle = 278;
inline constexpr int kPhraseMenuRenameStyle = 279;
inline constexpr int kPhraseMenuStyleImage = 280;
inline constexpr int kPhraseMenuStyleDescription = 281;
inline constexpr int kPhraseOutputIsLink = 282;
inline constexpr int kPhraseOutputNotRegular = 283;
inline constexpr int kPhraseOutputIsInput = 284;
inline constexpr int kPhraseFoldersRead = 285;  // the Build page's counts, before the number
inline constexpr int kPhraseFilesListed = 286;
// Names assistive technology reads for controls that no caption names.
inline constexpr int kPhraseStyleListName = 287;
inline constexpr int kPhraseStylePictureName = 288;  // + the style's name
inline constexpr int kPhraseDateSuffix = 289;        // after a picker's label: "Between date"
inline constexpr int kPhraseTimeSuffix = 290;
inline constexpr int kPhraseTimeUnitName = 291;
inline constexpr int kPhraseDateModeName = 292;
inline constexpr int kPhraseDateFormatName = 293;
inline constexpr int kPhraseIconFolderName = 294;
inline constexpr int kPhraseProgressName = 295;
inline constexpr int kPhraseChooseOutputDirTitle = 296;
// The box after a build with warnings: its title, and the line that counts
// the warnings left out of it (before the number).
inline constexpr int kPhraseBuildWarningsTitle = 297;
inline constexpr int kPhraseMoreWarnings = 298;
// What a run kept or skipped so that nothing is lost, each followed by a path
// or a count.
inline constexpr int kPhraseKeptForeignFile = 299;
inline constexpr int kPhraseFolderSwapped = 300;
inline constexpr int kPhraseFilesKept = 301;
// The question before unsaved changes would be dropped ("%1" is the
// project's name) and its three answers.
inline constexpr int kPhraseSaveChanges = 320;
inline constexpr int kPhraseSaveAnswer = 321;
inline constexpr int kPhraseDontSaveAnswer = 322;
inline constexpr int kPhraseCancelAnswer = 323;
// The Build page after a build: the file written (before its path), a failed
// build's status (before the cause), and the word its bar shows.
inline constexpr int kPhraseWrittenFile = 324;
inline constexpr int kPhraseBuildFailed = 325;
inline constexpr int kPhraseBarFailed = 326;
// The hint of an attribute box that no Linux file system sets.
inline constexpr int kPhraseAttributeNeverSet = 327;
// A build whose filter left out every file it found (before the count).
inline constexpr int kPhraseFilterLeftNoFile = 328;
// A picture that gets no thumbnail, before its path and the reason.
inline constexpr int kPhraseNoThumbnail = 331;
// The thumbnails folder beside a page could not be made or is a link, before
// its path.
inline constexpr int kPhraseThumbnailFolderRefused = 332;

// Every id the program looks up, ranges expanded, ascending.
inline constexpr int kAllPhraseIds[] = {
    0,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,  18,  19,  20,  21,  22,  23,
    24,  25,  26,  27,  28,  29,  30,  31,  32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,
    43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,
    62,  63,  64,  65,  66,  67,  68,  69,  70,  71,  72,  73,  74,  75,  76,  77,  78,  79,  80,
    81,  82,  83,  84,  85,  86,  87,  88,  149, 150, 151, 152, 153, 154, 155, 156, 157, 158, 159,
    160, 161, 162, 163, 164, 165, 166, 167, 168, 169, 170, 171, 172, 173, 174, 175, 176, 177, 178,
    179, 180, 181, 182, 183, 184, 185, 186, 187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 197,
    200, 201, 202, 203, 204, 208, 209, 210, 211, 212, 213, 214, 215, 216, 217, 218, 219, 220, 221,
    222, 223, 224, 225, 226, 227, 228, 229, 230, 231, 232, 233, 234, 235, 236, 237, 238, 239, 240,
    241, 242, 243, 244, 245, 246, 247, 248, 249, 250, 252, 253, 254, 255, 256, 257, 258, 259, 260,
    261, 262, 264, 265, 266, 267, 268, 269, 275, 277, 278, 279, 280, 281, 282, 283, 284, 285, 286,
    287, 288, 289, 290, 291, 292, 293, 294, 295, 296, 297, 298, 299, 300, 301, 302, 303, 304, 320,
    321, 322, 323, 324, 325, 326, 327, 328, 329, 330, 331, 332,
};

namespace phrase_ids_detail {
constexpr bool strictly_ascending() {
  for (size_t i = 1; i < sizeof kAllPhraseIds / sizeof kAllPhraseIds[0]; ++i) {
    if (kAllPhraseIds[i - 1] >= kAllPhraseIds[i]) return false;
  }
  return true;
}
}  // namespace phrase_ids_detail
static_assert(phrase_ids_detail::strictly_ascending(), "kAllPhraseIds must ascend");

}  // namespace dirscribe

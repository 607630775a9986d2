#include "ui/file_dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "ui/answering_dialogs.h"

namespace dirscribe {
namespace {

// Dialogs that all answer `answer`, keeping the requests.
struct answering_with : answering_dialogs {
  explicit answering_with(file_dialog_answer answer) {
    file_answer = [answer](const file_dialog_request&) { return answer; };
  }
};

QStringList qt_strings(const std::vector<const char*>& texts) {
  QStringList strings;
  for (const char* text : texts) strings.append(QString::fromUtf8(text));
  return strings;
}

TEST(QtNameFilters, PairsBecomeFilters) {
  struct row {
    std::string text;
    std::vector<const char*> filters;
  };
  const std::vector<row> rows = {
      {"Projects (*.txt)|*.txt|Templates|*.htm;*.html|All files (*.*)|*.*|",
       {"Projects (*.txt)", "Templates (*.htm *.html)", "All files (*)"}},
      {"", {}},
      {"|", {}},
      {"Projects (*.txt)|*.txt", {"Projects (*.txt)"}},
      {"All files (*)|*|", {"All files (*)"}},
      {"Projects (*.txt)|*.txt|Everything", {"Projects (*.txt)"}},
      {"Nothing||Projects|*.txt|", {"Projects (*.txt)"}},
      {"Web pages (HTML)|*.htm;*.html|", {"Web pages (HTML) (*.htm *.html)"}},
      {"Web pages (*.htm;*.html)|*.htm;*.html|", {"Web pages (*.htm *.html)"}},
      {"Web pages (*.htm *.html)|*.htm;*.html|", {"Web pages (*.htm *.html)"}},
      {"Web pages (*.html)|*.htm;*.html|", {"Web pages (*.html) (*.htm *.html)"}},
      {"HTML files (*.html, *.htm)|*.html;*.htm|", {"HTML files (*.html *.htm)"}},
      {"Web pages (*.html *.htm)|*.htm;*.html|", {"Web pages (*.htm *.html)"}},
      {"|*.txt|", {"*.txt"}},
      {" Text | *.txt ; *.text ;|", {"Text (*.txt *.text)"}},
      {"Übersicht|*.übersicht|", {"Übersicht (*.übersicht)"}},
  };
  for (const row& r : rows) {
    EXPECT_EQ(qt_name_filters(r.text), qt_strings(r.filters)) << r.text;
  }
}

TEST(NormaliseInitialFolder, TrailingSlashesGoTheRootStays) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> rows = {
      {"/home/a/", "/home/a"},
      {"/home/a//", "/home/a"},
      {"/home/a", "/home/a"},
      {"/", "/"},
      {"//", "/"},
      {"", std::nullopt},
      {"a/", "a"},
  };
  for (const auto& [folder, normalised] : rows) {
    EXPECT_EQ(normalise_initial_folder(folder), normalised) << folder;
  }
}

enum class run { open, open_several, save, save_several };

bool run_dialog(file_dialog& dialog, dialog_host& dialogs, run how) {
  dialog.multi_selection = how == run::open_several || how == run::save_several;
  return how == run::save || how == run::save_several ? dialog.save(dialogs) : dialog.open(dialogs);
}

TEST(OpenSaveDialog, ResultsFromTheAnswer) {
  struct row {
    run how;
    bool confirmed;  // by the user
    std::vector<const char*> paths;
    bool result;
    std::string result_path;
    int result_position;
    std::vector<std::string> selection;
  };
  using namespace std::string_literals;  // "..."s keeps the NUL characters
  const std::vector<row> rows = {
      {run::open, false, {}, false, "", -1, {}},
      {run::open_several, false, {}, false, "", -1, {}},
      {run::open, true, {}, false, "", -1, {}},
      {run::open, true, {"/home/u/list.txt"}, true, "/home/u/list.txt", 8, {}},
      {run::save, true, {"/home/u/out.html"}, true, "/home/u/out.html", 8, {}},
      {run::open, true, {"/a.txt"}, true, "/a.txt", 1, {}},
      {run::open, true, {"/tmp/Übersicht.txt"}, true, "/tmp/Übersicht.txt", 5, {}},
      {run::open_several,
       true,
       {"/d/a.txt", "/d/b.txt"},
       true,
       "/d\0a.txt\0b.txt"s,
       3,
       {"/d", "a.txt", "b.txt"}},
      {run::open_several, true, {"/d/a.txt"}, true, "/d/a.txt", 3, {"/d", "a.txt"}},
      {run::open_several, true, {"/a", "/b"}, true, "/\0a\0b"s, 2, {"/", "a", "b"}},
      {run::save_several, true, {"/d/a.txt"}, true, "/d/a.txt", 3, {}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.paths) + " confirmed " + (r.confirmed ? "1" : "0"));
    answering_with dialogs({r.confirmed, qt_strings(r.paths)});
    file_dialog dialog;
    // Results of an earlier run must not survive this one.
    dialog.result_path = "stale";
    dialog.result_position = 99;
    dialog.selection = {"stale"};
    EXPECT_EQ(run_dialog(dialog, dialogs, r.how), r.result);
    EXPECT_EQ(dialog.result_path, r.result_path);
    EXPECT_EQ(dialog.result_position, r.result_position);
    EXPECT_EQ(dialog.selection, r.selection);
  }
}

TEST(OpenSaveDialog, RequestCarriesTheSettings) {
  struct row {
    run how;
    file_dialog_kind kind;
    bool multi_selection;
    const char* default_suffix;
  };
  const std::vector<row> rows = {{run::open, file_dialog_kind::open, false, ""},
                                 {run::open_several, file_dialog_kind::open, true, ""},
                                 {run::save_several, file_dialog_kind::save, false, "txt"}};
  for (const row& r : rows) {
    answering_with dialogs({false, {}});
    file_dialog dialog;
    dialog.filter_text = "Projects (*.txt)|*.txt|Templates|*.htm;*.html|All files (*.*)|*.*|";
    dialog.title = "Open a project";
    dialog.initial_file = "project.txt";
    dialog.initial_folder = "/home/a//";
    dialog.default_extension = "txt";
    run_dialog(dialog, dialogs, r.how);
    ASSERT_EQ(dialogs.file_requests.size(), 1u);
    const file_dialog_request& request = dialogs.file_requests.front();
    EXPECT_EQ(request.kind, r.kind);
    EXPECT_EQ(request.title, QStringLiteral("Open a project"));
    EXPECT_EQ(request.initial_folder, QStringLiteral("/home/a"));
    EXPECT_EQ(request.initial_file, QStringLiteral("project.txt"));
    EXPECT_EQ(request.name_filters,
              qt_strings({"Projects (*.txt)", "Templates (*.htm *.html)", "All files (*)"}));
    EXPECT_EQ(request.multi_selection, r.multi_selection);
    EXPECT_EQ(request.default_suffix, QString::fromUtf8(r.default_suffix));
  }
}

TEST(DirOpenDialog, ChosenFolderOrNothing) {
  temp_folder temp;
  ASSERT_FALSE(temp.path().empty());
  temp.make_folder("lists");
  temp.write("file.txt", "x");
  const std::string lists = temp.at("lists");
  struct row {
    bool confirmed;  // by the user
    std::vector<std::string> paths;
    bool result;
    std::string result_path;
  };
  const std::vector<row> rows = {
      {true, {lists}, true, lists},
      {true, {lists + "/"}, true, lists},
      {true, {"/"}, true, "/"},
      {false, {}, false, ""},
      {true, {}, false, ""},
      {true, {temp.at("file.txt")}, false, ""},
      {true, {temp.at("gone")}, false, ""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.paths) + " confirmed " + (r.confirmed ? "1" : "0"));
    file_dialog_answer answer{r.confirmed, {}};
    for (const std::string& path : r.paths) answer.paths.append(QString::fromStdString(path));
    answering_with dialogs(answer);
    folder_dialog dialog;
    dialog.title = "Folder to list";
    dialog.initial_folder = temp.path() + "/";
    dialog.result_path = "stale";
    EXPECT_EQ(dialog.run(dialogs), r.result);
    EXPECT_EQ(dialog.result_path, r.result_path);
    ASSERT_EQ(dialogs.file_requests.size(), 1u);
    EXPECT_EQ(dialogs.file_requests.front().kind, file_dialog_kind::folder);
    EXPECT_EQ(dialogs.file_requests.front().title, QStringLiteral("Folder to list"));
    EXPECT_EQ(dialogs.file_requests.front().initial_folder, QString::fromStdString(temp.path()));
  }
}

}  // namespace
}  // namespace dirscribe

// The wizard's main window built from the real description, driven as a user
// would through the answering dialogs that stand in for the user.
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QScreen>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/extension_table.h"
#include "listing/listing_driver.h"
#include "services/phrase_table.h"
#include "support/temp_folder.h"
#include "ui/control_paths.h"
#include "ui/file_dialogs.h"
#include "ui/form_builder.h"
#include "ui/interface_description.h"
#include "ui/prompt_dialogs.h"
#include "ui/shell_open.h"
#include "ui/wizard_window_fixture.h"

namespace dirscribe {
namespace {

namespace fs = std::filesystem;

TEST_F(WizardWindow, PagesTitleAndStyles) {
  ASSERT_TRUE(open_window().ok()) << dialogs_.boxes.size();
  EXPECT_EQ(window_->form()->windowTitle(), QStringLiteral("Vostra Dirscribe 3.0 [Untitled]"));
  auto* back = control<QAbstractButton>("pBottom/bPrev");
  auto* next = control<QAbstractButton>("pBottom/bNext");
  EXPECT_FALSE(back->isEnabled());
  EXPECT_TRUE(next->isEnabled());
  next->click();
  EXPECT_EQ(window_->current_page(), 1);
  window_->show_page(4);
  EXPECT_TRUE(back->isEnabled());
  EXPECT_FALSE(next->isEnabled());
  EXPECT_TRUE(control("main/pBuild")->isVisibleTo(window_->form()));
  EXPECT_FALSE(control("main/pStyle")->isVisibleTo(window_->form()));
  // Every style of the catalog is listed; a project whose template is no
  // style shows the first.
  auto* styles = control<QListWidget>("main/pStyle/pLeft/styleLB");
  EXPECT_EQ(static_cast<size_t>(styles->count()), window_->catalog().entries.size());
  window_->project()->settings.format_file = "/elsewhere/unknown.html";
  ASSERT_TRUE(window_->view().ok());
  EXPECT_EQ(styles->currentRow(), 0);
}

TEST_F(WizardWindow, EveryControlRoundTripsThroughViewAndStore) {
  ASSERT_TRUE(open_window().ok());
  ASSERT_GE(window_->catalog().entries.size(), 2u);
  project_settings& s = window_->project()->settings;
  // A bundled style is named as the program folder holds it.
  s.format_file = "templates/" + window_->catalog().entries[1]->file;
  s.path = "/data/m\xc3\xbcsic & <more>";
  s.save = "list.html";
  s.recursion_depth = 3;
  s.subfolders_in_one_file = false;
  s.order_files = 3;
  s.sort_order = true;
  s.show_folders = show_files_bit;
  s.disk_space = true;
  s.recursive_options = recursive_subtree_sizes | recursive_folders_after_level;
  s.show_summary = false;
  s.url_escape = 2;
  s.size_units = 2;
  s.shell_mode = shell_mode_system_types;
  s.use_date_format = false;
  s.date_format = "%Y";
  s.is_local_date = false;
  s.local_image_dir = false;
  s.image_dir = "/icons";
  s.link_base = "https://files.example.org/pub/";
  s.output_dir = "/srv/www/pages";
  s.overwrite = true;
  s.listing_title = "Tom & Jerry's <files>";
  s.thumbnails = true;
  s.filter.str_files_include = "*.txt";
  s.filter.size_filter = size_not_below;
  s.filter.size_start = 2048;
  s.filter.time_filter = time_last;
  s.filter.last_how_many = 9;
  s.filter.last_type = unit_week;
  s.filter.att_filter = 5;
  s.filter.attrs = 0x2;
  std::vector<std::string> before;
  write_project(*window_->project(), before);
  ASSERT_TRUE(window_->view().ok());
  reset_project(*window_->project());
  ASSERT_TRUE(window_->store().ok());
  std::vector<std::string> after;
  write_project(*window_->project(), after);
  EXPECT_EQ(after, before);

  // Values a list has no item for are kept, not changed by a save.
  s.recursion_depth = 10;
  s.order_files = 9;
  s.url_escape = 7;
  s.size_units = 5;
  s.filter.time_filter = 8;
  s.filter.size_filter = 6;
  s.filter.last_type = 12;
  before.clear();
  write_project(*window_->project(), before);
  ASSERT_TRUE(window_->view().ok());
  ASSERT_TRUE(window_->store().ok());
  after.clear();
  write_project(*window_->project(), after);
  EXPECT_EQ(after, before);
  // Readable sizes have the item after MB; 3, one past MB, has none.
  for (const int32_t units : {-2, 3}) {
    s.size_units = units;
    ASSERT_TRUE(window_->view().ok());
    EXPECT_EQ(control<QComboBox>(control_paths::kSizeUnits)->currentIndex(), units == -2 ? 4 : -1);
    s.size_units = 0;
    ASSERT_TRUE(window_->store().ok());
    EXPECT_EQ(s.size_units, units == -2 ? -2 : 0) << units;
  }
  // Dates are edited only with a format of one's own, which can be tried.
  EXPECT_FALSE(control("main/pOptions/gbDateFormat/eDateFormat")->isEnabled());
  control<QComboBox>("main/pOptions/gbDateFormat/cDateFormat")->setCurrentIndex(1);
  EXPECT_TRUE(control("main/pOptions/gbDateFormat/eDateFormat")->isEnabled());
  control<QLineEdit>("main/pOptions/gbDateFormat/eDateFormat")->setText(QStringLiteral("%Y"));
  control<QAbstractButton>("main/pOptions/gbDateFormat/bDateFormat")->click();
  EXPECT_EQ(control<QLabel>("main/pOptions/gbDateFormat/lDateFormat")->text(),
            QString::number(QDate::currentDate().year()));
}

TEST_F(WizardWindow, MakeRefusesWhatCannotBeBuilt) {
  ASSERT_TRUE(open_window().ok());
  struct row {
    const char* path;
    const char* save;
    bool one_file;
    int phrase_id;
  };
  for (const row& r : std::vector<row>{{"", "index.html", true, 228},
                                       {"/data", "", true, 233},
                                       {"/data", "out/index.html", false, 234}}) {
    control<QLineEdit>("main/pSource/gbSrc/eSrc")->setText(QString::fromLatin1(r.path));
    control<QLineEdit>("main/pSource/gbDest/eDest")->setText(QString::fromLatin1(r.save));
    control<QAbstractButton>(r.one_file ? "main/pSource/gbRec/gbSingleFile/recSingle"
                                        : "main/pSource/gbRec/gbSingleFile/recMultiple")
        ->click();
    dialogs_.boxes.clear();
    window_->make();
    EXPECT_FALSE(window_->busy());
    EXPECT_EQ(boxes(), std::vector<std::string>{phrase(r.phrase_id)}) << r.path << " " << r.save;
  }
}

TEST_F(WizardWindow, MakeWritesWhatTheBatchRunWrites) {
  ASSERT_TRUE(open_window().ok());
  const std::string tree = make_tree("tree", 40);
  control<QLineEdit>("main/pSource/gbSrc/eSrc")->setText(QString::fromStdString(tree));
  control<QLineEdit>("main/pSource/gbDest/eDest")
      ->setText(QString::fromStdString(folder_.at("out.html")));
  control<QComboBox>("main/pSource/gbRec/cbRec")->setCurrentIndex(0);  // all subfolders
  window_->make();
  EXPECT_TRUE(window_->busy());
  wait_for_build(*window_);
  EXPECT_FALSE(window_->busy());
  EXPECT_EQ(window_->status_text().toStdString(), phrase(235));
  const std::string listing = read_file(folder_.at("out.html"));
  EXPECT_NE(listing.find("f39.txt"), std::string::npos);
  EXPECT_EQ(window_->preview_target(), folder_.at("out.html"));
  // The bar counts the tree: the root, 7 folders, 40 files.
  EXPECT_EQ(control<QProgressBar>("main/pBuild/gbInfo/pbBuild")->text().toStdString(),
            phrase(285) + "8    " + phrase(286) + "40");

  // The same project saved and built as a batch run does.
  answer_dialogs({true, {QString::fromStdString(folder_.at("project.txt"))}});
  ASSERT_TRUE(window_->save_project_as());
  fs::remove(folder_.at("out.html"));
  project_context batch;
  batch.program_folder = folder_.at("program/");
  batch.language = phrases_.get();
  batch.fill_size_unit_names();
  ASSERT_TRUE(load_extension_table(folder_.at("program/ext.txt"), batch).ok());
  ASSERT_TRUE(batch.load_file(folder_.at("project.txt")).ok());
  ASSERT_TRUE(run_collection(batch).ok());
  EXPECT_EQ(read_file(folder_.at("out.html")), listing);
}

// A relative folder is taken beside the project file the window shows: after
// Save as, the new file's folder, not the folder of the file opened before.
TEST_F(WizardWindow, RelativeFoldersFollowTheProjectFileShown) {
  ASSERT_TRUE(open_window().ok());
  folder_.write("first/tree/first.txt", "1");
  folder_.write("second/tree/second.txt", "2");
  control<QLineEdit>("main/pSource/gbSrc/eSrc")->setText(QStringLiteral("tree"));
  control<QLineEdit>("main/pSource/gbDest/eDest")
      ->setText(QString::fromStdString(folder_.at("out.html")));
  for (const std::string place : {"first", "second"}) {
    answer_dialogs({true, {QString::fromStdString(folder_.at(place + "/p.txt"))}});
    ASSERT_TRUE(window_->save_project_as());
    if (place == "first") {
      ASSERT_TRUE(window_->open_project_file(folder_.at("first/p.txt")).ok());
    }
    window_->make();
    wait_for_build(*window_);
    EXPECT_EQ(window_->status_text().toStdString(), phrase(235)) << place;
    EXPECT_NE(read_file(folder_.at("out.html")).find(place + ".txt"), std::string::npos) << place;
  }
}

// The window names the program folder's files in full and the project's
// folders by the project file, so the folder the program was started in
// plays no part: here it holds a folder of the same relative name.
TEST_F(WizardWindow, TheWorkingFolderPlaysNoPart) {
  folder_.write("elsewhere/tree/wrong.txt", "x");
  folder_.write("project/tree/right.txt", "x");
  struct working_folder {
    fs::path before = fs::current_path();
    ~working_folder() { fs::current_path(before); }
  } restored;
  fs::current_path(folder_.at("elsewhere"));
  ASSERT_TRUE(open_window().ok());
  // The glyphs are the program folder's pictures.
  for (const char* button : {control_paths::kNewButton, control_paths::kMakeButton}) {
    EXPECT_FALSE(control<QAbstractButton>(button)->icon().isNull()) << button;
  }
  control<QLineEdit>(control_paths::kSource)->setText(QStringLiteral("tree"));
  control<QLineEdit>(control_paths::kOutput)->setText(QStringLiteral("index.html"));
  answer_dialogs({true, {QString::fromStdString(folder_.at("project/p.txt"))}});
  ASSERT_TRUE(window_->save_project_as());
  window_->make();
  wait_for_build(*window_);
  EXPECT_EQ(window_->status_text().toStdString(), phrase(235));
  EXPECT_NE(read_file(folder_.at("project/tree/index.html")).find("right.txt"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder_.at("elsewhere/tree/index.html")));
  EXPECT_EQ(fs::current_path(), fs::path(folder_.at("elsewhere")));
}

TEST_F(WizardWindow, StopAndCloseEndALargeBuild) {
  ASSERT_TRUE(open_window().ok());
  const std::string tree = make_tree("big", 50000);
  control<QLineEdit>("main/pSource/gbSrc/eSrc")->setText(QString::fromStdString(tree));
  control<QLineEdit>("main/pSource/gbDest/eDest")
      ->setText(QString::fromStdString(folder_.at("big.html")));
  control<QComboBox>("main/pSource/gbRec/cbRec")->setCurrentIndex(0);
  window_->make();
  window_->stop();
  wait_for_build(*window_);
  EXPECT_FALSE(window_->busy());
  EXPECT_EQ(window_->status_text().toStdString(), phrase(236));
  EXPECT_TRUE(control("pTop/bMake")->isEnabled());
  EXPECT_FALSE(control("pTop/bStop")->isEnabled());

  // Closing while it builds stops the build and waits for it, once the
  // typed folder may go.
  dialogs_.box_answer = [](const message_box_request& box) {
    return box.icon == QMessageBox::Question ? QMessageBox::Discard : QMessageBox::Ok;
  };
  window_->make();
  EXPECT_TRUE(window_->busy());
  window_->form()->close();
  EXPECT_FALSE(window_->busy());
  window_.reset();
}

TEST_F(WizardWindow, ProjectsOpenSaveAndComeBack) {
  ASSERT_TRUE(open_window().ok());
  // An untitled project asks for a name; a cancelled dialog keeps it untitled.
  answer_dialogs({false, {}});
  EXPECT_FALSE(window_->save_project());
  EXPECT_TRUE(window_->project_file().empty());
  // A missing file is named in the warning.
  answer_dialogs({true, {QStringLiteral("/no/such/project.txt")}});
  window_->open_project();
  EXPECT_EQ(boxes().back(), phrase(15) + "/no/such/project.txt");
  // A style click drops what was typed, once the user lets it go.
  control<QLineEdit>("main/pSource/gbSrc/eSrc")->setText(QStringLiteral("/typed"));
  dialogs_.box_answer = [](const message_box_request& box) {
    return box.icon == QMessageBox::Question ? QMessageBox::Discard : QMessageBox::Ok;
  };
  window_->style_clicked(1);
  EXPECT_NE(control<QLineEdit>("main/pSource/gbSrc/eSrc")->text(), QStringLiteral("/typed"));

  // Seven projects saved and opened one after the other: the five latest
  // are remembered, most recent first, also by the next run.
  std::vector<std::string> files;
  for (int i = 0; i < 7; ++i) {
    files.push_back(folder_.at("p" + std::to_string(i) + ".txt"));
    answer_dialogs({true, {QString::fromStdString(files.back())}});
    ASSERT_TRUE(window_->save_project_as());
  }
  for (const std::string& file : files) {
    answer_dialogs({true, {QString::fromStdString(file)}});
    window_->open_project();
    EXPECT_EQ(window_->project_file(), file);
  }
  // Closing remembers the project that is open.
  window_->form()->close();
  ASSERT_TRUE(open_window().ok());
  const std::vector<std::string> expected = {files[6], files[5], files[4], files[3], files[2]};
  EXPECT_EQ(window_->settings().recent_projects, expected);
  window_->open_recent(1);
  EXPECT_EQ(window_->project_file(), files[5]);
}

TEST_F(WizardWindow, PreviewAndHelpOpenTheRightFiles) {
  ASSERT_TRUE(open_window().ok());
  struct row {
    const char* path;
    const char* save;
    const char* target;
    const char* output_dir = "";
    bool one_file = true;
  };
  for (const row& r : std::vector<row>{
           {"/data", "index.html", "/data/index.html"},
           {"/data//", "index.html", "/data/index.html"},
           {"/", "a.html", "/a.html"},
           {"/data", "/srv/www/list.html", "/srv/www/list.html"},
           {"/data", "", ""},
           {"/data", "-", ""},
           // A relative name with a folder is taken in the listed folder,
           // never in the working folder.
           {"/data", "pages/list.html", "/data/pages/list.html"},
           {"/data", "list.html", "/srv/www/list.html", "/srv/www"},
           {"/data", "/srv/list.html", "/srv/list.html", "/srv/www"},
           {"/data", "index.html", "/srv/www/index.html", "/srv/www/", false},
           {"/data", "index.html", "/data/index.html", "", false},
       }) {
    project_settings& s = window_->project()->settings;
    s.path = r.path;
    s.save = r.save;
    s.output_dir = r.output_dir;
    s.subfolders_in_one_file = r.one_file;
    EXPECT_EQ(window_->preview_target(), r.target)
        << r.path << " " << r.save << " " << r.output_dir << " " << r.one_file;
  }
  window_->show_page(2);
  window_->open_page_help();
  EXPECT_EQ(opened().back(), folder_.at("program/help/3200.html"));
}

TEST_F(WizardWindow, StylesAreCopiedAndRenamed) {
  ASSERT_TRUE(open_window().ok());
  auto* styles = control<QListWidget>("main/pStyle/pLeft/styleLB");
  const int count = styles->count();
  styles->setCurrentRow(0);
  window_->copy_style();
  ASSERT_EQ(styles->count(), count + 1);
  EXPECT_EQ(styles->item(count)->text().toStdString(),
            phrase(239) + window_->catalog().entries[0]->name);
  // The rename prompt is answered as a user would: a name, then OK.
  const auto answer_rename = [](QDialog& form) {
    form.findChild<QLineEdit*>(QStringLiteral("text_field"))->setText(QStringLiteral("Mine"));
    form.findChild<QAbstractButton*>(QStringLiteral("confirm_button"))->click();
  };
  dialogs_.form_answer = answer_rename;
  styles->setCurrentRow(count);
  window_->rename_style();
  dialogs_.form_answer = nullptr;
  EXPECT_EQ(styles->item(count)->text(), QStringLiteral("Mine"));
  EXPECT_EQ(control<QLabel>("main/pStyle/p/pStyleH")->text(), QStringLiteral("Mine"));
  EXPECT_NE(read_file(folder_.at("program/templates.txt")).find("<name>Mine</name>"),
            std::string::npos);
  // Edit opens the copy's own template.
  window_->edit_style();
  EXPECT_EQ(opened().back(), folder_.at("program/templates/") +
                                 window_->catalog().entries[static_cast<size_t>(count)]->file);
  // A catalog that cannot be saved is named in full, with the reason.
  fs::remove(folder_.at("program/templates.txt"));
  folder_.make_folder("program/templates.txt");
  dialogs_.form_answer = answer_rename;
  window_->rename_style();
  dialogs_.form_answer = nullptr;
  EXPECT_EQ(boxes().back(), phrase(232) + folder_.at("program/templates.txt") + ": Is a directory");
}

// A window left on a monitor that is gone opens where it can be seen; one
// still partly on the screen stays where it was left.
TEST_F(WizardWindow, ASavedPlaceOffEveryScreenOpensCentred) {
  const QScreen* primary = QGuiApplication::primaryScreen();
  ASSERT_NE(primary, nullptr);
  const QRect screen = primary->availableGeometry();
  const struct {
    QPoint saved;
    bool kept;
  } cases[] = {
      {QPoint(123, 45), true},
      {screen.topLeft(), true},
      {QPoint(screen.right() - 10, screen.bottom() - 10), true},
      {QPoint(5000, 4000), false},
      {QPoint(screen.right() + 1, screen.top()), false},
      {QPoint(-20000, 100), false},
      {QPoint(100, -20000), false},
  };
  for (const auto& c : cases) {
    const std::string where = std::to_string(c.saved.x()) + "," + std::to_string(c.saved.y());
    folder_.write("program/settings.txt", "<left>" + std::to_string(c.saved.x()) +
                                              "</left>\r\n<top>" + std::to_string(c.saved.y()) +
                                              "</top>\r\n");
    ASSERT_TRUE(open_window().ok()) << where;
    const QSize size = window_->form()->size();
    const QPoint centred = centred_position(centring::on_screen, screen, size);
    EXPECT_EQ(window_->form()->pos(), c.kept ? c.saved : centred) << where;
    EXPECT_TRUE(screen.intersects(QRect(window_->form()->pos(), size))) << where;
  }
}

// Preview opens the very file the build wrote, with the folders of the
// project taken beside its file.
TEST_F(WizardWindow, PreviewOpensTheFileTheBuildWrote) {
  ASSERT_TRUE(open_window().ok());
  folder_.write("project/tree/a.txt", "a");
  control<QLineEdit>(control_paths::kSource)->setText(QStringLiteral("tree"));
  control<QLineEdit>(control_paths::kOutput)->setText(QStringLiteral("list.html"));
  control<QLineEdit>(control_paths::kOutputDir)->setText(QStringLiteral("pages"));
  answer_dialogs({true, {QString::fromStdString(folder_.at("project/p.txt"))}});
  ASSERT_TRUE(window_->save_project_as());
  window_->make();
  wait_for_build(*window_);
  ASSERT_EQ(window_->status_text().toStdString(), phrase(235));
  const std::string written = folder_.at("project/pages/list.html");
  EXPECT_TRUE(fs::exists(written));
  window_->preview();
  EXPECT_EQ(opened(), std::vector<std::string>{written});
}

// A filter that leaves out every file the build found is named in the
// warnings box after the build, which still writes the listing.
TEST_F(WizardWindow, AFilterThatLeavesNoFileIsNamedAfterTheBuild) {
  ASSERT_TRUE(open_window().ok());
  folder_.write("tree/a.txt", "a");
  folder_.write("tree/b.txt", "b");
  control<QLineEdit>(control_paths::kSource)->setText(QString::fromStdString(folder_.at("tree")));
  control<QLineEdit>(control_paths::kOutput)->setText(QString::fromStdString(folder_.at("o.html")));
  window_->form()
      ->findChild<QComboBox*>(QStringLiteral("eIncFile"))
      ->setEditText(QStringLiteral("*.none"));
  window_->make();
  wait_for_build(*window_);
  EXPECT_EQ(window_->status_text().toStdString(), phrase(235));
  EXPECT_EQ(boxes(), std::vector<std::string>{phrase(328) + "2"});
  EXPECT_TRUE(fs::exists(folder_.at("o.html")));
}

// The Build page shows each state as it is: Stop only while a build runs,
// the status and the counts readable meanwhile, a failure in red with its
// cause, and after success the file written with the ways to it.
TEST_F(WizardWindow, TheBuildPageShowsEveryStateAsItIs) {
  ASSERT_TRUE(open_window().ok());
  QWidget* form = window_->form();
  auto* make = control<QAbstractButton>(control_paths::kMakePageButton);
  auto* stop = control<QAbstractButton>(control_paths::kStopPageButton);
  auto* status = control<QLabel>(control_paths::kStatus);
  auto* bar = control<QProgressBar>(control_paths::kProgress);
  auto* done = control<QWidget>(control_paths::kDoneRow);
  const QColor normal_bar = bar->palette().color(QPalette::Highlight);
  const struct {
    const char* state;
    bool building;
  } idle_and_busy[] = {{"idle", false}, {"building", true}};
  const std::string tree = make_tree("tree", 40);
  const std::string written = folder_.at("out.html");
  control<QLineEdit>(control_paths::kSource)->setText(QString::fromStdString(tree));
  control<QLineEdit>(control_paths::kOutput)->setText(QString::fromStdString(written));
  for (const auto& s : idle_and_busy) {
    if (s.building) window_->make();  // its end is shown only when events are handled
    EXPECT_EQ(window_->busy(), s.building) << s.state;
    EXPECT_EQ(stop->isEnabled(), s.building) << s.state;
    EXPECT_EQ(make->isEnabled(), !s.building) << s.state;
    EXPECT_TRUE(status->isEnabled()) << s.state;
    EXPECT_TRUE(bar->isEnabled()) << s.state;
    EXPECT_TRUE(window_->page_panel(4)->isEnabled()) << s.state;
    EXPECT_FALSE(done->isVisibleTo(form)) << s.state;
  }
  wait_for_build(*window_);
  // Done: the file written, opened and shown in its folder.
  EXPECT_FALSE(stop->isEnabled());
  EXPECT_TRUE(done->isVisibleTo(form));
  EXPECT_EQ(control<QLabel>(control_paths::kWrittenFile)->text().toStdString(),
            phrase(324) + written);
  EXPECT_EQ(bar->palette().color(QPalette::Highlight), normal_bar);
  control<QAbstractButton>(control_paths::kOpenListing)->click();
  control<QAbstractButton>(control_paths::kShowFolder)->click();
  EXPECT_EQ(opened(),
            (std::vector<std::string>{written, fs::path(written).parent_path().string()}));

  // Failed: the cause in the status, the bar red and worded so.
  control<QLineEdit>(control_paths::kSource)->setText(QStringLiteral("/no/such/folder"));
  window_->make();
  // While it runs, nothing of the last build's end stays on the page.
  EXPECT_TRUE(window_->status_text().isEmpty());
  EXPECT_FALSE(done->isVisibleTo(form));
  wait_for_build(*window_);
  ASSERT_FALSE(dialogs_.boxes.empty());
  const std::string cause = boxes().back();
  EXPECT_FALSE(cause.empty());
  EXPECT_EQ(window_->status_text().toStdString(), phrase(325) + cause);
  EXPECT_NE(bar->palette().color(QPalette::Highlight), normal_bar);
  EXPECT_EQ(bar->text().toStdString().rfind(phrase(326), 0), 0u) << bar->text().toStdString();
  EXPECT_FALSE(done->isVisibleTo(form));
  EXPECT_FALSE(stop->isEnabled());
  EXPECT_TRUE(make->isEnabled());
}

// Paths a user expects: dialogs start where the user was last (the home
// folder at first), "Skip files" follows the listing's name until the user
// changes it, and a saved project names a bundled style's template inside
// the program folder, while one naming a full path still opens.
TEST_F(WizardWindow, PathsFollowTheUser) {
  ASSERT_TRUE(open_window().ok());
  dialogs_.box_answer = [](const message_box_request& box) {
    return box.icon == QMessageBox::Question ? QMessageBox::Discard : QMessageBox::Ok;
  };
  const std::vector<std::pair<const char*, std::function<void()>>> dialogs = {
      {"open", [&] { window_->open_project(); }},
      {"save as", [&] { window_->save_project_as(); }},
      {"source", [&] { window_->browse_source(); }},
      {"output", [&] { window_->choose_output(); }},
      {"output folder", [&] { window_->browse_output_dir(); }},
  };
  for (const QString& expected : {QDir::homePath(), QString::fromStdString(folder_.at("music"))}) {
    for (const auto& [name, run] : dialogs) {
      answer_dialogs({false, {}});
      run();
      ASSERT_FALSE(dialogs_.file_requests.empty());
      EXPECT_EQ(dialogs_.file_requests.back().initial_folder, expected) << name;
    }
    folder_.make_folder("music");
    answer_dialogs({true, {QString::fromStdString(folder_.at("music"))}});
    window_->browse_source();
  }

  auto* output = control<QLineEdit>(control_paths::kOutput);
  auto* skip = window_->form()->findChild<QLineEdit*>(QStringLiteral("eSkipFile"));
  ASSERT_EQ(skip->text(), output->text());
  output->setText(QStringLiteral("/srv/www/music.html"));
  EXPECT_EQ(skip->text(), QStringLiteral("music.html"));
  skip->setText(QStringLiteral("*.bak"));
  output->setText(QStringLiteral("other.html"));
  EXPECT_EQ(skip->text(), QStringLiteral("*.bak"));

  // The template of a bundled style, saved inside the program folder.
  auto* styles = control<QListWidget>(control_paths::kStyles);
  styles->setCurrentRow(1);
  const std::string file = window_->catalog().entries[1]->file;
  answer_dialogs({true, {QString::fromStdString(folder_.at("p.txt"))}});
  ASSERT_TRUE(window_->save_project_as());
  EXPECT_NE(
      read_file(folder_.at("p.txt")).find("<format_file>templates/" + file + "</format_file>"),
      std::string::npos);
  // One that names it in full opens with that style.
  folder_.write("full.txt", "<project><path>/data</path><format_file>" +
                                folder_.at("program/templates/") + file +
                                "</format_file></project>");
  styles->setCurrentRow(0);
  ASSERT_TRUE(window_->open_project_file(folder_.at("full.txt")).ok());
  EXPECT_EQ(styles->currentRow(), 1);
  EXPECT_EQ(control<QLabel>(control_paths::kStyleName)->text().toStdString(),
            window_->catalog().entries[1]->name);
}

TEST(BuildWarnings, TheBoxListsTheFirstAndCountsTheRest) {
  const struct {
    std::vector<std::string> warnings;
    size_t shown;
    std::string text;
  } cases[] = {
      {{}, 2, ""},
      {{"a"}, 2, "a"},
      {{"a", "b"}, 2, "a\nb"},
      {{"a", "b", "c", "d"}, 2, "a\nb\nmore: 2"},
      {{"a", "b"}, 0, "more: 2"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(warnings_text(c.warnings, c.shown, "more: "), c.text)
        << ::testing::PrintToString(c.warnings) << " " << c.shown;
  }
}

TEST_F(WizardWindow, ACatalogWithoutStylesStopsTheWindow) {
  folder_.write("program/templates.txt", "<other/>");
  const outcome built = open_window();
  EXPECT_FALSE(built.ok());
  EXPECT_EQ(built.message(), folder_.at("program/templates.txt") + ": " + phrase(216));
}

}  // namespace
}  // namespace dirscribe

// The wizard never drops what the user changed without asking, and never
// shows one project while holding another: the save question before every
// step that would replace the project, a failed load that leaves the old
// project, and the ways of changing the tab and the style.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "ui/control_paths.h"
#include "ui/wizard_window_fixture.h"

namespace dirscribe {
namespace {

namespace fs = std::filesystem;

class UnsavedChanges : public WizardWindow {
 protected:
  QLineEdit* source() { return control<QLineEdit>(control_paths::kSource); }
  QListWidget* styles() { return control<QListWidget>(control_paths::kStyles); }

  // Answers the save question with `answer` and every other box with OK;
  // counts the questions.
  void answer_question(QMessageBox::StandardButton answer) {
    questions_ = 0;
    dialogs_.box_answer = [this, answer](const message_box_request& box) {
      if (box.icon != QMessageBox::Question) return QMessageBox::Ok;
      ++questions_;
      last_question_ = box.text.toStdString();
      return answer;
    };
  }

  int questions_ = 0;
  std::string last_question_;
};

TEST_F(UnsavedChanges, EveryStepThatDropsWorkAsksFirst) {
  const std::string other = folder_.at("other.txt");
  const std::string mine = folder_.at("mine.txt");
  // Each step that replaces the project (or ends the window), and whether it
  // went ahead.
  const struct {
    const char* name;
    std::function<void()> step;
  } steps[] = {
      {"New", [this] { window_->new_project(); }},
      {"Open",
       [this, &other] {
         answer_dialogs({true, {QString::fromStdString(other)}});
         window_->open_project();
       }},
      {"Recent", [this] { window_->open_recent(0); }},
      {"style click", [this] { styles()->setCurrentRow(2); }},
      {"Exit", [this] { window_->form()->close(); }},
  };
  for (const auto& s : steps) {
    for (const QMessageBox::StandardButton answer :
         {QMessageBox::Cancel, QMessageBox::Discard, QMessageBox::Save}) {
      const std::string where = std::string(s.name) + " answered " + std::to_string(answer);
      ASSERT_TRUE(open_window().ok()) << where;
      // other.txt first, so that it is the recent project once mine.txt is
      // the current one.
      for (const std::string& file : {other, mine}) {
        answer_dialogs({true, {QString::fromStdString(file)}});
        ASSERT_TRUE(window_->save_project_as()) << where;
      }
      EXPECT_FALSE(window_->modified()) << where;
      source()->setText(QStringLiteral("/typed"));
      EXPECT_TRUE(window_->modified()) << where;
      EXPECT_EQ(window_->form()->windowTitle().toStdString(),
                "* Vostra Dirscribe 3.0 [" + mine + "]")
          << where;
      const bool closing = std::string(s.name) == "Exit";
      answer_question(answer);
      s.step();
      EXPECT_EQ(questions_, 1) << where;
      EXPECT_EQ(last_question_, "Save changes to " + mine + "?") << where;
      const bool went_ahead = answer != QMessageBox::Cancel;
      if (!closing) {
        EXPECT_EQ(source()->text() == QStringLiteral("/typed"), !went_ahead) << where;
        EXPECT_EQ(window_->modified(), !went_ahead) << where;
      }
      EXPECT_EQ(read_file(mine).find("/typed") != std::string::npos, answer == QMessageBox::Save)
          << where;
      EXPECT_EQ(fs::exists(folder_.at("program/settings.txt")), closing && went_ahead) << where;
      fs::remove(folder_.at("program/settings.txt"));
    }
  }
}

// Save on an untitled project asks for a name first; without one the step
// does not happen. Nothing changed: no question at all.
TEST_F(UnsavedChanges, SavingAnUntitledProjectNeedsAName) {
  ASSERT_TRUE(open_window().ok());
  answer_question(QMessageBox::Save);
  window_->new_project();
  EXPECT_EQ(questions_, 0);
  source()->setText(QStringLiteral("/typed"));
  EXPECT_EQ(window_->form()->windowTitle(), QStringLiteral("* Vostra Dirscribe 3.0 [Untitled]"));
  answer_dialogs({false, {}});
  window_->new_project();
  EXPECT_EQ(last_question_, "Save changes to Untitled?");
  EXPECT_EQ(source()->text(), QStringLiteral("/typed"));
  EXPECT_FALSE(window_->form()->close());
  const std::string named = folder_.at("named.txt");
  answer_dialogs({true, {QString::fromStdString(named)}});
  window_->new_project();
  EXPECT_TRUE(source()->text().isEmpty());
  EXPECT_NE(read_file(named).find("/typed"), std::string::npos);
  EXPECT_EQ(questions_, 3);
}

// Showing a project is no change; a change on any page is one.
TEST_F(UnsavedChanges, ChangesOnEveryPageCountAndShowingAProjectDoesNot) {
  ASSERT_TRUE(open_window().ok());
  const std::vector<std::function<void()>> changes = {
      [&] { control<QComboBox>(control_paths::kRecursion)->setCurrentIndex(3); },
      [&] { control<QAbstractButton>(control_paths::kFilePerFolder)->click(); },
      [&] { control<QAbstractButton>(control_paths::kShowSummary)->click(); },
      [&] { control<QComboBox>(control_paths::kDateMode)->setCurrentIndex(0); },
      [&] {
        window_->form()
            ->findChild<QLineEdit*>(QStringLiteral("eSkipFile"))
            ->setText(QStringLiteral("*.tmp"));
      },
  };
  for (size_t i = 0; i < changes.size(); ++i) {
    answer_question(QMessageBox::Discard);
    window_->new_project();
    ASSERT_TRUE(window_->view().ok());
    EXPECT_FALSE(window_->modified()) << i;
    changes[i]();
    EXPECT_TRUE(window_->modified()) << i;
  }
}

// A file that fails to load is never written by the Save that follows: the
// project that was open stays open, under its own name.
TEST_F(UnsavedChanges, AFailedLoadKeepsTheProjectThatWasOpen) {
  const std::string three =
      "<project><path>/a</path><source>2</source><ftp_host>ftp.example.org</ftp_host></project>"
      "<project><path>/b</path></project><project><path>/c</path></project>";
  const struct {
    const char* name;
    const char* content;  // nullptr: no such file
  } bad_files[] = {
      {"missing.txt", nullptr},
      {"broken.txt", "<project><path>/x</path"},
      {"empty.txt", "<project/>"},
      {"other.txt", "<settings/>"},
  };
  for (const auto& bad : bad_files) {
    folder_.write("three.txt", three);
    if (bad.content != nullptr) folder_.write(bad.name, bad.content);
    // The bad file is a recent project from an earlier run.
    folder_.write("program/settings.txt",
                  "<lastProjects>" + folder_.at(bad.name) + "</lastProjects>\r\n");
    ASSERT_TRUE(open_window().ok());
    const std::string good = folder_.at("three.txt");
    ASSERT_TRUE(window_->open_project_file(good).ok()) << bad.name;
    ASSERT_TRUE(window_->save_project()) << bad.name;
    const std::string saved = read_file(good);
    EXPECT_NE(saved.find("ftp.example.org"), std::string::npos);
    for (bool recent : {false, true}) {
      if (recent) {
        const std::vector<std::string>& files = window_->settings().recent_projects;
        const auto at = std::find(files.begin(), files.end(), folder_.at(bad.name));
        ASSERT_NE(at, files.end()) << bad.name;
        window_->open_recent(static_cast<int>(at - files.begin()));
      } else {
        EXPECT_FALSE(window_->open_project_file(folder_.at(bad.name)).ok()) << bad.name;
      }
      EXPECT_EQ(window_->project_file(), good) << bad.name;
      EXPECT_EQ(source()->text(), QStringLiteral("/a")) << bad.name;
      EXPECT_TRUE(window_->save_project()) << bad.name;
      EXPECT_EQ(read_file(good), saved) << bad.name << " recent " << recent;
      if (bad.content != nullptr) {
        EXPECT_EQ(read_file(folder_.at(bad.name)), bad.content);
      } else {
        EXPECT_FALSE(fs::exists(folder_.at(bad.name)));
      }
    }
  }
}

// However the tab changes, the page, its header and Back and Next follow.
TEST_F(UnsavedChanges, EveryWayOfChangingTheTabChangesThePage) {
  ASSERT_TRUE(open_window().ok());
  QTabBar* tabs =
      qobject_cast<QTabBar*>(control<QWidget>(control_paths::kTabs)->findChild<QTabBar*>());
  ASSERT_NE(tabs, nullptr);
  const auto check = [&](int page, const char* how) {
    EXPECT_EQ(window_->current_page(), page) << how;
    EXPECT_EQ(tabs->currentIndex(), page) << how;
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(window_->page_panel(i)->isVisibleTo(window_->form()), i == page) << how << i;
    }
    EXPECT_EQ(
        control<QWidget>(control_paths::kHeader)->property("Caption").toString().toStdString(),
        phrase(200 + page))
        << how;
    EXPECT_EQ(control<QAbstractButton>(control_paths::kPrevious)->isEnabled(), page > 0) << how;
  };
  window_->form()->show();
  tabs->setFocus();
  QTest::keyClick(tabs, Qt::Key_Right);
  check(1, "arrow key");
  QWheelEvent down(QPointF(5, 5), tabs->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(tabs, &down);
  check(2, "mouse wheel");
  tabs->setCurrentIndex(4);
  check(4, "set by the bar");
  control<QAbstractButton>(control_paths::kPrevious)->click();
  check(3, "Back");
}

// The keyboard applies a style as a click does: the name, picture and
// description show it, and Save takes its template with its preset.
TEST_F(UnsavedChanges, TheKeyboardAppliesAStyleAsAClickDoes) {
  ASSERT_TRUE(open_window().ok());
  ASSERT_GE(window_->catalog().entries.size(), 3u);
  window_->form()->show();
  styles()->setFocus();
  QTest::keyClick(styles(), Qt::Key_Down);
  const style_entry& second = *window_->catalog().entries[1];
  EXPECT_EQ(control<QLabel>(control_paths::kStyleName)->text().toStdString(), second.name);
  ASSERT_TRUE(window_->store().ok());
  EXPECT_EQ(window_->project()->settings.format_file, "templates/" + second.file);
  EXPECT_FALSE(window_->modified());

  // With changes the keyboard asks too; Cancel keeps the style and the list.
  source()->setText(QStringLiteral("/typed"));
  answer_question(QMessageBox::Cancel);
  QTest::keyClick(styles(), Qt::Key_Down);
  EXPECT_EQ(questions_, 1);
  EXPECT_EQ(styles()->currentRow(), 1);
  EXPECT_EQ(control<QLabel>(control_paths::kStyleName)->text().toStdString(), second.name);
  EXPECT_EQ(source()->text(), QStringLiteral("/typed"));
}

// Settings that cannot be written at close are named in a box, and the size
// written is the window's own.
TEST_F(UnsavedChanges, SettingsAreWrittenWithTheSizeOrNamedInABox) {
  ASSERT_TRUE(open_window().ok());
  window_->form()->resize(700, 500);
  ASSERT_TRUE(window_->form()->close());
  const std::string settings = read_file(folder_.at("program/settings.txt"));
  EXPECT_NE(settings.find("<width>700</width>"), std::string::npos) << settings;
  EXPECT_NE(settings.find("<height>500</height>"), std::string::npos) << settings;

  fs::remove(folder_.at("program/settings.txt"));
  folder_.make_folder("program/settings.txt");  // nothing can replace a folder
  ASSERT_TRUE(open_window().ok());
  dialogs_.boxes.clear();
  ASSERT_TRUE(window_->form()->close());
  EXPECT_EQ(boxes(), std::vector<std::string>{phrase(232) + folder_.at("program/settings.txt") +
                                              ": Is a directory"});
}

}  // namespace
}  // namespace dirscribe

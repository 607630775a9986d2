// A test fixture: the wizard's main window built from the real description
// over a program folder of the test's own, with every box, dialog and shell
// open answered in place of the user.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/extension_table.h"
#include "listing/listing_driver.h"
#include "services/phrase_table.h"
#include "support/temp_folder.h"
#include "ui/answering_dialogs.h"
#include "ui/file_dialogs.h"
#include "ui/form_builder.h"
#include "ui/interface_description.h"
#include "ui/main_window.h"
#include "ui/prompt_dialogs.h"
#include "ui/wait_for_build.h"

namespace dirscribe {

// A program folder of its own (the data files, no executable), so that what
// the window saves stays in the test.
class WizardWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.make_folder("program");
    for (const char* name : {"ext.txt", "filter.txt", "templates.txt", "vostra.bin"}) {
      std::filesystem::copy_file(DIRSCRIBE_PROGRAM_DIR + std::string(name),
                                 folder_.at("program/") + name);
    }
    for (const char* name : {"images", "templates"}) {
      std::filesystem::copy(DIRSCRIBE_PROGRAM_DIR + std::string(name),
                            folder_.at("program/") + name,
                            std::filesystem::copy_options::recursive);
    }
    answer_dialogs({false, {}});
  }
  void TearDown() override { window_.reset(); }

  // Builds a window over the program folder; returns its outcome.
  outcome open_window() {
    window_.reset();
    forms_ = std::make_unique<form_application>();
    phrases_ = std::make_unique<phrase_table>();
    if (outcome read = load_interface_description(folder_.at("program/vostra.bin"), *phrases_, ui_);
        !read.ok()) {
      return read;
    }
    outcome built = build_forms(ui_, *forms_, folder_.at("program"));
    if (!built.ok()) return built;
    window_ = std::make_unique<main_window>(
        *phrases_, ui_, user_data_folders(folder_.at("program"), folder_.at("user"), true),
        dialogs_);
    return window_->build();
  }

  void answer_dialogs(file_dialog_answer answer) {
    dialogs_.file_answer = [answer](const file_dialog_request&) { return answer; };
  }

  template <typename T = QWidget>
  T* control(const std::string& path) {
    return find_control<T>(ui_, "/TvostraDSC/" + path);
  }

  std::string phrase(int id) const { return std::string(phrases_->text(id)); }

  // The texts of the boxes shown so far, in order.
  std::vector<std::string> boxes() const {
    std::vector<std::string> texts;
    for (const message_box_request& box : dialogs_.boxes) texts.push_back(box.text.toStdString());
    return texts;
  }
  // The local files opened with the desktop so far, in order.
  std::vector<std::string> opened() const {
    std::vector<std::string> files;
    for (const QUrl& url : dialogs_.opened) files.push_back(url.toLocalFile().toStdString());
    return files;
  }

  // A folder tree of `count` files in `name`.
  std::string make_tree(const std::string& name, int count) {
    for (int i = 0; i < count; ++i) {
      folder_.write(name + "/d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".txt", "x");
    }
    return folder_.at(name);
  }

  temp_folder folder_;
  std::unique_ptr<phrase_table> phrases_;
  xml_tree ui_;
  std::unique_ptr<form_application> forms_;
  std::unique_ptr<main_window> window_;
  // Every box, dialog, prompt and desktop open of the window, answered.
  answering_dialogs dialogs_;
};

}  // namespace dirscribe

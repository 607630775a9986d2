// The wizard's window as the tools build it: from the program folder's
// resource document, message boxes answered on standard error, and whatever
// the window saves kept in a temporary user folder, never in the program's.
#pragma once

#include <unistd.h>

#include <QDir>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "services/phrase_table.h"
#include "ui/dialog_host.h"
#include "ui/form_builder.h"
#include "ui/interface_description.h"
#include "ui/main_window.h"
#include "ui/wait_for_build.h"

namespace dirscribe {

// The desktop's dialogs, with message boxes printed instead and answered OK
// (or by `answer`, when a tool sets it).
class printed_boxes : public desktop_dialogs {
 public:
  std::function<QMessageBox::StandardButton(QWidget*, const message_box_request&)> answer;

  QMessageBox::StandardButton message_box(QWidget* owner,
                                          const message_box_request& request) override {
    std::fprintf(stderr, "box: %s\n", request.text.toUtf8().constData());
    return answer ? answer(owner, request) : QMessageBox::Ok;
  }
};

class offscreen_wizard {
 public:
  // Builds the window from the program folder `program_dir`, whose
  // pictures the description names relative to it; the working folder stays
  // as it is. REQUIRES: a QApplication exists.
  outcome open(const std::string& program_dir) {
    std::string folder = QDir(QString::fromStdString(program_dir)).absolutePath().toStdString();
    if (folder.back() != '/') folder += '/';
    if (outcome read = load_interface_description(folder + "vostra.bin", phrases, ui_tree_);
        !read.ok()) {
      return read;
    }
    if (outcome built = build_forms(ui_tree_, forms_, folder); !built.ok()) return built;
    char user_folder[] = "/tmp/dirscribe-tool-XXXXXX";
    if (mkdtemp(user_folder) == nullptr) return {1, "no temporary folder"};
    window = std::make_unique<main_window>(phrases, ui_tree_,
                                           user_data_folders(folder, user_folder, false), dialogs);
    if (outcome built = window->build(); !built.ok()) return built;
    window->form()->show();
    return {};
  }

  phrase_table phrases;
  // Declared before the window, which works on them, so they outlive it.
  printed_boxes dialogs;

 private:
  xml_tree ui_tree_;
  form_application forms_;

 public:
  std::unique_ptr<main_window> window;
};

}  // namespace dirscribe

// Finding the window's controls in the built description, and the names
// assistive technology reads for them.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>

#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "ui/accessibility.h"
#include "ui/basic_adapters.h"
#include "ui/container_adapters.h"
#include "ui/form_builder.h"
#include "ui/main_window.h"
#include "ui/main_window_controls.h"
#include "ui/other_adapters.h"

namespace dirscribe {

outcome main_window::find_controls() {
  controls& c = *controls_;
  const xml_node* root = xml_find(description_, "/TvostraDSC");
  std::string missing;
  const auto find = [&](const char* path, auto*& control, const xml_tree* tree = nullptr) {
    using wanted = std::remove_reference_t<decltype(*control)>;
    control = tree != nullptr ? find_control<wanted>(*tree, path)
                              : find_control<wanted>(description_, path, root);
    if (control == nullptr && missing.empty()) missing = path;
  };
  c.form = qobject_cast<form_adapter*>(find_component(description_, "/TvostraDSC"));
  if (c.form == nullptr) return {1, "The interface description has no main form."};
  find("main", c.tabs);
  find("main/pStyle", c.pages[0]);
  find("main/pSource", c.pages[1]);
  find("/pFilter", c.pages[2], &filter_document_);
  find("main/pOptions", c.pages[3]);
  find("main/pBuild", c.pages[4]);
  find("main/pTop", c.header);
  find("pBottom", c.navigation);
  find("pBottom/bHelp", c.help);
  find("pBottom/bPrev", c.previous);
  find("pBottom/bNext", c.next);
  find("main/pStyle/pLeft/styleLB", c.styles);
  find("main/pStyle/p/pStyleH", c.style_name);
  find("main/pStyle/p/imPanel/styleIm", c.style_image);
  find("main/pStyle/p/comGb/styleL", c.style_description);
  find("main/pStyle/pLeft/pTool/bEdit", c.edit);
  find("main/pStyle/pLeft/pTool/bCopy", c.copy);
  find("main/pStyle/pLeft/pTool/bRename", c.rename);
  find("main/pStyle/pLeft/pTool/bImage", c.image);
  find("main/pStyle/pLeft/pTool/bDescription", c.describe);
  find("main/pSource/gbSrc/eSrc", c.source);
  find("main/pSource/gbSrc/bSrc", c.browse);
  find("main/pSource/gbRec/cbRec", c.recursion);
  find("main/pSource/gbRec/gbSingleFile/recSingle", c.single_file);
  find("main/pSource/gbRec/gbSingleFile/recMultiple", c.file_per_folder);
  find("main/pSource/gbDest/eDest", c.output);
  find("main/pSource/gbDest/bDest", c.choose_output);
  find("main/pOptions/gbSort/cSort", c.sort);
  find("main/pOptions/gbSort/bAsc", c.ascending);
  find("main/pOptions/gbSort/bDesc", c.descending);
  find("main/pOptions/gbOther/cbShowFolders", c.show_folders);
  find("main/pOptions/gbOther/cbShowFiles", c.show_files);
  find("main/pOptions/gbOther/cbDiskSpace", c.disk_space);
  find("main/pOptions/gbOther/cbRecurSize", c.recursive_sizes);
  find("main/pOptions/gbOther/cbSupprEmpty", c.leave_out_empty);
  find("main/pOptions/gbOther/cbRecurEnd", c.folders_after_level);
  find("main/pOptions/gbOther/cbShowSummary", c.show_summary);
  find("main/pOptions/gbOther/cURLEnc", c.url_escape);
  find("main/pOptions/gbOther/cSizeUnits", c.size_units);
  find("main/pOptions/gbOther/cWinFileTypes", c.file_types);
  find("main/pOptions/gbDateFormat/cDateFormat", c.date_mode);
  find("main/pOptions/gbDateFormat/eDateFormat", c.date_format);
  find("main/pOptions/gbDateFormat/bDateFormat", c.try_date);
  find("main/pOptions/gbDateFormat/cbGMT", c.utc);
  find("main/pOptions/gbDateFormat/lDateFormat", c.date_result);
  find("main/pOptions/gbIcons/cbLocalIcons", c.local_icons);
  find("main/pOptions/gbIcons/eIconPath", c.icon_folder);
  find("main/pOptions/gbPublish/eLinkBase", c.link_base);
  find("main/pOptions/gbPublish/eOutputDir", c.output_dir);
  find("main/pOptions/gbPublish/bOutputDir", c.browse_output_dir);
  find("main/pOptions/gbPublish/cbOverwrite", c.overwrite);
  find("pTop/bNew", c.new_button);
  find("pTop/bOpen", c.open_button);
  find("pTop/bSave", c.save_button);
  find("pTop/bMake", c.make_button);
  find("pTop/bStop", c.stop_button);
  find("pTop/bPreview", c.preview_button);
  find("main/pBuild/gbButtons/bMake1", c.make_page_button);
  find("main/pBuild/gbButtons/bStop1", c.stop_page_button);
  find("main/pBuild/gbButtons/bPreview1", c.preview_page_button);
  find("main/pBuild/gbInfo/lInfo", c.status);
  find("main/pBuild/gbInfo/pbBuild", c.progress);
  find("/pFilter/gbTime/cTime", c.time_mode, &filter_document_);
  find("/pFilter/gbSize/cSize", c.size_mode, &filter_document_);
  find("/pFilter/gbTime/timeL1", c.time_from_label, &filter_document_);
  find("/pFilter/gbTime/timeL2", c.time_to_label, &filter_document_);
  find("/pFilter/gbTime/timeDT1", c.time_from_date, &filter_document_);
  find("/pFilter/gbTime/timeDT2", c.time_from_time, &filter_document_);
  find("/pFilter/gbTime/timeDT3", c.time_to_date, &filter_document_);
  find("/pFilter/gbTime/timeDT4", c.time_to_time, &filter_document_);
  find("/pFilter/gbTime/cTimeInt", c.time_unit, &filter_document_);
  if (!missing.empty()) return {1, "The interface description lacks the control " + missing};
  return {};
}

void main_window::name_controls() {
  controls& c = *controls_;
  // Names of their own first: the pass over the labels leaves them alone.
  set_spoken_name(c.styles, text(kPhraseStyleListName));
  set_spoken_name(c.time_unit, text(kPhraseTimeUnitName));
  set_spoken_name(c.date_mode, text(kPhraseDateModeName));
  set_spoken_name(c.date_format, text(kPhraseDateFormatName));
  set_spoken_name(c.icon_folder, text(kPhraseIconFolderName));
  set_spoken_name(c.progress, text(kPhraseProgressName));
  // A date and a time share one label; the pair is told apart by a word.
  const QString from = spoken_caption(c.time_from_label->text());
  const QString to = spoken_caption(c.time_to_label->text());
  set_spoken_name(c.time_from_date, from + text(kPhraseDateSuffix));
  set_spoken_name(c.time_from_time, from + text(kPhraseTimeSuffix));
  set_spoken_name(c.time_to_date, to + text(kPhraseDateSuffix));
  set_spoken_name(c.time_to_time, to + text(kPhraseTimeSuffix));
  // The status line keeps its text as its name, so that every change is
  // announced; what it is comes as its description.
  if (const auto* group = qobject_cast<const QGroupBox*>(c.status->parentWidget())) {
    c.status->setAccessibleDescription(spoken_caption(group->title()));
  }
  name_controls_from_labels(c.form);
}

}  // namespace dirscribe

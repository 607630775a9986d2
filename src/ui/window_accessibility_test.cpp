// The wizard as a screen reader and a keyboard user meet it: spoken names,
// mnemonics and Tab order. How often the status line is announced is counted
// over AT-SPI by tests/accessibility, since only a real bridge sees events.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/desktop_palettes.h"
#include "ui/accessibility.h"
#include "ui/contrast_style.h"
#include "ui/wizard_window_fixture.h"

namespace dirscribe {
namespace {

TEST(SpokenCaption, DropsMarksAndTrailingPunctuation) {
  struct row {
    const char* caption;
    const char* spoken;
    QChar mnemonic;
  };
  const row rows[] = {
      {"&Include files:", "Include files", u'i'}, {"B&rowse...", "Browse", u'r'},
      {"Salt && &Pepper", "Salt & Pepper", u'p'}, {"Fish && chips", "Fish & chips", QChar()},
      {"  Trailing &", "Trailing", QChar()},      {"", "", QChar()},
  };
  for (const row& r : rows) {
    const QString caption = QString::fromUtf8(r.caption);
    EXPECT_EQ(spoken_caption(caption), QString::fromUtf8(r.spoken)) << r.caption;
    EXPECT_EQ(mnemonic_of(caption), r.mnemonic) << r.caption;
  }
}

class AccessibleWindow : public WizardWindow {
 protected:
  // The window shown and active, every filter mode that shows fields on.
  void open_and_show() {
    ASSERT_TRUE(open_window().ok());
    QWidget* form = window_->form();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    auto* filter = window_->form()->findChild<QWidget*>(QStringLiteral("pFilter"));
    ASSERT_NE(filter, nullptr);
    filter->findChild<QComboBox*>(QStringLiteral("cTime"))->setCurrentIndex(1);
    filter->findChild<QComboBox*>(QStringLiteral("cSize"))->setCurrentIndex(1);
    filter->findChild<QCheckBox*>(QStringLiteral("cbAttr"))->setChecked(true);
  }

  QWidget* page(int index) {
    static const char* const names[] = {"pStyle", "pSource", "pFilter", "pOptions", "pBuild"};
    return window_->form()->findChild<QWidget*>(QString::fromLatin1(names[index]));
  }

  // Whether assistive technology sees the control as an object of its own:
  // a spin box presents its editor as itself, a combo box lists its editor.
  static bool exposed(QWidget* control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    return accessible != nullptr && accessible->parent() != nullptr &&
           accessible->parent()->indexOfChild(accessible) >= 0;
  }

  // What a screen reader calls the control. On Linux a combo box's name is
  // its value, and the label that names it comes as a relation.
  static QString spoken_name(QWidget* control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    if (accessible == nullptr) return {};
    if (accessible->role() == QAccessible::ComboBox) {
      for (const auto& [label, relation] : accessible->relations(QAccessible::Label)) {
        if (!label->text(QAccessible::Name).isEmpty()) return label->text(QAccessible::Name);
      }
      return {};
    }
    return accessible->text(QAccessible::Name);
  }
};

TEST_F(AccessibleWindow, EveryControlHasASpokenName) {
  open_and_show();
  std::vector<std::string> nameless;
  for (int i = 0; i < 5; ++i) {
    window_->show_page(i);
    // Every control that can hold the focus, parts of others (a combo box's
    // editor) included: the focus lands there and is announced there.
    for (QWidget* control : window_->form()->findChildren<QWidget*>()) {
      if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(window_->form()) ||
          !exposed(control)) {
        continue;
      }
      if (spoken_name(control).trimmed().isEmpty()) {
        nameless.push_back(std::to_string(i) + ": " + control->objectName().toStdString() + " (" +
                           control->metaObject()->className() + ")");
      }
    }
  }
  EXPECT_TRUE(nameless.empty()) << ::testing::PrintToString(nameless);
  // Names that say more than the caption beside them.
  window_->show_page(0);
  auto* picture = control("main/pStyle/p/imPanel/styleIm");
  EXPECT_EQ(picture->accessibleName(),
            QString::fromStdString(phrase(288) + window_->catalog().entries[0]->name));
  window_->show_page(2);
  EXPECT_EQ(spoken_name(page(2)->findChild<QWidget*>(QStringLiteral("timeDT2"))),
            QStringLiteral("Between time"));
  // A mode that relabels the fields renames them.
  page(2)->findChild<QComboBox*>(QStringLiteral("cSize"))->setCurrentIndex(2);
  EXPECT_EQ(spoken_name(page(2)->findChild<QWidget*>(QStringLiteral("eSizeEnd"))),
            QStringLiteral("At most (KB)"));
}

TEST_F(AccessibleWindow, TabVisitsEveryPageInReadingOrder) {
  open_and_show();
  for (int i = 0; i < 5; ++i) {
    window_->show_page(i);
    const std::vector<QWidget*> expected = reading_order(page(i));
    ASSERT_FALSE(expected.empty()) << i;
    expected.front()->setFocus(Qt::TabFocusReason);
    std::vector<std::string> visited;
    std::vector<std::string> wanted;
    for (QWidget* control : expected) wanted.push_back(control->objectName().toStdString());
    // A date picker takes Tab through its sections first: each control is
    // counted once however many presses it holds.
    for (size_t step = 0; step < 4 * expected.size(); ++step) {
      QWidget* focused = QApplication::focusWidget();
      while (focused != nullptr && focused->parentWidget() != nullptr &&
             std::find(expected.begin(), expected.end(), focused) == expected.end() &&
             page(i)->isAncestorOf(focused)) {
        focused = focused->parentWidget();  // an editor inside a combo box
      }
      if (focused == nullptr || !page(i)->isAncestorOf(focused)) {
        break;
      }
      if (visited.empty() || visited.back() != focused->objectName().toStdString())
        visited.push_back(focused->objectName().toStdString());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, wanted) << "page " << i;
  }
}

// A caption's mnemonic is the one key press that reaches its control, so the
// menu bar's and the Back/Next bar's are never taken by a page. Where a page
// has more captions than letters are left (Filter, Options), Qt moves focus
// between the controls that share a key, and that is allowed.
TEST_F(AccessibleWindow, MnemonicsOnEveryCaptionAndNoneTakesTheMenus) {
  open_and_show();
  std::map<QChar, std::string> fixed;
  for (QAction* menu : window_->form()->findChild<QMenuBar*>()->actions()) {
    fixed[mnemonic_of(menu->text())] = "menu " + menu->text().toStdString();
  }
  for (QAbstractButton* button : window_->form()
                                     ->findChild<QWidget*>(QStringLiteral("pBottom"))
                                     ->findChildren<QAbstractButton*>()) {
    EXPECT_FALSE(mnemonic_of(button->text()).isNull()) << button->text().toStdString();
    EXPECT_EQ(fixed.count(mnemonic_of(button->text())), 0u) << button->text().toStdString();
    fixed[mnemonic_of(button->text())] = button->text().toStdString();
  }
  for (int i = 0; i < 5; ++i) {
    window_->show_page(i);
    std::map<QChar, std::vector<std::string>> owners;
    std::set<QChar> letters;  // what the captions could take, bars' keys aside
    size_t captions = 0;
    for (QWidget* widget : page(i)->findChildren<QWidget*>()) {
      if (!widget->isVisibleTo(window_->form())) continue;
      QString caption;
      if (auto* button = qobject_cast<QAbstractButton*>(widget)) caption = button->text();
      if (auto* label = qobject_cast<QLabel*>(widget);
          label != nullptr && label->buddy() != nullptr)
        caption = label->text();
      if (caption.isEmpty()) continue;
      ++captions;
      for (QChar c : spoken_caption(caption)) {
        if (c.isLetter() && fixed.count(c.toLower()) == 0) letters.insert(c.toLower());
      }
      const QChar key = mnemonic_of(caption);
      const std::string where = "page " + std::to_string(i) + ": " + caption.toStdString();
      EXPECT_FALSE(key.isNull()) << where;
      if (key.isNull()) continue;
      EXPECT_EQ(fixed.count(key), 0u) << where << " takes the key of " << fixed[key];
      owners[key].push_back(caption.toStdString());
    }
    // Sharing is allowed only where the page has more captions than letters.
    if (captions > letters.size()) continue;
    for (const auto& [key, names] : owners) {
      EXPECT_EQ(names.size(), 1u) << "page " << i
                                  << " shares a key: " << ::testing::PrintToString(names);
    }
  }
}

TEST(ContrastStyle, EdgesStayVisibleOnDarkWindows) {
  const QPalette light(QColor(0xef, 0xef, 0xef));
  struct row {
    const char* name;
    QPalette palette;
    bool drawn;
  };
  QPalette faint_text = high_contrast_desktop_palette();
  faint_text.setColor(QPalette::WindowText, QColor(0x50, 0x50, 0x50));
  const row rows[] = {{"light", light, false},
                      {"dark", dark_desktop_palette(), true},
                      {"high contrast", high_contrast_desktop_palette(), true},
                      {"faint text", faint_text, true}};
  for (const row& r : rows) {
    EXPECT_EQ(edges_need_drawing(r.palette), r.drawn) << r.name;
    // At least 3:1, or the text's own colour where the text is fainter.
    const QColor window = r.palette.color(QPalette::Window);
    const QColor text = r.palette.color(QPalette::WindowText);
    EXPECT_GE(contrast_ratio(edge_colour(r.palette), window),
              std::min(3.0, contrast_ratio(text, window)))
        << r.name;
  }
  // An empty, unchecked box on black shows nothing but its edge.
  contrast_style style;
  QCheckBox box;
  box.setStyle(&style);
  box.setPalette(high_contrast_desktop_palette());
  box.resize(box.sizeHint());
  const QImage picture = box.grab().toImage();
  int edge_pixels = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) edge_pixels += qGray(picture.pixel(x, y)) > 96;
  }
  EXPECT_GT(edge_pixels, 8);
}

// The window draws no text in a colour of its own: every control takes its
// text colour from the desktop's palette, so a dark or high-contrast desktop
// never leaves dark text on a dark window.
TEST_F(AccessibleWindow, TextColoursFollowTheDesktopPalette) {
  open_and_show();
  const QPalette before = QApplication::palette();
  QApplication::setPalette(high_contrast_desktop_palette());
  QApplication::processEvents();  // the change reaches the widgets as events
  std::vector<std::string> fixed;
  for (int i = 0; i < 5; ++i) {
    window_->show_page(i);
    for (QWidget* widget : window_->form()->findChildren<QWidget*>()) {
      if (!widget->isVisibleTo(window_->form())) continue;
      for (QPalette::ColorRole role :
           {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        const QPalette::ColorGroup group = widget->palette().currentColorGroup();
        if (widget->palette().color(group, role) != QApplication::palette().color(group, role)) {
          fixed.push_back(widget->objectName().toStdString());
          break;
        }
      }
    }
  }
  QApplication::setPalette(before);
  QApplication::processEvents();
  EXPECT_TRUE(fixed.empty()) << ::testing::PrintToString(fixed);
}

}  // namespace
}  // namespace dirscribe

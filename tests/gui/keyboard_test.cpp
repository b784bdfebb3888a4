// Both programs used from the keyboard alone in their real windows: every menu command through
// its menu's and its own mnemonic (Alt+letter, then the letter), and the Tab key walking the
// controls in the forms' tab order.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <cctype>
#include <set>

#include "Application.h"
#include "GuiDriver.h"

using namespace gui_test;

namespace {

// The letter after the single "&" of a caption ("Save &As..." -> 'A'), 0 for none.
char Mnemonic(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    ++i;  // "&&" is a literal ampersand
  }
  return 0;
}

Qt::Key KeyOf(char letter) { return static_cast<Qt::Key>(Qt::Key_A + (letter - 'A')); }

// The menu bar's menus of a form's main menu.
std::vector<platform::MenuItem*> Menus(platform::Form& form) {
  return form.Menu != nullptr ? form.Menu->Items : std::vector<platform::MenuItem*>{};
}

}  // namespace

TEST(Keyboard, EveryMenuCommandIsReachedByItsMnemonics) {
  for (const std::string program : {"calvora", "vespira"}) {
    SCOPED_TRACE(program);
    QtProgram q(program);
    std::vector<std::string> clicked;
    std::vector<std::string> commands;
    for (platform::MenuItem* menu : Menus(q.MainForm())) {
      std::set<char> letters;
      for (platform::MenuItem* item : menu->Items) {
        if (item->IsSeparator()) continue;
        const char letter = Mnemonic(item->Caption);
        EXPECT_NE(letter, 0) << item->Name << " has no mnemonic";
        EXPECT_TRUE(letters.insert(letter).second) << item->Name << " shares its mnemonic in " << menu->Name;
        // The command itself is not run: only that the keys reach it.
        item->OnClick = [&clicked, name = item->Name](platform::Component*) { clicked.push_back(name); };
        commands.push_back(item->Name);
      }
    }
    ASSERT_FALSE(commands.empty());

    for (platform::MenuItem* menu : Menus(q.MainForm())) {
      for (platform::MenuItem* item : menu->Items) {
        if (item->IsSeparator()) continue;
        SCOPED_TRACE(menu->Caption + " > " + item->Caption);
        auto* popup = q.Window()->findChild<QMenu*>(QString::fromStdString(menu->Name));
        ASSERT_NE(popup, nullptr);
        QTest::keyClick(q.Window(), KeyOf(Mnemonic(menu->Caption)), Qt::AltModifier);
        ASSERT_TRUE(WaitFor([popup] { return popup->isVisible(); })) << "the menu did not open";
        QTest::keyClick(popup, KeyOf(Mnemonic(item->Caption)));
        EXPECT_TRUE(WaitFor([popup] { return !popup->isVisible(); })) << "the menu stayed open";
      }
    }
    EXPECT_EQ(clicked, commands);
  }
}

TEST(Keyboard, TabWalksTheControlsInTheFormsTabOrder) {
  const struct {
    const char* Program;
    std::vector<const char*> Order;  // one full round, starting from the first
  } forms[] = {
      // Of a group of radio buttons only the checked one is a tab stop.
      {"calvora", {"RichEdit1", "ScrollBar1", "RadioButton2"}},
      {"vespira", {"RichEdit1", "ScrollBar1"}},
  };
  for (const auto& form : forms) {
    SCOPED_TRACE(form.Program);
    QtProgram q(form.Program);
    QWidget* first = q.Window()->findChild<QWidget*>(form.Order.front());
    first->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(WaitFor([first] { return QApplication::focusWidget() == first; }));
    for (std::size_t i = 1; i <= form.Order.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      const char* expected = form.Order[i % form.Order.size()];
      ASSERT_NE(QApplication::focusWidget(), nullptr);
      EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), expected) << "Tab number " << i;
    }
  }
}

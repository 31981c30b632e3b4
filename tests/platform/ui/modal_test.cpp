#include "platform/ui/modal.h"
#include "platform/ui/init_ui.h"
#include "tests/support/ui/ui_test.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <tuple>
#include <vector>
#include <gtest/gtest-spi.h>

namespace {

using tavrix::test::Prompt;
using ModalSeam = tavrix::test::UiTest;

ui::MenuSpec sampleMenu()
{
    return ui::MenuSpec::subMenu(QString(), {
                                                ui::MenuSpec::item(1, "1倍"),
                                                ui::MenuSpec::item(2, "2倍", true),
                                                ui::MenuSpec::separatorItem(),
                                                ui::MenuSpec::item(7, "删除", false, false),
                                                ui::MenuSpec::subMenu("对齐", {ui::MenuSpec::item(30, "左对齐", true)}),
                                            });
}

TEST_F(ModalSeam, UnscriptedPromptFailsWithItsTextAndAnswersNo)
{
    bool yes = true;
    EXPECT_NONFATAL_FAILURE(yes = ui::askYesNo(nullptr, "您确定清空所有视频窗口吗？"),
                            "unscripted yes/no question: 您确定清空所有视频窗口吗？");
    EXPECT_FALSE(yes);

    QDialog dialog;
    dialog.setWindowTitle("IP设置");
    int result = -1;
    EXPECT_NONFATAL_FAILURE(result = ui::runDialog(dialog), "unscripted dialog: IP设置");
    EXPECT_EQ(result, QDialog::Rejected);

    std::optional<ui::ColorRef> colour = 0;
    EXPECT_NONFATAL_FAILURE(colour = ui::chooseColour(nullptr, ui::rgb(1, 2, 3)), "unscripted colour chooser");
    EXPECT_FALSE(colour.has_value());

    // An answer of another kind is not taken for the prompt.
    modal().answerYesNo(true);
    int id = -1;
    EXPECT_NONFATAL_FAILURE(id = ui::popupMenu(nullptr, sampleMenu(), QPoint()), "unscripted popup menu");
    EXPECT_EQ(id, 0);
    EXPECT_TRUE(ui::askYesNo(nullptr, "?"));
    EXPECT_EQ(modal().prompts().size(), 5u);
}

TEST_F(ModalSeam, ScriptedAnswersComeBackInOrderAndPromptsAreRecorded)
{
    modal().answerMenu(2);
    modal().answerYesNo(true);
    modal().expectInform();
    modal().answerFile("/tmp/logo.bmp");

    EXPECT_EQ(ui::popupMenu(nullptr, sampleMenu(), QPoint(40, 50), {.selectFirst = true}), 2);
    EXPECT_TRUE(ui::askYesNo(nullptr, "方案还未保存，需要保存吗？"));
    ui::inform(nullptr, "请选择信号源");
    ui::FileChoice bitmaps;
    bitmaps.defaultSuffix = "bmp";
    EXPECT_EQ(ui::chooseFile(nullptr, bitmaps), "/tmp/logo.bmp");

    const auto& prompts = modal().prompts();
    ASSERT_EQ(prompts.size(), 4u);
    EXPECT_EQ(prompts[0].kind, Prompt::Menu);
    EXPECT_EQ(prompts[0].pos, QPoint(40, 50));
    EXPECT_TRUE(prompts[0].popup.selectFirst);
    ASSERT_EQ(prompts[0].menu.items.size(), 5u);
    EXPECT_TRUE(prompts[0].menu.items[1].checked);
    EXPECT_EQ(prompts[1].text, "方案还未保存，需要保存吗？");
    EXPECT_EQ(prompts[2].kind, Prompt::Inform);
    EXPECT_EQ(prompts[3].file.defaultSuffix, "bmp");
}

TEST_F(ModalSeam, ScriptedDialogIsFilledWithoutBlocking)
{
    QDialog dialog;
    dialog.setWindowTitle("新建方案");
    auto* name = new QLineEdit(&dialog);
    modal().answerDialog([](QDialog& d) {
        d.findChild<QLineEdit*>()->setText("方案1");
        return int(QDialog::Accepted);
    });
    modal().answerDialog(QDialog::Rejected);

    EXPECT_EQ(ui::runDialog(dialog), QDialog::Accepted);
    EXPECT_EQ(name->text(), "方案1");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ui::runDialog(dialog), QDialog::Rejected);
    EXPECT_EQ(modal().prompts().at(0).text, "新建方案");
}

TEST(MenuSpec, RendersCheckedItemsDefaultItemAndIdsAsData)
{
    ui::MenuSpec withDefault = sampleMenu();
    withDefault.items[1].isDefault = true;
    QMenu menu;
    ui::renderMenu(withDefault, menu);
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), 5);

    EXPECT_EQ(actions[0]->text(), "1倍");
    EXPECT_FALSE(actions[0]->isChecked());
    EXPECT_TRUE(actions[1]->isChecked());
    EXPECT_EQ(actions[1]->data().toInt(), 2);
    EXPECT_EQ(menu.defaultAction(), actions[1]);
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_FALSE(actions[3]->isEnabled());
    EXPECT_EQ(actions[3]->data().toInt(), 7);

    QMenu* sub = actions[4]->menu();
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(sub->actions().size(), 1);
    EXPECT_EQ(sub->actions()[0]->data().toInt(), 30);
    EXPECT_TRUE(sub->actions()[0]->isChecked());

    const ui::MenuSpec menuSpec = sampleMenu();
    ASSERT_NE(menuSpec.find(30), nullptr);
    EXPECT_EQ(menuSpec.find(30)->text, "左对齐");
    EXPECT_EQ(menuSpec.find(0), nullptr); // separators and sub-menus carry no id
    EXPECT_EQ(menuSpec.find(99), nullptr);
}

// The Qt host itself, with menus closed by a timer: the first enabled item
// is active once the menu shows only when asked for.
TEST(QtModalHost, SelectFirstMakesTheFirstEnabledItemActive)
{
    const ui::MenuSpec choices = ui::MenuSpec::subMenu(QString(), {
                                                                      ui::MenuSpec::item(7, "删除", false, false),
                                                                      ui::MenuSpec::separatorItem(),
                                                                      ui::MenuSpec::item(1, "1倍"),
                                                                      ui::MenuSpec::item(2, "2倍"),
                                                                  });
    ui::ModalHost* scripted = ui::setModalHost(nullptr);
    for (const bool selectFirst : {false, true}) {
        QString active = "none";
        int ticks = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            // Without selection, a few ticks show that nothing becomes active.
            if (menu->activeAction() || ++ticks > (selectFirst ? 1000 : 5)) {
                if (menu->activeAction())
                    active = menu->activeAction()->text();
                menu->close();
            }
        });
        poll.start(10);
        EXPECT_EQ(ui::popupMenu(nullptr, choices, QPoint(300, 300), {.selectFirst = selectFirst}), 0);
        EXPECT_EQ(active, selectFirst ? "1倍" : "none");
    }
    ui::setModalHost(scripted);
}

// With Chinese chosen, a standard message box shows Qt's own button texts
// in Chinese and carries the program's title; day and month names follow.
TEST(QtModalHost, MessageBoxIsTitledAndSpeaksChinese)
{
    ASSERT_TRUE(ui::useChineseQtTexts());
    ui::ModalHost* scripted = ui::setModalHost(nullptr);
    QString title;
    QStringList buttons;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        for (QAbstractButton* button : box->buttons())
            buttons << button->text();
        box->reject();
    });
    poll.start(10);
    ui::askYesNo(nullptr, QStringLiteral("您确定吗？"));
    ui::setModalHost(scripted);
    EXPECT_EQ(title, QStringLiteral("Tavrix"));
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));
    EXPECT_EQ(QLocale().dayName(1), QStringLiteral("星期一"));
    EXPECT_EQ(QLocale().monthName(12), QStringLiteral("十二月"));
    QLocale::setDefault(QLocale::c());
}

// The Qt host tells the watcher each key with the menus open and whether
// the active item opens a sub-menu; a key it takes never reaches the menu.
// Selected first, a sub-menu item keeps its sub-menu closed. cancelPopup
// closes the menu, sub-menu included, and popupMenu returns 0.
TEST(QtModalHost, TellsItsWatcherKeysAndMovesAndClosesOnCancel)
{
    struct Recorder : ui::PopupWatcher {
        std::vector<std::tuple<int, int, bool>> keys;
        int moves = 0;
        bool popupKey(int vk, int openMenus, bool activeItemHasSubMenu) override
        {
            keys.emplace_back(vk, openMenus, activeItemHasSubMenu);
            return vk == 0x25 && openMenus == 1; // Left in the top menu
        }
        void popupMouseMove(QPoint) override { ++moves; }
    } watcher;
    const ui::MenuSpec menu =
        ui::MenuSpec::subMenu(QString(), {
                                             ui::MenuSpec::subMenu("对齐", {ui::MenuSpec::item(30, "左对齐")}),
                                             ui::MenuSpec::item(1, "1倍"),
                                         });
    ui::ModalHost* scripted = ui::setModalHost(nullptr);
    ui::modalHost().cancelPopup(); // nothing open: nothing happens
    int step = 0;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!open)
            return;
        const bool inSub = qobject_cast<QMenu*>(open->parentWidget()) != nullptr;
        // Right opens the sub-menu, Left there closes it, Left in the top
        // menu is taken; then a move, Right again, and a cancel in the sub-menu.
        const Qt::Key keys[] = {Qt::Key_Right, Qt::Key_Left, Qt::Key_Left, Qt::Key_Right};
        if (step == 3)
            tavrix::test::hoverAt(*open, QPoint(5, 5));
        if (step < 4 && inSub == (step == 1))
            QTest::keyClick(open, keys[step++]);
        else if (step == 4 && inSub)
            ui::modalHost().cancelPopup();
    });
    driver.start(10);
    EXPECT_EQ(ui::popupMenu(nullptr, menu, QPoint(300, 300), {.selectFirst = true, .watcher = &watcher}), 0);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    using Key = std::tuple<int, int, bool>;
    EXPECT_EQ(watcher.keys, (std::vector<Key>{{0x27, 1, true}, {0x25, 2, false}, {0x25, 1, true}, {0x27, 1, true}}));
    EXPECT_GE(watcher.moves, 1);
    ui::setModalHost(scripted);
}

} // namespace

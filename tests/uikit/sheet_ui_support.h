#pragma once
// Helpers of the offscreen tests of the sheet widgets.
#include "core/config.h"
#include "corlane/app_path.h"
#include "tests/support/test_files.h"
#include "uikit/ui_sheet_ctrl.h"

#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// Sets "MainFrm.AppType", which switches the hover cross-hair.
inline void SetAppType(int value)
{
    tavrix::test::WriteText(qz::vok::path::GetSysPath() + "/Main.ini",
                            "[MainFrm]\nAppType=" + std::to_string(value) + "\n");
    ASSERT_TRUE(CQelConfig::get_instance().LoadMain());
}

// Keeps every notification in `notes` as the owner gets it.
inline void RecordNotes(CUiSheetCtrl& sheet, std::vector<SheetNotify>& notes)
{
    QObject::connect(
        &sheet, &CUiSheetCtrl::sheetNotify, &sheet, [&notes](const SheetNotify& n) { notes.push_back(n); },
        Qt::DirectConnection);
}

inline std::vector<SheetNotify> NotesOf(const std::vector<SheetNotify>& notes, int code)
{
    std::vector<SheetNotify> out;
    for (const auto& n : notes)
        if (n.code == code)
            out.push_back(n);
    return out;
}

// A press and release, then the double click, as the mouse delivers them.
inline void DoubleClickAt(QWidget& widget, QPoint at)
{
    QTest::mouseClick(&widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(&widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, at);
}

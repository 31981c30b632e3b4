#pragma once
// What the dialog tests share: driving a live dialog as the operator does,
// and a processor of the simulator selected in the context.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/modal_view_dialogs.h"
#include "dialogs/password_dlg.h"
#include "tests/support/ui/ui_test.h"

namespace dialogtest {

// The views' dialogs are the program's for the holder's life.
struct ProgramDialogsInstalled {
    ProgramDialogsInstalled() { previous = setViewDialogs(&ProgramViewDialogs()); }
    ~ProgramDialogsInstalled() { setViewDialogs(previous); }
    IViewDialogs* previous = nullptr;
};

// Shows the dialog the scripted seam was handed, as running it would.
inline void Open(QDialog& dialog)
{
    dialog.show();
    QCoreApplication::processEvents();
}

// Answers the next dialog the code asks for as a `Dialog`: shows it, runs
// `work` on it and gives its result; another dialog fails the test.
template <class Dialog>
void AnswerAs(std::function<void(Dialog&)> work)
{
    tavrix::test::scriptedModal().answerDialog([work](QDialog& d) {
        auto* dialog = dynamic_cast<Dialog*>(&d);
        EXPECT_NE(dialog, nullptr) << d.windowTitle().toStdString();
        if (!dialog)
            return int(QDialog::Rejected);
        Open(d);
        work(*dialog);
        return d.result();
    });
}

// Answers the next dialog, the operation password, with `password` and OK.
inline void AnswerPassword(const QString& password)
{
    AnswerAs<CPasswordDlg>([password](CPasswordDlg& dialog) {
        dialog.PasswordEdit()->setText(password);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
}

// What resetting the keys of a model-2 processor with one 1920 x 1080
// input on 1920 x 1080 outputs sends first: key 1, the input scaled onto
// the whole output.
inline std::vector<std::string> FirstKeyResetLines()
{
    return {
        "INPUT_FPGA SET_KEY_MODE 1\r\n",
        "INPUT_FPGA SCALER_SETUP 0 0 0 1920 1080 0 1919 0 1079 1920 1080\r\n",
        "INPUT_FPGA SET_WINDOWS_LAYOUT 0 0 1920 1080\r\n",
        "INPUT_FPGA ADD_WINDOWS 4 1 0 0 1920 1080 0 0 1920 1080\r\n",
        "INPUT_FPGA ADD_WINDOWS_END\r\n",
        "INPUT_FPGA SET_KEY_MODE 0\r\n",
    };
}

// Replaces an edit's text by typing (QTest types ASCII only: other text
// is inserted as an input method would).
inline void Type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        QTest::keyClicks(edit, text);
    else
        edit->insert(text);
}

// Clicks a button that may raise a message box; the box is expected.
inline void ClickTold(QPushButton* button)
{
    tavrix::test::scriptedModal().expectInform();
    QTest::mouseClick(button, Qt::LeftButton);
}

// The last message told, empty when none.
inline QString LastTold()
{
    const auto& prompts = tavrix::test::scriptedModal().prompts();
    for (auto it = prompts.rbegin(); it != prompts.rend(); ++it)
        if (it->kind == tavrix::test::Prompt::Inform)
            return it->text;
    return QString();
}

} // namespace dialogtest

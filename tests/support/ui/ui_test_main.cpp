// The main of every UI test binary: an offscreen application with the
// program's fonts and the scripted modal host installed.
#include "platform/ui/init_ui.h"
#include "platform/ui/modal.h"
#include "tests/support/ui/scripted_modal.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class FreshModal : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { tavrix::test::scriptedModal().reset(); }
};

} // namespace

int main(int argc, char** argv)
{
    // Never a real display: nothing may block on a window or a dialog.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    ui::initUi();
    ui::ModalHost* previous = ui::setModalHost(&tavrix::test::scriptedModal());
    testing::UnitTest::GetInstance()->listeners().Append(new FreshModal);
    const int rc = RUN_ALL_TESTS();
    ui::setModalHost(previous);
    return rc;
}

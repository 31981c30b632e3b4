#include "uikit/res_path.h"
#include "corlane/app_path.h"
#include "platform/ui/image_file.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(ImagesInSysRes, LoadFromTheSystemFolder)
{
    const std::string res = qz::vok::path::GetSysPath() + "/res";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(res)));
    EXPECT_EQ(ui::resPath("lock.png"), res + "/lock.png");

    QImage lock(16, 16, QImage::Format_ARGB32);
    lock.fill(qRgba(0, 0, 255, 200));
    ASSERT_TRUE(lock.save(QString::fromStdString(ui::resPath("lock.png")), "PNG"));
    const QImage loaded = ui::loadImage(ui::resPath("lock.png"));
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(loaded.pixel(8, 8), qRgba(0, 0, 255, 200));
    EXPECT_TRUE(ui::loadImage(ui::resPath("tab_close_btn.png")).isNull());
}

} // namespace

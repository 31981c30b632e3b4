#include "corlane/binblock.h"

#include <gtest/gtest.h>

using qz::vok::binblock;

TEST(Binblock, CopiesShareZeroFilledStorage)
{
    binblock empty;
    EXPECT_EQ(empty.data(), nullptr);
    EXPECT_EQ(empty.length(), 0u);
    EXPECT_EQ(binblock(0u).data(), nullptr);

    binblock a(4);
    ASSERT_NE(a.data(), nullptr);
    for (uint32_t i = 0; i < a.length(); ++i)
        EXPECT_EQ(a.data()[i], 0);

    binblock b = a;
    b.data()[2] = 7;
    EXPECT_EQ(a.data()[2], 7); // shared, not copied
    EXPECT_EQ(b.length(), 4u);

    binblock c("abc", 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(c.data()), c.length()), "abc");
}

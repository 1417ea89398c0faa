#include "language/Localization.h"

#include <gtest/gtest.h>

using orvenda::Localization;

TEST(Localization, KnownKeyGivesItsText)
{
    EXPECT_EQ(Localization::shared().text("PARSE_ERROR_SYNTAX"), "Syntax error");
}

TEST(Localization, UntranslatedKeyComesBackAsItself)
{
    const auto& loc = Localization::shared();
    EXPECT_EQ(loc.text("NO_SUCH_KEY_ANYWHERE"), "NO_SUCH_KEY_ANYWHERE");
    EXPECT_EQ(loc.text(""), "");
}

TEST(Localization, SharedIsOneInstance)
{
    EXPECT_EQ(&Localization::shared(), &Localization::shared());
}

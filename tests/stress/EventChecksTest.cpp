// The campaign's checks must see what they count: a check that never fires would report zeros
// whatever the page does.
#include "EventChecks.h"

#include <gtest/gtest.h>

namespace
{
std::string Send(int nCmd, const char* pszData)
{
    return "{\"ev\":\"send\",\"cmd\":" + std::to_string(nCmd) + ",\"dev\":0,\"data\":\"" + pszData +
           "\",\"rc\":240}";
}

const char kLocked[] = "{\"ev\":\"lock\",\"op\":\"TryLock\",\"result\":1}";
const char kZeroYes[] =
    "{\"ev\":\"box\",\"text\":\"Would you  perform PV Zero Calibrate?\",\"flags\":4,"
    "\"answer\":\"yes\"}";
const char kRangeNo[] =
    "{\"ev\":\"box\",\"text\":\"Would you perform Range Correct?\",\"flags\":4,\"answer\":\"no\"}";
} // namespace

TEST(EventChecks, SoundRequestsPassAndOthersAreBadSends)
{
    EventChecks checks;
    EXPECT_EQ(checks.Feed(Send(223, "02")), "");
    EXPECT_EQ(checks.Feed(Send(222, "014b5330303031323334ff")), "");
    EXPECT_EQ(checks.Feed(Send(183, "")), "");
    EXPECT_NE(checks.Feed(Send(38, "")), "");
    EXPECT_NE(checks.Feed(Send(223, "03")), "");
    // A serial number of ten bytes makes the request one byte too long.
    EXPECT_NE(checks.Feed(Send(222, "014b533030303132333435ff")), "");
    EXPECT_NE(checks.Feed(Send(15, "00")), "");
    EXPECT_EQ(checks.BadSends(), 4);
}

TEST(EventChecks, RangeDownloadWithNonFiniteValueIsABadSend)
{
    EventChecks checks;
    EXPECT_NE(checks.Feed(Send(182, "017fc00000")), ""); // NaN
    EXPECT_NE(checks.Feed(Send(182, "027f800000")), ""); // +inf
    EXPECT_EQ(checks.BadSends(), 2);
    EXPECT_EQ(checks.UnconfirmedWrites(), 0);
}

TEST(EventChecks, EachConfirmedWriteTakesOneYesAndResendsTakeNone)
{
    EventChecks checks;
    checks.Feed(kZeroYes);
    checks.Feed(kLocked);
    EXPECT_EQ(checks.Feed(Send(43, "")), "");
    EXPECT_EQ(checks.Feed(Send(43, "")), "");
    checks.Feed(kLocked);
    EXPECT_NE(checks.Feed(Send(43, "")), "");
    checks.Feed(kRangeNo);
    checks.Feed(kLocked);
    EXPECT_NE(checks.Feed(Send(182, "013f800000")), "");
    EXPECT_EQ(checks.UnconfirmedWrites(), 2);
}

TEST(EventChecks, AYesThatStartedNothingIsVoidOnceIdle)
{
    EventChecks checks;
    checks.Feed(kZeroYes);
    checks.Idle();
    checks.Feed(kLocked);
    EXPECT_NE(checks.Feed(Send(43, "")), "");
}

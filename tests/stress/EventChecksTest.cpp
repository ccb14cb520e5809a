// The campaign's checks must see what they count: a check that never fires would report zeros
// whatever the page does.
#include "EventChecks.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

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
    // Another command, a block that does not exist, a serial number of ten bytes, request data
    // for a command without any, and range values that are not finite (NaN, +inf).
    for (const auto& [nCmd, pszData] :
         std::vector<std::pair<int, const char*>>{{38, ""},
                                                  {223, "03"},
                                                  {222, "014b533030303132333435ff"},
                                                  {15, "00"},
                                                  {182, "017fc00000"},
                                                  {182, "027f800000"}})
        EXPECT_NE(checks.Feed(Send(nCmd, pszData)), "") << nCmd << " " << pszData;
    EXPECT_EQ(checks.BadSends(), 6);
    EXPECT_EQ(checks.UnconfirmedWrites(), 0);
}

// Each confirmed write takes one Yes and its resends take none; a Yes that started nothing is
// void once the page is idle.
TEST(EventChecks, EachConfirmedWriteTakesOneYes)
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
    checks.Feed(kZeroYes);
    checks.Idle();
    checks.Feed(kLocked);
    EXPECT_NE(checks.Feed(Send(43, "")), "");
    EXPECT_EQ(checks.UnconfirmedWrites(), 3);
}

// Tests of setting the simulated transmitter's variables by name (the script's xmtr).
#include "Transmitter.h"

#include <gtest/gtest.h>

using namespace hartsim;

TEST(SetVariable, StoresParsedValues)
{
    Transmitter transmitter;
    std::string error;
    EXPECT_TRUE(transmitter.SetVariable("pressure", "-1.5e1", &error)) << error;
    EXPECT_TRUE(transmitter.SetVariable("serial", " A B", &error)) << error;
    const DeviceState& state = transmitter.State();
    EXPECT_EQ(state.pressure, -15.0f);
    EXPECT_EQ(std::string(state.serial.begin(), state.serial.end()), " A B     ");

    EXPECT_TRUE(transmitter.SetVariable("serial", "", &error)) << error;
    EXPECT_EQ(std::string(state.serial.begin(), state.serial.end()), "         ");
}

TEST(SetVariable, RejectsBadInputWithAReasonAndKeepsTheState)
{
    const struct
    {
        const char* key;
        const char* text;
        const char* reason;
    } cases[] = {
        {"volume", "1", "unknown variable"},
        {"press_type", "x", "not a whole number"},
        {"press_type", "1.0", "not a whole number"},
        {"press_type", " 1", "not a whole number"},
        {"press_type", "4", "out of range 0..3"},
        {"manufacturer", "-1", "out of range 0..1"},
        {"unit", "256", "out of range"},
        {"write_protect", "2", "out of range"},
        {"busy", "99999999999999999999", "out of range"},
        {"byte10", "", "not a whole number"},
        {"pressure", "1,5", "not a decimal number"},
        {"pressure", "nan", "not a finite number"},
        {"zero", "-inf", "not a finite number"},
        {"urv", "1e39", "single-precision range"},
        {"lrv", "1e400", "single-precision range"},
        {"serial", "1234567890", "longer than 9 bytes"},
        {"pressure_bits", "4294967296", "out of range"},
    };
    for (const auto& c : cases)
    {
        Transmitter transmitter;
        std::string error;
        EXPECT_FALSE(transmitter.SetVariable(c.key, c.text, &error)) << c.key << " " << c.text;
        EXPECT_NE(error.find(c.key), std::string::npos) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_FALSE(transmitter.SetVariable(c.key, c.text, nullptr));

        const DeviceState fresh;
        const DeviceState& state = transmitter.State();
        EXPECT_EQ(state.pressType, fresh.pressType);
        EXPECT_EQ(state.pressure, fresh.pressure);
        EXPECT_EQ(state.zero, fresh.zero);
        EXPECT_EQ(state.urv, fresh.urv);
        EXPECT_EQ(state.serial, fresh.serial);
        EXPECT_EQ(state.busyCount, fresh.busyCount);
    }
}

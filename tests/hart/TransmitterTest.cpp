// The simulated transmitter's variables set by name (the script's xmtr), and its commands, device
// status and busy answers, each through Handle or Exchange as the service sends them.
#include "ByteOrder.h"
#include "HartFrame.h"
#include "Transmitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

using namespace hartsim;

namespace
{

std::string Serial(const DeviceState& state)
{
    return std::string(state.serial.begin(), state.serial.end());
}

std::vector<uint8_t> RangePoint(uint8_t point, float value)
{
    std::vector<uint8_t> request{point};
    AppendFloatBE(request, value);
    return request;
}

std::vector<uint8_t> BaseData(uint8_t pressType, const std::string& serial, uint8_t manufacturer)
{
    std::vector<uint8_t> request(11, 0);
    request[0] = pressType;
    std::copy(serial.begin(), serial.end(), request.begin() + 1);
    request[10] = manufacturer;
    return request;
}

void ExpectCodeWithoutData(const Reply& reply, uint8_t code)
{
    EXPECT_EQ(reply.responseCode, code);
    EXPECT_TRUE(reply.data.empty());
}

} // namespace

TEST(Transmitter, AnswersIdentityWithByte10InTheDeviceIdAndTheBigEndianPressure)
{
    Transmitter transmitter;
    ASSERT_TRUE(transmitter.SetVariable("byte10", "7", nullptr));
    ASSERT_TRUE(transmitter.SetVariable("pressure", "100", nullptr));
    const Reply reply = transmitter.Handle(0, {});
    EXPECT_EQ(reply.responseCode, 0);
    EXPECT_EQ(reply.data, (std::vector<uint8_t>{254, 0xE0, 0xB3, 5, 5, 1, 3, 0x08, 0, 0, 7, 0x2A}));
    EXPECT_EQ(transmitter.Address().bytes[3], 7);
    EXPECT_EQ(transmitter.Handle(183, {}).data, (std::vector<uint8_t>{0x42, 0xC8, 0x00, 0x00}));
}

TEST(Transmitter, RangePointWritesSetTheValuesAndStatusShowsColdStartOnceThenConfigurationChanged)
{
    Transmitter transmitter;
    EXPECT_EQ(transmitter.Handle(1, {}).deviceStatus, 0x20);
    EXPECT_EQ(transmitter.Handle(183, {}).deviceStatus, 0);
    ASSERT_TRUE(transmitter.SetVariable("urv", "150", nullptr));
    EXPECT_EQ(transmitter.Handle(182, RangePoint(0, 500.0f)).deviceStatus, 0);
    EXPECT_EQ(transmitter.Handle(182, RangePoint(0, 5.0f)).deviceStatus, 0x40);
    EXPECT_EQ(transmitter.Handle(183, {}).deviceStatus, 0x40);
    EXPECT_EQ(transmitter.Handle(182, RangePoint(1, 250.0f)).responseCode, 0);
    EXPECT_EQ(transmitter.State().lrv, 5.0f);
    EXPECT_EQ(transmitter.State().urv, 250.0f);
}

TEST(Transmitter, BusyAnswersCountDownWithoutRunningTheCommandAndUnknownOnesAreNotImplemented)
{
    Transmitter transmitter;
    ASSERT_TRUE(transmitter.SetVariable("busy", "2", nullptr));
    ExpectCodeWithoutData(transmitter.Handle(43, {}), 32);
    ExpectCodeWithoutData(transmitter.Handle(99, {}), 32);
    EXPECT_EQ(transmitter.State().zero, 0.0f);
    EXPECT_EQ(transmitter.Handle(43, {}).responseCode, 0);
    EXPECT_EQ(transmitter.State().zero, 1.25f);
    for (uint8_t command : {1, 38, 184, 255})
        ExpectCodeWithoutData(transmitter.Handle(command, {}), 64);
}

TEST(Transmitter, ZeroAddsThePressureToZeroUnlessBeyondFivePercentOfTheSpanOrProtected)
{
    // Sensor range 0..250: the pressure may lie within plus or minus 12.5.
    const struct
    {
        const char* pressure;
        bool writeProtected;
        uint8_t code;
    } cases[] = {{"12.5", false, 0},
                 {"-12.5", false, 0},
                 {"12.6", false, 9},
                 {"-12.6", false, 10},
                 {"1", true, 7}};
    for (const auto& c : cases)
    {
        Transmitter transmitter;
        ASSERT_TRUE(transmitter.SetVariable("zero", "0.5", nullptr));
        ASSERT_TRUE(transmitter.SetVariable("pressure", c.pressure, nullptr));
        ASSERT_TRUE(
            transmitter.SetVariable("write_protect", c.writeProtected ? "1" : "0", nullptr));
        const float before = transmitter.State().pressure;
        ExpectCodeWithoutData(transmitter.Handle(43, {}), c.code);
        EXPECT_EQ(transmitter.State().pressure, c.code == 0 ? 0.0f : before) << c.pressure;
        EXPECT_EQ(transmitter.State().zero, c.code == 0 ? 0.5f + before : 0.5f) << c.pressure;
    }
}

// Too short, write-protected, an invalid point, list position or value, and values beyond the
// sensor's range: the code and no change.
TEST(Transmitter, RangePointAndBaseDataRefusalsChangeNothing)
{
    std::vector<uint8_t> shortBaseData = BaseData(1, "X", 1);
    shortBaseData.pop_back();
    const struct
    {
        uint8_t command;
        std::vector<uint8_t> request;
        bool writeProtected;
        uint8_t code;
    } cases[] = {
        {182, {0, 0x41, 0x20, 0x00}, false, 5}, {182, RangePoint(0, 1.0f), true, 7},
        {182, RangePoint(2, 1.0f), false, 2},   {182, RangePoint(0, std::nanf("")), false, 2},
        {182, RangePoint(1, 250.5f), false, 9}, {182, RangePoint(0, -0.5f), false, 10},
        {222, shortBaseData, false, 5},         {222, BaseData(1, "X", 1), true, 7},
        {222, BaseData(4, "X", 1), false, 2},   {222, BaseData(255, "X", 1), false, 2},
        {222, BaseData(1, "X", 2), false, 2},
    };
    for (const auto& c : cases)
    {
        Transmitter transmitter;
        transmitter.SetVariable("write_protect", c.writeProtected ? "1" : "0", nullptr);
        ExpectCodeWithoutData(transmitter.Handle(c.command, c.request), c.code);
        const DeviceState& state = transmitter.State();
        EXPECT_EQ(state.lrv, 0.0f);
        EXPECT_EQ(state.urv, 200.0f);
        EXPECT_EQ(state.pressType, 0);
        EXPECT_EQ(state.manufacturer, 0);
        EXPECT_EQ(Serial(state), "KS0001234");
    }
}

TEST(Transmitter, BaseDataWriteStoresTheSerialBlankPadded)
{
    Transmitter transmitter;
    ExpectCodeWithoutData(transmitter.Handle(222, BaseData(3, "AB12", 1)), 0);
    EXPECT_EQ(transmitter.State().pressType, 3);
    EXPECT_EQ(transmitter.State().manufacturer, 1);
    EXPECT_EQ(Serial(transmitter.State()), "AB12     ");

    std::vector<uint8_t> request = BaseData(2, "123456789", 0);
    request[3] = 0; // the text ends at the first zero byte
    EXPECT_EQ(transmitter.Handle(222, request).responseCode, 0);
    EXPECT_EQ(Serial(transmitter.State()), "12       ");
}

TEST(Transmitter, BaseDataReadAnswersTheIdentityBlockAndRefusesOthers)
{
    Transmitter transmitter;
    transmitter.SetVariable("serial", "AB12 3456", nullptr);

    const Reply identity = transmitter.Handle(223, {0});
    const std::vector<uint8_t> expected = {0,   0,   0,   12,  'A', 'B', '1',
                                           '2', ' ', '3', '4', '5', '6'};
    EXPECT_EQ(identity.data, expected);
    // The float blocks are checked field by field through the record filler.
    ExpectCodeWithoutData(transmitter.Handle(223, {}), 5);
    ExpectCodeWithoutData(transmitter.Handle(223, {3}), 2);
}

TEST(Transmitter, ExchangeAnswersOnlyValidRequestsToItself)
{
    Transmitter transmitter;
    Request request{transmitter.Address(), 183, {}};
    Answer answer;
    ASSERT_EQ(DecodeAnswer(transmitter.Exchange(EncodeRequest(request)), request.address, &answer),
              DecodeError::None);
    EXPECT_EQ(answer.command, 183);
    EXPECT_EQ(answer.deviceStatus, 0x20);
    EXPECT_EQ(answer.data.size(), 4u);

    std::vector<uint8_t> corrupt = EncodeRequest(request);
    corrupt.back() ^= 1;
    EXPECT_TRUE(transmitter.Exchange(corrupt).empty());
    request.address.bytes[4] ^= 1;
    EXPECT_TRUE(transmitter.Exchange(EncodeRequest(request)).empty());
}

TEST(SetVariable, StoresParsedValues)
{
    Transmitter transmitter;
    std::string error;
    EXPECT_TRUE(transmitter.SetVariable("pressure", "-1.5e1", &error)) << error;
    EXPECT_TRUE(transmitter.SetVariable("serial", " A B", &error)) << error;
    const DeviceState& state = transmitter.State();
    EXPECT_EQ(state.pressure, -15.0f);
    EXPECT_EQ(Serial(state), " A B     ");

    EXPECT_TRUE(transmitter.SetVariable("serial", "", &error)) << error;
    EXPECT_EQ(Serial(state), "         ");
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

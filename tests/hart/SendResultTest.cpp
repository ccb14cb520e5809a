// Tests of the mapping from a device's response code to HartSendCmd's result.
#include "SendResult.h"

#include <gtest/gtest.h>

using namespace hartsim;

TEST(SendResult, MapsResponseCodesToWhatTheCallerReads)
{
    const std::pair<int, int> cases[] = {
        {0, 0xF0},    {8, 0xF0},    {14, 0xF0},   {24, 0xF0},  {27, 0xF0}, {30, 0xF0},
        {31, 0xF0},   {96, 0xF0},   {127, 0xF0},  {32, 0xFE},  {2, 2},     {5, 5},
        {7, 7},       {9, 9},       {10, 10},     {28, 28},    {64, 64},   {95, 95},
        {0x88, 0xFF}, {0xC0, 0xFF}, {0xF0, 0xFF}, {0xFE, 0xFF}};
    for (const auto& [code, result] : cases)
        EXPECT_EQ(SendResult(static_cast<uint8_t>(code)), result) << "response code " << code;
    EXPECT_EQ(SendResult(std::nullopt), 0xFF) << "no valid answer";
}

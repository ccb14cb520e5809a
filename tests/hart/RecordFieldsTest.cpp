// The names scripts give the device record's fields: a byte inside a field by its number, and
// every name and byte outside refused.
#include "RecordFields.h"
#include "RecordFiller.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace hartsim;

TEST(RecordFields, NamesAndBytesInsideAFieldGiveItsOffsetsAndOthersAreRefused)
{
    const std::pair<const char*, std::size_t> cases[] = {{"device_id+1", record::kDeviceId + 1},
                                                         {"serial+8", record::kSerial + 8},
                                                         {"range_high", record::kRangeHigh}};
    for (const auto& [text, offset] : cases)
    {
        std::size_t found = 0;
        std::string error;
        EXPECT_TRUE(RecordFieldOffset(text, &found, &error)) << text << ": " << error;
        EXPECT_EQ(found, offset) << text;
    }
    for (const char* text : {"2308", "Range_high", "range_high+4", "serial+9", "device_id+3",
                             "range_high+", "range_high+-1", "range_high+1x", ""})
    {
        std::size_t found = 7;
        std::string error;
        EXPECT_FALSE(RecordFieldOffset(text, &found, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(found, 7u) << text;
    }
}

TEST(RecordFields, FieldsHaveDistinctNamesAndDoNotOverlap)
{
    std::set<std::string> names;
    for (std::size_t i = 0; i < kRecordFieldCount; i++)
    {
        const RecordField& field = kRecordFields[i];
        EXPECT_TRUE(names.insert(field.name).second) << field.name;
        for (std::size_t j = 0; j < kRecordFieldCount; j++)
        {
            const RecordField& other = kRecordFields[j];
            bool inside = other.offset >= field.offset && other.offset < field.offset + field.width;
            // The identity holds the three bytes that have names of their own.
            EXPECT_TRUE(i == j || !inside || std::string(field.name) == "identity")
                << other.name << " inside " << field.name;
        }
    }
}

// The service's view of answers: what each answer files in the device record, the names scripts
// give the record's fields, and the command catalogue's entries against what the simulated
// transmitter answers.
#include "AnswerLength.h"
#include "HartCommand.h"
#include "RecordFields.h"
#include "RecordFiller.h"
#include "Transmitter.h"

#include <PageRules.h>

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <set>
#include <string>

using namespace hartsim;

namespace
{

constexpr uint8_t kUntouched = 0xCC;

struct Record
{
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kDeviceRecordSize, kUntouched);

    float FloatAt(std::size_t offset) const
    {
        const uint32_t bits = uint32_t{bytes[offset]} | (uint32_t{bytes[offset + 1]} << 8) |
                              (uint32_t{bytes[offset + 2]} << 16) |
                              (uint32_t{bytes[offset + 3]} << 24);
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // Fails for any byte outside [first, last) that the filler changed.
    void ExpectUntouchedOutside(std::size_t first, std::size_t last) const
    {
        for (std::size_t i = 0; i < bytes.size(); ++i)
        {
            if ((i < first || i >= last) && bytes[i] != kUntouched)
            {
                ADD_FAILURE() << "record byte " << i << " changed";
                return;
            }
        }
    }
};

void Fill(Record& record, Transmitter& transmitter, uint8_t command,
          const std::vector<uint8_t>& request)
{
    const Reply reply = transmitter.Handle(command, request);
    ASSERT_EQ(reply.responseCode, 0);
    FillRecord(record.bytes.data(), command, request, reply.data);
}

} // namespace

TEST(RecordFiller, IdentityFillsBytesZeroToElevenAndDeviceInfoTheRangeValues)
{
    Transmitter transmitter;
    transmitter.SetVariable("lrv", "-2.5", nullptr);
    Record identity, info;
    Fill(identity, transmitter, 0, {});
    EXPECT_EQ(std::vector<uint8_t>(identity.bytes.begin(), identity.bytes.begin() + 12),
              transmitter.Handle(0, {}).data);
    identity.ExpectUntouchedOutside(0, 12);
    Fill(info, transmitter, 15, {});
    EXPECT_EQ(info.FloatAt(176), -2.5f);
    EXPECT_EQ(info.FloatAt(180), 200.0f);
    info.ExpectUntouchedOutside(176, 184);
}

TEST(RecordFiller, BaseDataBlocksFillTheirFieldsOnly)
{
    Transmitter transmitter;
    const std::pair<const char*, const char*> settings[] = {
        {"press_type", "2"},   {"manufacturer", "1"}, {"unit", "7"},         {"serial", "AB12"},
        {"range_high", "100"}, {"range_low", "-1"},   {"pressure", "3.25"},  {"temperature", "-40"},
        {"zero", "0.125"},     {"factor_k", "1.5"},   {"factor_b", "-0.75"}, {"cal_up", "99.5"},
        {"cal_down", "0.5"}};
    for (const auto& [key, text] : settings)
        ASSERT_TRUE(transmitter.SetVariable(key, text, nullptr)) << key;

    Record record;
    Fill(record, transmitter, 223, {0});
    EXPECT_EQ(record.bytes[2308], 2);
    EXPECT_EQ(record.bytes[2309], 1);
    EXPECT_EQ(record.bytes[2310], 7);
    EXPECT_EQ(std::string(record.bytes.begin() + 2311, record.bytes.begin() + 2320), "AB12     ");
    record.ExpectUntouchedOutside(2308, 2320);

    Fill(record, transmitter, 223, {1});
    record.ExpectUntouchedOutside(2308, 2336);
    Fill(record, transmitter, 223, {2});
    record.ExpectUntouchedOutside(2308, 2356);

    const DeviceState& state = transmitter.State();
    // The wire's big-endian floats are held little-endian.
    const std::pair<std::size_t, float> floats[] = {
        {2320, state.rangeHigh},   {2324, state.rangeLow}, {2328, state.pressure},
        {2332, state.temperature}, {2336, state.zero},     {2340, state.factorK},
        {2344, state.factorB},     {2348, state.calUp},    {2352, state.calDown}};
    for (const auto& [offset, value] : floats)
        EXPECT_EQ(record.FloatAt(offset), value) << "offset " << offset;
}

TEST(RecordFiller, ShortOrMismatchedAnswersFileOnlyWhatTheyCarry)
{
    Transmitter transmitter;
    Record record;

    std::vector<uint8_t> measurement = transmitter.Handle(223, {1}).data;
    measurement.resize(8); // range high whole, range low cut
    FillRecord(record.bytes.data(), 223, {1}, measurement);
    EXPECT_EQ(record.FloatAt(2320), 250.0f);
    record.ExpectUntouchedOutside(2320, 2324);

    const std::vector<uint8_t> identity = transmitter.Handle(0, {}).data;
    FillRecord(record.bytes.data(), 0, {}, {identity.begin(), identity.begin() + 3});
    record.ExpectUntouchedOutside(0, 2324);
    EXPECT_EQ(record.bytes[3], kUntouched);

    std::vector<uint8_t> deviceInfo = transmitter.Handle(15, {}).data;
    deviceInfo.resize(10); // URV whole, LRV cut
    FillRecord(record.bytes.data(), 15, {}, deviceInfo);
    EXPECT_EQ(record.FloatAt(180), 200.0f);
    EXPECT_EQ(record.bytes[176], kUntouched);

    Record untouched;
    FillRecord(untouched.bytes.data(), 15, {}, std::vector<uint8_t>(6, 0));
    FillRecord(untouched.bytes.data(), 223, {2}, transmitter.Handle(223, {1}).data);
    FillRecord(untouched.bytes.data(), 223, {}, {0});
    FillRecord(untouched.bytes.data(), 223, {0}, {});
    FillRecord(untouched.bytes.data(), 183, {}, transmitter.Handle(183, {}).data);
    untouched.ExpectUntouchedOutside(0, 0);
}

// For every request the transmitter carries out (each first byte, the rest zero), an entry that
// names a shortest answer names exactly what the transmitter answers, one byte less is not whole,
// and a request the page may send that way is sound. A write with request data shows it in the
// calibration record, from inside the request; the numbers are listed once, in order.
TEST(Catalogue, EntriesAgreeWithWhatTheTransmitterAnswers)
{
    int previous = -1;
    for (const HartCommand* command : AllCommands())
    {
        const uint8_t number = command->Number();
        EXPECT_LT(previous, number);
        previous = number;
        EXPECT_EQ(FindCommand(number), command);
        std::vector<uint8_t> request(command->RequestBytes(), 0);
        for (unsigned first = 0; first <= (request.empty() ? 0u : 0xFFu); ++first)
        {
            if (!request.empty())
                request[0] = static_cast<uint8_t>(first);
            Transmitter transmitter;
            const Reply reply = transmitter.Handle(number, request);
            if (reply.responseCode != 0)
                continue;
            const std::size_t shortest = command->ShortestAnswer(request);
            EXPECT_TRUE(AnswerIsWhole(number, request, reply.data)) << int(number);
            if (shortest > 0)
            {
                EXPECT_EQ(reply.data.size(), shortest) << int(number) << " request " << first;
                EXPECT_FALSE(
                    AnswerIsWhole(number, request, {reply.data.begin(), reply.data.end() - 1}))
                    << int(number) << " request " << first;
            }
            EXPECT_TRUE(!command->PageSends() || command->RequestFault(request).empty())
                << int(number) << " request " << first;
        }
        EXPECT_TRUE(!command->Writes() || command->RequestBytes() == 0 ||
                    !command->AuditedRequest().empty())
            << int(number) << " writes without its request in the calibration record";
        for (const RequestField& field : command->AuditedRequest())
            EXPECT_LE(field.at + field.width, command->RequestBytes()) << int(number) << field.key;
    }
}

// The commands the page sends, as the page names them, are those the catalogue marks as sent by
// the page, with the same request lengths.
TEST(Catalogue, AgreesWithTheCommandsThePageSends)
{
    std::size_t nPageSends = 0;
    for (const HartCommand* command : AllCommands())
        nPageSends += command->PageSends() ? 1 : 0;
    EXPECT_EQ(nPageSends, std::size(PageRules::kPageCommands));
    for (const PageRules::PageCommand& page : PageRules::kPageCommands)
    {
        const HartCommand* command = FindCommand(page.number);
        ASSERT_NE(command, nullptr) << int(page.number);
        EXPECT_TRUE(command->PageSends()) << int(page.number);
        EXPECT_EQ(command->RequestBytes(), page.requestBytes) << int(page.number);
    }
}

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

// Decoding what a device says of itself: packed ASCII, command 0's identity in every revision's
// layout, and the tag and write-protect code that commands 13 and 15 note.
#include "HartCommand.h"
#include "IdentityDecoder.h"
#include "PackedAscii.h"
#include "Transmitter.h"

#include <gtest/gtest.h>

using namespace hartsim;

namespace
{
DeviceNotes Notes(uint8_t command, const std::vector<uint8_t>& answer)
{
    DeviceNotes notes;
    FindCommand(command)->NoteIdentity(answer, &notes);
    return notes;
}
} // namespace

TEST(PackedAscii, PacksFourCharactersOfItsSetIntoThreeBytes)
{
    // A 01, B 02, C 03, D 04 in six bits each.
    EXPECT_EQ(PackAscii("ABCD", 4), (std::vector<uint8_t>{0x04, 0x20, 0xC4}));
    // Blank padding, and a text longer than the field is cut.
    EXPECT_EQ(PackAscii("", 4), (std::vector<uint8_t>{0x82, 0x08, 0x20}));
    EXPECT_EQ(PackAscii("ABCDE", 4), PackAscii("ABCD", 4));
    EXPECT_TRUE(IsPackable("PT-101 @_"));
    for (const char* bad : {"pt", "A\tB", "\x7F"})
        EXPECT_FALSE(IsPackable(bad)) << bad;
}

TEST(PackedAscii, UnpacksWhatItPacksWithoutTrailingBlanks)
{
    for (const char* text : {"PT-101", "A", "", "12345678", "@[\\]^_ ?", " X"})
    {
        std::vector<uint8_t> packed = PackAscii(text, 8);
        ASSERT_EQ(packed.size(), 6u);
        std::string expected = text;
        expected.erase(expected.find_last_not_of(' ') + 1);
        EXPECT_EQ(UnpackAscii(packed.data(), packed.size()), expected) << text;
    }
}

namespace
{
std::vector<uint8_t> IdentityAnswer(uint8_t byte1, uint8_t byte2, uint8_t revision,
                                    std::size_t size)
{
    std::vector<uint8_t> answer = {254,  byte1, byte2, 5, revision, 1, 1,    8,    0, 0x00, 0x00,
                                   0x01, 5,     4,     0, 1,        0, 0x60, 0x2A, 0, 0,    0};
    answer.resize(size);
    return answer;
}
} // namespace

TEST(Identity, DecodesEveryRevisionsLayout)
{
    const struct
    {
        const char* name;
        std::vector<uint8_t> answer;
        bool decoded;
        uint16_t expandedType;
        std::optional<uint16_t> manufacturer;
        const char* longAddress;
    } cases[] = {
        {"HART 5", IdentityAnswer(0xE0, 0xB3, 5, 12), true, 0xE0B3, 0xE0, "20B3000001"},
        {"HART 6", IdentityAnswer(0x26, 0x06, 6, 16), true, 0x2606, 0x26, "2606000001"},
        // The expanded device type F9FD: the frame's address is B9FD000001 with the master bit.
        {"HART 7", IdentityAnswer(0xF9, 0xFD, 7, 22), true, 0xF9FD, 0x602A, "39FD000001"},
        {"HART 7 without bytes 17-18", IdentityAnswer(0xF9, 0xFD, 7, 12), true, 0xF9FD,
         std::nullopt, "39FD000001"},
        {"too short", IdentityAnswer(0xE0, 0xB3, 5, 11), false, 0, std::nullopt, ""},
    };
    for (const auto& c : cases)
    {
        DeviceIdentity identity;
        ASSERT_EQ(DecodeIdentity(c.answer, 3, &identity), c.decoded) << c.name;
        if (!c.decoded)
            continue;
        EXPECT_EQ(identity.expandedDeviceType, c.expandedType) << c.name;
        EXPECT_EQ(identity.manufacturer, c.manufacturer) << c.name;
        EXPECT_EQ(identity.deviceId, 1u) << c.name;
        EXPECT_EQ(identity.hartRevision, c.answer[4]) << c.name;
        EXPECT_EQ(identity.pollingAddress, 3) << c.name;
        EXPECT_EQ(HexText(identity.longAddress.data(), 5), c.longAddress) << c.name;
    }
}

// The host scripts see the tag and write protection the transmitter answers; here the limits.
TEST(Identity, TheTagTakesEightPackableCharactersAtMostAndShortAnswersNoteNothing)
{
    Transmitter transmitter;
    std::string error;
    EXPECT_EQ(Notes(13, {1, 2, 3, 4, 5}).tag, std::nullopt);
    EXPECT_EQ(Notes(15, std::vector<uint8_t>(15, 0)).writeProtect, std::nullopt);
    for (const char* bad : {"123456789", "pt-101", "A\xC3\xA9"})
    {
        EXPECT_FALSE(transmitter.SetVariable("tag", bad, &error)) << bad;
        EXPECT_NE(error.find("tag: "), std::string::npos) << error;
        EXPECT_EQ(transmitter.State().tag, "PT-101");
    }
    EXPECT_TRUE(transmitter.SetVariable("tag", "", &error)) << error;
    EXPECT_EQ(Notes(13, transmitter.Handle(13, {}).data).tag, std::optional<std::string>(""));
}

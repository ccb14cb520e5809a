// Tests of the shared code tables: CodeTable's lookups and their bounds, NumStrPair's copies, the
// byte-order functions and the consistency of the catalogue's tables.
#include "CodeTables.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace
{
std::wstring W(const CString& s)
{
    return s.GetString();
}

template <size_t N> CodeTable View(NumStrPair (&rows)[N])
{
    return {rows, static_cast<int>(N)};
}

template <size_t N> std::vector<std::wstring> Labels(const NumStrPair (&rows)[N])
{
    std::vector<std::wstring> out;
    for (const NumStrPair& row : rows)
        out.push_back(W(row.str));
    return out;
}

template <size_t N> std::vector<std::wstring> Labels(const CString (&list)[N])
{
    std::vector<std::wstring> out;
    for (const CString& s : list)
        out.push_back(W(s));
    return out;
}

template <size_t N> std::vector<std::pair<int, std::wstring>> Rows(const NumStrPair (&rows)[N])
{
    std::vector<std::pair<int, std::wstring>> out;
    for (const NumStrPair& row : rows)
        out.emplace_back(row.code, W(row.str));
    return out;
}
} // namespace

TEST(CodeTable, IndexLookupsAreBoundedBySignedCount)
{
    EXPECT_EQ(PressUnitCodes.GetCode(0), 5);
    EXPECT_EQ(PressUnitCodes.GetCode(11), 250);
    EXPECT_EQ(PressUnitCodes.GetCode(-1), INT_MIN);
    EXPECT_EQ(PressUnitCodes.GetCode(12), INT_MIN);
    EXPECT_EQ(PressUnitCodes.GetCode(INT_MIN), INT_MIN);
    EXPECT_EQ(W(PressUnitCodes.GetStr(1)), L"psi");
    EXPECT_TRUE(PressUnitCodes.GetStr(12).IsEmpty());
    EXPECT_TRUE(PressUnitCodes.GetStr(-5).IsEmpty());
}

TEST(CodeTable, PressureUnitLookups)
{
    EXPECT_EQ(W(PressUnitCodes.GetStrByCode(6)), L"psi");
    EXPECT_EQ(W(PressUnitCodes.GetStrByCode(170)), L"cmH\u2082O(4\u00b0C)");
    EXPECT_EQ(PressUnitCodes.GetIndexByCode(237), 9);
    // Code 250 holds an empty label, which looks the same as a code the table lacks.
    EXPECT_TRUE(PressUnitCodes.GetStrByCode(250).IsEmpty());
    EXPECT_EQ(PressUnitCodes.GetIndexByCode(1), -1);
    EXPECT_TRUE(PressUnitCodes.GetStrByCode(1).IsEmpty());
    EXPECT_EQ(PressUnitCodes.GetCodeByStr(L"mmH\u2082O(4\u00b0C)"), 239);
}

TEST(CodeTable, StringSearchIsExactAndOrdinal)
{
    EXPECT_EQ(PressUnitCodes.GetCodeByStr(L"kPa"), 12);
    EXPECT_EQ(PressUnitCodes.GetCodeByStr(L"KPA"), INT_MIN);
    EXPECT_EQ(PressUnitCodes.GetCodeByStr(L"kPa "), INT_MIN);
    EXPECT_EQ(PressUnitCodes.GetCodeByStr(L"kP"), INT_MIN);
    EXPECT_EQ(PressUnitCodes.GetCodeByStr(L""), 250);
}

TEST(CodeTable, FirstMatchWins)
{
    const CodeTable units = View(UnitTable);
    EXPECT_EQ(W(units.GetStrByCode(162)), L"megacalorie");
    EXPECT_EQ(units.GetCodeByStr(L"MCal"), 162);

    NumStrPair rows[] = {{7, L"a"}, {8, L"b"}, {7, L"c"}, {9, L"b"}};
    const CodeTable table = View(rows);
    EXPECT_EQ(table.GetIndexByCode(7), 0);
    EXPECT_EQ(table.GetCodeByStr(L"b"), 8);
}

TEST(CodeTable, SearchesStopAtCount)
{
    // A view over the first 24 rows of a 35-row table must not see the rows after them.
    const CodeTable head = {SensorTypeTable5, 24};
    EXPECT_EQ(head.GetIndexByCode(35), -1);
    EXPECT_EQ(head.GetCodeByStr(L"CuAuFe"), INT_MIN);
    EXPECT_TRUE(head.GetStr(24).IsEmpty());
    EXPECT_EQ(View(SensorTypeTable5).GetIndexByCode(35), 24);
    EXPECT_EQ(View(SensorTypeTable5).GetIndexByCode(25), 25);

    const CodeTable empty = {nullptr, 0};
    EXPECT_EQ(empty.GetIndexByCode(0), -1);
    EXPECT_EQ(empty.GetCodeByStr(L""), INT_MIN);
    EXPECT_TRUE(empty.GetStrByCode(0).IsEmpty());
    EXPECT_EQ(empty.GetCode(0), INT_MIN);
}

TEST(NumStrPair, CopiesAreIndependent)
{
    NumStrPair blank;
    EXPECT_TRUE(blank.str.IsEmpty());

    NumStrPair original = {42, L"label"};
    NumStrPair copy(original);
    EXPECT_EQ(copy.code, 42);
    EXPECT_EQ(W(copy.str), L"label");
    copy.str = L"changed";
    EXPECT_EQ(W(original.str), L"label");

    blank.code = -3;
    NumStrPair& result = (copy = blank);
    EXPECT_EQ(&result, &copy);
    EXPECT_EQ(copy.code, -3);
    EXPECT_TRUE(copy.str.IsEmpty());

    // Moving copies: the source keeps its label.
    NumStrPair moved(std::move(original));
    EXPECT_EQ(W(moved.str), L"label");
    EXPECT_EQ(W(original.str), L"label");
}

TEST(ByteOrder, SwapsInPlaceAndIgnoresNull)
{
    std::uint16_t half;
    std::memcpy(&half, "\x12\x34", 2);
    swap16(&half);
    EXPECT_EQ(std::memcmp(&half, "\x34\x12", 2), 0);

    std::uint32_t word;
    std::memcpy(&word, "\x12\x34\x56\x78", 4);
    swap32(&word);
    EXPECT_EQ(std::memcmp(&word, "\x78\x56\x34\x12", 4), 0);

    swap16(nullptr);
    swap32(nullptr);
}

TEST(ByteOrder, Swap32ConvertsFloatStorage)
{
    // 1.5f as it travels on the wire, most significant byte first.
    float value;
    std::memcpy(&value, "\x3f\xc0\x00\x00", 4);
    swap32(reinterpret_cast<std::uint32_t*>(&value));
    EXPECT_EQ(value, 1.5f);
}

TEST(Catalogue, LabelListsMatchTheirCodeTables)
{
    const std::vector<std::pair<std::vector<std::wstring>, std::vector<std::wstring>>> pairs = {
        {Labels(PressUnitNames), Labels(PressUnitTable)},
        {Labels(PressUnitShortNames), Labels(PressUnitShortTable)},
        {Labels(VolFlowShortNames), Labels(VolFlowShortTable)},
        {Labels(MassFlowShortNames), Labels(MassFlowShortTable)},
        {Labels(NormFlowShortNames), Labels(NormFlowShortTable)},
        {Labels(VolFlowUnitNames), Labels(VolFlowUnitTable)},
        {Labels(LengthUnitNames1), Labels(LengthUnitTable1)},
        {Labels(LengthUnitNames2), Labels(LengthUnitTable1)},
        {Labels(VelocityUnitNames), Labels(VelocityUnitTable)},
        {Labels(VolumeUnitNames), Labels(VolumeUnitTable)},
        {Labels(MassUnitNames), Labels(MassUnitTable)},
        {Labels(MassFlowUnitNames), Labels(MassFlowUnitTable)},
        {Labels(UnitFamilyNames), Labels(UnitFamilyTable)},
        {Labels(PressTypeNames), Labels(PressTypeTable)},
        {Labels(ConnectionTypeNames), Labels(ConnectionTypeTable)},
        {Labels(MetalMaterialNames), Labels(MetalMaterialTable)},
        {Labels(PolymerMaterialNames), Labels(PolymerMaterialTable)},
        {Labels(AlloyMaterialNames), Labels(AlloyMaterialTable)},
        {Labels(SealTypeNames), Labels(SealTypeTable)},
        {Labels(FillFluidNames1), Labels(FillFluidTable1)},
        {Labels(FillFluidNames2), Labels(FillFluidTable1)},
        {Labels(SealCountNames), Labels(SealCountTable)},
        {Labels(IsolatorMaterialNames1), Labels(IsolatorMaterialTable1)},
        {Labels(IsolatorMaterialNames2), Labels(IsolatorMaterialTable1)},
    };
    for (size_t i = 0; i < pairs.size(); ++i)
        EXPECT_EQ(pairs[i].first, pairs[i].second) << "pair " << i;

    std::vector<std::wstring> density = Labels(DensityUnitTable);
    density.push_back(L"");
    EXPECT_EQ(Labels(DensityUnitNames), density);

    EXPECT_EQ(Rows(LengthUnitTable2), Rows(LengthUnitTable1));
    EXPECT_EQ(Rows(LengthUnitTable3), Rows(LengthUnitTable1));
    EXPECT_EQ(Rows(FillFluidTable2), Rows(FillFluidTable1));
    EXPECT_EQ(Rows(IsolatorMaterialTable2), Rows(IsolatorMaterialTable1));
}

TEST(Catalogue, ShortClassTableIsClassTableSubsetPlusNotUsed)
{
    const std::set<int> dropped = {91, 92, 93, 94, 95, 112, 113};
    std::vector<std::pair<int, std::wstring>> expected;
    for (const auto& row : Rows(ClassTable))
    {
        if (dropped.count(row.first) == 0)
            expected.push_back(row);
    }
    expected.emplace_back(250, L"Not Used");
    EXPECT_EQ(Rows(ClassTableShort), expected);
}

TEST(Catalogue, ClassifiedUnitTablesAreConsistent)
{
    ASSERT_EQ(std::size(UnitClassTable), 573u);
    std::set<int> classes = {250};
    for (const NumStrPair& row : ClassTable)
        classes.insert(row.code);

    // First section: classification 0, one symbol per code, ascending, no code from 170 to 234.
    for (size_t i = 0; i < 175; ++i)
    {
        EXPECT_EQ(UnitClassTable[i].classification, 0) << i;
        if (i > 0)
        {
            EXPECT_LT(UnitClassTable[i - 1].code, UnitClassTable[i].code) << i;
        }
        EXPECT_FALSE(UnitClassTable[i].code >= 170 && UnitClassTable[i].code <= 234) << i;
    }
    // Second section: known classifications, no (classification, code) pair twice.
    std::vector<std::pair<int, int>> section;
    std::set<std::pair<int, int>> seen;
    for (size_t i = 175; i < std::size(UnitClassTable); ++i)
    {
        const NumClassStrPair& row = UnitClassTable[i];
        EXPECT_EQ(classes.count(row.classification), 1u) << i;
        EXPECT_TRUE(seen.insert({row.classification, row.code}).second) << i;
        section.emplace_back(row.classification, row.code);
    }

    // The short table is a "%VOL" row followed by the second section with rows left out.
    ASSERT_EQ(std::size(UnitClassTableShort), 357u);
    EXPECT_EQ(UnitClassTableShort[0].code, 244);
    EXPECT_EQ(UnitClassTableShort[0].classification, 0);
    EXPECT_EQ(W(UnitClassTableShort[0].str), L"%VOL");
    size_t next = 0;
    for (size_t i = 1; i < std::size(UnitClassTableShort); ++i)
    {
        const NumClassStrPair& row = UnitClassTableShort[i];
        while (next < section.size() &&
               section[next] != std::make_pair(row.classification, row.code))
            ++next;
        ASSERT_LT(next, section.size()) << "row " << i << " is not in order in the full table";
        EXPECT_EQ(W(row.str), W(UnitClassTable[175 + next].str)) << i;
        ++next;
    }
}

TEST(Catalogue, LabelsKeepTheirCharacters)
{
    EXPECT_EQ(W(UnitClassTable[36].str), L"\u2126");
    EXPECT_EQ(W(UnitClassTable[31].str), L"\u00baC");
    EXPECT_EQ(W(UnitClassTable[125].str), L"ft\u00b7lbf");
    EXPECT_EQ(W(FillFluidTable1[5].str), L"Neobee-M\u20820");
    EXPECT_EQ(W(MaterialTable[2].str), L"N010276   HC");
}

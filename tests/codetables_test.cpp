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

TEST(CodeTable, LookupsScanUpwardWithinCount)
{
    // Code 7 and label "b" twice: the lower index wins. Row 5 lies beyond the view's count.
    NumStrPair rows[] = {{5, L"a"}, {7, L"b"}, {8, L"e"}, {7, L"c"}, {9, L"b"}, {4, L"d"}};
    const CodeTable table = {rows, 5};
    EXPECT_EQ(table.GetCode(0), 5);
    EXPECT_EQ(table.GetCode(4), 9);
    for (int bad : {-1, 5, INT_MIN})
    {
        EXPECT_EQ(table.GetCode(bad), INT_MIN) << bad;
        EXPECT_TRUE(table.GetStr(bad).IsEmpty()) << bad;
    }
    EXPECT_EQ(W(table.GetStr(3)), L"c");
    EXPECT_EQ(table.GetIndexByCode(7), 1);
    EXPECT_EQ(table.GetIndexByCode(9), 4);
    EXPECT_EQ(table.GetIndexByCode(4), -1);
    EXPECT_EQ(W(table.GetStrByCode(7)), L"b");
    EXPECT_TRUE(table.GetStrByCode(1).IsEmpty());
    EXPECT_EQ(table.GetCodeByStr(L"b"), 7);
    for (const wchar_t* miss : {L"B", L"b ", L"", L"d"})
        EXPECT_EQ(table.GetCodeByStr(miss), INT_MIN) << miss;

    const CodeTable empty = {nullptr, 0};
    EXPECT_EQ(empty.GetIndexByCode(0), -1);
    EXPECT_EQ(empty.GetCodeByStr(L""), INT_MIN);
    EXPECT_EQ(empty.GetCode(0), INT_MIN);

    // The catalogue's view counts its twelve rows and finds labels outside ASCII.
    EXPECT_EQ(PressUnitCodes.GetCode(11), 250);
    EXPECT_EQ(PressUnitCodes.GetCode(12), INT_MIN);
    EXPECT_EQ(PressUnitCodes.GetCodeByStr(L"mmH\u2082O(4\u00b0C)"), 239);
}

TEST(NumStrPair, CopiesAreIndependent)
{
    NumStrPair original = {42, L"label"};
    NumStrPair copy(original);
    copy.str = L"changed";
    EXPECT_EQ(W(original.str), L"label");
    NumStrPair& result = (copy = original);
    EXPECT_EQ(&result, &copy);
    EXPECT_EQ(W(copy.str), L"label");
}

TEST(ByteOrder, SwapsBytesInPlaceAndIgnoresNull)
{
    std::uint16_t half;
    std::memcpy(&half, "\x12\x34", 2);
    swap16(&half);
    EXPECT_EQ(std::memcmp(&half, "\x34\x12", 2), 0);

    // 1.5f as it travels on the wire, most significant byte first.
    float value;
    std::memcpy(&value, "\x3f\xc0\x00\x00", 4);
    swap32(reinterpret_cast<std::uint32_t*>(&value));
    EXPECT_EQ(value, 1.5f);

    swap16(nullptr);
    swap32(nullptr);
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

    // After its first row the short table is the second section with rows left out.
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

// Times the code-table lookups that Kestrum.dll exports, per lookup: by code (GetStrByCode,
// GetIndexByCode) and by label (GetCodeByStr), on the page's short pressure-unit table and on
// UnitTable, the longest table the lookups serve. Every row is looked up in turn, so a figure is
// the mean over the table's rows; a code or label the table lacks costs a full scan. Prints table
// rows; asserts nothing.
#include "BenchTable.h"

#include <CodeTables.h>

#include <climits>
#include <iterator>
#include <string>

namespace
{
const int kRounds = 7;
// Lookups per round, so that a round lasts some milliseconds even for the short table.
const int kLookupsPerRound = 200000;

volatile int g_nSink;

struct Table
{
    const char* pszName;
    CodeTable table;
};

// Nanoseconds per call of lookup(row), over every row in turn, the median of the rounds.
template <typename Lookup> double NsPerLookup(int nRows, Lookup lookup)
{
    std::vector<double> rounds;
    for (int nRound = 0; nRound <= kRounds; nRound++)
    {
        double start = bench::NowMs();
        for (int i = 0; i < kLookupsPerRound; i++)
            lookup(i % nRows);
        double perLookup = (bench::NowMs() - start) * 1e6 / kLookupsPerRound;
        if (nRound > 0)
            rounds.push_back(perLookup);
    }
    return bench::Median(rounds);
}

void Row(const Table& table, const char* pszHow, double ns)
{
    std::string what =
        std::string(table.pszName) + " (" + std::to_string(table.table.count) + " rows): " + pszHow;
    char szFigure[64];
    snprintf(szFigure, sizeof(szFigure), "%.0f ns", ns);
    std::string how = "per lookup, median of " + std::to_string(kRounds) + " rounds of " +
                      std::to_string(kLookupsPerRound);
    bench::PrintRow(what.c_str(), szFigure, how.c_str());
}

void Measure(const Table& table)
{
    const CodeTable& codes = table.table;
    std::vector<int> rowCodes;
    std::vector<CString> rowLabels;
    for (int i = 0; i < codes.count; i++)
    {
        rowCodes.push_back(codes.GetCode(i));
        rowLabels.push_back(codes.GetStr(i));
    }
    const CString absent = L"no such label";
    Row(table, "GetStrByCode, every row", NsPerLookup(codes.count, [&](int nRow) {
            g_nSink = codes.GetStrByCode(rowCodes[nRow]).GetLength();
        }));
    Row(table, "GetIndexByCode, every row", NsPerLookup(codes.count, [&](int nRow) {
            g_nSink = codes.GetIndexByCode(rowCodes[nRow]);
        }));
    Row(table, "GetIndexByCode, absent code",
        NsPerLookup(1, [&](int) { g_nSink = codes.GetIndexByCode(INT_MAX); }));
    Row(table, "GetCodeByStr, every row",
        NsPerLookup(codes.count, [&](int nRow) { g_nSink = codes.GetCodeByStr(rowLabels[nRow]); }));
    Row(table, "GetCodeByStr, absent label",
        NsPerLookup(1, [&](int) { g_nSink = codes.GetCodeByStr(absent); }));
}
} // namespace

int main()
{
    Measure({"PressUnitCodes", PressUnitCodes});
    Measure({"UnitTable", {UnitTable, static_cast<int>(std::size(UnitTable))}});
    return 0;
}

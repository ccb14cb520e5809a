// Shared code tables: small value types that map numeric device codes (HART engineering
// units, enumeration values of device settings) to display labels, two byte-order helpers for
// values that travel big-endian over HART, and the static catalogue of tables.
//
// Every module that includes this header carries the whole catalogue. The tables are C++17
// inline variables, so a module holds one copy of each however many of its sources include
// the header; they are built at load in the order in which they are defined here and destroyed
// in reverse order at unload. Rows stand in the order in which the lookups scan them.
#pragma once

#include <afx.h>

#include <cstdint>

// The catalogue's operations are exported by Kestrum.dll, which defines CODETABLES_EXPORTS while it
// builds; every other module that includes this header imports them from there.
#ifdef CODETABLES_EXPORTS
#define CODETABLES_API __declspec(dllexport)
#else
#define CODETABLES_API __declspec(dllimport)
#endif

// One numeric code with its display label.
//
// The special members are defined out of line so that they are exported with the class (GCC
// exports neither members defaulted inside a dllexport class nor unused inline ones). The
// inline constructor lets the tables below be written as {code, L"label"} rows. Declaring the
// copy operations suppresses the move operations, so moving a pair copies it.
struct CODETABLES_API NumStrPair
{
    int code;
    CString str;

    NumStrPair(int codeValue, LPCWSTR label) : code(codeValue), str(label) {}

    // Leaves code unset.
    NumStrPair();
    ~NumStrPair();
    NumStrPair(const NumStrPair&);
    NumStrPair& operator=(const NumStrPair&);
};

// Read-only view over a static array of NumStrPair. Copies share the array. Every search scans
// from index 0 upward and stops at the first match, so where a table holds a code or a label
// twice the lower index wins.
struct CODETABLES_API CodeTable
{
    const NumStrPair* entries;
    int count;

    // Copy of the label at index, or an empty string when index is outside [0, count).
    CString GetStr(int index) const;
    // Code at index, or INT_MIN (0x80000000) when index is outside [0, count).
    int GetCode(int index) const;
    // Index of the first row holding code, or -1.
    int GetIndexByCode(int code) const;
    // Label of the first row holding code, or an empty string.
    CString GetStrByCode(int code) const;
    // Code of the first row whose label equals str exactly (ordinal, case-sensitive), or
    // INT_MIN (0x80000000).
    int GetCodeByStr(CString str) const;
};

// One HART engineering unit code under one device variable classification code, with the unit
// symbol. Classification 0 marks a row that is not tied to a classification.
struct NumClassStrPair
{
    int code;
    int classification;
    CString str;
};

// Exchange the two bytes of *value in place; a null pointer is ignored.
CODETABLES_API void swap16(std::uint16_t* value);
// Reverse the four bytes of *value in place; a null pointer is ignored. The storage of a 32-bit
// float may be passed as well: the bytes are moved without reading them as an integer.
CODETABLES_API void swap32(std::uint32_t* value);

inline CString ECodeNames[] = {L"0E", L"1E", L"2E", L"3E", L"4E",
                               L"5E", L"6E", L"7E", L"8E", L"9E"};

inline CString ECodeValueNames[] = {L"42000", L"0.3", L"1.5",  L"7",    L"38",
                                    L"186",   L"700", L"2100", L"7000", L"21000"};

inline CString TempUnitNamesExt[] = {L"°C", L"°F",    L"°R", L"K",  L"mV", L"Ohm",
                                     L"ft", L"meter", L"in", L"cm", L"mm"};

inline CString TempUnitNames[] = {L"°C", L"°F", L"°R", L"K", L"mV", L"Ohm"};

inline NumStrPair SensorTypeTable1[] = {
    {1, L"0_500R"}, {2, L"0_4000R"}, {3, L"CU50"},  {4, L"CU100"}, {5, L"PT100"}, {6, L"PT1000"},
    {7, L"100MV"},  {8, L"B_TC"},    {9, L"E_TC"},  {10, L"J_TC"}, {11, L"K_TC"}, {12, L"N_TC"},
    {13, L"R_TC"},  {14, L"S_TC"},   {15, L"T_TC"}, {16, L"PT200"}};

inline NumStrPair SensorTypeTable2[] = {
    {1, L"0_500R"}, {2, L"0_4000R"}, {3, L"CU50"},  {4, L"CU100"}, {5, L"PT100"},
    {6, L"PT1000"}, {7, L"100MV"},   {8, L"B_TC"},  {9, L"E_TC"},  {10, L"J_TC"},
    {11, L"K_TC"},  {12, L"N_TC"},   {13, L"R_TC"}, {14, L"S_TC"}, {15, L"T_TC"}};

inline NumStrPair SensorTypeTable3[] = {
    {1, L"0_500R"},     {2, L"0_4000R"},   {3, L"CU50"},   {4, L"CU50_GOST"},  {5, L"CU100"},
    {6, L"CU100_GOST"}, {7, L"PT50_GOST"}, {8, L"PT100"},  {9, L"PT100_GOST"}, {10, L"PT200"},
    {11, L"PT500"},     {12, L"PT1000"},   {13, L"100MV"}, {14, L"B_TC"},      {15, L"E_TC"},
    {16, L"J_TC"},      {17, L"K_TC"},     {18, L"N_TC"},  {19, L"R_TC"},      {20, L"S_TC"},
    {21, L"T_TC"},      {22, L"L_TC"}};

inline NumStrPair SensorTypeTable4[] = {{1, L"0_500R"},     {2, L"0_4000R"},
                                        {3, L"CU50"},       {4, L"CU50_GOST"},
                                        {5, L"CU100"},      {6, L"CU100_GOST"},
                                        {7, L"PT50_GOST"},  {8, L"PT100"},
                                        {9, L"PT100_GOST"}, {10, L"PT200"},
                                        {11, L"PT500"},     {12, L"PT1000"},
                                        {13, L"100MV"},     {14, L"B_TC"},
                                        {15, L"E_TC"},      {16, L"J_TC"},
                                        {17, L"K_TC"},      {18, L"N_TC"},
                                        {19, L"R_TC"},      {20, L"S_TC"},
                                        {21, L"T_TC"},      {22, L"L_GOST_TC"},
                                        {23, L"0_2000R"},   {24, L"0_40000R"},
                                        {25, L"Ni50"},      {26, L"Ni100"},
                                        {27, L"Ni120"},     {28, L"Ni1000"},
                                        {29, L"A_TC"},      {30, L"C_TC"},
                                        {31, L"D_TC"},      {32, L"NiCrAuFe"},
                                        {33, L"CuAuFe"},    {34, L"Callendar_Van_Dusen((PT100)"}};

// The row of code 35 stands between the rows of codes 24 and 25.
inline NumStrPair SensorTypeTable5[] = {{1, L"0_500R"},
                                        {2, L"0_4000R"},
                                        {3, L"CU50"},
                                        {4, L"CU50_GOST"},
                                        {5, L"CU100"},
                                        {6, L"CU100_GOST"},
                                        {7, L"PT50_GOST"},
                                        {8, L"PT100"},
                                        {9, L"PT100_GOST"},
                                        {10, L"PT200"},
                                        {11, L"PT500"},
                                        {12, L"PT1000"},
                                        {13, L"100MV"},
                                        {14, L"B_TC"},
                                        {15, L"E_TC"},
                                        {16, L"J_TC"},
                                        {17, L"K_TC"},
                                        {18, L"N_TC"},
                                        {19, L"R_TC"},
                                        {20, L"S_TC"},
                                        {21, L"T_TC"},
                                        {22, L"L_GOST_TC"},
                                        {23, L"0_2000R"},
                                        {24, L"0_40000R"},
                                        {35, L"0_20000R"},
                                        {25, L"Ni50"},
                                        {26, L"Ni100"},
                                        {27, L"Ni120"},
                                        {28, L"Ni1000"},
                                        {29, L"A_TC"},
                                        {30, L"C_TC"},
                                        {31, L"D_TC"},
                                        {32, L"NiCrAuFe"},
                                        {33, L"CuAuFe"},
                                        {34, L"Callendar_Van_Dusen((PT100)"}};

inline NumStrPair SensorTypeTable6[] = {
    {1, L"0_500R"},     {2, L"0_4000R"},    {3, L"CU50"},     {4, L"CU50_GOST"},  {5, L"CU100"},
    {6, L"CU100_GOST"}, {7, L"PT50_GOST"},  {8, L"PT100"},    {9, L"PT100_GOST"}, {10, L"PT200"},
    {11, L"PT500"},     {12, L"PT1000"},    {13, L"100MV"},   {14, L"B_TC"},      {15, L"E_TC"},
    {16, L"J_TC"},      {17, L"K_TC"},      {18, L"N_TC"},    {19, L"R_TC"},      {20, L"S_TC"},
    {21, L"T_TC"},      {22, L"L_GOST_TC"}, {23, L"0_2000R"}, {24, L"0_8000R"},   {25, L"Ni50"},
    {26, L"Ni100"},     {27, L"Ni120"},     {28, L"Ni1000"},  {29, L"A_TC"},      {30, L"C_TC"},
    {31, L"D_TC"},      {32, L"NiCrAuFe"},  {33, L"CuAuFe"}};

inline NumStrPair SensorTypeTable7[] = {
    {1, L"0_500R"},      {2, L"0_4000R"},    {3, L"CU50"},
    {4, L"CU100"},       {5, L"PT100"},      {6, L"PT200"},
    {7, L"PT500"},       {8, L"PT1000"},     {9, L"100MV"},
    {10, L"B_TC"},       {11, L"E_TC"},      {12, L"J_TC"},
    {13, L"K_TC"},       {14, L"N_TC"},      {15, L"R_TC"},
    {16, L"S_TC"},       {17, L"T_TC"},      {18, L"CU50_GOST"},
    {19, L"CU100_GOST"}, {20, L"PT50_GOST"}, {21, L"Callendar-Van Dusen(PT100)"},
    {22, L"PT100_GOST"}, {23, L"L_GOST"}};

inline NumStrPair SensorTypeTable8[] = {
    {1, L"0_500R"},       {2, L"0_4000R"},      {3, L"CU50_GOST"},     {4, L"CU100_GOST"},
    {5, L"PT100_IEC751"}, {6, L"PT500_IEC751"}, {7, L"PT1000_IEC751"}, {8, L"PT50_GOST"},
    {9, L"PT100_GOST"},   {10, L"100MV"},       {11, L"B_TC"},         {12, L"E_TC"},
    {13, L"J_TC"},        {14, L"K_TC"},        {15, L"N_TC"},         {16, L"R_TC"},
    {17, L"S_TC"},        {18, L"T_TC"},        {19, L"L_TC"}};

inline NumStrPair SensorTypeTable9[] = {
    {1, L"0_500R"}, {2, L"0_4000R"}, {3, L"CU50"},  {4, L"CU100"}, {5, L"PT100"}, {6, L"PT200"},
    {7, L"PT500"},  {8, L"PT1000"},  {9, L"100MV"}, {10, L"B_TC"}, {11, L"E_TC"}, {12, L"J_TC"},
    {13, L"K_TC"},  {14, L"N_TC"},   {15, L"R_TC"}, {16, L"S_TC"}, {17, L"T_TC"}};

inline NumStrPair SensorTypeTable10[] = {
    {1, L"0_500R"},     {2, L"0_4000R"}, {3, L"CU50"},  {4, L"CU5_GOST"}, {5, L"CU100"},
    {6, L"CU100_GOST"}, {7, L"PT100"},   {8, L"PT200"}, {9, L"PT500"},    {10, L"PT1000"},
    {11, L"100MV"},     {12, L"B_TC"},   {13, L"E_TC"}, {14, L"J_TC"},    {15, L"K_TC"},
    {16, L"N_TC"},      {17, L"R_TC"},   {18, L"S_TC"}, {19, L"T_TC"}};

inline CString SensorComboNames[] = {
    L"SENSOR_1", L"SENSOR_2", L"SENSOR_1- SENSOR_2", L"SENSOR_2- SENSOR_1", L"MAXIMUM",
    L"MINIMUM",  L"AVERAGE"};

inline NumStrPair SensorStateTable[] = {{0, L"Enable"},       {8, L"Disable"},
                                        {9, L"Open"},         {10, L"Short Circuit"},
                                        {14, L"Under Range"}, {15, L"Over Range"}};

inline NumStrPair SensorWiringTable[] = {
    {2, L"Two Wires"}, {3, L"Three Wires"}, {4, L"Four Wires"}};

inline CString EnableNames[] = {L"Enable", L"Disable"};

inline CString PressUnitNames[] = {L"in H₂O",      L"in Hg",      L"ft H₂O", L"mm H₂O", L"mm Hg",
                                   L"psi",         L"bar",        L"mbar",   L"g/cm²",  L"kg/cm²",
                                   L"Pa",          L"kPa",        L"torr",   L"atm",    L"MPa",
                                   L"inH₂O@4degC", L"mmH₂O@4degC"};

inline NumStrPair PressUnitTable[] = {
    {1, L"in H₂O"},        {2, L"in Hg"},        {3, L"ft H₂O"}, {4, L"mm H₂O"}, {5, L"mm Hg"},
    {6, L"psi"},           {7, L"bar"},          {8, L"mbar"},   {9, L"g/cm²"},  {10, L"kg/cm²"},
    {11, L"Pa"},           {12, L"kPa"},         {13, L"torr"},  {14, L"atm"},   {237, L"MPa"},
    {238, L"inH₂O@4degC"}, {239, L"mmH₂O@4degC"}};

inline CString VolFlowShortNames[] = {L"m³/h", L"m³/min", L"L/h", L"L/min"};

inline NumStrPair VolFlowShortTable[] = {
    {19, L"m³/h"}, {131, L"m³/min"}, {138, L"L/h"}, {17, L"L/min"}};

inline CString MassFlowShortNames[] = {L"T/h", L"T/min", L"Kg/h", L"Kg/min"};

inline NumStrPair MassFlowShortTable[] = {
    {78, L"T/h"}, {77, L"T/min"}, {75, L"Kg/h"}, {74, L"Kg/min"}};

inline CString NormFlowShortNames[] = {L"Nm³/h", L"Nm³/min", L"NL/h", L"NL/min"};

inline NumStrPair NormFlowShortTable[] = {
    {121, L"Nm³/h"}, {182, L"Nm³/min"}, {122, L"NL/h"}, {175, L"NL/min"}};

inline CString PressUnitShortNames[] = {L"mmHg",      L"psi", L"bar",        L"mbar",
                                        L"Pa",        L"kPa", L"Torr",       L"cmH₂O(4°C)",
                                        L"mH₂O(4°C)", L"MPa", L"mmH₂O(4°C)", L""};

// Pressure units as the page shows them beside its pressure values. Code 250 ("not used") has
// an empty label.
inline NumStrPair PressUnitShortTable[] = {{5, L"mmHg"},  {6, L"psi"},          {7, L"bar"},
                                           {8, L"mbar"},  {11, L"Pa"},          {12, L"kPa"},
                                           {13, L"Torr"}, {170, L"cmH₂O(4°C)"}, {171, L"mH₂O(4°C)"},
                                           {237, L"MPa"}, {239, L"mmH₂O(4°C)"}, {250, L""}};

inline const CodeTable PressUnitCodes = {PressUnitShortTable, 12};

inline CString VolFlowUnitNames[] = {L"ft³/min",
                                     L"gal/min",
                                     L"liters/min",
                                     L"imperial gal/min",
                                     L"m³/hr",
                                     L"gal/sec",
                                     L"million gal/day",
                                     L"liters/sec",
                                     L"million liters/day",
                                     L"ft³/sec",
                                     L"ft³/day",
                                     L"m³/sec",
                                     L"m³/day",
                                     L"imperial gal/hr",
                                     L"imperial gal/day",
                                     L"normal m³/hr",
                                     L"normal liter/hr",
                                     L"std ft³/min",
                                     L"ft³/hr",
                                     L"m³/min",
                                     L"bbl/sec",
                                     L"bbl/min",
                                     L"bbl/hr",
                                     L"bbl/day",
                                     L"gal/hr",
                                     L"imperial gal/sec",
                                     L"liters/hr",
                                     L"gal/day"};

inline NumStrPair VolFlowUnitTable[] = {{15, L"ft³/min"},
                                        {16, L"gal/min"},
                                        {17, L"liters/min"},
                                        {18, L"imperial gal/min"},
                                        {19, L"m³/hr"},
                                        {22, L"gal/sec"},
                                        {23, L"million gal/day"},
                                        {24, L"liters/sec"},
                                        {25, L"million liters/day"},
                                        {26, L"ft³/sec"},
                                        {27, L"ft³/day"},
                                        {28, L"m³/sec"},
                                        {29, L"m³/day"},
                                        {30, L"imperial gal/hr"},
                                        {31, L"imperial gal/day"},
                                        {121, L"normal m³/hr"},
                                        {122, L"normal liter/hr"},
                                        {123, L"std ft³/min"},
                                        {130, L"ft³/hr"},
                                        {131, L"m³/min"},
                                        {132, L"bbl/sec"},
                                        {133, L"bbl/min"},
                                        {134, L"bbl/hr"},
                                        {135, L"bbl/day"},
                                        {136, L"gal/hr"},
                                        {137, L"imperial gal/sec"},
                                        {138, L"liters/hr"},
                                        {235, L"gal/day"}};

inline NumStrPair MassUnitShortTable[] = {{60, L"g"}, {61, L"kg"}, {63, L"lb"}, {125, L"oz"}};

inline NumStrPair VolumeUnitShortTable[] = {
    {41, L"liter"}, {113, L"in³"}, {240, L"mm³"}, {241, L"ml"}};

inline NumStrPair LengthUnitTable1[] = {
    {44, L"ft"}, {45, L"meter"}, {47, L"in"}, {48, L"cm"}, {49, L"mm"}};

// Material codes; "N010276   HC" and "NO10665   HB" hold three blanks each.
inline NumStrPair MaterialTable[] = {
    {1, L"304"},         {2, L"316"},       {3, L"N010276   HC"}, {8, L"ALLOY20"},
    {23, L"INCONEL600"}, {240, L"K-MONEL"}, {241, L"SS347"},      {242, L"NO10665   HB"},
    {243, L"NI3301"},    {244, L"316LSS"},  {245, L"304L"},       {246, L"INCONEL800"},
    {252, L"Unkown"},    {253, L"Special"}};

inline NumStrPair SideTable[] = {{0, L"Left"}, {1, L"Right"}};

inline NumStrPair InstallTable[] = {{0, L"Uninstalled"}, {1, L"Installed"}};

inline NumStrPair DisplayModeTable[] = {{0, L"All Off"},      {1, L"All On"},
                                        {2, L"PV only"},      {3, L"PV / PS Temp"},
                                        {4, L"% Range only"}, {5, L"PV / %Range"}};

inline NumStrPair DisplayDigitsTable[] = {
    {1, L"1 digits"}, {2, L"2 digits"}, {3, L"3 digits"}, {4, L"4 digits"}};

inline NumStrPair DisplayVarTable[] = {
    {0, L"off"}, {1, L"PV"}, {2, L"Process Temp."}, {3, L"Elec Temp."}};

inline NumStrPair DisplayLinesTable[] = {{0, L"none"}, {1, L"2 lines"}, {2, L"3 lines"}};

// Codes 247 to 249 are among those that the HART tables leave to device makers.
inline NumStrPair TorqueRateUnitTable[] = {
    {247, L"lbf-in per deg"}, {248, L"newton-m per deg"}, {249, L"dyne-cm per deg"}};

inline NumStrPair LevelModeTable[] = {{0, L"Level"}, {1, L"Interface"}, {2, L"Density"}};

inline NumStrPair TempUnitShortTable[] = {{32, L"°C"}, {33, L"°F"}};

inline NumStrPair DensityUnitShortTable[] = {{90, L"SGU"},      {91, L"g/cm³"},   {92, L"kg/m³"},
                                             {96, L"kg/liter"}, {97, L"g/liter"}, {98, L"lb/in³"}};

inline NumStrPair ActionTable[] = {{0, L"Direct"}, {1, L"Reverse"}};

inline CString VelocityUnitNames[] = {L"ft/sec", L"mtr/sec", L"in/sec",
                                      L"in/min", L"ft/min",  L"mtr/hr"};

inline NumStrPair VelocityUnitTable[] = {{20, L"ft/sec"},  {21, L"mtr/sec"}, {114, L"in/sec"},
                                         {115, L"in/min"}, {116, L"ft/min"}, {120, L"mtr/hr"}};

inline CString VolumeUnitNames[] = {
    L"gal", L"liter", L"imperial gal", L"m³",        L"bbl",          L"bush",    L"Yd³",
    L"Ft³", L"In³",   L"barrels(liq)", L"normal m³", L"normal liter", L"std ft³", L"hLiter"};

inline NumStrPair VolumeUnitTable[] = {
    {40, L"gal"},      {41, L"liter"},         {42, L"imperial gal"}, {43, L"m³"},
    {46, L"bbl"},      {110, L"bush"},         {111, L"Yd³"},         {112, L"Ft³"},
    {113, L"In³"},     {124, L"barrels(liq)"}, {166, L"normal m³"},   {167, L"normal liter"},
    {168, L"std ft³"}, {236, L"hLiter"}};

inline CString LengthUnitNames1[] = {L"ft", L"meter", L"in", L"cm", L"mm"};

inline NumStrPair LengthUnitTable2[] = {
    {44, L"ft"}, {45, L"meter"}, {47, L"in"}, {48, L"cm"}, {49, L"mm"}};

inline CString MassUnitNames[] = {L"gram",       L"kg",        L"metric tons", L"lb",
                                  L"short tons", L"long tons", L"ounces"};

inline NumStrPair MassUnitTable[] = {{60, L"gram"},   {61, L"kg"},         {62, L"metric tons"},
                                     {63, L"lb"},     {64, L"short tons"}, {65, L"long tons"},
                                     {125, L"ounces"}};

inline CString MassFlowUnitNames[] = {
    L"g/sec",          L"g/min",           L"g/hr",           L"kg/sec",
    L"kg/min",         L"kg/hr",           L"kg/day",         L"metric tons/min",
    L"metric tons/hr", L"metric tons/day", L"lb/sec",         L"lb/min",
    L"lb/hr",          L"lb/day",          L"short tons/min", L"short tons/hr",
    L"short tons/day", L"long tons/hr",    L"long tons/day"};

inline NumStrPair MassFlowUnitTable[] = {
    {70, L"g/sec"},           {71, L"g/min"},           {72, L"g/hr"},
    {73, L"kg/sec"},          {74, L"kg/min"},          {75, L"kg/hr"},
    {76, L"kg/day"},          {77, L"metric tons/min"}, {78, L"metric tons/hr"},
    {79, L"metric tons/day"}, {80, L"lb/sec"},          {81, L"lb/min"},
    {82, L"lb/hr"},           {83, L"lb/day"},          {84, L"short tons/min"},
    {85, L"short tons/hr"},   {86, L"short tons/day"},  {87, L"long tons/hr"},
    {88, L"long tons/day"}};

// One entry longer than DensityUnitTable: the last entry is empty.
inline CString DensityUnitNames[] = {L"SGU",        L"g/cm³",          L"kg/m³",    L"lb/gal",
                                     L"lb/ft³",     L"g/ml",           L"kg/liter", L"g/liter",
                                     L"lb/in³",     L"short tons/yd³", L"degTwad",  L"degBaum hv",
                                     L"degBaum lt", L"degAPI",         L""};

inline NumStrPair DensityUnitTable[] = {
    {90, L"SGU"},         {91, L"g/cm³"},          {92, L"kg/m³"},    {93, L"lb/gal"},
    {94, L"lb/ft³"},      {95, L"g/ml"},           {96, L"kg/liter"}, {97, L"g/liter"},
    {98, L"lb/in³"},      {99, L"short tons/yd³"}, {100, L"degTwad"}, {102, L"degBaum hv"},
    {103, L"degBaum lt"}, {104, L"degAPI"}};

inline CString UnitFamilyNames[] = {L"Pressure",  L"Volumetric Flow", L"Velocity",
                                    L"Volume",    L"Length",          L"Mass",
                                    L"Mass Flow", L"Mass Per Volume", L"Special"};

// Codes are device variable classification codes, except 0 for "Special".
inline NumStrPair UnitFamilyTable[] = {
    {65, L"Pressure"},  {66, L"Volumetric Flow"}, {67, L"Velocity"},
    {68, L"Volume"},    {69, L"Length"},          {71, L"Mass"},
    {72, L"Mass Flow"}, {73, L"Mass Per Volume"}, {0, L"Special"}};

// Engineering units grouped by family. Code 162 stands twice; a search by code finds
// "megacalorie".
inline NumStrPair UnitTable[] = {
    {32, L"°C"},
    {33, L"°F"},
    {34, L"°R"},
    {35, L"Kelvin"},
    {1, L"in H₂O"},
    {2, L"in Hg"},
    {3, L"ft H₂O"},
    {4, L"mm H₂O"},
    {5, L"mm Hg"},
    {6, L"psi"},
    {7, L"bar"},
    {8, L"mbar"},
    {9, L"g/cm²"},
    {10, L"kg/cm²"},
    {11, L"Pa"},
    {12, L"kPa"},
    {13, L"torr"},
    {14, L"atm"},
    {237, L"MPa"},
    {238, L"inH₂O@4DegC"},
    {239, L"mmH₂O@4DegC"},
    {15, L"ft³/min"},
    {16, L"gal/min"},
    {17, L"liters/min"},
    {18, L"imperial gal/min"},
    {19, L"m³/hr"},
    {22, L"gal/sec"},
    {23, L"million gal/day"},
    {24, L"liters/sec"},
    {25, L"million liters/day"},
    {26, L"ft³/sec"},
    {27, L"ft³/day"},
    {28, L"m³/sec"},
    {29, L"m³/day"},
    {30, L"imperial gal/hr"},
    {31, L"imperial gal/day"},
    {121, L"normal m³/hr"},
    {122, L"normal liter/hr"},
    {123, L"std ft³/min"},
    {130, L"ft³/hr"},
    {131, L"m³/min"},
    {132, L"bbl/sec"},
    {133, L"bbl/min"},
    {134, L"bbl/hr"},
    {135, L"bbl/day"},
    {136, L"gal/hr"},
    {137, L"imperial gal/sec"},
    {138, L"liters/hr"},
    {235, L"gal/day"},
    {20, L"ft/sec"},
    {21, L"mtr/sec"},
    {114, L"in/sec"},
    {115, L"in/min"},
    {116, L"ft/min"},
    {120, L"mtr/hr"},
    {40, L"gal"},
    {41, L"liter"},
    {42, L"imperial gal"},
    {43, L"m³"},
    {46, L"bbl"},
    {110, L"bush"},
    {111, L"Yd³"},
    {112, L"Ft³"},
    {113, L"In³"},
    {124, L"barrels(liq)"},
    {166, L"normal m³"},
    {167, L"normal liter"},
    {168, L"std ft³"},
    {236, L"hLiter"},
    {44, L"ft"},
    {45, L"meter"},
    {47, L"in"},
    {48, L"cm"},
    {49, L"mm"},
    {50, L"min"},
    {51, L"sec"},
    {52, L"hr"},
    {53, L"day"},
    {60, L"gram"},
    {61, L"kg"},
    {62, L"metric tons"},
    {63, L"lb"},
    {64, L"short tons"},
    {65, L"long tons"},
    {125, L"ounces"},
    {70, L"g/sec"},
    {71, L"g/min"},
    {72, L"g/hr"},
    {73, L"kg/sec"},
    {74, L"kg/min"},
    {75, L"kg/hr"},
    {76, L"kg/day"},
    {77, L"metric tons/min"},
    {78, L"metric tons/hr"},
    {79, L"metric tons/day"},
    {80, L"lb/sec"},
    {81, L"lb/min"},
    {82, L"lb/hr"},
    {83, L"lb/day"},
    {84, L"short tons/min"},
    {85, L"short tons/hr"},
    {86, L"short tons/day"},
    {87, L"long tons/hr"},
    {88, L"long tons/day"},
    {90, L"SGU"},
    {91, L"g/cm³"},
    {92, L"kg/m³"},
    {93, L"lb/gal"},
    {94, L"lb/ft³"},
    {95, L"g/ml"},
    {96, L"kg/liter"},
    {97, L"g/liter"},
    {98, L"lb/in³"},
    {99, L"short tons/yd³"},
    {100, L"degTwad"},
    {102, L"degBaum hv"},
    {103, L"degBaum lt"},
    {104, L"degAPI"},
    {146, L"ug/l"},
    {147, L"ug/m³"},
    {54, L"centi_stokes"},
    {55, L"cpoise"},
    {36, L"mV"},
    {58, L"V"},
    {39, L"mA"},
    {37, L"Ohm"},
    {163, L"kOhm"},
    {69, L"Newton meter"},
    {89, L"daTherm"},
    {126, L"ft pound force"},
    {128, L"kWh"},
    {162, L"megacalorie"},
    {164, L"MJoules"},
    {165, L"Btu"},
    {162, L"MCal"},
    {127, L"kW"},
    {129, L"hp"},
    {140, L"MCal/hr"},
    {141, L"MJoule/hr"},
    {142, L"Btu/hr"},
    {117, L"deg/sec"},
    {118, L"rev/sec"},
    {119, L"rpm"},
    {38, L"Hz"},
    {56, L"uMho"},
    {57, L"%"},
    {59, L"pH"},
    {66, L"mSiemen/cm"},
    {67, L"uSiemen/cm"},
    {68, L"newton"},
    {101, L"degBrix"},
    {105, L"% sol-wt"},
    {106, L"% sol-vol"},
    {107, L"degBall"},
    {108, L"proof/vol"},
    {109, L"proof/mass"},
    {139, L"ppm"},
    {143, L"deg"},
    {144, L"rad"},
    {150, L"% Stm Qual"},
    {151, L"ft in 16ths"},
    {152, L"ft³/lb"},
    {153, L"pF"},
    {160, L"%plato"},
    {250, L"not_used"},
    {251, L"none"},
    {252, L"unknown"},
    {253, L"special"},
};

inline NumStrPair YesNoTable[] = {{0, L"Yes"}, {1, L"No"}};

// Alarm selection codes of the HART tables.
inline NumStrPair AlarmSelectTable[] = {
    {0, L"high"},       {1, L"low"},    {239, L"hold_last_output_value"},
    {250, L"not_used"}, {251, L"none"}, {252, L"unknown"},
    {253, L"special"}};

inline NumStrPair LengthUnitLongTable[] = {
    {44, L"Feet"}, {45, L"Meters"}, {47, L"Inches"}, {48, L"Centmeters"}, {49, L"Millimeters"}};

inline NumStrPair LengthUnitTable3[] = {
    {44, L"ft"}, {45, L"meter"}, {47, L"in"}, {48, L"cm"}, {49, L"mm"}};

inline CString LengthUnitNames2[] = {L"ft", L"meter", L"in", L"cm", L"mm"};

inline NumStrPair ConnectionTypeTable[] = {
    {1, L"Conventional"},
    {2, L"Coplanar"},
    {3, L"Remote seal"},
    {4, L"Lvl;2in,c 150(ANSI)"},
    {5, L"Lvl;2in,c 300(ANSI)"},
    {6, L"Lvl;3in,c 150(ANSI)"},
    {7, L"Lvl;3in,c 300(ANSI)"},
    {8, L"Lvl;4in,c 150(ANSI)"},
    {9, L"Lvl;4in, c 300(SNSI)"},
    {10, L"Lvl;DN80,PN40"},
    {11, L"Lvl;DN100,PN40"},
    {12, L"Lvl;DN100,PN10/16"},
    {13, L"Lvl;50DN,6PN"},
    {14, L"Lvl;50DN,40PN"},
    {15, L"1/2in,NPTF"},
    {16, L"DIN 16288G 1/2 A male"},
    {17, L"1/4in,NPTF"},
    {18, L"Auto Clave F-250-C"},
    {19, L"Tri-Clamp"},
    {20, L"Fractional Line Fit"},
    {21, L"1/8in,NPTF"},
    {22, L"VCR"},
    {23, L"PMC"},
    {252, L"Unknown"},
    {253, L"Spcl"},
};

inline CString ConnectionTypeNames[] = {L"Conventional",
                                        L"Coplanar",
                                        L"Remote seal",
                                        L"Lvl;2in,c 150(ANSI)",
                                        L"Lvl;2in,c 300(ANSI)",
                                        L"Lvl;3in,c 150(ANSI)",
                                        L"Lvl;3in,c 300(ANSI)",
                                        L"Lvl;4in,c 150(ANSI)",
                                        L"Lvl;4in, c 300(SNSI)",
                                        L"Lvl;DN80,PN40",
                                        L"Lvl;DN100,PN40",
                                        L"Lvl;DN100,PN10/16",
                                        L"Lvl;50DN,6PN",
                                        L"Lvl;50DN,40PN",
                                        L"1/2in,NPTF",
                                        L"DIN 16288G 1/2 A male",
                                        L"1/4in,NPTF",
                                        L"Auto Clave F-250-C",
                                        L"Tri-Clamp",
                                        L"Fractional Line Fit",
                                        L"1/8in,NPTF",
                                        L"VCR",
                                        L"PMC",
                                        L"Unknown",
                                        L"Spcl"};

inline NumStrPair MetalMaterialTable[] = {{1, L"Carbon Steel"}, {2, L"316 SST"},   {3, L"Hast-C"},
                                          {4, L"Monel"},        {252, L"Unknown"}, {253, L"Spcl"}};

inline CString MetalMaterialNames[] = {L"Carbon Steel", L"316 SST", L"Hast-C",
                                       L"Monel",        L"Unknown", L"Spcl"};

inline NumStrPair PolymerMaterialTable[] = {
    {9, L"PTFE"},        {10, L"Viton"},         {11, L"Buna-N"}, {12, L"Ethylene/Propylene"},
    {13, L"PTFE Glass"}, {14, L"PTFE Graphite"}, {0, L"None"},    {252, L"Unknown"},
    {253, L"Spcl"}};

inline CString PolymerMaterialNames[] = {
    L"PTFE", L"Viton",   L"Buna-N", L"Ethylene/Propylene", L"PTFE Glass", L"PTFE Graphite",
    L"None", L"Unknown", L"Spcl"};

inline NumStrPair AlloyMaterialTable[] = {{2, L"316 SST"}, {3, L"Hast-C"},    {4, L"Monel"},
                                          {0, L"None"},    {252, L"Unknown"}, {253, L"Spcl"}};

inline CString AlloyMaterialNames[] = {L"316 SST", L"Hast-C",  L"Monel",
                                       L"None",    L"Unknown", L"Spcl"};

inline NumStrPair SealTypeTable[] = {
    {1, L"CTW"},   {2, L"EFW"},     {3, L"PFW"},  {4, L"RFW"},       {5, L"RTW"},   {6, L"SCW"},
    {7, L"SSW"},   {8, L"Hi temp"}, {9, L"FFW"},  {10, L"UCW"},      {11, L"TSW"},  {12, L"NWSP"},
    {13, L"SSAP"}, {14, L"SSHP"},   {0, L"None"}, {252, L"Unknown"}, {253, L"Spcl"}};

inline CString SealTypeNames[] = {L"CTW",  L"EFW",     L"PFW",  L"RFW",     L"RTW", L"SCW",
                                  L"SSW",  L"Hi temp", L"FFW",  L"UCW",     L"TSW", L"NWSP",
                                  L"SSAP", L"SSHP",    L"None", L"Unknown", L"Spcl"};

// "Neobee-M₂0" ends in the digit zero.
inline NumStrPair FillFluidTable1[] = {
    {1, L"Silicone Oil"}, {2, L"Inert"},         {3, L"Syltherm 800"}, {4, L"Glycerin/H₂O"},
    {5, L"Prop Gly/H₂O"}, {6, L"Neobee-M₂0"},    {7, L"Syltherm XLT"}, {8, L"Dioctyl phthalate"},
    {9, L"D. C. 704"},    {10, L"Therminol 66"}, {11, L"D. C. 210H"},  {12, L"Distilled water"},
    {13, L"D. C. 200"},   {0, L"None"},          {252, L"Unknown"},    {253, L"Spcl"}};

inline CString FillFluidNames1[] = {
    L"Silicone Oil", L"Inert",        L"Syltherm 800", L"Glycerin/H₂O",
    L"Prop Gly/H₂O", L"Neobee-M₂0",   L"Syltherm XLT", L"Dioctyl phthalate",
    L"D. C. 704",    L"Therminol 66", L"D. C. 210H",   L"Distilled water",
    L"D. C. 200",    L"None",         L"Unknown",      L"Spcl"};

inline NumStrPair SealCountTable[] = {
    {1, L"One Seal"}, {2, L"Two Seal"}, {0, L"None"}, {252, L"Unknown"}};

inline CString SealCountNames[] = {L"One Seal", L"Two Seal", L"None", L"Unknown"};

inline NumStrPair IsolatorMaterialTable1[] = {
    {2, L"361 SST"},  {4, L"Monel"},     {3, L"Hast-C"},
    {5, L"Co-Cr-Ni"}, {6, L"Tantalum"},  {8, L"PTFE coated 316L SST"},
    {0, L"None"},     {252, L"Unknown"}, {253, L"Spcl"}};

inline CString IsolatorMaterialNames1[] = {L"361 SST",  L"Monel",    L"Hast-C",
                                           L"Co-Cr-Ni", L"Tantalum", L"PTFE coated 316L SST",
                                           L"None",     L"Unknown",  L"Spcl"};

inline NumStrPair FillFluidTable2[] = {
    {1, L"Silicone Oil"}, {2, L"Inert"},         {3, L"Syltherm 800"}, {4, L"Glycerin/H₂O"},
    {5, L"Prop Gly/H₂O"}, {6, L"Neobee-M₂0"},    {7, L"Syltherm XLT"}, {8, L"Dioctyl phthalate"},
    {9, L"D. C. 704"},    {10, L"Therminol 66"}, {11, L"D. C. 210H"},  {12, L"Distilled water"},
    {13, L"D. C. 200"},   {0, L"None"},          {252, L"Unknown"},    {253, L"Spcl"}};

inline CString FillFluidNames2[] = {
    L"Silicone Oil", L"Inert",        L"Syltherm 800", L"Glycerin/H₂O",
    L"Prop Gly/H₂O", L"Neobee-M₂0",   L"Syltherm XLT", L"Dioctyl phthalate",
    L"D. C. 704",    L"Therminol 66", L"D. C. 210H",   L"Distilled water",
    L"D. C. 200",    L"None",         L"Unknown",      L"Spcl"};

inline NumStrPair IsolatorMaterialTable2[] = {
    {2, L"361 SST"},  {4, L"Monel"},     {3, L"Hast-C"},
    {5, L"Co-Cr-Ni"}, {6, L"Tantalum"},  {8, L"PTFE coated 316L SST"},
    {0, L"None"},     {252, L"Unknown"}, {253, L"Spcl"}};

inline CString IsolatorMaterialNames2[] = {L"361 SST",  L"Monel",    L"Hast-C",
                                           L"Co-Cr-Ni", L"Tantalum", L"PTFE coated 316L SST",
                                           L"None",     L"Unknown",  L"Spcl"};

inline NumStrPair PressTypeTable[] = {
    {1, L"Differential Pressure"}, {2, L"Gauge Pressure"}, {3, L"Absolute Pressure"}};

inline CString PressTypeNames[] = {L"Differential Pressure", L"Gauge Pressure",
                                   L"Absolute Pressure"};

inline CString LogText = L"Log";

// HART device variable classification codes.
inline NumStrPair ClassTable[] = {
    {0, L"Device Variable Not Classified"},
    {64, L"Temperature"},
    {65, L"Pressure"},
    {66, L"Volumetric Flow"},
    {67, L"Velocity"},
    {68, L"Volume"},
    {69, L"Length"},
    {70, L"Time"},
    {71, L"Mass"},
    {72, L"Mass Flow"},
    {73, L"Mass Per Volume"},
    {74, L"Viscosity"},
    {75, L"Angular Velocity"},
    {76, L"Area"},
    {77, L"Energy (Work)"},
    {78, L"Force"},
    {79, L"Power"},
    {80, L"Frequency"},
    {81, L"Analytical"},
    {82, L"Capacitance"},
    {83, L"Electromotive Force/Electric Potential"},
    {84, L"Current"},
    {85, L"Resistance"},
    {86, L"Angle"},
    {87, L"Conductance"},
    {88, L"Volume Per Volume"},
    {89, L"Volume Per Mass"},
    {90, L"Concentration"},
    {91, L"Valve Actuator"},
    {92, L"Level"},
    {93, L"Vortex Flow"},
    {94, L"Mag Flow"},
    {95, L"Coriolis Flow"},
    {96, L"Acceleration"},
    {97, L"Turbidity"},
    {98, L"Temperature Difference"},
    {99, L"Volumetric Gas Flow(per Second)"},
    {100, L"Volumetric Gas Flow(per Minute)"},
    {101, L"Volumetric Gas Flow(per Hour)"},
    {102, L"Volumetric Gas Flow(per Day)"},
    {103, L"Volumetric Liquid Flow (per Second)"},
    {104, L"Volumetric Liquid Flow (per Minute)"},
    {105, L"Volumetric Liquid Flow (per Hour)"},
    {106, L"Volumetric Liquid Flow (per Day)"},
    {107, L"Thermal Expansion"},
    {108, L"Volumetric Energy Density"},
    {109, L"Mass Energy Density"},
    {110, L"Torque"},
    {111, L"Miscellaneous"},
    {112, L"Torsional Stiffness"},
    {113, L"Linear Stiffness"},
};

// Unit symbols by classification, in two sections. The first 175 rows carry classification 0
// and give each unit code one short symbol, in ascending code order. The other rows give each
// classification the units that hold under it; codes from 170 upward mean different units
// under different classifications, so there a unit is identified by classification and code
// together.
inline NumClassStrPair UnitClassTable[] = {
    // Not classified.
    {1, 0, L"inH2O"},
    {2, 0, L"inHg"},
    {3, 0, L"ftH2O"},
    {4, 0, L"mmH2O"},
    {5, 0, L"mmHg"},
    {6, 0, L"psi"},
    {7, 0, L"bar"},
    {8, 0, L"mbar"},
    {9, 0, L"g/cm2"},
    {10, 0, L"kg/cm²"},
    {11, 0, L"Pa"},
    {12, 0, L"kPa"},
    {13, 0, L"Torr"},
    {14, 0, L"atm"},
    {15, 0, L"ft3/min"},
    {16, 0, L"gal/min"},
    {17, 0, L"l/min"},
    {18, 0, L"gal(UK)/min"},
    {19, 0, L"m3/h"},
    {20, 0, L"ft/s"},
    {21, 0, L"m/s"},
    {22, 0, L"gal/s"},
    {23, 0, L"Mgal/d"},
    {24, 0, L"l/s"},
    {25, 0, L"Ml/d"},
    {26, 0, L"ft3/s"},
    {27, 0, L"ft3/d"},
    {28, 0, L"m3/s"},
    {29, 0, L"m3/d"},
    {30, 0, L"gal(UK)/h"},
    {31, 0, L"gal(UK)/d"},
    {32, 0, L"ºC"},
    {33, 0, L"ºF"},
    {34, 0, L"ºR"},
    {35, 0, L"K"},
    {36, 0, L"mV"},
    {37, 0, L"Ω"},
    {38, 0, L"Hz"},
    {39, 0, L"mA"},
    {40, 0, L"gal"},
    {41, 0, L"l"},
    {42, 0, L"gal(UK)"},
    {43, 0, L"m³"},
    {44, 0, L"ft"},
    {45, 0, L"m"},
    {46, 0, L"bbl"},
    {47, 0, L"in"},
    {48, 0, L"cm"},
    {49, 0, L"mm"},
    {50, 0, L"min"},
    {51, 0, L"s"},
    {52, 0, L"h"},
    {53, 0, L"d"},
    {54, 0, L"cSt"},
    {55, 0, L"cP"},
    {56, 0, L"µS"},
    {57, 0, L"%"},
    {58, 0, L"V"},
    {59, 0, L"pH"},
    {60, 0, L"g"},
    {61, 0, L"kg"},
    {62, 0, L"t"},
    {63, 0, L"lb"},
    {64, 0, L"ton"},
    {65, 0, L"ton(UK)"},
    {66, 0, L"mS/cm"},
    {67, 0, L"µS/cm"},
    {68, 0, L"N"},
    {69, 0, L"J"},
    {70, 0, L"g/s"},
    {71, 0, L"g/min"},
    {72, 0, L"g/h"},
    {73, 0, L"kg/s"},
    {74, 0, L"kg/min"},
    {75, 0, L"kg/h"},
    {76, 0, L"kg/d"},
    {77, 0, L"t/min"},
    {78, 0, L"t/h"},
    {79, 0, L"t/d"},
    {80, 0, L"lb/s"},
    {81, 0, L"lb/min"},
    {82, 0, L"lb/h"},
    {83, 0, L"lb/d"},
    {84, 0, L"ton/min"},
    {85, 0, L"ton/h"},
    {86, 0, L"ton/d"},
    {87, 0, L"ton(UK)/h"},
    {88, 0, L"ton(UK)/d"},
    {89, 0, L"MMBtu"},
    {90, 0, L"SG"},
    {91, 0, L"g/cm3"},
    {92, 0, L"kg/m3"},
    {93, 0, L"lb/gal"},
    {94, 0, L"lb/ft3"},
    {95, 0, L"g/ml"},
    {96, 0, L"kg/l"},
    {97, 0, L"g/l"},
    {98, 0, L"lb/in3"},
    {99, 0, L"ton/yd3"},
    {100, 0, L"ºTw"},
    {101, 0, L"°Bx"},
    {102, 0, L"Bº"},
    {103, 0, L"Bº(light)"},
    {104, 0, L"Degrees API"},
    {105, 0, L"%"},
    {106, 0, L"%"},
    {107, 0, L"ºBg"},
    {108, 0, L"proof/vol"},
    {109, 0, L"proof/mass"},
    {110, 0, L"bu"},
    {111, 0, L"yd³"},
    {112, 0, L"ft³"},
    {113, 0, L"in³"},
    {114, 0, L"in/s"},
    {115, 0, L"in/min"},
    {116, 0, L"ft/min"},
    {117, 0, L"º/s"},
    {118, 0, L"rps"},
    {119, 0, L"rpm"},
    {120, 0, L"m/h"},
    {121, 0, L"Nm3/h"},
    {122, 0, L"Nl/h"},
    {123, 0, L"SCF/min"},
    {124, 0, L"bbl(US)"},
    {125, 0, L"oz"},
    {126, 0, L"ft·lbf"},
    {127, 0, L"kW"},
    {128, 0, L"kWh"},
    {129, 0, L"hp"},
    {130, 0, L"ft3/h"},
    {131, 0, L"m3/min"},
    {132, 0, L"bb/s"},
    {133, 0, L"bb/min"},
    {134, 0, L"bb/h"},
    {135, 0, L"bb/d"},
    {136, 0, L"ga/h"},
    {137, 0, L"gal(UK)/s"},
    {138, 0, L"l/h"},
    {139, 0, L"ppm"},
    {140, 0, L"Mcal(th)/h"},
    {141, 0, L"MJ"},
    {142, 0, L"Btu/h"},
    {143, 0, L"º"},
    {144, 0, L"rad"},
    {145, 0, L"inH2O(60 ºF)"},
    {146, 0, L"µg/l"},
    {147, 0, L"µg/m³"},
    {148, 0, L"%"},
    {149, 0, L"vol%"},
    {150, 0, L"%"},
    {151, 0, L"ft-16"},
    {152, 0, L"ft3/lb"},
    {153, 0, L"pF"},
    {154, 0, L"ml/l"},
    {155, 0, L"µl/l"},
    {156, 0, L"dB"},
    {160, 0, L"ºP"},
    {161, 0, L"%LEL"},
    {162, 0, L"Mcal(th)"},
    {163, 0, L"kΩ"},
    {164, 0, L"MJ"},
    {165, 0, L"Btu"},
    {166, 0, L"Nm³"},
    {167, 0, L"Nl"},
    {168, 0, L"SCF"},
    {169, 0, L"ppb"},
    {235, 0, L"gal/day"},
    {236, 0, L"hl"},
    {237, 0, L"MPa"},
    {238, 0, L"inH2O(4 ºC)"},
    {239, 0, L"mmH2O(4 ºC)"},
    {250, 0, L"Not Used"},
    {251, 0, L"None"},
    {252, 0, L"Unknown"},
    {253, 0, L"Special"},
    // Temperature.
    {32, 64, L"°C"},
    {33, 64, L"°F"},
    {34, 64, L"°R"},
    {35, 64, L"K"},
    // Pressure.
    {1, 65, L"inH₂O"},
    {2, 65, L"inHg"},
    {3, 65, L"ftH₂O"},
    {4, 65, L"mmH₂O"},
    {5, 65, L"mmHg"},
    {6, 65, L"psi"},
    {7, 65, L"bar"},
    {8, 65, L"mbar"},
    {9, 65, L"g/cm²"},
    {10, 65, L"kg/cm²"},
    {11, 65, L"Pa"},
    {12, 65, L"kPa"},
    {13, 65, L"Torr"},
    {14, 65, L"atm"},
    {145, 65, L"inH₂O(60°F)"},
    {170, 65, L"cmH₂O(4°C)"},
    {171, 65, L"mH₂O(4°C)"},
    {172, 65, L"cmHg"},
    {173, 65, L"lb/ft²"},
    {174, 65, L"hPa"},
    {175, 65, L"psia"},
    {176, 65, L"kg/m²"},
    {177, 65, L"ftH₂O(4°C)"},
    {178, 65, L"ftH₂O(60°F)"},
    {179, 65, L"mHg"},
    {180, 65, L"Mpsi"},
    {181, 65, L"oz/in2"},
    {237, 65, L"MPa"},
    {238, 65, L"inH₂O(4°C)"},
    {239, 65, L"mmH₂O(4°C)"},
    // Volumetric flow.
    {15, 66, L"ft³/min"},
    {16, 66, L"gal/min"},
    {17, 66, L"l/min"},
    {18, 66, L"gal(UK)/min"},
    {19, 66, L"m³/h"},
    {22, 66, L"gal/s"},
    {23, 66, L"Mgal/d"},
    {24, 66, L"l/s"},
    {25, 66, L"Ml/d"},
    {26, 66, L"ft³/s"},
    {27, 66, L"ft³/d"},
    {28, 66, L"m³/s"},
    {29, 66, L"m³/d"},
    {30, 66, L"gal(UK)/h"},
    {31, 66, L"gal(UK)/d"},
    {121, 66, L"Nm³/h"},
    {122, 66, L"Nl/h"},
    {123, 66, L"SCF/min"},
    {130, 66, L"ft³/h"},
    {131, 66, L"m³/min"},
    {132, 66, L"bbl/s"},
    {133, 66, L"bbl/min"},
    {134, 66, L"bbl/h"},
    {135, 66, L"bbl/d"},
    {136, 66, L"gal/h"},
    {137, 66, L"gal(UK)/s"},
    {138, 66, L"l/h"},
    {170, 66, L"bbl-beer/s"},
    {171, 66, L"bbl-beer/min"},
    {172, 66, L"bbl-beer/h"},
    {173, 66, L"bbl-beer/d"},
    {174, 66, L"Nl/d"},
    {175, 66, L"Nl/min"},
    {176, 66, L"Nl/s"},
    {177, 66, L"Sl/d"},
    {178, 66, L"Sl/h"},
    {179, 66, L"Sl/min"},
    {180, 66, L"Sl/s"},
    {181, 66, L"Nm³/d"},
    {182, 66, L"Nm³/min"},
    {183, 66, L"Nm³/s"},
    {184, 66, L"SCF/d"},
    {185, 66, L"SCF/h"},
    {186, 66, L"SCF/s"},
    {187, 66, L"Sm³/d"},
    {188, 66, L"Sm³/h"},
    {189, 66, L"Sm³/min"},
    {190, 66, L"Sm³/s"},
    {235, 66, L"gal/day"},
    // Velocity.
    {20, 67, L"ft/s"},
    {21, 67, L"m/s"},
    {114, 67, L"in/s"},
    {115, 67, L"in/min"},
    {116, 67, L"ft/min"},
    {120, 67, L"m/h"},
    {170, 67, L"mm/s"},
    // Volume.
    {40, 68, L"gal"},
    {41, 68, L"l"},
    {42, 68, L"gal(UK)"},
    {43, 68, L"m³"},
    {46, 68, L"bbl"},
    {110, 68, L"bu"},
    {111, 68, L"yd³"},
    {112, 68, L"ft³"},
    {113, 68, L"in³"},
    {124, 68, L"bbl(US)"},
    {166, 68, L"Nm³"},
    {167, 68, L"Nl"},
    {168, 68, L"SCF"},
    {170, 68, L"bbl-beer"},
    {171, 68, L"Sl"},
    {172, 68, L"Sm³"},
    {173, 68, L"Mgal"},
    {174, 68, L"acre-feet"},
    {175, 68, L"Mft³"},
    {176, 68, L"MMft³"},
    {236, 68, L"hl"},
    // Length.
    {44, 69, L"ft"},
    {45, 69, L"m"},
    {47, 69, L"in"},
    {48, 69, L"cm"},
    {49, 69, L"mm"},
    {151, 69, L"ft-16"},
    {170, 69, L"µm"},
    {171, 69, L"µin"},
    {172, 69, L"nm"},
    // Time.
    {50, 70, L"min"},
    {51, 70, L"s"},
    {52, 70, L"h"},
    {53, 70, L"d"},
    {170, 70, L"ms"},
    {171, 70, L"µs"},
    {172, 70, L"ns"},
    // Mass.
    {60, 71, L"g"},
    {61, 71, L"kg"},
    {62, 71, L"t"},
    {63, 71, L"lb"},
    {64, 71, L"ton"},
    {65, 71, L"ton(UK)"},
    {125, 71, L"oz"},
    // Mass flow.
    {70, 72, L"g/s"},
    {71, 72, L"g/min"},
    {72, 72, L"g/h"},
    {73, 72, L"kg/s"},
    {74, 72, L"kg/min"},
    {75, 72, L"kg/h"},
    {76, 72, L"kg/d"},
    {77, 72, L"t/min"},
    {78, 72, L"t/h"},
    {79, 72, L"t/d"},
    {80, 72, L"lb/s"},
    {81, 72, L"lb/min"},
    {82, 72, L"lb/h"},
    {83, 72, L"lb/d"},
    {84, 72, L"ton/min"},
    {85, 72, L"ton/h"},
    {86, 72, L"ton/d"},
    {87, 72, L"ton(UK)/h"},
    {88, 72, L"ton(UK)/d"},
    // Mass per volume.
    {90, 73, L"SG"},
    {91, 73, L"g/cm³"},
    {92, 73, L"kg/m³"},
    {93, 73, L"lb/gal"},
    {94, 73, L"lb/ft³"},
    {95, 73, L"g/ml"},
    {96, 73, L"kg/l"},
    {97, 73, L"g/l"},
    {98, 73, L"lb/in³"},
    {99, 73, L"ton/yd³"},
    {100, 73, L"°Tw"},
    {102, 73, L"B°"},
    {103, 73, L"B°(light)"},
    {104, 73, L"Degrees API"},
    {146, 73, L"µg/l"},
    {147, 73, L"µg/m³"},
    {148, 73, L"%"},
    {170, 73, L"mg/l"},
    {171, 73, L"mg/m³"},
    {172, 73, L"t/m³"},
    // Viscosity.
    {54, 74, L"cSt"},
    {55, 74, L"cP"},
    {170, 74, L"Pa-s"},
    // Angular velocity.
    {117, 75, L"°/s"},
    {118, 75, L"rps"},
    {119, 75, L"rpm"},
    // Energy (work).
    {69, 77, L"J"},
    {89, 77, L"DTH MMBtu"},
    {126, 77, L"ft·lbf"},
    {128, 77, L"kWh"},
    {162, 77, L"Mcal(th)"},
    {164, 77, L"MJ"},
    {165, 77, L"Btu"},
    {170, 77, L"kVAh"},
    {171, 77, L"kvarh"},
    {172, 77, L"MBtu"},
    // Force.
    {68, 78, L"N"},
    {170, 78, L"kN"},
    {171, 78, L"lbf"},
    // Power.
    {127, 79, L"kW"},
    {129, 79, L"hp"},
    {140, 79, L"MCal(th)/h"},
    {141, 79, L"MJ/h"},
    {142, 79, L"Btu/h"},
    {170, 79, L"MJ/s MW"},
    {171, 79, L"MJ/d"},
    {172, 79, L"MMBtu/s"},
    {173, 79, L"MMBtu/h"},
    {174, 79, L"MMBtu/d"},
    {175, 79, L"VA"},
    {176, 79, L"kVA"},
    {177, 79, L"kvar"},
    {178, 79, L"Btu/d"},
    {179, 79, L"Btu/min"},
    {180, 79, L"MJ/min"},
    {181, 79, L"Btu/s"},
    {182, 79, L"MBtu/s"},
    {183, 79, L"MBtu/m"},
    {184, 79, L"MBtu/h"},
    {185, 79, L"MBtu/d"},
    {186, 79, L"MMBtu/min"},
    // Frequency.
    {38, 80, L"Hz"},
    // Analytical.
    {57, 81, L"%"},
    {59, 81, L"pH"},
    {150, 81, L"%"},
    {160, 81, L"°P"},
    {161, 81, L"%LEL"},
    {170, 81, L"mm/yr"},
    {171, 81, L"mpy"},
    {172, 81, L"PPM.m"},
    {173, 81, L"LEL.m"},
    // Capacitance.
    {153, 82, L"pF"},
    // Electromotive force / electric potential.
    {36, 83, L"mV"},
    {58, 83, L"V"},
    // Current.
    {39, 84, L"mA"},
    {170, 84, L"nA"},
    {171, 84, L"µA"},
    {172, 84, L"A"},
    // Resistance.
    {37, 85, L"Ω"},
    {163, 85, L"kΩ"},
    {170, 85, L"MΩ"},
    {171, 85, L"Ω cm"},
    {172, 85, L"kΩ cm"},
    {173, 85, L"MΩ cm"},
    {174, 85, L"mΩ"},
    // Angle.
    {143, 86, L"°"},
    {144, 86, L"rad"},
    // Conductance.
    {56, 87, L"µS"},
    {66, 87, L"mS/cm"},
    {67, 87, L"µS/cm"},
    // Volume per volume.
    {149, 88, L"vol%"},
    {154, 88, L"ml/l"},
    {155, 88, L"µl/l"},
    // Volume per mass.
    {107, 89, L"°Bg"},
    {152, 89, L"ft³/lb"},
    // Concentration.
    {57, 90, L"%"},
    {101, 90, L"°Bx"},
    {105, 90, L"%"},
    {106, 90, L"%"},
    {108, 90, L"proof/vol"},
    {109, 90, L"proof/mass"},
    {139, 90, L"ppm"},
    {169, 90, L"ppb"},
    {170, 90, L"ppth"},
    // Acceleration.
    {170, 96, L"g"},
    {171, 96, L"ft/s²"},
    {172, 96, L"m/s²"},
    // Turbidity.
    {170, 97, L"FNU"},
    {171, 97, L"FTU"},
    {172, 97, L"NTU"},
    // Volumetric gas flow per second, minute, hour and day.
    {186, 99, L"SCF/s"},
    {176, 99, L"Nl/s"},
    {180, 99, L"Sl/s"},
    {183, 99, L"Nm³/s"},
    {190, 99, L"Sm³/s"},
    {123, 100, L"SCF/min"},
    {175, 100, L"Nl/min"},
    {179, 100, L"Sl/min"},
    {182, 100, L"Nm³/min"},
    {189, 100, L"Sm³/min"},
    {185, 101, L"SCF/h"},
    {122, 101, L"Nl/h"},
    {178, 101, L"Sl/h"},
    {121, 101, L"Nm³/h"},
    {188, 101, L"Sm³/h"},
    {184, 102, L"SCF/d"},
    {174, 102, L"Nl/d"},
    {177, 102, L"Sl/d"},
    {181, 102, L"Nm³/d"},
    {187, 102, L"Sm³/d"},
    // Volumetric liquid flow per second.
    {174, 103, L"fl oz(UK)/s"},
    {175, 103, L"fl oz/s"},
    {176, 103, L"ml/s"},
    {24, 103, L"l/s"},
    {178, 103, L"hl/s"},
    {28, 103, L"m³/s"},
    {180, 103, L"Ml/s"},
    {22, 103, L"gal/s"},
    {182, 103, L"kgal/s"},
    {183, 103, L"Mgal/s"},
    {137, 103, L"gal(UK)/s"},
    {185, 103, L"Mgal(UK)/s"},
    {26, 103, L"ft³/s"},
    {187, 103, L"acre-ft/s"},
    {188, 103, L"drum/s"},
    {189, 103, L"bbl(US)/s"},
    {170, 103, L"bbl-beer/s"},
    {132, 103, L"bbl/s"},
    {192, 103, L"bbl-beer(UK)/s"},
    {193, 103, L"Mft3/s"},
    {194, 103, L"MMft3/s"},
    // Volumetric liquid flow per minute.
    {174, 104, L"fl oz(UK)/min"},
    {175, 104, L"fl oz/min"},
    {176, 104, L"ml/min"},
    {17, 104, L"l/min"},
    {178, 104, L"hl/min"},
    {131, 104, L"m³/min"},
    {180, 104, L"Ml/min"},
    {16, 104, L"gal/min"},
    {182, 104, L"kgal/min"},
    {183, 104, L"Mgal/min"},
    {18, 104, L"gal(UK)/min"},
    {185, 104, L"Mgal(UK)/min"},
    {15, 104, L"ft³/min"},
    {187, 104, L"acre-ft/min"},
    {188, 104, L"drum/min"},
    {189, 104, L"bbl(US)/min"},
    {171, 104, L"bbl-beer/min"},
    {133, 104, L"bbl/min"},
    {192, 104, L"bbl-beer(UK)/min"},
    {193, 104, L"Mft3/min"},
    {194, 104, L"MMft3/min"},
    // Volumetric liquid flow per hour.
    {174, 105, L"fl oz(UK)/h"},
    {175, 105, L"fl oz/h"},
    {176, 105, L"ml/h"},
    {138, 105, L"l/h"},
    {178, 105, L"hl/h"},
    {19, 105, L"m³/h"},
    {180, 105, L"Ml/h"},
    {136, 105, L"gal/h"},
    {182, 105, L"kgal/h"},
    {183, 105, L"Mgal/h"},
    {30, 105, L"gal(UK)/h"},
    {185, 105, L"Mgal(UK)/h"},
    {130, 105, L"ft³/h"},
    {187, 105, L"acre-ft/h"},
    {188, 105, L"drum/h"},
    {189, 105, L"bbl(US)/h"},
    {172, 105, L"bbl-beer/h"},
    {134, 105, L"bbl/h"},
    {192, 105, L"bbl-beer(UK)/h"},
    {193, 105, L"Mft³/h"},
    {194, 105, L"MMft³/h"},
    // Volumetric liquid flow per day.
    {174, 106, L"fl oz(UK)/d"},
    {175, 106, L"fl oz/d"},
    {176, 106, L"ml/d"},
    {177, 106, L"l/d"},
    {178, 106, L"hl/d"},
    {29, 106, L"m³/d"},
    {25, 106, L"Ml/d"},
    {235, 106, L"gal/day"},
    {182, 106, L"kgal/d"},
    {23, 106, L"Mgal/d"},
    {31, 106, L"gal(UK)/d"},
    {185, 106, L"Mgal(UK)/d"},
    {27, 106, L"ft³/d"},
    {187, 106, L"acre-ft/d"},
    {188, 106, L"drum/d"},
    {189, 106, L"bbl(US)/d"},
    {173, 106, L"bbl-beer/d"},
    {135, 106, L"bbl/d"},
    {192, 106, L"bbl-beer(UK)/d"},
    {193, 106, L"Mft3/d"},
    {194, 106, L"MMft3/d"},
    // Thermal expansion.
    {170, 107, L"/C"},
    {171, 107, L"/F"},
    // Volumetric energy density.
    {170, 108, L"kJ/l MJ/m³"},
    {171, 108, L"Btu/ft³"},
    // Mass energy density.
    {170, 109, L"MJ/kg"},
    {171, 109, L"Btu/lb"},
    // Torque.
    {170, 110, L"Nm"},
    {171, 110, L"kNm"},
    {172, 110, L"lb-ft"},
    {173, 110, L"lb-in"},
    {174, 110, L"mNm"},
    // Miscellaneous.
    {57, 111, L"%"},
    {156, 111, L"dB"},
    {170, 111, L"g/mol"},
    {171, 111, L"dBm"},
    // Torsional stiffness.
    {170, 112, L"kNm/deg"},
    {171, 112, L"Nm/deg"},
    {172, 112, L"lb-ft/deg"},
    {173, 112, L"lb-in/deg"},
    {174, 112, L"kNm/rad"},
    {175, 112, L"Nm/rad"},
    {176, 112, L"lb-ft/rad"},
    {177, 112, L"lb-in/rad"},
    // Linear stiffness.
    {170, 113, L"kN/m"},
    {171, 113, L"N/m"},
    {172, 113, L"lb/ft"},
    {173, 113, L"lb/in"},
    // Not used, none, unknown, special.
    {250, 250, L"not_used"},
    {251, 250, L"none"},
    {252, 250, L"unknown"},
    {253, 250, L"special"}};

// The classifications of ClassTable without valve actuator, level, vortex, magnetic and
// Coriolis flow, torsional and linear stiffness, and with "Not Used" at the end.
inline NumStrPair ClassTableShort[] = {
    {0, L"Device Variable Not Classified"},
    {64, L"Temperature"},
    {65, L"Pressure"},
    {66, L"Volumetric Flow"},
    {67, L"Velocity"},
    {68, L"Volume"},
    {69, L"Length"},
    {70, L"Time"},
    {71, L"Mass"},
    {72, L"Mass Flow"},
    {73, L"Mass Per Volume"},
    {74, L"Viscosity"},
    {75, L"Angular Velocity"},
    {76, L"Area"},
    {77, L"Energy (Work)"},
    {78, L"Force"},
    {79, L"Power"},
    {80, L"Frequency"},
    {81, L"Analytical"},
    {82, L"Capacitance"},
    {83, L"Electromotive Force/Electric Potential"},
    {84, L"Current"},
    {85, L"Resistance"},
    {86, L"Angle"},
    {87, L"Conductance"},
    {88, L"Volume Per Volume"},
    {89, L"Volume Per Mass"},
    {90, L"Concentration"},
    {96, L"Acceleration"},
    {97, L"Turbidity"},
    {98, L"Temperature Difference"},
    {99, L"Volumetric Gas Flow(per Second)"},
    {100, L"Volumetric Gas Flow(per Minute)"},
    {101, L"Volumetric Gas Flow(per Hour)"},
    {102, L"Volumetric Gas Flow(per Day)"},
    {103, L"Volumetric Liquid Flow (per Second)"},
    {104, L"Volumetric Liquid Flow (per Minute)"},
    {105, L"Volumetric Liquid Flow (per Hour)"},
    {106, L"Volumetric Liquid Flow (per Day)"},
    {107, L"Thermal Expansion"},
    {108, L"Volumetric Energy Density"},
    {109, L"Mass Energy Density"},
    {110, L"Torque"},
    {111, L"Miscellaneous"},
    {250, L"Not Used"},
};

// A "%VOL" row, then the classified section of UnitClassTable without all of torsional and
// linear stiffness and without a few units of other classifications.
inline NumClassStrPair UnitClassTableShort[] = {
    {244, 0, L"%VOL"},
    // Temperature.
    {32, 64, L"°C"},
    {33, 64, L"°F"},
    {34, 64, L"°R"},
    {35, 64, L"K"},
    // Pressure.
    {1, 65, L"inH₂O"},
    {2, 65, L"inHg"},
    {3, 65, L"ftH₂O"},
    {4, 65, L"mmH₂O"},
    {5, 65, L"mmHg"},
    {6, 65, L"psi"},
    {7, 65, L"bar"},
    {8, 65, L"mbar"},
    {9, 65, L"g/cm²"},
    {10, 65, L"kg/cm²"},
    {11, 65, L"Pa"},
    {12, 65, L"kPa"},
    {13, 65, L"Torr"},
    {14, 65, L"atm"},
    {145, 65, L"inH₂O(60°F)"},
    {170, 65, L"cmH₂O(4°C)"},
    {171, 65, L"mH₂O(4°C)"},
    {172, 65, L"cmHg"},
    {173, 65, L"lb/ft²"},
    {174, 65, L"hPa"},
    {175, 65, L"psia"},
    {176, 65, L"kg/m²"},
    {177, 65, L"ftH₂O(4°C)"},
    {178, 65, L"ftH₂O(60°F)"},
    {179, 65, L"mHg"},
    {180, 65, L"Mpsi"},
    {237, 65, L"MPa"},
    {238, 65, L"inH₂O(4°C)"},
    {239, 65, L"mmH₂O(4°C)"},
    // Volumetric flow.
    {15, 66, L"ft³/min"},
    {16, 66, L"gal/min"},
    {17, 66, L"l/min"},
    {18, 66, L"gal(UK)/min"},
    {19, 66, L"m³/h"},
    {22, 66, L"gal/s"},
    {23, 66, L"Mgal/d"},
    {24, 66, L"l/s"},
    {25, 66, L"Ml/d"},
    {26, 66, L"ft³/s"},
    {27, 66, L"ft³/d"},
    {28, 66, L"m³/s"},
    {29, 66, L"m³/d"},
    {30, 66, L"gal(UK)/h"},
    {31, 66, L"gal(UK)/d"},
    {121, 66, L"Nm³/h"},
    {122, 66, L"Nl/h"},
    {123, 66, L"SCF/min"},
    {130, 66, L"ft³/h"},
    {131, 66, L"m³/min"},
    {132, 66, L"bbl/s"},
    {133, 66, L"bbl/min"},
    {134, 66, L"bbl/h"},
    {135, 66, L"bbl/d"},
    {136, 66, L"gal/h"},
    {137, 66, L"gal(UK)/s"},
    {138, 66, L"l/h"},
    {170, 66, L"bbl-beer/s"},
    {171, 66, L"bbl-beer/min"},
    {172, 66, L"bbl-beer/h"},
    {173, 66, L"bbl-beer/d"},
    {174, 66, L"Nl/d"},
    {175, 66, L"Nl/min"},
    {176, 66, L"Nl/s"},
    {177, 66, L"Sl/d"},
    {178, 66, L"Sl/h"},
    {179, 66, L"Sl/min"},
    {180, 66, L"Sl/s"},
    {181, 66, L"Nm³/d"},
    {182, 66, L"Nm³/min"},
    {183, 66, L"Nm³/s"},
    {184, 66, L"SCF/d"},
    {185, 66, L"SCF/h"},
    {186, 66, L"SCF/s"},
    {187, 66, L"Sm³/d"},
    {188, 66, L"Sm³/h"},
    {189, 66, L"Sm³/min"},
    {190, 66, L"Sm³/s"},
    {235, 66, L"gal/day"},
    // Velocity.
    {20, 67, L"ft/s"},
    {21, 67, L"m/s"},
    {114, 67, L"in/s"},
    {115, 67, L"in/min"},
    {116, 67, L"ft/min"},
    {120, 67, L"m/h"},
    // Volume.
    {40, 68, L"gal"},
    {41, 68, L"l"},
    {42, 68, L"gal(UK)"},
    {43, 68, L"m³"},
    {46, 68, L"bbl"},
    {110, 68, L"bu"},
    {111, 68, L"yd³"},
    {112, 68, L"ft³"},
    {113, 68, L"in³"},
    {124, 68, L"bbl(US)"},
    {166, 68, L"Nm³"},
    {167, 68, L"Nl"},
    {168, 68, L"SCF"},
    {170, 68, L"bbl-beer"},
    {171, 68, L"Sl"},
    {172, 68, L"Sm³"},
    {236, 68, L"hl"},
    // Length.
    {44, 69, L"ft"},
    {45, 69, L"m"},
    {47, 69, L"in"},
    {48, 69, L"cm"},
    {49, 69, L"mm"},
    {151, 69, L"ft-16"},
    {170, 69, L"µm"},
    {171, 69, L"µin"},
    {172, 69, L"nm"},
    // Time.
    {50, 70, L"min"},
    {51, 70, L"s"},
    {52, 70, L"h"},
    {53, 70, L"d"},
    {170, 70, L"ms"},
    {171, 70, L"µs"},
    {172, 70, L"ns"},
    // Mass.
    {60, 71, L"g"},
    {61, 71, L"kg"},
    {62, 71, L"t"},
    {63, 71, L"lb"},
    {64, 71, L"ton"},
    {65, 71, L"ton(UK)"},
    {125, 71, L"oz"},
    // Mass flow.
    {70, 72, L"g/s"},
    {71, 72, L"g/min"},
    {72, 72, L"g/h"},
    {73, 72, L"kg/s"},
    {74, 72, L"kg/min"},
    {75, 72, L"kg/h"},
    {76, 72, L"kg/d"},
    {77, 72, L"t/min"},
    {78, 72, L"t/h"},
    {79, 72, L"t/d"},
    {80, 72, L"lb/s"},
    {81, 72, L"lb/min"},
    {82, 72, L"lb/h"},
    {83, 72, L"lb/d"},
    {84, 72, L"ton/min"},
    {85, 72, L"ton/h"},
    {86, 72, L"ton/d"},
    {87, 72, L"ton(UK)/h"},
    {88, 72, L"ton(UK)/d"},
    // Mass per volume.
    {90, 73, L"SG"},
    {91, 73, L"g/cm³"},
    {92, 73, L"kg/m³"},
    {93, 73, L"lb/gal"},
    {94, 73, L"lb/ft³"},
    {95, 73, L"g/ml"},
    {96, 73, L"kg/l"},
    {97, 73, L"g/l"},
    {98, 73, L"lb/in³"},
    {99, 73, L"ton/yd³"},
    {100, 73, L"°Tw"},
    {102, 73, L"B°"},
    {103, 73, L"B°(light)"},
    {104, 73, L"Degrees API"},
    {146, 73, L"µg/l"},
    {147, 73, L"µg/m³"},
    {148, 73, L"%"},
    {170, 73, L"mg/l"},
    {171, 73, L"mg/m³"},
    // Viscosity.
    {54, 74, L"cSt"},
    {55, 74, L"cP"},
    {170, 74, L"Pa-s"},
    // Angular velocity.
    {117, 75, L"°/s"},
    {118, 75, L"rps"},
    {119, 75, L"rpm"},
    // Energy (work).
    {69, 77, L"J"},
    {89, 77, L"DTH MMBtu"},
    {126, 77, L"ft·lbf"},
    {128, 77, L"kWh"},
    {162, 77, L"Mcal(th)"},
    {164, 77, L"MJ"},
    {165, 77, L"Btu"},
    {170, 77, L"kVAh"},
    {171, 77, L"kvarh"},
    // Force.
    {68, 78, L"N"},
    {170, 78, L"kN"},
    // Power.
    {127, 79, L"kW"},
    {129, 79, L"hp"},
    {140, 79, L"MCal(th)/h"},
    {141, 79, L"MJ/h"},
    {142, 79, L"Btu/h"},
    {170, 79, L"MJ/s MW"},
    {171, 79, L"MJ/d"},
    {172, 79, L"MMBtu/s"},
    {173, 79, L"MMBtu/h"},
    {174, 79, L"MMBtu/d"},
    {175, 79, L"VA"},
    {176, 79, L"kVA"},
    {177, 79, L"kvar"},
    {178, 79, L"Btu/d"},
    {179, 79, L"Btu/min"},
    {180, 79, L"MJ/min"},
    // Frequency.
    {38, 80, L"Hz"},
    // Analytical.
    {57, 81, L"%"},
    {59, 81, L"pH"},
    {150, 81, L"%"},
    {160, 81, L"°P"},
    {161, 81, L"%LEL"},
    // Capacitance.
    {153, 82, L"pF"},
    // Electromotive force / electric potential.
    {36, 83, L"mV"},
    {58, 83, L"V"},
    // Current.
    {39, 84, L"mA"},
    {170, 84, L"nA"},
    {171, 84, L"µA"},
    {172, 84, L"A"},
    // Resistance.
    {37, 85, L"Ω"},
    {163, 85, L"kΩ"},
    {170, 85, L"MΩ"},
    {171, 85, L"Ω cm"},
    {172, 85, L"kΩ cm"},
    {173, 85, L"MΩ cm"},
    {174, 85, L"mΩ"},
    // Angle.
    {143, 86, L"°"},
    {144, 86, L"rad"},
    // Conductance.
    {56, 87, L"µS"},
    {66, 87, L"mS/cm"},
    {67, 87, L"µS/cm"},
    // Volume per volume.
    {149, 88, L"vol%"},
    {154, 88, L"ml/l"},
    {155, 88, L"µl/l"},
    // Volume per mass.
    {107, 89, L"°Bg"},
    {152, 89, L"ft³/lb"},
    // Concentration.
    {57, 90, L"%"},
    {101, 90, L"°Bx"},
    {105, 90, L"%"},
    {106, 90, L"%"},
    {108, 90, L"proof/vol"},
    {109, 90, L"proof/mass"},
    {139, 90, L"ppm"},
    {169, 90, L"ppb"},
    {170, 90, L"ppth"},
    // Acceleration.
    {170, 96, L"g"},
    {171, 96, L"ft/s²"},
    {172, 96, L"m/s²"},
    // Turbidity.
    {170, 97, L"FNU"},
    {171, 97, L"FTU"},
    {172, 97, L"NTU"},
    // Volumetric gas flow per second, minute, hour and day.
    {186, 99, L"SCF/s"},
    {176, 99, L"Nl/s"},
    {180, 99, L"Sl/s"},
    {183, 99, L"Nm³/s"},
    {190, 99, L"Sm³/s"},
    {123, 100, L"SCF/min"},
    {175, 100, L"Nl/min"},
    {179, 100, L"Sl/min"},
    {182, 100, L"Nm³/min"},
    {189, 100, L"Sm³/min"},
    {185, 101, L"SCF/h"},
    {122, 101, L"Nl/h"},
    {178, 101, L"Sl/h"},
    {121, 101, L"Nm³/h"},
    {188, 101, L"Sm³/h"},
    {184, 102, L"SCF/d"},
    {174, 102, L"Nl/d"},
    {177, 102, L"Sl/d"},
    {181, 102, L"Nm³/d"},
    {187, 102, L"Sm³/d"},
    // Volumetric liquid flow per second.
    {174, 103, L"fl oz(UK)/s"},
    {175, 103, L"fl oz/s"},
    {176, 103, L"ml/s"},
    {24, 103, L"l/s"},
    {178, 103, L"hl/s"},
    {28, 103, L"m³/s"},
    {180, 103, L"Ml/s"},
    {22, 103, L"gal/s"},
    {182, 103, L"kgal/s"},
    {183, 103, L"Mgal/s"},
    {137, 103, L"gal(UK)/s"},
    {185, 103, L"Mgal(UK)/s"},
    {26, 103, L"ft³/s"},
    {187, 103, L"acre-ft/s"},
    {188, 103, L"drum/s"},
    {189, 103, L"bbl(US)/s"},
    {170, 103, L"bbl-beer/s"},
    {132, 103, L"bbl/s"},
    {192, 103, L"bbl-beer(UK)/s"},
    // Volumetric liquid flow per minute.
    {174, 104, L"fl oz(UK)/min"},
    {175, 104, L"fl oz/min"},
    {176, 104, L"ml/min"},
    {17, 104, L"l/min"},
    {178, 104, L"hl/min"},
    {131, 104, L"m³/min"},
    {180, 104, L"Ml/min"},
    {16, 104, L"gal/min"},
    {182, 104, L"kgal/min"},
    {183, 104, L"Mgal/min"},
    {18, 104, L"gal(UK)/min"},
    {185, 104, L"Mgal(UK)/min"},
    {15, 104, L"ft³/min"},
    {187, 104, L"acre-ft/min"},
    {188, 104, L"drum/min"},
    {189, 104, L"bbl(US)/min"},
    {171, 104, L"bbl-beer/min"},
    {133, 104, L"bbl/min"},
    {192, 104, L"bbl-beer(UK)/min"},
    // Volumetric liquid flow per hour.
    {174, 105, L"fl oz(UK)/h"},
    {175, 105, L"fl oz/h"},
    {176, 105, L"ml/h"},
    {138, 105, L"l/h"},
    {178, 105, L"hl/h"},
    {19, 105, L"m³/h"},
    {180, 105, L"Ml/h"},
    {136, 105, L"gal/h"},
    {182, 105, L"kgal/h"},
    {183, 105, L"Mgal/h"},
    {30, 105, L"gal(UK)/h"},
    {185, 105, L"Mgal(UK)/h"},
    {130, 105, L"ft³/h"},
    {187, 105, L"acre-ft/h"},
    {188, 105, L"drum/h"},
    {189, 105, L"bbl(US)/h"},
    {172, 105, L"bbl-beer/h"},
    {134, 105, L"bbl/h"},
    {192, 105, L"bbl-beer(UK)/h"},
    // Volumetric liquid flow per day.
    {174, 106, L"fl oz(UK)/d"},
    {175, 106, L"fl oz/d"},
    {176, 106, L"ml/d"},
    {177, 106, L"l/d"},
    {178, 106, L"hl/d"},
    {29, 106, L"m³/d"},
    {25, 106, L"Ml/d"},
    {235, 106, L"gal/day"},
    {182, 106, L"kgal/d"},
    {23, 106, L"Mgal/d"},
    {31, 106, L"gal(UK)/d"},
    {185, 106, L"Mgal(UK)/d"},
    {27, 106, L"ft³/d"},
    {187, 106, L"acre-ft/d"},
    {188, 106, L"drum/d"},
    {189, 106, L"bbl(US)/d"},
    {173, 106, L"bbl-beer/d"},
    {135, 106, L"bbl/d"},
    {192, 106, L"bbl-beer(UK)/d"},
    // Thermal expansion.
    {170, 107, L"/C"},
    {171, 107, L"/F"},
    // Volumetric energy density.
    {170, 108, L"kJ/l MJ/m³"},
    {171, 108, L"Btu/ft³"},
    // Mass energy density.
    {170, 109, L"MJ/kg"},
    {171, 109, L"Btu/lb"},
    // Torque.
    {170, 110, L"Nm"},
    {171, 110, L"kNm"},
    {172, 110, L"lb-ft"},
    // Miscellaneous.
    {57, 111, L"%"},
    {156, 111, L"dB"},
    {170, 111, L"g/mol"},
    // Not used, none, unknown, special.
    {250, 250, L"not_used"},
    {251, 250, L"none"},
    {252, 250, L"unknown"},
    {253, 250, L"special"}};

// Language module keys under which the page fetches its localized texts: its own, and that of
// the sibling module whose strings it shares.
inline CString ModuleKeyOwn = L"Kestrum";
inline CString ModuleKeySibling = L"Tamblin";

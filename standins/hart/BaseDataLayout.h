// The answer layout of command 223 (read base data), the transmitter maker's own command that
// the page reads three times for its display: where each value sits in each of the three blocks.
// The transmitter builds its answers from it (Command223.cpp) and the record filler reads them back
// (RecordFiller.cpp). It describes the answer only, not the device record the service files it in
// (RecordFiller.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace hartsim
{

// Answer data of command 223, one block per request byte. Every block starts with its block number;
// floats are big-endian.
//   block 0: [1] press type, [2] manufacturer, [3] unit code, [4..12] serial (blank padded)
//   block 1: [1] range high, [5] range low, [9] pressure, [13] temperature
//   block 2: [1] zero, [5] K, [9] B, [13] cal up, [17] cal down
namespace basedata
{
constexpr uint8_t kIdentityBlock = 0;
constexpr uint8_t kMeasurementBlock = 1;
constexpr uint8_t kCalibrationBlock = 2;

constexpr std::size_t kPressType = 1;
constexpr std::size_t kManufacturer = 2;
constexpr std::size_t kUnitCode = 3;
constexpr std::size_t kSerial = 4;

constexpr std::size_t kRangeHigh = 1;
constexpr std::size_t kRangeLow = 5;
constexpr std::size_t kPressure = 9;
constexpr std::size_t kTemperature = 13;

constexpr std::size_t kZero = 1;
constexpr std::size_t kFactorK = 5;
constexpr std::size_t kFactorB = 9;
constexpr std::size_t kCalUp = 13;
constexpr std::size_t kCalDown = 17;
} // namespace basedata

} // namespace hartsim

// What the page and the stand-in service must agree on, checked by the compiler: the device
// record's size and the offsets at which the record filler files the fields the page reads, the
// serial number's width in the base data that commands 222 and 223 carry, and the results that
// HartSendCmd reports (the page ties its own to hartSeComm.h).
#include <StandinHart.h>

#include <DeviceState.h>
#include <RecordFiller.h>
#include <SendResult.h>

#include <DeviceRecord.h>
#include <PageRules.h>

#include <stddef.h>

static_assert(sizeof(DeviceRecord) == hartsim::kDeviceRecordSize, "record size");
static_assert(STANDIN_RECORD_SIZE == hartsim::kDeviceRecordSize, "the service's record size");
static_assert(offsetof(DeviceRecord, byIdentity) == hartsim::record::kIdentity, "identity");
static_assert(sizeof(DeviceRecord::byIdentity) == hartsim::record::kIdentityBytes, "identity");
static_assert(offsetof(DeviceRecord, fLowerRangeValue) == hartsim::record::kLowerRangeValue,
              "lower range value");
static_assert(offsetof(DeviceRecord, fUpperRangeValue) == hartsim::record::kUpperRangeValue,
              "upper range value");
static_assert(offsetof(DeviceRecord, byPressType) == hartsim::record::kPressType, "press type");
static_assert(offsetof(DeviceRecord, byManufacturer) == hartsim::record::kManufacturer,
              "manufacturer");
static_assert(offsetof(DeviceRecord, byPressUnit) == hartsim::record::kUnitCode, "unit code");
static_assert(offsetof(DeviceRecord, szSerialNo) == hartsim::record::kSerial, "serial number");
static_assert(sizeof(DeviceRecord::szSerialNo) == PageRules::kSerialNoBytes, "serial bytes");
static_assert(hartsim::kSerialLength == PageRules::kSerialNoBytes, "the serial number's width");
static_assert(offsetof(DeviceRecord, fRangeHigh) == hartsim::record::kRangeHigh, "range high");
static_assert(offsetof(DeviceRecord, fRangeLow) == hartsim::record::kRangeLow, "range low");
static_assert(offsetof(DeviceRecord, fPressure) == hartsim::record::kPressure, "pressure");
static_assert(offsetof(DeviceRecord, fTemperature) == hartsim::record::kTemperature, "temperature");
static_assert(offsetof(DeviceRecord, fZero) == hartsim::record::kZero, "zero");
static_assert(offsetof(DeviceRecord, fFactorK) == hartsim::record::kFactorK, "factor K");
static_assert(offsetof(DeviceRecord, fFactorB) == hartsim::record::kFactorB, "factor B");
static_assert(offsetof(DeviceRecord, fCalUp) == hartsim::record::kCalUp, "calibration up");
static_assert(offsetof(DeviceRecord, fCalDown) == hartsim::record::kCalDown, "calibration down");

static_assert(hartsim::kSendDone == HART_RESULT_DONE, "the completion result");
static_assert(hartsim::kSendBusy == HART_RESULT_BUSY, "the busy result");

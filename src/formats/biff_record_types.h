#pragma once

#include <cstddef>
#include <cstdint>

namespace qm4250 {

// The numbers of BIFF8 that its writer and its reader share.
namespace biff {

// Readers refuse a record whose data is longer than this.
constexpr size_t kMaxRecordData = 8224;

enum RecordType : uint16_t {
    kBof = 0x0809,
    kEof = 0x000A,
    kInterfaceHdr = 0x00E1,
    kMms = 0x00C1,
    kInterfaceEnd = 0x00E2,
    kWriteAccess = 0x005C,
    kCodepage = 0x0042,
    kDsf = 0x0161,
    kWindowProtect = 0x0019,
    kProtect = 0x0012,
    kPassword = 0x0013,
    kWindow1 = 0x003D,
    kBackup = 0x0040,
    kHideObj = 0x008D,
    kDateMode = 0x0022,
    kPrecision = 0x000E,
    kBookBool = 0x00DA,
    kFont = 0x0031,
    kXf = 0x00E0,
    kStyle = 0x0293,
    kBoundSheet = 0x0085,
    kCountry = 0x008C,
    kSst = 0x00FC,
    kContinue = 0x003C,
    kExtSst = 0x00FF,
    kWsBool = 0x0081,
    kDimensions = 0x0200,
    kLabelSst = 0x00FD,
    kWindow2 = 0x023E,
    // Written by other programs, read back on import.
    kFilePass = 0x002F,
    kLabel = 0x0204,
    kNumber = 0x0203,
    kRk = 0x027E,
    kMulRk = 0x00BD,
    kBoolErr = 0x0205,
    kFormat = 0x041E,
};

// The version a BOF record gives for BIFF8.
constexpr uint16_t kBiff8 = 0x0600;

enum SubstreamType : uint16_t {
    kWorkbookGlobals = 0x0005,
    kWorksheet = 0x0010,
};

}  // namespace biff

}  // namespace qm4250

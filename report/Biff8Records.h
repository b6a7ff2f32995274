#pragma once

#include <cstdint>

// The Excel 97-2003 (BIFF8) records the test log's workbooks are made of, as Biff8Writer writes
// them and WorkbookReader reads them back.
namespace climate::report::biff8 {

// Record identifiers.
enum : std::uint16_t {
    RecBof = 0x0809,
    RecEof = 0x000A,
    RecInterfaceHdr = 0x00E1,
    RecMms = 0x00C1,
    RecInterfaceEnd = 0x00E2,
    RecWriteAccess = 0x005C,
    RecCodePage = 0x0042,
    RecDsf = 0x0161,
    RecTabId = 0x013D,
    RecFnGroupCount = 0x009C,
    RecWindowProtect = 0x0019,
    RecProtect = 0x0012,
    RecPassword = 0x0013,
    RecProt4Rev = 0x01AF,
    RecProt4RevPass = 0x01BC,
    RecBackup = 0x0040,
    RecHideObj = 0x008D,
    RecWindow1 = 0x003D,
    RecDateMode = 0x0022,
    RecPrecision = 0x000E,
    RecRefreshAll = 0x01B7,
    RecBookBool = 0x00DA,
    RecFont = 0x0031,
    RecFormat = 0x041E,
    RecXf = 0x00E0,
    RecStyle = 0x0293,
    RecUsesElfs = 0x0160,
    RecBoundSheet = 0x0085,
    RecSst = 0x00FC,
    RecContinue = 0x003C,
    RecExtSst = 0x00FF,
    RecCalcMode = 0x000D,
    RecCalcCount = 0x000C,
    RecRefMode = 0x000F,
    RecIteration = 0x0011,
    RecDelta = 0x0010,
    RecSaveRecalc = 0x005F,
    RecPrintHeaders = 0x002A,
    RecPrintGridlines = 0x002B,
    RecGridSet = 0x0082,
    RecGuts = 0x0080,
    RecDefaultRowHeight = 0x0225,
    RecWsBool = 0x0081,
    RecDefColWidth = 0x0055,
    RecColInfo = 0x007D,
    RecDimensions = 0x0200,
    RecRow = 0x0208,
    RecBlank = 0x0201,
    RecNumber = 0x0203,
    RecRk = 0x027E,
    RecLabelSst = 0x00FD,
    RecWindow2 = 0x023E,
};

// The BOF record: the format's version and the kinds of substream it opens.
constexpr std::uint16_t Biff8Version = 0x0600;
constexpr std::uint16_t GlobalsSubstream = 0x0005;
constexpr std::uint16_t SheetSubstream = 0x0010;

} // namespace climate::report::biff8

#pragma once

namespace climate::report {

// Constants of the spreadsheet object model, as the test log sets them and the in-process
// application reads them.
namespace SpreadsheetConstants {
inline constexpr int xlCenter = -4108;
inline constexpr int xlLeft = -4131;
inline constexpr int xlRight = -4152;
inline constexpr int xlJustify = -4130;
inline constexpr int xlDistributed = -4117;
inline constexpr int xlTop = -4160;
inline constexpr int xlBottom = -4107;
inline constexpr int xlHAlignGeneral = 1;
inline constexpr int xlHAlignFill = 5;
inline constexpr int xlHAlignCenterAcrossSelection = 7;
// Vertical centre in the object model's older numbering, which the test log's columns use.
inline constexpr int xlVAlignCenterOlder = 2;
inline constexpr int xlContinuous = 1;
inline constexpr int xlDash = -4115;
inline constexpr int xlDot = -4118;
inline constexpr int xlDouble = -4119;
inline constexpr int xlLineStyleNone = -4142;
inline constexpr int xlHairline = 1;
inline constexpr int xlThin = 2;
inline constexpr int xlMedium = -4138;
inline constexpr int xlThick = 4;
inline constexpr int xlColorIndexAutomatic = -4105;
inline constexpr int xlColorIndexNone = -4142;
} // namespace SpreadsheetConstants

} // namespace climate::report

#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

// Complete replies of the controller to the poll requests (address 1 unless given), CRC included.

// Function 1 or 2 reply carrying the given data bytes (coil or input n is bit n % 8 of byte n / 8).
[[nodiscard]] std::vector<std::uint8_t> bitsReply(std::uint8_t function,
                                                  std::initializer_list<std::uint8_t> data,
                                                  std::uint8_t address = 1);
// Function 3 or 4 reply carrying the given registers.
[[nodiscard]] std::vector<std::uint8_t> registersReply(std::uint8_t function,
                                                       const std::vector<std::uint16_t>& words,
                                                       std::uint8_t address = 1);

// Step 0: coils 0 ... 15 as two bytes.
[[nodiscard]] std::vector<std::uint8_t> coilsReply(std::uint8_t coils0to7, std::uint8_t coils8to15);
// Step 1: inputs 0 ... 17 as three bytes.
[[nodiscard]] std::vector<std::uint8_t> inputsReply(std::uint32_t inputBits);
// Step 2: holding registers 41, 42, 43.
[[nodiscard]] std::vector<std::uint8_t> settingsReply(std::uint16_t setTemp, std::uint16_t delta);
// Step 3: input registers 0 ... 13.
[[nodiscard]] std::vector<std::uint8_t> measurementsReply(const std::array<std::uint16_t, 14>& r);

// A measurement set where every register used has its own non-zero value: speeds 1200, 1300,
// 2400, 2500 RPM; 25.3 and -5.5 deg C; 48.2 V; compressor 3100 RPM at 12.5 A; heater 4.4 A;
// force status 1; third temperature 30.1 deg C.
[[nodiscard]] std::array<std::uint16_t, 14> typicalMeasurements();

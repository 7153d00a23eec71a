// SPDX-License-Identifier: MIT
// The time text the hands are read from, with any bytes: ReadHandValues
// and the strict StrToInt under it. Input: one byte choosing the frame's
// start time (the millisecond field, or a value no clock gives), then the
// text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "model/date_time.h"
#include "model/hand_geometry.h"

namespace {

using trilume::Require;

trilume::TDateTime FrameStart(std::uint8_t choice) {
  switch (choice) {
    case 255:
      return std::numeric_limits<double>::quiet_NaN();
    case 254:
      return std::numeric_limits<double>::infinity();
    case 253:
      return -1e300;
    case 252:
      return 1e300;
    case 251:
      return -0.75;  // 29 December 1899, 18:00
    default:
      return 46'000.0 + choice * 4.0 / 86'400'000.0;
  }
}

// The conversion's contract, written out: an optional sign, then decimal
// digits only, inside 32 bits.
bool StrictInteger(std::string_view text, std::int32_t& value) {
  std::size_t start = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    start = 1;
  }
  std::string_view digits = text.substr(start);
  if (digits.empty()) return false;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
  }
  const std::size_t firstSignificant = digits.find_first_not_of('0');
  if (firstSignificant == std::string_view::npos) {
    value = 0;
    return true;
  }
  digits = digits.substr(firstSignificant);
  if (digits.size() > 10) return false;
  std::int64_t magnitude = 0;
  for (char c : digits) magnitude = magnitude * 10 + (c - '0');
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue < std::numeric_limits<std::int32_t>::min() ||
      signedValue > std::numeric_limits<std::int32_t>::max()) {
    return false;
  }
  value = static_cast<std::int32_t>(signedValue);
  return true;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const trilume::TDateTime frameStart = FrameStart(data[0]);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  std::int32_t expected = 0;
  const bool valid = StrictInteger(text, expected);
  try {
    const std::int32_t value = trilume::StrToInt(text);
    Require(valid, "StrToInt accepted a text that is not a 32-bit decimal");
    Require(value == expected, "StrToInt gave the wrong value");
  } catch (const trilume::EConvertError&) {
    Require(!valid, "StrToInt refused a 32-bit decimal");
  }

  // In ASCII a character is a byte, so the six positions are known exactly.
  const bool asciiShape = IsAscii(text) && text.size() >= 8 && IsDigit(text[0]) &&
                          IsDigit(text[1]) && IsDigit(text[3]) && IsDigit(text[4]) &&
                          IsDigit(text[6]) && IsDigit(text[7]);
  try {
    const trilume::HandValues values = trilume::ReadHandValues(text, frameStart);
    Require(values.HourValue >= 0.0F && values.HourValue <= 495.0F &&
                std::fmod(values.HourValue, 5.0F) == 0.0F,
            "HourValue is not a two-digit number times 5");
    Require(values.MinuteValue >= 0.0F && values.MinuteValue <= 99.0F, "MinuteValue out of range");
    Require(values.SecondValue >= 0.0F && values.SecondValue <= 99.0F, "SecondValue out of range");
    Require(values.MillisecondFraction >= 0.0F && values.MillisecondFraction < 60.0F,
            "MillisecondFraction out of range");
    if (IsAscii(text)) {
      Require(asciiShape, "an ASCII text without six digits in place was read");
      Require(values.HourValue == static_cast<float>(((text[0] - '0') * 10 + text[1] - '0') * 5),
              "HourValue is not the text's hour");
      Require(values.SecondValue == static_cast<float>((text[6] - '0') * 10 + text[7] - '0'),
              "SecondValue is not the text's second");
    }
  } catch (const trilume::EConvertError&) {
    Require(!asciiShape, "an ASCII HH:MM:SS text was refused");
  }
  return 0;
}

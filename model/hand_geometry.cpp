// SPDX-License-Identifier: MIT
#include "model/hand_geometry.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "model/date_time.h"

namespace trilume {
namespace {

// Step factors close to, but none of them equal to, pi/30. Which one a hand
// takes decides the last digits of its tip, and with them pixels and names.
constexpr double kFactorHigh = 0.1047197;
constexpr double kFactorLow = 0.1047198;
constexpr double kFactorFine = 0.10471975515;

constexpr double kHourLength = 0.45;
constexpr double kMinuteLength = 0.65;
constexpr double kSecondLength = 0.8;

// Length in bytes of the character starting at `index`: a well-formed UTF-8
// sequence counts as one character, and so does every byte that does not
// start one, so any byte string can be walked without reading past its end.
std::size_t CharacterLength(std::string_view text, std::size_t index) {
  const auto lead = static_cast<unsigned char>(text[index]);
  if (lead < 0x80) {
    return 1;
  }
  std::size_t continuation = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    continuation = 1;
  } else if (lead == 0xE0) {
    continuation = 2;
    low = 0xA0;
  } else if (lead == 0xED) {
    continuation = 2;
    high = 0x9F;
  } else if (lead >= 0xE1 && lead <= 0xEF) {
    continuation = 2;
  } else if (lead == 0xF0) {
    continuation = 3;
    low = 0x90;
  } else if (lead >= 0xF1 && lead <= 0xF3) {
    continuation = 3;
  } else if (lead == 0xF4) {
    continuation = 3;
    high = 0x8F;
  } else {
    return 1;
  }
  if (text.size() - index - 1 < continuation) {
    return 1;
  }
  for (std::size_t i = 1; i <= continuation; ++i) {
    const auto byte = static_cast<unsigned char>(text[index + i]);
    if (byte < (i == 1 ? low : 0x80) || byte > (i == 1 ? high : 0xBF)) {
      return 1;
    }
  }
  return continuation + 1;
}

// The characters at one-based positions 1, 2, 4, 5, 7 and 8; a position
// beyond the end gives an empty piece.
std::array<std::string_view, 6> CutPieces(std::string_view text) {
  static constexpr std::array<int, 6> kPositions = {1, 2, 4, 5, 7, 8};
  std::array<std::string_view, 6> pieces{};
  std::size_t index = 0;
  std::size_t next = 0;
  for (int position = 1; position <= kPositions.back() && index < text.size(); ++position) {
    const std::size_t length = CharacterLength(text, index);
    if (next < pieces.size() && kPositions[next] == position) {
      pieces[next++] = text.substr(index, length);
    }
    index += length;
  }
  return pieces;
}

// Rounds to a float through memory. GCC 12 at -O2 and above pairs the x and
// y products below with its SLP vectorizer and silently drops the rounding of
// cos and sin to float, which moves tips by an ulp and with that can change a
// pixel or a triangle's name. A volatile store cannot be elided.
float StoreAsFloat(double value) {
  volatile float stored = static_cast<float>(value);
  return stored;
}

// cos and sin are kept as floats before they scale the tip: the rounding is
// part of where the tip lands.
TipOffset Tip(double value, double cosFactor, double sinFactor, int scaleX, int scaleY,
              double length) {
  const float storedCos = StoreAsFloat(std::cos((value + 45.0) * cosFactor));
  const float storedSin = StoreAsFloat(std::sin((value + 45.0) * sinFactor));
  TipOffset tip;
  tip.X = static_cast<float>(static_cast<double>(scaleX) * static_cast<double>(storedCos) * length);
  tip.Y = static_cast<float>(static_cast<double>(scaleY) * static_cast<double>(storedSin) * length);
  return tip;
}

}  // namespace

void SelectTickDivisor(ClockState& state, std::string_view movementText) {
  for (const MovementMode& mode : kMovementModes) {
    if (mode.Name == movementText) {
      state.TickDivisor = mode.Divisor;
      return;
    }
  }
}

HandValues ReadHandValues(std::string_view timeText, TDateTime frameStartTime) {
  const std::array<std::string_view, 6> pieces = CutPieces(timeText);
  std::array<std::int32_t, 6> digits{};
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    digits[i] = StrToInt(pieces[i]);
  }
  // Each piece is one character, so a successful conversion is a single
  // digit and these sums cannot overflow.
  HandValues values;
  values.HourValue = static_cast<float>(digits[0] * 10 + digits[1]) * 5.0F;
  values.MinuteValue = static_cast<float>(digits[2] * 10 + digits[3]);
  values.SecondValue = static_cast<float>(digits[4] * 10 + digits[5]);
  const std::uint16_t millisecond = DecodeTime(frameStartTime).MSec;
  values.MillisecondFraction = static_cast<float>(millisecond * kMillisecondFactor);
  return values;
}

HandTips TipsFor(const HandValues& values, std::int32_t tickDivisor, int width, int height) {
  const int scaleX = width / 2;
  const int scaleY = height / 2 - 12;
  HandTips tips;

  const auto hour = static_cast<double>(values.HourValue);
  const double hourFactor = hour > 29.0 ? kFactorHigh : kFactorLow;
  tips.Hour = Tip(hour, hourFactor, hourFactor, scaleX, scaleY, kHourLength);

  const auto minute = static_cast<double>(values.MinuteValue);
  const bool lateMinute = minute > 29.0;
  tips.Minute = Tip(minute, lateMinute ? kFactorHigh : kFactorFine,
                    lateMinute ? kFactorHigh : kFactorLow, scaleX, scaleY, kMinuteLength);

  const auto second = static_cast<double>(values.SecondValue);
  // Only SelectTickDivisor writes the divisor, always from the table; a zero
  // from elsewhere must not turn the tip into NaN.
  const double advance = tickDivisor != 0 ? static_cast<double>(values.MillisecondFraction) /
                                                static_cast<double>(tickDivisor)
                                          : 0.0;
  const double secondFactor = second > 29.0 ? kFactorHigh : kFactorFine;
  tips.Second = Tip(second + advance, secondFactor, secondFactor, scaleX, scaleY, kSecondLength);
  return tips;
}

void ComputeHandTips(ClockState& state, const HandValues& values, int width, int height) {
  const HandTips tips = TipsFor(values, state.TickDivisor, width, height);
  state.HourTip = tips.Hour;
  state.MinuteTip = tips.Minute;
  state.SecondTip = tips.Second;
}

}  // namespace trilume

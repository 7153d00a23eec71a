// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Inputs that reach the clock from outside its control: texts a locale or a
// user can produce, and window sizes a window manager can impose. The soak
// draws from these tables and the bad-input tests state the outcome of each.

namespace trilume {

using namespace std::string_view_literals;

// A time text and the time the hands read from it: characters 1, 2, 4, 5, 7
// and 8 (characters, not bytes), each a single ASCII digit. Reads is empty
// when the text cannot be read and the frame must fail.
struct TimeTextCase {
  std::string_view Text;
  std::string_view Reads;
  std::string_view Why;
  constexpr bool Readable() const { return !Reads.empty(); }
};

inline constexpr std::array kTimeTextCases = {
    TimeTextCase{"12:34:56"sv, "12:34:56"sv, "the plain 24-hour shape"},
    TimeTextCase{"00:00:00"sv, "00:00:00"sv, "midnight"},
    TimeTextCase{"23:59:59"sv, "23:59:59"sv, "last second of the day"},
    TimeTextCase{"99:99:99"sv, "99:99:99"sv, "digits out of range still read as digits"},
    TimeTextCase{"09:05:07 AM"sv, "09:05:07"sv, "12-hour with a leading zero"},
    TimeTextCase{"12.34.56"sv, "12:34:56"sv, "any separator character"},
    TimeTextCase{"1234567890"sv, "12:45:78"sv, "separator positions are not checked"},
    TimeTextCase{"12\xEF\xBC\x9A"
                 "34\xEF\xBC\x9A"
                 "56"sv,
                 "12:34:56"sv, "full-width colons"},
    TimeTextCase{"12\xE6\x99\x82"
                 "34\xE5\x88\x86"
                 "56\xE7\xA7\x92"sv,
                 "12:34:56"sv, "Japanese %X"},
    TimeTextCase{"12:34:56"
                 "0123456789012345678901234567890123456789012345678901234567890123456789"sv,
                 "12:34:56"sv, "long tail after the eighth character"},
    TimeTextCase{""sv, ""sv, "empty"},
    TimeTextCase{"1"sv, ""sv, "one character"},
    TimeTextCase{"12:34"sv, ""sv, "no seconds"},
    TimeTextCase{"12:34:5"sv, ""sv, "seven characters"},
    TimeTextCase{"9:05:07 AM"sv, ""sv, "12-hour without a leading zero"},
    TimeTextCase{" 9:05:07"sv, ""sv, "blank-padded hour"},
    TimeTextCase{"+1:+2:+3"sv, ""sv, "signs"},
    TimeTextCase{"-1:-2:-3"sv, ""sv, "minus signs"},
    TimeTextCase{"ab:cd:ef"sv, ""sv, "letters"},
    TimeTextCase{"12\0:34:56"sv, ""sv, "embedded NUL shifts the positions"},
    TimeTextCase{"\xEF\xBC\x91\xEF\xBC\x92:34:56"sv, ""sv, "full-width digits"},
    TimeTextCase{"\xD9\xA1\xD9\xA2:\xD9\xA3\xD9\xA4:\xD9\xA5\xD9\xA6"sv, ""sv,
                 "Arabic-Indic digits"},
    TimeTextCase{"\xFF\xFE:\x80\x81:\xC3\x28"sv, ""sv, "invalid UTF-8"},
    TimeTextCase{"12:34:5\xC3"sv, ""sv, "truncated multi-byte character at the end"},
    TimeTextCase{"1\xF0"sv, ""sv, "lead byte of a 4-byte character, then nothing"},
    TimeTextCase{"12:34:5\xE2\x82\xAC"sv, ""sv, "euro sign as the last digit"},
};

// MOVEMENT texts and the divisor they select; 0 means "leaves it unchanged".
struct MovementCase {
  std::string_view Text;
  std::int32_t Divisor = 0;
};

inline constexpr std::array kMovementCases = {
    MovementCase{"TICK"sv, 1000},
    MovementCase{"TICK2"sv, 100},
    MovementCase{"FAST"sv, 1},
    MovementCase{"SMOOTH"sv, 60},
    MovementCase{"TICKBACK2"sv, 10},
    MovementCase{"HALFBACK"sv, 500},
    MovementCase{"TICKBACK1"sv, 30},
    MovementCase{""sv, 0},
    MovementCase{"smooth"sv, 0},
    MovementCase{"SMOOTH "sv, 0},
    MovementCase{" TICK"sv, 0},
    MovementCase{"TICK\0"sv, 0},
    MovementCase{"TICK2\n"sv, 0},
    MovementCase{"TICKBACK"sv, 0},
    MovementCase{"HALFBACKHALFBACK"sv, 0},
    MovementCase{"60"sv, 0},
    MovementCase{"\xD0\xA2\xD0\x98\xD0\x9A"sv, 0},  // Cyrillic TIK
    MovementCase{"TICK\xFF"sv, 0},
    MovementCase{"\xC3"sv, 0},
    MovementCase{"F\xCC\x81"
                 "AST"sv,
                 0},  // combining accent inside
};

struct WindowSizeCase {
  int Width = 0;
  int Height = 0;
};

// Sizes a window manager can give the main window: the smallest, ones where
// a half-size minus the margins turns negative, odd ones, the picture's own
// size and beyond, and the largest the soak allows.
inline constexpr std::array kNotableWindowSizes = {
    WindowSizeCase{1, 1},       WindowSizeCase{1, 2},       WindowSizeCase{2, 1},
    WindowSizeCase{3, 3},       WindowSizeCase{7, 5},       WindowSizeCase{8, 34},
    WindowSizeCase{9, 35},      WindowSizeCase{24, 24},     WindowSizeCase{25, 25},
    WindowSizeCase{280, 310},   WindowSizeCase{281, 311},   WindowSizeCase{1281, 777},
    WindowSizeCase{1282, 778},  WindowSizeCase{1, 3000},    WindowSizeCase{4000, 1},
    WindowSizeCase{3999, 2999}, WindowSizeCase{4000, 3000},
};

inline constexpr int kLargestWindowWidth = 4000;
inline constexpr int kLargestWindowHeight = 3000;

}  // namespace trilume

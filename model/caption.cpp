// SPDX-License-Identifier: MIT
#include "model/caption.h"

#include <cmath>

#include "model/date_time.h"
#include "model/triangle.h"

namespace trilume {

std::string DateTimeText(TDateTime value) {
  if (value < 1.0) {
    return TimeToStr(value);
  }
  if (value - std::trunc(value) == 0.0) {
    return DateToStr(value);
  }
  return DateTimeToStr(value);
}

std::string ComposeCaption(TDateTime now, const ClockState& state) {
  // DateOf and TimeOf split with the same millisecond rounding, so a reading
  // a hair before midnight shows the new day's date beside 00:00:00.
  const TDateTime today = DateOf(now);
  const std::string timeText = DateTimeText(TimeOf(now));
  const std::string dateText = DateToStr(today);
  const std::string_view dayName = DayNames[static_cast<std::size_t>(DayOfWeek(today) % 7)];

  std::string caption;
  caption.reserve(timeText.size() + dateText.size() + dayName.size() + kCaptionTriangleIs.size() +
                  state.TriangleKind.size() + state.AngleKind.size() + kCaptionClosing.size() + 3);
  caption.append(timeText)
      .append(kCaptionSeparator)
      .append(dayName)
      .append(kCaptionSeparator)
      .append(dateText)
      .append(kCaptionTriangleIs)
      .append(state.TriangleKind)
      .append(kCaptionSeparator)
      .append(state.AngleKind)
      .append(kCaptionClosing);
  return caption;
}

}  // namespace trilume

// SPDX-License-Identifier: MIT
#include "render/canvas/kept_shapes.h"

#include <algorithm>

namespace trilume {

namespace {

// A text's key among the recently met: its FNV-1a hash, never 0. Two texts
// sharing a hash only make one of them kept a call early.
std::uint64_t TextKey(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char c : text) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  }
  return hash | 1;
}

}  // namespace

bool KeptShapes::RecentKeys::Take(std::uint64_t key) {
  const auto found = std::find(Keys.begin(), Keys.end(), key);
  if (found != Keys.end()) {
    *found = 0;
    return true;
  }
  Keys[Next] = key;
  Next = (Next + 1) % Keys.size();
  return false;
}

const EllipseShape* KeptShapes::FindEllipse(int width, int height, bool splitFill) {
  if (width > kMaxCaptureSide || height > kMaxCaptureSide) return nullptr;
  EllipseEntry* oldest = &Ellipses.front();
  for (EllipseEntry& entry : Ellipses) {
    if (entry.LastUse != 0 && entry.Shape.Width == width && entry.Shape.Height == height) {
      if (splitFill && !entry.Shape.FillSplit &&
          !CaptureEllipseShape(width, height, true, entry.Shape)) {
        entry.LastUse = 0;
        return nullptr;
      }
      entry.LastUse = ++UseClock;
      return &entry.Shape;
    }
    if (entry.LastUse < oldest->LastUse) oldest = &entry;
  }
  // A size met for the first time is only noted: capturing costs more than
  // drawing, and a size that never comes back would waste it.
  const auto key = (static_cast<std::uint64_t>(width) << 32) | static_cast<std::uint32_t>(height);
  if (!EllipsesSeen.Take(key)) return nullptr;
  if (!CaptureEllipseShape(width, height, splitFill, oldest->Shape)) {
    oldest->LastUse = 0;
    return nullptr;
  }
  oldest->LastUse = ++UseClock;
  return &oldest->Shape;
}

const TextMask* KeptShapes::FindText(std::string_view text, const QFont& font) {
  TextEntry* oldest = &Texts.front();
  for (TextEntry& entry : Texts) {
    if (entry.LastUse != 0 && entry.Text == text) {
      entry.LastUse = ++UseClock;
      return entry.Usable ? &entry.Mask : nullptr;
    }
    if (entry.LastUse < oldest->LastUse) oldest = &entry;
  }
  if (text.size() > kMaxCapturedTextBytes || !TextsSeen.Take(TextKey(text))) return nullptr;
  oldest->LastUse = ++UseClock;
  oldest->Text.assign(text);
  oldest->Usable = CaptureTextMask(font, text, oldest->Mask);
  return oldest->Usable ? &oldest->Mask : nullptr;
}

}  // namespace trilume

// SPDX-License-Identifier: MIT
#include "render/canvas/frame_canvas.h"

#include <algorithm>
#include <bit>

namespace trilume {

namespace {

// Both end points in 16 bits each, or 0 for lines reaching further (those
// are simply never left out). A line of length 0 is never held, so 0 is no
// line's key.
std::uint64_t LineKey(int x1, int y1, int x2, int y2) {
  const auto fits = [](int v) {
    return static_cast<std::uint32_t>(v) + 0x8000U <= 0xFFFFU;  // -32768..32767
  };
  if (!(fits(x1) && fits(y1) && fits(x2) && fits(y2))) return 0;
  const auto part = [](int v) { return std::uint64_t{static_cast<std::uint16_t>(v)}; };
  return part(x1) << 48 | part(y1) << 32 | part(x2) << 16 | part(y2);
}

// The smallest rectangle holding both; an empty one (Left >= Right or Top
// >= Bottom) holds nothing.
TRect Union(const TRect& a, const TRect& b) {
  if (b.Left >= b.Right || b.Top >= b.Bottom) return a;
  if (a.Left >= a.Right || a.Top >= a.Bottom) return b;
  return Rect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
              std::max(a.Bottom, b.Bottom));
}

}  // namespace

FrameCanvas::FrameCanvas(TCanvas& target, std::size_t expectedCalls) : Target(target) {
  Calls.reserve(expectedCalls);
  Last.reserve(expectedCalls);
  if (expectedCalls > 0) {
    Slots.resize(std::bit_ceil(2 * expectedCalls));
    Texts.reserve(kExpectedText);
    LastTexts.reserve(kExpectedText);
  }
  PenColor = target.GetPenColor();
  BrushColor = target.GetBrushColor();
  BrushStyle = target.GetBrushStyle();
  FontColor = target.GetFontColor();
  PenPos = target.GetPenPos();
}

void FrameCanvas::LineTo(int x, int y) {
  if (x != PenPos.X || y != PenPos.Y) {
    // Built in place, not copied in: it is the hottest path of a long trace.
    Call& call = Calls.emplace_back();
    call.X1 = PenPos.X;
    call.Y1 = PenPos.Y;
    call.X2 = x;
    call.Y2 = y;
    call.First = PenColor;
    if (const std::uint64_t key = LineKey(PenPos.X, PenPos.Y, x, y); key != 0) NoteLine(key);
  }
  PenPos = TPoint{x, y};
}

void FrameCanvas::Outlines(std::span<const TOutline> outlines) {
  const auto same = [](TPoint a, TPoint b) { return a.X == b.X && a.Y == b.Y; };
  for (std::size_t i = 0; i < outlines.size(); ++i) {
    const TOutline& o = outlines[i];
    PenColor = o.Colour;
    if (i + 1 < outlines.size()) {
      const TOutline& next = outlines[i + 1];
      // The next outline moves the pen on from here itself.
      if (same(o.P1, next.P1) && same(o.P2, next.P2) && same(o.P3, next.P3)) continue;
    }
    MoveTo(o.P1.X, o.P1.Y);
    LineTo(o.P2.X, o.P2.Y);
    LineTo(o.P3.X, o.P3.Y);
    LineTo(o.P1.X, o.P1.Y);
  }
}

void FrameCanvas::NoteLine(std::uint64_t key) {
  const std::size_t index = Calls.size() - 1;
  for (std::size_t i = 0; i < NearCount; ++i) {
    if (NearKeys[i] == key) {
      Calls[NearCalls[i]].Covered = true;
      NearCalls[i] = index;
      return;
    }
  }
  ++OpenLines;
  NearKeys[NearNext] = key;
  NearCalls[NearNext] = index;
  NearNext = (NearNext + 1) % kNearLines;
  NearCount = std::min(NearCount + 1, kNearLines);
}

void FrameCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Calls.push_back(
      Call{Call::Kind::kEllipse, false, BrushStyle, x1, y1, x2, y2, PenColor, BrushColor});
}

void FrameCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Calls.push_back(
      Call{Call::Kind::kRectangle, false, BrushStyle, x1, y1, x2, y2, PenColor, BrushColor});
}

void FrameCanvas::FillRect(const TRect& rect) {
  Calls.push_back(Call{Call::Kind::kFillRect, false, BrushStyle, rect.Left, rect.Top, rect.Right,
                       rect.Bottom, BrushColor, 0});
}

void FrameCanvas::TextOut(int x, int y, std::string_view text) {
  if (text.empty()) return;  // draws nothing
  Calls.push_back(Call{Call::Kind::kText, false, BrushStyle, x, y, static_cast<int>(Texts.size()),
                       static_cast<int>(text.size()), FontColor, BrushColor});
  Texts.append(text);
}

void FrameCanvas::DropCoveredLines() {
  // At most half full, so probes stay short; sized by the lines not yet
  // known to be covered, so that a long trace's table stays in the cache.
  const std::size_t size = std::bit_ceil(std::max<std::size_t>(2 * OpenLines, 16));
  if (Slots.size() < size) {
    Slots.assign(size, Slot{});
    Stamp = 0;
  }
  if (++Stamp == 0) {
    std::fill(Slots.begin(), Slots.end(), Slot{});
    Stamp = 1;
  }
  // Only the first `size` slots: a table grown for a longer unit is not
  // walked whole.
  const std::size_t mask = size - 1;
  const int shift = 64 - std::countr_zero(size);
  // From the last call back: the first time a line is met is its last
  // drawing, and every earlier one is covered by it. What stays is packed
  // towards the end, then moved to the front.
  std::size_t kept = Calls.size();
  for (std::size_t i = Calls.size(); i-- > 0;) {
    const Call& call = Calls[i];
    if (call.Covered) continue;
    if (call.Op == Call::Kind::kLine) {
      if (const std::uint64_t key = LineKey(call.X1, call.Y1, call.X2, call.Y2); key != 0) {
        std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> shift);
        while (Slots[slot].Stamp == Stamp && Slots[slot].Key != key) slot = (slot + 1) & mask;
        if (Slots[slot].Stamp == Stamp) continue;
        Slots[slot] = Slot{key, Stamp};
      }
    }
    Calls[--kept] = call;
  }
  Calls.erase(Calls.begin(), Calls.begin() + static_cast<std::ptrdiff_t>(kept));
}

bool FrameCanvas::SameCall(const Call& a, std::string_view aTexts, const Call& b,
                           std::string_view bTexts) {
  if (a.Op != b.Op || a.Style != b.Style || a.X1 != b.X1 || a.Y1 != b.Y1 || a.First != b.First ||
      a.Second != b.Second) {
    return false;
  }
  if (a.Op != Call::Kind::kText) return a.X2 == b.X2 && a.Y2 == b.Y2;
  return aTexts.substr(static_cast<std::size_t>(a.X2), static_cast<std::size_t>(a.Y2)) ==
         bTexts.substr(static_cast<std::size_t>(b.X2), static_cast<std::size_t>(b.Y2));
}

std::size_t FrameCanvas::SameHead() const {
  const std::size_t shorter = std::min(Calls.size(), Last.size());
  std::size_t head = 0;
  while (head < shorter && SameCall(Calls[head], Texts, Last[head], LastTexts)) ++head;
  return head;
}

TRect FrameCanvas::NoteChanges(std::size_t head) {
  TRect unit{};  // Left == Right: nothing
  const std::size_t shorter = std::min(Calls.size(), Last.size());
  std::size_t tail = 0;
  while (tail < shorter - head &&
         SameCall(Calls[Calls.size() - 1 - tail], Texts, Last[Last.size() - 1 - tail], LastTexts)) {
    ++tail;
  }
  const auto add = [&unit](const Call& call) {
    if (call.Op == Call::Kind::kText) {
      unit = kEverywhere;  // its size is the font's business
      return;
    }
    // A line's end point is not drawn, but counting it costs nothing. In 64
    // bits and pinned to kEverywhere: calls take any int coordinates.
    const std::int64_t grow = call.Op == Call::Kind::kLine ? 1 : 0;
    const auto pin = [](std::int64_t v) {
      return static_cast<int>(std::clamp<std::int64_t>(v, kEverywhere.Left, kEverywhere.Right));
    };
    const TRect box = Rect(pin(std::min(call.X1, call.X2)), pin(std::min(call.Y1, call.Y2)),
                           pin(std::int64_t{std::max(call.X1, call.X2)} + grow),
                           pin(std::int64_t{std::max(call.Y1, call.Y2)} + grow));
    unit = Union(unit, box);
  };
  for (std::size_t i = head; i < Calls.size() - tail; ++i) add(Calls[i]);
  for (std::size_t i = head; i < Last.size() - tail; ++i) add(Last[i]);
  Changed = Union(Changed, unit);
  return unit;
}

void FrameCanvas::Draw(const Call& call, std::string_view texts) {
  switch (call.Op) {
    case Call::Kind::kLine:
      Target.SetPenColor(call.First);
      Target.MoveTo(call.X1, call.Y1);
      Target.LineTo(call.X2, call.Y2);
      return;
    case Call::Kind::kEllipse:
    case Call::Kind::kRectangle:
      Target.SetPenColor(call.First);
      Target.SetBrushColor(call.Second);
      Target.SetBrushStyle(call.Style);
      if (call.Op == Call::Kind::kEllipse) {
        Target.Ellipse(call.X1, call.Y1, call.X2, call.Y2);
      } else {
        Target.Rectangle(call.X1, call.Y1, call.X2, call.Y2);
      }
      return;
    case Call::Kind::kFillRect:
      Target.SetBrushColor(call.First);
      Target.SetBrushStyle(call.Style);
      Target.FillRect(Rect(call.X1, call.Y1, call.X2, call.Y2));
      return;
    case Call::Kind::kText:
      Target.SetFontColor(call.First);
      Target.SetBrushColor(call.Second);
      Target.SetBrushStyle(call.Style);
      Target.TextOut(
          call.X1, call.Y1,
          texts.substr(static_cast<std::size_t>(call.X2), static_cast<std::size_t>(call.Y2)));
      return;
  }
}

void FrameCanvas::SetTargetState() {
  Target.SetPenColor(PenColor);
  Target.SetBrushColor(BrushColor);
  Target.SetBrushStyle(BrushStyle);
  Target.SetFontColor(FontColor);
  Target.MoveTo(PenPos.X, PenPos.Y);
}

bool FrameCanvas::Present() {
  bool drew = false;
  if (!Calls.empty()) {
    DropCoveredLines();
    // The last drawing of every line stays, so nothing was dropped from a
    // unit unless something of it is left.
    const std::size_t head = SameHead();
    if (head != Calls.size() || head != Last.size()) {
      // Only where a differing call reaches can a pixel change: the target
      // may leave the rest alone.
      const TRect changed = NoteChanges(head);
      Target.LimitTo(changed);
      for (const Call& call : Calls) Draw(call, Texts);
      Target.LimitTo(kEverywhere);
      Calls.swap(Last);
      Texts.swap(LastTexts);
      drew = true;
    }
    Calls.clear();
    Texts.clear();
    NearCount = 0;
    NearNext = 0;
    OpenLines = 0;
  }
  SetTargetState();
  return drew;
}

bool FrameCanvas::Mirror(const FrameCanvas& shown) {
  if (!shown.Calls.empty()) return false;
  Calls.clear();
  Texts.clear();
  NearCount = 0;
  NearNext = 0;
  OpenLines = 0;
  Last = shown.Last;
  LastTexts = shown.LastTexts;
  PenColor = shown.PenColor;
  BrushColor = shown.BrushColor;
  BrushStyle = shown.BrushStyle;
  FontColor = shown.FontColor;
  PenPos = shown.PenPos;
  Changed = TRect{};
  return true;
}

TRect FrameCanvas::TakeChanged() {
  const TRect changed = Changed;
  Changed = TRect{};
  return changed;
}

}  // namespace trilume

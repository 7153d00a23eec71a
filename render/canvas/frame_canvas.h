// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "render/canvas/canvas.h"

namespace trilume {

// Holds back drawing calls and hands them to a target canvas at Present(),
// leaving out what cannot change the picture. The calls between two
// Present()s make a unit, usually one frame.
//  - A line is left out when a later line of the same unit has the same two
//    end points: that one covers the very same pixels afterwards, whatever
//    its colour and whatever is drawn in between. A long trace draws most of
//    its lines many times over.
//  - A unit is left out whole when what remains of it equals the last unit
//    drawn, call for call. Every call sets each pixel it touches to a value
//    that depends on the call alone (no blending, patterns tied to the
//    canvas origin), so drawing the same unit again changes nothing. A
//    steady clock repeats its frame most of the time.
// Contract: after Present(), the target's pixels are those it would have if
// every call had gone straight to it, provided nothing else draws on the
// target; call Forget() after anything else has. The target's pen, brush,
// font and pen position then equal this canvas's. Until Present() the calls
// are not on the target. Memory follows the largest unit and is reused: a
// steady run of frames allocates nothing.
// Where a drawn unit can have changed pixels is known too: outside the calls
// that differ from the last unit drawn (all but the equal ones at its start
// and at its end), every pixel is touched by the same calls in the same
// order as last time, so it keeps its value.
class FrameCanvas final : public TCanvas {
 public:
  // The target must outlive this canvas. Room for `expectedCalls` calls a
  // unit is made at once, so that units up to that size never allocate.
  explicit FrameCanvas(TCanvas& target, std::size_t expectedCalls = 0);

  void LineTo(int x, int y) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void Rectangle(int x1, int y1, int x2, int y2) override;
  void FillRect(const TRect& rect) override;
  void TextOut(int x, int y, std::string_view text) override;
  // An outline that the next one of the same call repeats point for point
  // is covered by it whole and is not even held.
  void Outlines(std::span<const TOutline> outlines) override;

  // Draws the unit on the target, unless it repeats the last one drawn.
  // Returns whether it drew.
  bool Present();
  // The next unit is drawn even if it repeats the last one.
  void Forget() { Last.clear(); }
  // Makes this canvas take up where `shown` is: the same last unit drawn,
  // pen, brush, font and pen position, and no calls held. The Present() of
  // the next unit then draws exactly when `shown`'s would. False, and
  // nothing taken, while `shown` holds calls not yet presented.
  bool Mirror(const FrameCanvas& shown);
  // A rectangle holding every target pixel that Present() changed since the
  // last call of this one: empty when nothing was drawn, kEverywhere when a
  // text differs.
  TRect TakeChanged();
  static constexpr TRect kEverywhere = Rect(-(1 << 30), -(1 << 30), 1 << 30, 1 << 30);

 private:
  // 32 bytes: a long trace holds thousands of lines a frame.
  struct Call {
    enum class Kind : std::uint8_t { kLine, kEllipse, kRectangle, kFillRect, kText };
    Kind Op = Kind::kLine;
    bool Covered = false;  // a later line of the unit has the same end points
    int Style = 0;         // the brush style, for all but lines
    // A text's X2 and Y2 are where it starts in the unit's text store and
    // its size.
    int X1 = 0;
    int Y1 = 0;
    int X2 = 0;
    int Y2 = 0;
    // Only the colours the call draws with; a line's pen, a fill's brush,
    // a text's font, an ellipse's or rectangle's pen. Unused ones stay 0 so
    // that they cannot tell two equal calls apart.
    TColor First = 0;
    TColor Second = 0;  // the brush of an ellipse, rectangle or text
  };
  // Lines this many back are compared at once: a triangle's edge mostly
  // repeats the same edge of the triangle drawn just before.
  static constexpr std::size_t kNearLines = 4;
  // Text bytes a unit is given room for: a frame writes a few numerals.
  static constexpr std::size_t kExpectedText = 256;

  void NoteLine(std::uint64_t key);
  void DropCoveredLines();
  static bool SameCall(const Call& a, std::string_view aTexts, const Call& b,
                       std::string_view bTexts);
  // How many calls at the start equal the last unit's.
  std::size_t SameHead() const;
  void Draw(const Call& call, std::string_view texts);
  // Adds where the unit can change pixels to Changed, and returns it.
  TRect NoteChanges(std::size_t head);
  void SetTargetState();

  TCanvas& Target;
  std::vector<Call> Calls;  // this unit's
  std::string Texts;
  std::vector<Call> Last;  // the last unit drawn, without its covered lines
  std::string LastTexts;
  // Open addressing on the packed end points of the unit's lines. A slot is
  // in use when its stamp is this unit's; clearing is a new stamp.
  struct Slot {
    std::uint64_t Key = 0;
    std::uint32_t Stamp = 0;
  };
  std::vector<Slot> Slots;
  std::uint32_t Stamp = 0;
  // The unit's last few lines that can be left out, by key and place, and
  // how many such lines are not yet known to be covered.
  std::array<std::uint64_t, kNearLines> NearKeys{};
  std::array<std::size_t, kNearLines> NearCalls{};
  std::size_t NearCount = 0;
  std::size_t NearNext = 0;
  std::size_t OpenLines = 0;
  TRect Changed{};  // Left == Right: nothing
};

}  // namespace trilume

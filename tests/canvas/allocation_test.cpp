// The frame's canvas calls, once their shapes and texts are kept, must not
// touch the heap: no QPainter, no QString. Counts operator new and, where no
// sanitizer owns the allocator, malloc itself (Qt's containers and images
// allocate with malloc).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>

#include "render/raster_canvas.h"

namespace {

bool gCounting = false;
long gAllocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  if (gCounting) ++gAllocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define TRILUME_SANITIZED_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TRILUME_SANITIZED_ALLOCATOR 1
#endif

#ifndef TRILUME_SANITIZED_ALLOCATOR
// glibc's own entry points, so that the program's malloc can count and pass
// on; blocks stay glibc's and free as usual.
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);

extern "C" void* malloc(std::size_t size) {
  if (gCounting) ++gAllocations;
  return __libc_malloc(size);
}
extern "C" void* calloc(std::size_t count, std::size_t size) {
  if (gCounting) ++gAllocations;
  return __libc_calloc(count, size);
}
extern "C" void* realloc(void* block, std::size_t size) {
  if (gCounting) ++gAllocations;
  return __libc_realloc(block, size);
}
#endif

namespace trilume {
namespace {

// The canvas calls of a frame at the design values, plus the hatched and
// cleared ellipse fills and texts under a hatched brush.
void DrawFrameShapes(RasterCanvas& canvas, int style) {
  canvas.SetBrushColor(kNavy);
  canvas.SetBrushStyle(style);
  canvas.FillRect(Rect(0, 0, 280, 310));
  canvas.SetPenColor(kWhite);
  canvas.Ellipse(22, 23, 249, 253);
  canvas.SetBrushColor(kBlue);
  canvas.SetBrushStyle(kBsSolid);
  canvas.Ellipse(132, 134, 139, 141);
  canvas.SetBrushStyle(style);
  canvas.Ellipse(-3, 300, 9, 312);
  canvas.TextOut(130, 2, "12");
  canvas.TextOut(261, 127, "3 ");
  canvas.TextOut(130, 261, "6 ");
  canvas.TextOut(2, 127, "9 ");
  canvas.TextOut(-3, 770, "9 ");
  canvas.MoveTo(10, 10);
  canvas.LineTo(200, 150);
  canvas.Rectangle(5, 5, 50, 60);
}

TEST(AllocationTest, KeptEllipsesAndTextsAllocateNothing) {
  auto canvas = std::make_unique<RasterCanvas>();
  for (const int style : {kBsSolid, kBsBDiagonal, kBsClear}) {
    for (int warmUp = 0; warmUp < 3; ++warmUp) DrawFrameShapes(*canvas, style);
  }

  gAllocations = 0;
  gCounting = true;
  for (int frame = 0; frame < 50; ++frame) {
    for (const int style : {kBsSolid, kBsBDiagonal, kBsClear, kBsDiagCross}) {
      DrawFrameShapes(*canvas, style);
    }
  }
  gCounting = false;
  EXPECT_EQ(gAllocations, 0);
}

// The counter itself works: an ellipse size met for the first time goes
// through QPainter, which allocates.
TEST(AllocationTest, FirstDrawOfANewSizeIsCounted) {
  RasterCanvas canvas(100, 100);
  gAllocations = 0;
  gCounting = true;
  canvas.Ellipse(10, 10, 61, 43);
  gCounting = false;
  EXPECT_GT(gAllocations, 0);
}

}  // namespace
}  // namespace trilume

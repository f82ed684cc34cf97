// The frame loop allocates nothing: every frame after the first runs on the
// memory the scene set up once. Counts every operator new of the process.
#include "app/scene_hooks.h"
#include "app/scene_objects.h"
#include "gl_recorder.h"
#include "support/frame_clock.h"
#include "support/random.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocations{0};
double simulatedMs = 0.0;
double simulatedClock() {
    return simulatedMs;
}
} // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

TEST(FrameAllocation, AThousandFramesAfterTheFirstAllocateNothing) {
    // The recorder models the GL state but keeps no log, so that its own
    // bookkeeping is not counted.
    glrec::reset();
    glrec::setRecording(false);
    setMillisecondSource(simulatedClock);
    randomSeed(99);
    InitialiseScene(1280, 720);
    simulatedMs = 16.0;
    RenderFrame();

    const long before = allocations.load();
    for (int frame = 2; frame <= 1001; ++frame) {
        simulatedMs = frame * 16.0;
        RenderFrame();
    }
    const long during = allocations.load() - before;
    setMillisecondSource(nullptr);
    glrec::setRecording(true);
    EXPECT_EQ(during, 0) << "heap allocations in 1000 frames";
    // Those frames cut the bars to the rows drawn and bounded the smoke by
    // what the glow wrote into the depth buffer.
    EXPECT_LT(viewportLayout.drawnRowsEnd - viewportLayout.drawnRowsBegin, 720);
    EXPECT_FALSE(viewportLayout.depthMarks.box.empty());

    // The count is live: an allocation here is seen. (A direct call: the
    // compiler may leave out the allocation of a new-expression.)
    const long now = allocations.load();
    ::operator delete(::operator new(16));
    EXPECT_EQ(allocations.load(), now + 1);
}

} // namespace

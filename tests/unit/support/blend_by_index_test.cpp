#include "gl_recorder.h"
#include "support/blend_by_index.h"

#include <gtest/gtest.h>

namespace {

TEST(SetBlendByIndex, PicksFromTheSourceAndDestinationLists) {
    glrec::reset();
    setBlendByIndex(1, 6); // the scene's switches
    setBlendByIndex(2, 3); // the particles
    setBlendByIndex(0, 0);
    setBlendByIndex(8, 7); // the last entry of each list
    setBlendByIndex(6, 2); // a destination colour only exists as a source factor
    EXPECT_EQ(glrec::calls(),
              (std::vector<glrec::Call>{
                  glrec::call("glBlendFunc", {GL_ONE, GL_SRC_COLOR}),
                  glrec::call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}),
                  glrec::call("glBlendFunc", {GL_ZERO, GL_ZERO}),
                  glrec::call("glBlendFunc", {GL_SRC_ALPHA_SATURATE, GL_ONE_MINUS_SRC_COLOR}),
                  glrec::call("glBlendFunc", {GL_DST_COLOR, GL_SRC_ALPHA}),
              }));
}

} // namespace

#include "support/blend_by_index.h"

#include "support/gl_api.h"

#include <cassert>

namespace {

const GLenum sourceFactors[blendSourceFactorCount] = {
    GL_ZERO,
    GL_ONE,
    GL_SRC_ALPHA,
    GL_ONE_MINUS_SRC_ALPHA,
    GL_DST_ALPHA,
    GL_ONE_MINUS_DST_ALPHA,
    GL_DST_COLOR,
    GL_ONE_MINUS_DST_COLOR,
    GL_SRC_ALPHA_SATURATE,
};

const GLenum destinationFactors[blendDestinationFactorCount] = {
    GL_ZERO,      GL_ONE,
    GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
    GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
    GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
};

} // namespace

void setBlendByIndex(int sourceIndex, int destinationIndex) {
    assert(sourceIndex >= 0 && sourceIndex < blendSourceFactorCount);
    assert(destinationIndex >= 0 && destinationIndex < blendDestinationFactorCount);
    glBlendFunc(sourceFactors[sourceIndex], destinationFactors[destinationIndex]);
}

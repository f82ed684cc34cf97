// Blend factors chosen by small integer indexes, as the scene's switches name
// them.
#pragma once

// Number of entries in each factor list; callers keep indexes below these.
constexpr int blendSourceFactorCount = 9;
constexpr int blendDestinationFactorCount = 8;

// glBlendFunc with entry `sourceIndex` of GL_ZERO, GL_ONE, GL_SRC_ALPHA,
// GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA, GL_DST_COLOR,
// GL_ONE_MINUS_DST_COLOR, GL_SRC_ALPHA_SATURATE and entry `destinationIndex`
// of GL_ZERO, GL_ONE, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA,
// GL_ONE_MINUS_DST_ALPHA, GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR.
void setBlendByIndex(int sourceIndex, int destinationIndex);

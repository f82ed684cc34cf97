// Writes the scene's generated textures as PNG images, for looking at them and
// for comparing runs.
#pragma once

#include <cstdint>
#include <string>

// Configures the scene in an offscreen GL context from `seed`, as a run with
// that seed does, and writes its eleven textures as `directory`/NN-NAME.png
// (00-SMOKE.png, 01-FOG.png, ..., 10-GRILLE.png), creating the directory when
// it is missing. The set is written all or nothing: checked before anything
// is drawn (output_file.h says which files may be replaced), written to
// temporary files, and put in place only once every image is written; on
// failure no new file of the set, and no folder made for it, is left.
// Each file is 256 × 256 RGBA whose row k is texture row k as uploaded, byte
// for byte (texture row 0 is the bottom of a drawn quad, the top of the file).
// False, with the reason in `error`, when no GL context can be made or a file
// cannot be written.
bool exportSceneTextures(const std::string& directory, std::uint32_t seed, std::string& error);

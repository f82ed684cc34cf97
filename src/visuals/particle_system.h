// Textured, tinted square sprites at fixed points near the origin, each turned
// to face the camera and spun by its own angle about the line of sight. They
// are placed once; each frame draws them all as translucent squares whose
// opacity the caller passes in.
#pragma once

class Texture;
struct Camera;
struct DepthMarks;
struct WindowProjection;

struct ParticleSystem {
    // Capacity: the particle arrays are fixed, nothing is allocated.
    static constexpr int maxParticles = 5001;

    // Particles in use; `initialise` keeps it within 0 to maxParticles. (100)
    int count;
    // Where the particles lie: 1 cube shell, 2 upper half of a spherical
    // shell, any other value a spherical shell. (1)
    int shape;
    int alphaTest;        // draw with the alpha test on (0)
    int blend;            // draw with blending on (1)
    int blendSource;      // source factor, an index of setBlendByIndex (0)
    int blendDestination; // destination factor, an index of setBlendByIndex (0)
    int depthTest;        // draw with the depth test on (1)
    int depthWrite;       // depth writes on while drawing (0)
    // Read by the frame: fog is on for the particles only when this and the
    // scene's fog switch are both set. (0)
    int useFog;
    float alphaRef;       // the alpha test passes fragments of at least this alpha (0.05)
    float alphaScale;     // factor on the opacity passed to `draw` (1)
    float size;           // edge of the cube, or diameter of the sphere, holding the particles (2)
    float spriteHalfSize; // half the edge of every particle's square, world units (0.1)
    float innerSize;      // edge or diameter of the empty region at the centre (0)
    // Colour levels: nine particles in ten take each channel from
    // [brightLevel, brightLevel + dimLevel), the others from
    // [dimLevel, dimLevel + brightLevel). (0.4, 0.9)
    float dimLevel;
    float brightLevel;
    // Bounds of the wrap box; kept for configurations, no step here reads
    // them. (−1, 1)
    float wrapMin;
    float wrapMax;

    // One entry per particle, indexed by particle number.
    float posX[maxParticles] = {}; // position, world units
    float posY[maxParticles] = {};
    float posZ[maxParticles] = {};
    float red[maxParticles] = {}; // base colour, 0 to 1
    float green[maxParticles] = {};
    float blue[maxParticles] = {};
    float velX[maxParticles] = {}; // velocity, world units per second; not used
    float velY[maxParticles] = {};
    float velZ[maxParticles] = {};
    float angle[maxParticles] = {};      // spin about the line of sight, degrees
    float brightness[maxParticles] = {}; // factor on the colour
    float fadeRate[maxParticles] = {};   // speed of a brightness ramp, per second

    // The sprite image, owned elsewhere; null draws plain squares. (null)
    Texture* texture;

    // Sets the defaults; makes no GL call.
    ParticleSystem();
    virtual ~ParticleSystem() = default;

    // Places the particles in use and draws their colour, fade rate and
    // angle; sets their brightness to 1. Keeps `count` within 0 to
    // maxParticles and lowers `innerSize` to 0.9 × `size` at most. When no
    // particle can lie between the inner and the outer half-extent, no
    // particle is in use afterwards (`count` 0). Makes no GL call.
    void initialise();
    // Draws the particles in use, in index order, facing `camera` (its pitch
    // and yaw are read) with alpha `opacity` × `alphaScale`. Sets the alpha
    // test, blending, depth test, depth mask and texturing as its fields ask,
    // and turns off afterwards what it turned on; the depth mask stays.
    //
    // Given `window`, which maps the camera's eye coordinates onto the
    // window while its view is the current modelview matrix, each square is
    // scissored to the pixels where its fragments can pass the alpha test:
    // band by band of rows, the box of the part of it where the texture's
    // alpha outline reaches the level the colour's alpha needs. Given `depthMarks` too, what has
    // been written into the depth buffer, a square whose depths lie below
    // all of it within its box is drawn without the depth test (GL_LESS),
    // which could fail none of its fragments. Either way every pixel gets
    // the colour a plain draw gives it.
    void draw(const Camera& camera, float opacity, const WindowProjection* window = nullptr,
              const DepthMarks* depthMarks = nullptr);

    // `count` within 0 to maxParticles.
    int particlesInUse() const;

private:
    // Where the alpha test can pass a fragment of colour alpha `alpha`, as
    // corners (s, t) of texture coordinates; returns their number, 0 when
    // nowhere.
    int passRegion(float alpha, double (*corners)[2]) const;
    // Particle `i`'s square, scissored to the box of `region` on the window;
    // `depthOn` follows the depth test as the squares switch it.
    void drawBounded(int i, const Camera& camera, const double (*region)[2], int corners,
                     const WindowProjection& window, const DepthMarks* depthMarks,
                     bool& depthOn) const;
};

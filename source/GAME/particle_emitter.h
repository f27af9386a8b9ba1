// Particle emitters: the spray at the waterfall's foot and the small bubbles rising from the
// bottom of the field. Records live in one growable array; a free record has no sprite.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "SYS/crt_rand.h"

class Sprite;

struct Particle {
    int age = 0;  // ms
    int life = 0; // ms
    float x = 0, y = 0, vx = 0, vy = 0, ax = 0, ay = 0;
    Sprite* sprite = nullptr; // one of the emitter's pictures; none: the record is free
};

class ParticleEmitter {
public:
    static constexpr int kInitialRecords = 2000;
    // Records never grow past this, so a run of updates that frees nothing stays bounded.
    static constexpr int kMaxRecords = 16000;
    static constexpr uint32_t kSeed = 125423;

    // `maxRecords` bounds the array (tests use small ones).
    explicit ParticleEmitter(float rate, int maxRecords = kMaxRecords);
    virtual ~ParticleEmitter();
    ParticleEmitter(const ParticleEmitter&) = delete;
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;

    // Moves and ages every live particle, frees the finished ones, then emits by rate and carry.
    void update(float dt);
    void draw();
    void setPoint(float x, float y) {
        pointX = x;
        pointY = y;
    }
    void setYOffset(int offset) { yOffset = offset; }
    // Frees one particle (the game screen pops rising bubbles at the surface), or every one.
    void free(Particle& p);
    void clear();

    int LiveCount() const;
    std::vector<Particle>& Records() { return records_; }
    int Capacity() const { return int(records_.size()); }

    float pointX = 0, pointY = 0; // emission point
    int yOffset = 0;              // added to every particle's y when drawn
    float rate;                   // particles per update
    float carry = 0.0f;           // the fraction of a particle not yet emitted
    sys::CrtRandom random{kSeed};

    // rand(n) of the emitter's generator: n * value / 32768.
    int Rand(int n) { return int(int64_t(n) * random.Next() / 32768); }
    // A value in [0, 1).
    float Unit() { return float(random.Next()) / 32768.0f; }

protected:
    // Fills a new particle; false emits nothing (no picture to show).
    virtual bool spawn(Particle& p) = 0;
    // One update of a live particle; false frees it.
    virtual bool move(Particle& p, float dt) = 0;
    virtual unsigned drawFlags() const { return 0; }

private:
    Particle* newRecord();

    std::vector<Particle> records_;
    size_t maxRecords_;
    size_t search_ = 0; // moving search position for a free record
};

// The waterfall's spray: one particle per update, life 1000 ms, pictures DATA\sputter0000.tga
// .. DATA\sputter0005.tga, falling back under gravity.
class SprayEmitter : public ParticleEmitter {
public:
    SprayEmitter();
    ~SprayEmitter() override;
    static constexpr int kPictures = 6;

protected:
    bool spawn(Particle& p) override;
    bool move(Particle& p, float dt) override;

private:
    Sprite* pictures_[kPictures] = {};
};

// Small bubbles rising from the field's bottom on a sine wobble, one per 25 updates, drawn
// additively; picture DATA\bubsmall.tga.
class RisingBubbleEmitter : public ParticleEmitter {
public:
    RisingBubbleEmitter();
    ~RisingBubbleEmitter() override;
    static const float* Sines(); // 256 entries, entry k = sin(k * pi / 128)

protected:
    bool spawn(Particle& p) override;
    bool move(Particle& p, float dt) override;
    unsigned drawFlags() const override;

private:
    Sprite* picture_ = nullptr;
};

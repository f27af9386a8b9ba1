#include "GAME/particle_emitter.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "BASE/rnd.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"

namespace {

// A step longer than this is no frame of the game; negative or non-finite steps are none.
constexpr float kLongestStepMs = 100000.0f;
// Particles this far from the screen are not drawn (and their coordinates stay integers).
constexpr float kDrawLimit = 100000.0f;

float UsableStep(float dt) {
    if (!(dt > 0.0f)) return 0.0f;
    return std::min(dt, kLongestStepMs);
}

} // namespace

ParticleEmitter::ParticleEmitter(float emissionRate, int maxRecords)
    : rate(emissionRate), maxRecords_(size_t(std::max(maxRecords, 1))) {
    records_.resize(std::min(size_t(kInitialRecords), maxRecords_));
}

ParticleEmitter::~ParticleEmitter() = default;

Particle* ParticleEmitter::newRecord() {
    const size_t n = records_.size();
    for (size_t k = 0; k < n; ++k) {
        const size_t i = (search_ + k) % n;
        if (!records_[i].sprite) {
            search_ = i + 1;
            return &records_[i];
        }
    }
    if (n >= maxRecords_) return nullptr;
    records_.resize(std::min(n * 2, maxRecords_));
    search_ = n + 1;
    return &records_[n];
}

void ParticleEmitter::free(Particle& p) {
    p = Particle{};
}

void ParticleEmitter::clear() {
    for (Particle& p : records_) free(p);
    search_ = 0;
    carry = 0.0f;
}

void ParticleEmitter::update(float dt) {
    dt = UsableStep(dt);
    for (Particle& p : records_)
        if (p.sprite && !move(p, dt)) free(p);
    carry += rate;
    while (carry > 0.0f) {
        carry -= 1.0f;
        Particle* p = newRecord();
        if (!p) {
            carry = 0.0f; // full: what cannot be emitted now is dropped, not saved up
            break;
        }
        if (!spawn(*p)) free(*p);
    }
}

void ParticleEmitter::draw() {
    if (!RenderSurface) return;
    const unsigned flags = drawFlags();
    for (const Particle& p : records_) {
        if (!p.sprite || !(std::fabs(p.x) < kDrawLimit && std::fabs(p.y) < kDrawLimit)) continue;
        RenderSurface->DrawSprite(rnd(p.x), rnd(p.y) + yOffset, p.sprite, flags, 0.0f);
    }
}

int ParticleEmitter::LiveCount() const {
    return int(std::count_if(records_.begin(), records_.end(),
                             [](const Particle& p) { return p.sprite != nullptr; }));
}

// --- Spray ---------------------------------------------------------------------------------------

SprayEmitter::SprayEmitter() : ParticleEmitter(1.0f) {
    for (int i = 0; i < kPictures; ++i) {
        const std::string file = "DATA\\sputter000" + std::to_string(i) + ".tga";
        pictures_[i] = LoadHeldSprite(file.c_str());
    }
}

SprayEmitter::~SprayEmitter() {
    clear();
    for (Sprite*& picture : pictures_) {
        if (picture) picture->Release();
        picture = nullptr;
    }
}

bool SprayEmitter::spawn(Particle& p) {
    p.life = 1000;
    p.age = 0;
    p.x = float(70 + Rand(410));
    p.y = float(430 + Rand(20));
    p.vx = 2.0f * Unit() - 1.0f;
    p.vy = -2.0f - 2.0f * Unit();
    p.ax = (2.0f * Unit() - 1.0f) * 0.0001f;
    p.ay = 0.01f;
    p.sprite = pictures_[Rand(kPictures)];
    return p.sprite != nullptr;
}

bool SprayEmitter::move(Particle& p, float dt) {
    p.age += rnd(dt);
    p.x += p.vx;
    p.y += p.vy;
    p.vx += dt * p.ax;
    p.vy += dt * p.ay;
    return p.age < p.life && !(p.y > 480.0f);
}

// --- Rising bubbles ------------------------------------------------------------------------------

const float* RisingBubbleEmitter::Sines() {
    static const auto table = [] {
        std::vector<float> t(256);
        for (int i = 0; i <= 510; i += 2) t[size_t(i / 2)] = float(std::sin(i * 0.012271836));
        return t;
    }();
    return table.data();
}

RisingBubbleEmitter::RisingBubbleEmitter() : ParticleEmitter(0.04f) {
    picture_ = LoadHeldSprite("DATA\\bubsmall.tga");
}

RisingBubbleEmitter::~RisingBubbleEmitter() {
    clear();
    if (picture_) picture_->Release();
}

bool RisingBubbleEmitter::spawn(Particle& p) {
    p.x = pointX;
    p.y = pointY;
    p.life = 5000;
    p.age = Rand(2500);
    p.vx = 0.0f;
    p.vy = -1.0f - Unit();
    p.ax = 0.0f;
    p.ay = -0.0002f;
    p.sprite = picture_;
    return p.sprite != nullptr;
}

bool RisingBubbleEmitter::move(Particle& p, float dt) {
    p.age += rnd(dt);
    p.x += Sines()[(p.age >> 2) & 255];
    p.y += p.vy;
    p.vy += dt * p.ay;
    return p.age < p.life && !(p.y > 480.0f) && !(p.y < 0.0f);
}

unsigned RisingBubbleEmitter::drawFlags() const {
    return OP_ADD;
}

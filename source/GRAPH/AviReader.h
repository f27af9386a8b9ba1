// AVI pictures: the first video stream of a RIFF 'AVI ' file, uncompressed device-independent
// bitmap frames read from the 'movi' list on demand (found through 'idx1' when it is usable).
#pragma once
#include <vector>

#include "GRAPH/PictureReader.h"
#include "GRAPH/RiffFile.h"

class AviReader : public ConvertingReader {
public:
    int Open(const char* fileName) override;

protected:
    bool FrameAt(int position, PixelSource& source) override;

private:
    struct Stream; // what the stream headers say

    bool FindVideoStream(const RiffChunk& headerList, Stream& stream);
    bool IndexFrames(const RiffChunk& index, const RiffChunk& movie, const Stream& stream);
    // Walks the 'movi' list (and its 'rec ' groups); stops at the first frame chunk that lies.
    void ScanFrames(const RiffChunk& movie, const Stream& stream);
    // Takes the frame chunk at `offset` if it holds a whole frame after the previous one.
    bool AddFrame(uint64_t offset, const RiffChunk& movie, const Stream& stream);
    int SampleAt(int position) const;

    RiffFile file_;
    std::vector<uint64_t> frameOffsets_; // data offset of each frame chunk
    uint64_t framesEnd_ = 0;             // end of the last frame chunk taken
    uint64_t frameBytes_ = 0;
    int stride_ = 0;
    bool topDown_ = false;
    uint32_t scale_ = 1;
    uint32_t rate_ = 1;
    std::vector<uint8_t> frame_; // the frame last read
};

#pragma once
// The arithmetic coder of HEVC (and H.264) CABAC, encoding side: the mirror of
// the decoder's engine, bin for bin, written into a bit writer.
//
// A context is the adaptive probability of one context-coded bin: a state of
// 0..62 (how sure) and the value it expects. Bypass bins are equiprobable;
// terminate bins are the nearly-certain "end here" flags (end of slice, PCM).
#include <cstdint>

#include "tools/tsgen/bit_writer.h"

namespace tsgen {

struct CabacContext {
    std::uint8_t state = 0;  // pStateIdx
    std::uint8_t mps = 0;    // valMps
};

// A context's starting point from its initValue and the slice's QP.
CabacContext InitialContext(int initValue, int sliceQp);

class CabacWriter {
public:
    explicit CabacWriter(BitWriter& out) : out_(out) {}

    void Decision(CabacContext& context, int bin);
    void Bypass(int bin);
    // A terminate bin of 1 flushes the coder: the bits written end on a one
    // (the stop bit when it ends the slice) and the next bits are raw, so
    // Restart() is due before any further bin.
    void Terminate(int bin);
    void Restart();

private:
    void Renormalise();
    void PutBit(int bit);

    BitWriter& out_;
    std::uint32_t low_ = 0;
    std::uint32_t range_ = 510;
    std::uint32_t outstanding_ = 0;
    bool firstBit_ = true;
};

}  // namespace tsgen

#include "tools/tsgen/cabac_writer.h"

#include <algorithm>

namespace tsgen {
namespace {

// Width of the least probable symbol's sub-range, by state and by bits 7..6
// of the current range.
constexpr std::uint8_t kRangeLps[64][4] = {
    {128, 176, 208, 240}, {128, 167, 197, 227}, {128, 158, 187, 216}, {123, 150, 178, 205},
    {116, 142, 169, 195}, {111, 135, 160, 185}, {105, 128, 152, 175}, {100, 122, 144, 166},
    {95, 116, 137, 158},  {90, 110, 130, 150},  {85, 104, 123, 142},  {81, 99, 117, 135},
    {77, 94, 111, 128},   {73, 89, 105, 122},   {69, 85, 100, 116},   {66, 80, 95, 110},
    {62, 76, 90, 104},    {59, 72, 86, 99},     {56, 69, 81, 94},     {53, 65, 77, 89},
    {51, 62, 73, 85},     {48, 59, 69, 80},     {46, 56, 66, 76},     {43, 53, 63, 72},
    {41, 50, 59, 69},     {39, 48, 56, 65},     {37, 45, 54, 62},     {35, 43, 51, 59},
    {33, 41, 48, 56},     {32, 39, 46, 53},     {30, 37, 43, 50},     {29, 35, 41, 48},
    {27, 33, 39, 45},     {26, 31, 37, 43},     {24, 30, 35, 41},     {23, 28, 33, 39},
    {22, 27, 32, 37},     {21, 26, 30, 35},     {20, 24, 29, 33},     {19, 23, 27, 31},
    {18, 22, 26, 30},     {17, 21, 25, 28},     {16, 20, 23, 27},     {15, 19, 22, 25},
    {14, 18, 21, 24},     {14, 17, 20, 23},     {13, 16, 19, 22},     {12, 15, 18, 21},
    {12, 14, 17, 20},     {11, 14, 16, 19},     {11, 13, 15, 18},     {10, 12, 15, 17},
    {10, 12, 14, 16},     {9, 11, 13, 15},      {9, 11, 12, 14},      {8, 10, 12, 14},
    {8, 9, 11, 13},       {7, 9, 11, 12},       {7, 9, 10, 12},       {7, 8, 10, 11},
    {6, 8, 9, 11},        {6, 7, 9, 10},        {6, 7, 8, 9},         {2, 2, 2, 2},
};

// The state after a least probable symbol; after a most probable one it is
// simply one higher, up to 62.
constexpr std::uint8_t kNextStateLps[64] = {
    0,  0,  1,  2,  2,  4,  4,  5,  6,  7,  8,  9,  9,  11, 11, 12, 13, 13, 15, 15, 16, 16,
    18, 18, 19, 19, 21, 21, 22, 22, 23, 24, 24, 25, 26, 26, 27, 27, 28, 29, 29, 30, 30, 30,
    31, 32, 32, 33, 33, 33, 34, 34, 35, 35, 35, 36, 36, 36, 37, 37, 37, 38, 38, 63,
};

}  // namespace

CabacContext InitialContext(int initValue, int sliceQp)
{
    const int slope = (initValue >> 4) * 5 - 45;
    const int offset = ((initValue & 15) << 3) - 16;
    const int pre = std::clamp(((slope * std::clamp(sliceQp, 0, 51)) >> 4) + offset, 1, 126);
    if (pre <= 63)
        return {static_cast<std::uint8_t>(63 - pre), 0};
    return {static_cast<std::uint8_t>(pre - 64), 1};
}

void CabacWriter::Decision(CabacContext& context, int bin)
{
    const std::uint32_t lps = kRangeLps[context.state][(range_ >> 6) & 3];
    range_ -= lps;
    if (bin != context.mps) {
        low_ += range_;
        range_ = lps;
        if (context.state == 0)
            context.mps = static_cast<std::uint8_t>(1 - context.mps);
        context.state = kNextStateLps[context.state];
    } else if (context.state < 62) {
        ++context.state;
    }
    Renormalise();
}

void CabacWriter::Bypass(int bin)
{
    low_ <<= 1;
    if (bin)
        low_ += range_;
    if (low_ >= 1024) {
        PutBit(1);
        low_ -= 1024;
    } else if (low_ < 512) {
        PutBit(0);
    } else {
        low_ -= 512;
        ++outstanding_;
    }
}

void CabacWriter::Terminate(int bin)
{
    range_ -= 2;
    if (!bin) {
        Renormalise();
        return;
    }
    low_ += range_;
    range_ = 2;
    Renormalise();
    PutBit((low_ >> 9) & 1);
    out_.Put(((low_ >> 7) & 3) | 1, 2);
}

void CabacWriter::Restart()
{
    low_ = 0;
    range_ = 510;
    outstanding_ = 0;
    firstBit_ = true;
}

void CabacWriter::Renormalise()
{
    while (range_ < 256) {
        if (low_ < 256) {
            PutBit(0);
        } else if (low_ >= 512) {
            low_ -= 512;
            PutBit(1);
        } else {
            low_ -= 256;
            ++outstanding_;
        }
        range_ <<= 1;
        low_ <<= 1;
    }
}

// The first bit out of the coder is always a zero the decoder never reads.
void CabacWriter::PutBit(int bit)
{
    if (firstBit_)
        firstBit_ = false;
    else
        out_.Put(static_cast<std::uint32_t>(bit), 1);
    for (; outstanding_ > 0; --outstanding_)
        out_.Put(static_cast<std::uint32_t>(1 - bit), 1);
}

}  // namespace tsgen

#pragma once
// The guide reader's loop, apart from the platform. Two section streams carry
// the EIT present/following sections, one for this multiplex (table_id 0x4E),
// one for the others (0x4F). Each stream always has exactly one buffer of ours
// waiting: a filled buffer is parsed first and only then handed back, so the
// bytes being parsed are never overwritten.
#include <cstddef>
#include <cstdint>

// The largest EIT section: section_length is at most 4093 for these tables.
constexpr std::size_t kGuideBufferSize = 4096;

// Index of each stream, and of its buffer.
constexpr int kActualStream = 0;  // table_id 0x4E
constexpr int kOtherStream = 1;   // table_id 0x4F

// What ended a wait.
enum class GuideWake {
    Stop,           // the reader is asked to end; wins over a filled buffer
    ActualFilled,   // the 0x4E stream filled its buffer
    OtherFilled,    // the 0x4F stream filled its buffer
    Failed,         // the wait itself failed
};

// The platform's side: two streams with one buffer each, and a stop request.
class GuideSectionSource {
public:
    virtual ~GuideSectionSource() = default;
    // Empties the buffer of `stream` and hands it to that stream. False when the
    // stream refuses it.
    virtual bool Supply(int stream) = 0;
    // Blocks until the reader is asked to stop or a stream has filled its buffer.
    virtual GuideWake Wait() = 0;
    // The first byte of the buffer of `stream`.
    virtual const std::uint8_t* Bytes(int stream) const = 0;
    // How many bytes `stream` wrote into its buffer, never above kGuideBufferSize.
    virtual std::size_t Size(int stream) const = 0;
};

// Where the sections go.
class GuideSectionSink {
public:
    virtual ~GuideSectionSink() = default;
    virtual void OnSection(const std::uint8_t* section, std::size_t size) = 0;
};

// How the loop ended: asked to stop, or a stream or the wait failed (the guide
// then stops changing).
constexpr int kGuideReaderStopped = 0;
constexpr int kGuideReaderFailed = 1;

// Runs until a stop is asked or the source fails. Allocates nothing.
int RunGuideReader(GuideSectionSource& source, GuideSectionSink& sink);

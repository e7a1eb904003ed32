#pragma once
// PSI/SI sections read from the transport-stream tap, for the scan and the guide
// where the platform's sections-and-tables filter is absent (it is not shipped
// since Windows 7) or refuses. Sections are assembled per PID with
// SectionAssembler, so only whole sections come out, and long-form ones only
// with a valid CRC_32.
//
// Two kinds of readers: a request takes the first section of one table that
// completes after it was made (the scan asks for each table once, for as long as
// it is prepared to wait); a stream queues every section of a range of tables of
// one PID (the guide). Both wake their owner through a callback that runs on the
// streaming thread with no lock of the reader held: it should only signal (set an
// event, post a message).
//
// Every member is safe to call from any thread.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "channels/psi/packet_tap.h"

class SectionReader final : public PacketSubscriber {
public:
    using Wake = std::function<void()>;

    SectionReader();
    ~SectionReader() override;
    SectionReader(const SectionReader&) = delete;
    SectionReader& operator=(const SectionReader&) = delete;

    bool OnPackets(const std::uint8_t* packets, std::size_t count) override;

    // Asks for the first whole section of `pid` with `tableId`; `wake` runs once,
    // when it is there. Returns the request's id (never 0).
    int Request(std::uint16_t pid, std::uint8_t tableId, Wake wake);
    // Moves the section of a request that completed into `section`; false while
    // there is none yet. The request stays until cancelled.
    bool Take(int request, std::vector<std::uint8_t>& section);
    void Cancel(int request);

    // Queues every section of `pid` whose table id lies in [firstTable,
    // lastTable], at most `backlog` of them (the oldest go first beyond that).
    // `wake` runs when the queue goes from empty to not empty. Short-form
    // sections (no CRC to check, such as the TDT) are queued only when
    // `shortForm` is set. Returns the stream's id (never 0).
    int OpenStream(std::uint16_t pid, std::uint8_t firstTable, std::uint8_t lastTable, std::size_t backlog,
                   bool shortForm, Wake wake);
    // Moves the oldest queued section into `section`; false when none waits.
    bool Next(int stream, std::vector<std::uint8_t>& section);
    void CloseStream(int stream);

    // Forgets every half-built section and continuity state (after a retune);
    // requests and streams stay open.
    void Reset();

private:
    struct State;
    std::unique_ptr<State> state_;
};

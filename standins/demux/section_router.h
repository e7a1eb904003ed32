#pragma once
// The matching core of the sections-and-tables filter: requests for one section
// and standing streams of sections, each by PID and table_id, fed with the
// sections that arrive from upstream.
//
// Only whole sections are accepted: section_length must agree with the bytes
// given, and a section in the long form must carry a valid CRC_32 (the short
// form, such as the TDT, has no CRC to check). A request or stream sees only
// the sections that arrive after it was opened.
//
// The router also keeps count of the users of each PID and asks `pidMapper` to
// map a PID when its first user appears and to unmap it when its last user
// goes. Those calls are serialised and made without the delivery lock held, so
// the mapper may call into the upstream filter while sections keep arriving.
//
// Threads: Deliver comes from the streaming thread; the other operations from
// any thread. A stream's sink is called under the delivery lock and must not
// call back into the router.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

class SectionRouter {
public:
    // Called with map true when the PID gets its first user, false when it
    // loses its last.
    using PidMapper = std::function<void(std::uint16_t pid, bool map)>;
    using StreamSink = std::function<void(const std::uint8_t* section, std::size_t size)>;
    using Id = std::uint64_t;

    // Delivered sections whose PID the upstream could not tell match on the
    // table_id alone.
    static constexpr std::uint32_t kUnknownPid = 0xFFFFFFFF;

    explicit SectionRouter(PidMapper pidMapper);

    // Opens a request for the next section with this PID and table_id.
    Id OpenRequest(std::uint16_t pid, std::uint8_t tableId);
    // Waits until the request is answered or the time-out passes, then closes
    // it. Empty when nothing arrived in time (or the router was shut down).
    std::vector<std::uint8_t> WaitRequest(Id id, std::chrono::milliseconds timeout);

    Id OpenStream(std::uint16_t pid, std::uint8_t tableId, StreamSink sink);
    // Once this returns the sink is never called again.
    void CloseStream(Id id);

    // One section as it arrived on `pid` (or kUnknownPid).
    void Deliver(std::uint32_t pid, const std::uint8_t* section, std::size_t size);

    // Wakes every waiting request with nothing (the filter is going away).
    void Shutdown();

    // Whether the bytes form one whole section with a valid CRC where one is due.
    static bool IsWholeValidSection(const std::uint8_t* section, std::size_t size);

private:
    struct Request {
        std::uint16_t pid;
        std::uint8_t tableId;
        bool answered = false;
        std::vector<std::uint8_t> section;
    };
    struct Stream {
        std::uint16_t pid;
        std::uint8_t tableId;
        StreamSink sink;
    };

    void AddUser(std::uint16_t pid);
    void RemoveUser(std::uint16_t pid);

    PidMapper pidMapper_;
    std::mutex mappingMutex_;  // taken before mutex_, never after it
    std::map<std::uint16_t, int> users_;

    std::mutex mutex_;
    std::condition_variable answered_;
    Id nextId_ = 1;
    bool shutDown_ = false;
    std::map<Id, Request> requests_;
    std::map<Id, Stream> streams_;
};

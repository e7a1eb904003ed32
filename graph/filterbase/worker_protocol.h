#pragma once
// Decisions of a source pin's worker thread, kept free of the platform so they can be
// tested on their own. The thread itself (source_stream.cpp) only waits for requests,
// calls the hooks these decisions name and replies with the codes they give.
#include <cstdint>

namespace filterbase {

// Requests sent to the worker; the numbering is part of the protocol.
enum WorkerCommand : uint32_t {
    CMD_INIT = 0,
    CMD_PAUSE = 1,
    CMD_RUN = 2,
    CMD_STOP = 3,
    CMD_EXIT = 4,
};

// Result codes of the component object model, by value, so that this file needs no
// platform header (the glue checks that they match the platform's definitions).
namespace codes {
constexpr int32_t kOk = 0;
constexpr int32_t kFalse = 1;
constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001u);
constexpr int32_t kUnexpected = static_cast<int32_t>(0x8000FFFFu);
constexpr int32_t kFail = static_cast<int32_t>(0x80004005u);
constexpr int32_t kInvalidArg = static_cast<int32_t>(0x80070057u);
constexpr int32_t kTypeNotAccepted = static_cast<int32_t>(0x8004022Au);
constexpr int32_t kNoAcceptableTypes = static_cast<int32_t>(0x80040207u);
}  // namespace codes

constexpr bool Failed(int32_t result) { return result < 0; }

// What the thread does with a request while it is not delivering.
enum class IdleAction {
    Reply,             // answer with WorkerStep::reply and wait for the next request
    Initialise,        // run OnThreadCreate; its result is the answer
    ReplyThenDeliver,  // answer success, then run the delivery loop
    ReplyThenExit,     // answer success, run OnThreadDestroy and end the thread
};

struct WorkerStep {
    IdleAction action;
    int32_t reply;  // meaningful for Reply, ReplyThenDeliver and ReplyThenExit
};

// `initialised` is whether CMD_INIT has already succeeded.
WorkerStep DecideIdleRequest(bool initialised, uint32_t command);

// What the delivery loop does with a request it finds pending between two buffers.
enum class LoopAction {
    ReplyAndContinue,  // answer LoopStep::reply and keep delivering
    LeaveUnanswered,   // leave the loop; the idle loop answers the same request
};

struct LoopStep {
    LoopAction action;
    int32_t reply;
};

LoopStep DecideRequestWhileDelivering(uint32_t command);

// What happens to a buffer once the derived pin has filled it.
enum class FillAction {
    Deliver,      // pass it downstream
    EndOfStream,  // drop it, signal end of stream, leave the loop with success
    Abort,        // drop it, signal end of stream, report the error to the graph, leave
};

FillAction DecideAfterFill(int32_t fillResult);

// The loop keeps delivering only while the downstream pin takes every sample with S_OK;
// any other answer (S_FALSE included) ends the loop with success.
constexpr bool KeepDeliveringAfter(int32_t deliverResult) { return deliverResult == codes::kOk; }

}  // namespace filterbase

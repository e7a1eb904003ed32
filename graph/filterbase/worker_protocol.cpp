#include "graph/filterbase/worker_protocol.h"

namespace filterbase {

WorkerStep DecideIdleRequest(bool initialised, uint32_t command)
{
    if (!initialised) {
        // Nothing is answered before the thread's own resources exist.
        if (command == CMD_INIT) return {IdleAction::Initialise, codes::kOk};
        return {IdleAction::Reply, codes::kUnexpected};
    }
    switch (command) {
    case CMD_PAUSE:
    case CMD_RUN:
        return {IdleAction::ReplyThenDeliver, codes::kOk};
    case CMD_STOP:
        return {IdleAction::Reply, codes::kOk};
    case CMD_EXIT:
        return {IdleAction::ReplyThenExit, codes::kOk};
    default:
        return {IdleAction::Reply, codes::kNotImplemented};
    }
}

LoopStep DecideRequestWhileDelivering(uint32_t command)
{
    switch (command) {
    case CMD_PAUSE:
    case CMD_RUN:
        return {LoopAction::ReplyAndContinue, codes::kOk};
    case CMD_STOP:
        return {LoopAction::LeaveUnanswered, codes::kOk};
    default:
        // Exit must come after Stop: while delivering it is a protocol error.
        return {LoopAction::ReplyAndContinue, codes::kUnexpected};
    }
}

FillAction DecideAfterFill(int32_t fillResult)
{
    if (fillResult == codes::kFalse) return FillAction::EndOfStream;
    if (Failed(fillResult)) return FillAction::Abort;
    return FillAction::Deliver;
}

}  // namespace filterbase

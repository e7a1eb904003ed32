#include "graph/filterbase/worker_protocol.h"

#include <gtest/gtest.h>

using namespace filterbase;

TEST(WorkerProtocol, NothingButInitIsAnsweredBeforeTheThreadIsInitialised)
{
    for (uint32_t command : std::initializer_list<uint32_t>{CMD_PAUSE, CMD_RUN, CMD_STOP, CMD_EXIT, 17u}) {
        WorkerStep step = DecideIdleRequest(false, command);
        EXPECT_EQ(step.action, IdleAction::Reply) << command;
        EXPECT_EQ(step.reply, codes::kUnexpected) << command;
    }
    EXPECT_EQ(DecideIdleRequest(false, CMD_INIT).action, IdleAction::Initialise);
}

TEST(WorkerProtocol, IdleThreadStartsDeliveringStopsAndExits)
{
    EXPECT_EQ(DecideIdleRequest(true, CMD_PAUSE).action, IdleAction::ReplyThenDeliver);
    EXPECT_EQ(DecideIdleRequest(true, CMD_RUN).action, IdleAction::ReplyThenDeliver);
    EXPECT_EQ(DecideIdleRequest(true, CMD_PAUSE).reply, codes::kOk);

    WorkerStep stop = DecideIdleRequest(true, CMD_STOP);
    EXPECT_EQ(stop.action, IdleAction::Reply);
    EXPECT_EQ(stop.reply, codes::kOk);

    WorkerStep exit = DecideIdleRequest(true, CMD_EXIT);
    EXPECT_EQ(exit.action, IdleAction::ReplyThenExit);
    EXPECT_EQ(exit.reply, codes::kOk);

    // A second initialisation or an unknown request is not something the thread does.
    for (uint32_t command : std::initializer_list<uint32_t>{CMD_INIT, 5u, 0xFFFFFFFFu}) {
        WorkerStep step = DecideIdleRequest(true, command);
        EXPECT_EQ(step.action, IdleAction::Reply) << command;
        EXPECT_EQ(step.reply, codes::kNotImplemented) << command;
    }
}

TEST(WorkerProtocol, DeliveryLoopLeavesOnlyOnStopAndLetsTheIdleLoopAnswerIt)
{
    LoopStep stop = DecideRequestWhileDelivering(CMD_STOP);
    EXPECT_EQ(stop.action, LoopAction::LeaveUnanswered);
    // Stop answered by the idle loop afterwards: success.
    EXPECT_EQ(DecideIdleRequest(true, CMD_STOP).reply, codes::kOk);

    for (uint32_t command : std::initializer_list<uint32_t>{CMD_PAUSE, CMD_RUN}) {
        LoopStep step = DecideRequestWhileDelivering(command);
        EXPECT_EQ(step.action, LoopAction::ReplyAndContinue) << command;
        EXPECT_EQ(step.reply, codes::kOk) << command;
    }
    for (uint32_t command : std::initializer_list<uint32_t>{CMD_INIT, CMD_EXIT, 9u}) {
        LoopStep step = DecideRequestWhileDelivering(command);
        EXPECT_EQ(step.action, LoopAction::ReplyAndContinue) << command;
        EXPECT_EQ(step.reply, codes::kUnexpected) << command;
    }
}

TEST(WorkerProtocol, FilledBufferIsDeliveredEndsTheStreamOrAborts)
{
    EXPECT_EQ(DecideAfterFill(codes::kOk), FillAction::Deliver);
    EXPECT_EQ(DecideAfterFill(codes::kFalse), FillAction::EndOfStream);
    EXPECT_EQ(DecideAfterFill(codes::kFail), FillAction::Abort);
    EXPECT_EQ(DecideAfterFill(static_cast<int32_t>(0x8007000Eu)), FillAction::Abort);

    EXPECT_TRUE(KeepDeliveringAfter(codes::kOk));
    EXPECT_FALSE(KeepDeliveringAfter(codes::kFalse));
    EXPECT_FALSE(KeepDeliveringAfter(codes::kFail));
}

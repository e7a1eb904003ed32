#include "graph/filterbase/connect_rules.h"

#include <gtest/gtest.h>

#include "graph/filterbase/worker_protocol.h"

using namespace filterbase;

namespace {
constexpr int32_t kOutOfMemory = static_cast<int32_t>(0x8007000Eu);
constexpr int32_t kNoInterface = static_cast<int32_t>(0x80004002u);
constexpr int32_t kInvalidDirection = static_cast<int32_t>(0x80040208u);
}  // namespace

TEST(ConnectRules, OnlyExactlySOkAcceptsAType)
{
    EXPECT_EQ(ReadTypeCheck(codes::kOk), codes::kOk);
    for (int32_t refusal : {codes::kFalse, 2, codes::kFail, codes::kInvalidArg})
        EXPECT_EQ(ReadTypeCheck(refusal), codes::kTypeNotAccepted) << refusal;
    EXPECT_EQ(ReadTypeCheck(kOutOfMemory), kOutOfMemory);
    EXPECT_EQ(ReadTypeCheck(codes::kTypeNotAccepted), codes::kTypeNotAccepted);
}

TEST(ConnectRules, NegotiationReportsTheLastErrorThatSaysMoreThanARefusal)
{
    ConnectAttemptLog nothingTried;
    EXPECT_EQ(nothingTried.Result(), codes::kNoAcceptableTypes);

    ConnectAttemptLog onlyRefusals;
    for (int32_t refusal : {codes::kFail, codes::kInvalidArg, codes::kTypeNotAccepted, codes::kOk})
        onlyRefusals.Record(refusal);
    EXPECT_EQ(onlyRefusals.Result(), codes::kNoAcceptableTypes);

    ConnectAttemptLog mixed;
    mixed.Record(codes::kTypeNotAccepted);
    mixed.Record(kInvalidDirection);
    mixed.Record(codes::kFail);
    EXPECT_EQ(mixed.Result(), kInvalidDirection);
    mixed.Record(kNoInterface);
    EXPECT_EQ(mixed.Result(), kNoInterface);
}

TEST(ConnectRules, OtherPinsTypesComeFirstByDefault)
{
    EXPECT_EQ(TypeSourceOrder(false)[0], TypeSource::OtherPin);
    EXPECT_EQ(TypeSourceOrder(false)[1], TypeSource::ThisPin);
    EXPECT_EQ(TypeSourceOrder(true)[0], TypeSource::ThisPin);
    EXPECT_EQ(TypeSourceOrder(true)[1], TypeSource::OtherPin);
}

TEST(ConnectRules, PinIdIsIndexPlusOneInDecimal)
{
    EXPECT_EQ(PinIndexFromId(L"1"), 0);
    EXPECT_EQ(PinIndexFromId(L"12"), 11);
    for (const wchar_t* bad : {L"", L"0", L"-1", L"+1", L" 1", L"1 ", L"1a", L"Pipin", L"99999999999999999999"})
        EXPECT_EQ(PinIndexFromId(bad), -1) << "id";
    EXPECT_EQ(PinIndexFromId(nullptr), -1);
}

#include "graph/filterbase/connect_rules.h"

#include "graph/filterbase/worker_protocol.h"

namespace filterbase {

int32_t ReadTypeCheck(int32_t checkResult)
{
    if (checkResult == codes::kOk) return codes::kOk;
    if (!Failed(checkResult) || checkResult == codes::kFail || checkResult == codes::kInvalidArg)
        return codes::kTypeNotAccepted;
    return checkResult;
}

void ConnectAttemptLog::Record(int32_t attemptResult)
{
    if (!Failed(attemptResult)) return;
    if (attemptResult == codes::kFail || attemptResult == codes::kInvalidArg ||
        attemptResult == codes::kTypeNotAccepted)
        return;
    significant_ = attemptResult;
}

int PinIndexFromId(const wchar_t* id)
{
    if (!id || !*id) return -1;
    long long number = 0;
    for (const wchar_t* c = id; *c; ++c) {
        if (*c < L'0' || *c > L'9') return -1;
        number = number * 10 + (*c - L'0');
        if (number > 1000000) return -1;  // far more pins than any filter has
    }
    if (number < 1) return -1;
    return static_cast<int>(number - 1);
}

}  // namespace filterbase

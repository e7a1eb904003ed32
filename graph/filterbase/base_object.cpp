#include "graph/filterbase/base_object.h"

#include <atomic>

namespace {
std::atomic<long> liveObjects{0};
}

CBaseObject::CBaseObject(const wchar_t* name) : name_(name) { ++liveObjects; }

CBaseObject::~CBaseObject() { --liveObjects; }

long CBaseObject::LiveObjects() { return liveObjects.load(); }

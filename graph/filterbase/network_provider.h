#pragma once
// The graph's own network provider: a source filter whose single output pin gives the
// tuner's antenna input an upstream partner. It carries no tuning information; tuning
// goes straight to the tuner's control nodes.
//
// Created with plain `new` and handed to IFilterGraph::AddFilter, which takes the first
// reference; the graph's last release destroys it.
#include "graph/filterbase/source.h"

class CPinBidon;

// {00000001-0002-0003-0405-060708090A0B}; not registered: only ever created directly.
extern const CLSID CLSID_NetworkProviderBidon;

class CNetworkProvider : public CSource {
public:
    CNetworkProvider();
    ~CNetworkProvider() override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

private:
    CPinBidon* pin_;
};

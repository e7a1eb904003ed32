#include "graph/filterbase/network_provider.h"

#include "graph/filterbase/pin_bidon.h"

const CLSID CLSID_NetworkProviderBidon = {0x00000001, 0x0002, 0x0003, {0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B}};

CNetworkProvider::CNetworkProvider()
    : CSource(L"Mon network provider", nullptr, CLSID_NetworkProviderBidon), pin_(new CPinBidon(this))
{
}

// The pin goes first: it takes itself out of the base part's pin array.
CNetworkProvider::~CNetworkProvider() { delete pin_; }

int CNetworkProvider::GetPinCount() { return 1; }

CBasePin* CNetworkProvider::GetPin(int index) { return index == 0 ? pin_ : nullptr; }

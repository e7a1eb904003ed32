#pragma once
// Whether the calling thread has entered COM itself. A COM object may only be called
// from a thread that has (CoInitializeEx); the platform's filters refuse the others,
// and a thread that merely borrows the process's implicit multithreaded apartment has
// not entered it either.
#include <windows.h>
#include <objbase.h>

inline bool CallerEnteredCom()
{
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    if (FAILED(CoGetApartmentType(&type, &qualifier))) return false;
    return qualifier != APTTYPEQUALIFIER_IMPLICIT_MTA;
}

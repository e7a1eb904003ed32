#pragma once
// Helpers for AM_MEDIA_TYPE, whose format block is owned memory from the COM task
// allocator and must be copied and freed with it.
#include <dshow.h>

// A freshly initialised type: null GUIDs, fixed-size samples of size 1, no temporal
// compression, no format block, no format object.
void InitMediaType(AM_MEDIA_TYPE& type);
// Deep copy into `target`, which must hold nothing. E_OUTOFMEMORY leaves it initialised.
HRESULT CopyMediaType(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source);
// Frees the format block and the format object; the rest is left as is.
void FreeMediaType(AM_MEDIA_TYPE& type);
// A copy in task memory, as the enumerators hand types out; null when out of memory.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE& source);
// Frees a type handed out by an enumerator, format block included.
void DeleteMediaType(AM_MEDIA_TYPE* type);

// A type whose major type or format type is null leaves the choice to negotiation.
bool IsPartialMediaType(const AM_MEDIA_TYPE& type);
// Whether `type` fits every field that `partial` fixes (non-null GUIDs, and the format
// block when a format type is given).
bool MatchesPartialType(const AM_MEDIA_TYPE& type, const AM_MEDIA_TYPE& partial);
bool SameMediaType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b);

// Owning value wrapper, for media types kept by the layer.
class MediaType {
public:
    MediaType() { InitMediaType(type_); }
    MediaType(const MediaType& other) : MediaType() { CopyMediaType(type_, other.type_); }
    MediaType& operator=(const MediaType& other);
    ~MediaType() { FreeMediaType(type_); }

    HRESULT Set(const AM_MEDIA_TYPE& source);
    void Clear();
    const AM_MEDIA_TYPE& Get() const { return type_; }
    AM_MEDIA_TYPE* Put() { Clear(); return &type_; }

private:
    AM_MEDIA_TYPE type_;
};

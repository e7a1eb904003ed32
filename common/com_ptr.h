#pragma once
// Owning holder of one COM interface reference: released when replaced or destroyed,
// so no early return can leak it. Raw pointers are for borrowed references only.
#include <unknwn.h>

#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a reference the caller already owns (no AddRef).
    static ComPtr Adopt(T* p) { ComPtr c; c.p_ = p; return c; }
    // Shares a borrowed reference (AddRef).
    static ComPtr Share(T* p) { if (p) p->AddRef(); return Adopt(p); }

    ComPtr(const ComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }
    ~ComPtr() { Reset(); }

    void Reset() { if (T* p = std::exchange(p_, nullptr)) p->Release(); }
    // Gives up ownership without releasing.
    T* Detach() { return std::exchange(p_, nullptr); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For out-parameters: releases what is held, then hands out the slot.
    T** Put() { Reset(); return &p_; }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    // QueryInterface into another holder.
    template <class U>
    HRESULT As(const IID& iid, ComPtr<U>& out) const
    {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, out.PutVoid());
    }

private:
    T* p_ = nullptr;
};

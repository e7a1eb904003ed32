#pragma once
// Root of every object of the filter layer: a name for debugging and a process-wide
// count of live objects, which tells a DLL whether it may unload and a test whether
// anything leaked.

class CBaseObject {
public:
    // `name` must outlive the object (a string literal in practice).
    explicit CBaseObject(const wchar_t* name);
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;

    const wchar_t* ObjectName() const { return name_; }
    static long LiveObjects();

protected:
    // Destroyed only through a derived class with a virtual destructor.
    ~CBaseObject();

private:
    const wchar_t* name_;
};

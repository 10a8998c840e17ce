#pragma once

#include <atomic>
#include <utility>

namespace brelvik::gui {

// Intrusive reference count: an object starts with one reference held by its creator;
// forget() drops one and deletes the object when none is left.
class CBaseObject {
public:
    CBaseObject() = default;
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;

    void remember() { references_.fetch_add(1, std::memory_order_relaxed); }
    void forget()
    {
        if (references_.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }
    int getNbReference() const { return references_.load(std::memory_order_relaxed); }

protected:
    virtual ~CBaseObject() = default;

private:
    std::atomic<int> references_{1};
};

// Holds one reference to a CBaseObject for as long as it lives.
template <typename T> class SharedPointer {
public:
    SharedPointer() = default;
    // Takes a new reference to `object`.
    explicit SharedPointer(T* object) : object_(object)
    {
        if (object_)
            object_->remember();
    }
    // Adopts the creator's reference (for objects just made with new or a factory).
    static SharedPointer adopt(T* object)
    {
        SharedPointer p;
        p.object_ = object;
        return p;
    }
    SharedPointer(const SharedPointer& o) : SharedPointer(o.object_) { }
    SharedPointer(SharedPointer&& o) noexcept : object_(std::exchange(o.object_, nullptr)) { }
    SharedPointer& operator=(SharedPointer o) noexcept
    {
        std::swap(object_, o.object_);
        return *this;
    }
    ~SharedPointer()
    {
        if (object_)
            object_->forget();
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

} // namespace brelvik::gui

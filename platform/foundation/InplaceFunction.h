#pragma once

#include <cstddef>
#include <functional>
#include <new>
#include <type_traits>
#include <utility>

namespace foundation {

template <typename Signature, std::size_t Capacity>
class InplaceFunction;

// A callable kept inside the object, never on the heap: what runs every
// frame (a GPU report's handler, a block for the main queue) must not cost
// an allocation. A callable larger than the capacity does not compile;
// capture a pointer to a larger state instead. Copies copy the callable.
template <typename Result, typename... Arguments, std::size_t Capacity>
class InplaceFunction<Result(Arguments...), Capacity> {
public:
    InplaceFunction() noexcept = default;
    InplaceFunction(std::nullptr_t) noexcept {}

    template <typename Callable>
        requires(!std::is_same_v<std::decay_t<Callable>, InplaceFunction> &&
                 std::is_invocable_r_v<Result, std::decay_t<Callable>&, Arguments...>)
    InplaceFunction(Callable&& callable) {
        using Stored = std::decay_t<Callable>;
        static_assert(sizeof(Stored) <= Capacity, "the callable is larger than the function keeps in place");
        static_assert(alignof(Stored) <= alignof(std::max_align_t));
        static_assert(std::is_nothrow_move_constructible_v<Stored>);
        static_assert(std::is_copy_constructible_v<Stored>, "the function is copied: so must its callable be");
        if constexpr (std::is_pointer_v<Stored> || std::is_member_pointer_v<Stored>) {
            if (!callable) return;
        }
        new (&storage_) Stored(std::forward<Callable>(callable));
        operations_ = &kOperationsOf<Stored>;
    }

    InplaceFunction(const InplaceFunction& other) { copyFrom(other); }
    InplaceFunction(InplaceFunction&& other) noexcept { moveFrom(other); }
    InplaceFunction& operator=(const InplaceFunction& other) {
        if (this != &other) {
            reset();
            copyFrom(other);
        }
        return *this;
    }
    InplaceFunction& operator=(InplaceFunction&& other) noexcept {
        if (this != &other) {
            reset();
            moveFrom(other);
        }
        return *this;
    }
    InplaceFunction& operator=(std::nullptr_t) noexcept {
        reset();
        return *this;
    }
    ~InplaceFunction() { reset(); }

    explicit operator bool() const noexcept { return operations_ != nullptr; }

    // Calling an empty function is a programming error, as with
    // std::function.
    Result operator()(Arguments... arguments) const {
        if (!operations_) throw std::bad_function_call();
        return operations_->invoke(&storage_, std::forward<Arguments>(arguments)...);
    }

private:
    struct Operations {
        Result (*invoke)(const void* storage, Arguments&&... arguments);
        void (*copy)(const void* from, void* to);
        void (*move)(void* from, void* to);
        void (*destroy)(void* storage);
    };

    template <typename Stored>
    static constexpr Operations kOperationsOf = {
        [](const void* storage, Arguments&&... arguments) -> Result {
            // Called through a const function, as std::function calls too.
            auto& callable = *static_cast<Stored*>(const_cast<void*>(storage));
            return std::invoke(callable, std::forward<Arguments>(arguments)...);
        },
        [](const void* from, void* to) { new (to) Stored(*static_cast<const Stored*>(from)); },
        [](void* from, void* to) { new (to) Stored(std::move(*static_cast<Stored*>(from))); },
        [](void* storage) { static_cast<Stored*>(storage)->~Stored(); },
    };

    void copyFrom(const InplaceFunction& other) {
        if (!other.operations_) return;
        other.operations_->copy(&other.storage_, &storage_);
        operations_ = other.operations_;
    }
    void moveFrom(InplaceFunction& other) noexcept {
        if (!other.operations_) return;
        other.operations_->move(&other.storage_, &storage_);
        operations_ = std::exchange(other.operations_, nullptr);
        // The moved-from callable is still an object: it goes now.
        operations_->destroy(&other.storage_);
    }
    void reset() noexcept {
        if (!operations_) return;
        std::exchange(operations_, nullptr)->destroy(&storage_);
    }

    alignas(std::max_align_t) std::byte storage_[Capacity];
    const Operations* operations_ = nullptr;
};

} // namespace foundation

#pragma once
// A growable array of plain values (trivially copyable) kept with realloc:
// growing a large buffer and shrinking it to size at the end move no data
// and touch no fresh pages where the allocator can remap the block, which
// std::vector, always allocating anew and copying, cannot do. The result
// store keeps its columns in these.

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace prvc03 {

template <class T>
class PodBuffer {
    static_assert(std::is_trivially_copyable_v<T>);

  public:
    PodBuffer() = default;
    PodBuffer(const PodBuffer& other) { Append(other.data_, other.size_); }
    PodBuffer(PodBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    PodBuffer& operator=(PodBuffer other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
        return *this;
    }
    ~PodBuffer() { std::free(data_); }

    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    T& back() { return data_[size_ - 1]; }
    const T& back() const { return data_[size_ - 1]; }

    void push_back(T value) {
        if (size_ == capacity_) {
            Grow(size_ + 1);
        }
        data_[size_++] = value;
    }
    void Append(const T* values, std::size_t count) {
        if (count == 0) {
            return;
        }
        if (size_ + count > capacity_) {
            Grow(size_ + count);
        }
        std::memcpy(data_ + size_, values, count * sizeof(T));
        size_ += count;
    }
    // Gives back the spare capacity.
    void shrink_to_fit() {
        if (size_ == capacity_) {
            return;
        }
        if (size_ == 0) {
            std::free(data_);
            data_ = nullptr;
            capacity_ = 0;
            return;
        }
        Reallocate(size_);
    }

  private:
    void Grow(std::size_t needed) {
        std::size_t capacity = capacity_ < 16 ? 16 : capacity_ * 2;
        while (capacity < needed) {
            capacity *= 2;
        }
        Reallocate(capacity);
    }
    void Reallocate(std::size_t capacity) {
        void* block = std::realloc(data_, capacity * sizeof(T));
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        data_ = static_cast<T*>(block);
        capacity_ = capacity;
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace prvc03

#pragma once
// A growable array of plain values (trivially copyable). Small buffers live
// in the heap and grow with realloc. Large ones get their own mappings
// asking for transparent huge pages: a growing store touches fresh memory
// all the time, and one fault per 2 MB instead of one per 4 KB is most of
// what filling it costs on top of the values themselves. Growth moves the
// mapped pages (mremap) instead of copying them, and shrinking to size at
// the end hands the tail back in place. The result store keeps its columns
// in these.

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#if defined(__linux__)
#define PRVC03_POD_BUFFER_MAPS 1
#endif

namespace prvc03 {

namespace pod_buffer_detail {

#if defined(PRVC03_POD_BUFFER_MAPS)
inline constexpr std::size_t kHugePage = std::size_t{2} << 20;
inline constexpr std::size_t kPage = 4096;
// From this size on a buffer gets its own mapping.
inline constexpr std::size_t kMapFrom = std::size_t{512} << 10;

inline std::size_t RoundUp(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// A fresh mapping of `bytes` (a multiple of kHugePage) aligned to a huge
// page, so the kernel can back it with huge pages from the first fault.
// Throws std::bad_alloc when the system refuses.
void* MapAligned(std::size_t bytes);
// Hands `bytes` of a mapping back from `block` on.
void Unmap(void* block, std::size_t bytes);
// Moves the pages of the mapping at `from` (`bytes` long) to `to`, replacing
// what was mapped there; false when the system refuses.
bool MovePages(void* from, std::size_t bytes, void* to);
#endif

}  // namespace pod_buffer_detail

template <class T>
class PodBuffer {
    static_assert(std::is_trivially_copyable_v<T>);

  public:
    PodBuffer() = default;
    PodBuffer(const PodBuffer& other) { Append(other.data_, other.size_); }
    PodBuffer(PodBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)),
          mapped_(std::exchange(other.mapped_, 0)) {}
    PodBuffer& operator=(PodBuffer other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
        std::swap(mapped_, other.mapped_);
        return *this;
    }
    ~PodBuffer() { Release(); }

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
    // Room for `count` more values after the last; Commit then adds as many
    // of them as were written.
    T* Room(std::size_t count) {
        if (size_ + count > capacity_) {
            Grow(size_ + count);
        }
        return data_ + size_;
    }
    void Commit(std::size_t count) { size_ += count; }
    // Gives back the spare capacity.
    void shrink_to_fit() {
        if (size_ == capacity_) {
            return;
        }
        if (size_ == 0) {
            Release();
            data_ = nullptr;
            capacity_ = 0;
            mapped_ = 0;
            return;
        }
#if defined(PRVC03_POD_BUFFER_MAPS)
        if (mapped_ != 0) {
            // Shrinking a mapping never moves it.
            const std::size_t bytes =
                pod_buffer_detail::RoundUp(size_ * sizeof(T), pod_buffer_detail::kPage);
            if (bytes < mapped_) {
                pod_buffer_detail::Unmap(reinterpret_cast<char*>(data_) + bytes, mapped_ - bytes);
                mapped_ = bytes;
            }
            capacity_ = size_;
            return;
        }
#endif
        Reallocate(size_);
    }

  private:
    void Grow(std::size_t needed) {
        std::size_t capacity = capacity_ < 16 ? 16 : capacity_ * 2;
        while (capacity < needed) {
            capacity *= 2;
        }
#if defined(PRVC03_POD_BUFFER_MAPS)
        if (capacity * sizeof(T) >= pod_buffer_detail::kMapFrom) {
            Map(capacity);
            return;
        }
#endif
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
    void Release() {
#if defined(PRVC03_POD_BUFFER_MAPS)
        if (mapped_ != 0) {
            pod_buffer_detail::Unmap(data_, mapped_);
            return;
        }
#endif
        std::free(data_);
    }
#if defined(PRVC03_POD_BUFFER_MAPS)
    // Moves the values into a huge-page mapping of at least `capacity`.
    void Map(std::size_t capacity) {
        using namespace pod_buffer_detail;
        const std::size_t bytes = RoundUp(capacity * sizeof(T), kHugePage);
        void* block = MapAligned(bytes);
        if (mapped_ != 0) {
            // The pages themselves move over, the values are not copied.
            if (!MovePages(data_, mapped_, block)) {
                Unmap(block, bytes);
                throw std::bad_alloc();
            }
        } else {
            if (size_ != 0) {
                std::memcpy(block, data_, size_ * sizeof(T));
            }
            std::free(data_);
        }
        data_ = static_cast<T*>(block);
        capacity_ = bytes / sizeof(T);
        mapped_ = bytes;
    }
#endif

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t mapped_ = 0;  // bytes of its own mapping; 0 while in the heap
};

}  // namespace prvc03

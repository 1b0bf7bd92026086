#include "lookup/PickedList.h"

#include <algorithm>
#include <bit>

#include "session/Errors.h"

namespace prvc03 {

void PickedList::Reset(int recordCount) {
    recordCount_ = std::max(recordCount, 0);
    bits_.assign((static_cast<std::size_t>(recordCount_) + 63) / 64, 0);
    count_ = 0;
}

void PickedList::Check(int record) const {
    if (record < 0 || record >= recordCount_) {
        throw Error(QStringLiteral("Record not found"));
    }
}

bool PickedList::Contains(int record) const {
    if (record < 0 || record >= recordCount_) {
        return false;
    }
    return (bits_[record >> 6] >> (record & 63)) & 1u;
}

bool PickedList::Toggle(int record) {
    Check(record);
    std::uint64_t& word = bits_[record >> 6];
    const std::uint64_t mask = std::uint64_t{1} << (record & 63);
    word ^= mask;
    const bool picked = (word & mask) != 0;
    count_ += picked ? 1 : -1;
    return picked;
}

void PickedList::Set(int record, bool picked) {
    if (Contains(record) != picked) {
        Toggle(record);
    }
}

void PickedList::PickAll() {
    std::fill(bits_.begin(), bits_.end(), ~std::uint64_t{0});
    if (const int tail = recordCount_ & 63; tail != 0) {
        bits_.back() = (std::uint64_t{1} << tail) - 1;
    }
    count_ = recordCount_;
}

void PickedList::Clear() {
    std::fill(bits_.begin(), bits_.end(), 0);
    count_ = 0;
}

std::vector<int> PickedList::Records() const {
    std::vector<int> records;
    records.reserve(static_cast<std::size_t>(count_));
    for (std::size_t w = 0; w < bits_.size(); ++w) {
        std::uint64_t word = bits_[w];
        while (word != 0) {
            records.push_back(static_cast<int>(w * 64) + std::countr_zero(word));
            word &= word - 1;
        }
    }
    return records;
}

}  // namespace prvc03

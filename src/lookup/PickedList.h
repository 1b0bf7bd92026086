#pragma once
// The records ticked in a multi-select lookup: a bitmap over the original
// record positions of the open result set. Iteration runs in result-set
// order whatever the order of the clicks or the current in-memory sort.

#include <cstdint>
#include <vector>

namespace prvc03 {

class PickedList {
  public:
    // Empties the list and sizes it for a result set of `recordCount` records.
    void Reset(int recordCount);
    int RecordCount() const { return recordCount_; }

    bool Contains(int record) const;
    // Removes the record if it is there, inserts it otherwise; returns
    // whether it is picked afterwards.
    bool Toggle(int record);
    void Set(int record, bool picked);
    void PickAll();
    void Clear();
    int Count() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }

    // The picked records, in result-set order.
    std::vector<int> Records() const;

  private:
    void Check(int record) const;

    std::vector<std::uint64_t> bits_;
    int recordCount_ = 0;
    int count_ = 0;
};

}  // namespace prvc03

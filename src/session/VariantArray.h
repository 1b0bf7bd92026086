#pragma once
// A Variant array with bounds per dimension (one or two dimensions), the
// shape in which picked rows and first rows are handed back.

#include <QVariant>

#include <vector>

namespace prvc03 {

class VariantArray {
  public:
    VariantArray() = default;
    // One dimension, bounds low..high (high = low - 1 for no elements).
    VariantArray(int low, int high);
    // Two dimensions: rows low1..high1, columns low2..high2.
    VariantArray(int low1, int high1, int low2, int high2);

    int DimCount() const { return dims_; }
    int Low(int dim = 1) const;
    int High(int dim = 1) const;
    int Count(int dim = 1) const { return High(dim) - Low(dim) + 1; }
    bool IsEmpty() const { return values_.empty(); }

    const QVariant& at(int i) const;
    QVariant& at(int i);
    const QVariant& at(int row, int column) const;
    QVariant& at(int row, int column);

  private:
    std::size_t Index(int i) const;
    std::size_t Index(int row, int column) const;
    int dims_ = 1;
    int low_[2] = {0, 0};
    int high_[2] = {-1, -1};
    std::vector<QVariant> values_;
};

}  // namespace prvc03

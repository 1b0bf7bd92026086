#include "session/VariantArray.h"

#include "session/Errors.h"

namespace prvc03 {

namespace {

std::size_t Extent(int low, int high) {
    if (high < low - 1) {
        throw Error(QStringLiteral("Invalid array bounds"));
    }
    return static_cast<std::size_t>(static_cast<long long>(high) - low + 1);
}

[[noreturn]] void OutOfRange() {
    throw Error(QStringLiteral("Index out of range"));
}

}  // namespace

VariantArray::VariantArray(int low, int high) : dims_(1), low_{low, 0}, high_{high, -1} {
    values_.resize(Extent(low, high));
}

VariantArray::VariantArray(int low1, int high1, int low2, int high2)
    : dims_(2), low_{low1, low2}, high_{high1, high2} {
    values_.resize(Extent(low1, high1) * Extent(low2, high2));
}

int VariantArray::Low(int dim) const {
    if (dim < 1 || dim > dims_) {
        OutOfRange();
    }
    return low_[dim - 1];
}

int VariantArray::High(int dim) const {
    if (dim < 1 || dim > dims_) {
        OutOfRange();
    }
    return high_[dim - 1];
}

std::size_t VariantArray::Index(int i) const {
    if (dims_ != 1 || i < low_[0] || i > high_[0]) {
        OutOfRange();
    }
    return static_cast<std::size_t>(i - low_[0]);
}

std::size_t VariantArray::Index(int row, int column) const {
    if (dims_ != 2 || row < low_[0] || row > high_[0] || column < low_[1] || column > high_[1]) {
        OutOfRange();
    }
    const auto columns = static_cast<std::size_t>(high_[1] - low_[1] + 1);
    return static_cast<std::size_t>(row - low_[0]) * columns +
           static_cast<std::size_t>(column - low_[1]);
}

const QVariant& VariantArray::at(int i) const {
    return values_[Index(i)];
}
QVariant& VariantArray::at(int i) {
    return values_[Index(i)];
}
const QVariant& VariantArray::at(int row, int column) const {
    return values_[Index(row, column)];
}
QVariant& VariantArray::at(int row, int column) {
    return values_[Index(row, column)];
}

}  // namespace prvc03

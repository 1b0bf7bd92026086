#pragma once
// What tells the two lookup windows apart. Everything else they share
// through LookupWindow; this is the one place that names the differences.

#include <QString>

namespace prvc03 {

struct LookupKind {
    const char* objectName;  // "frmRootFS" / "frmRootFH"
    // Many records ticked in a check column, or the grid's current record.
    bool multiSelect;
    // Status bar: the fixed browse label and the widths of the four panels.
    const char* browseLabel;
    int browseWidth;
    int textWidth;
    int countWidth;
    int counterWidth;
    // The first title click sorts in this direction ("DESC" or "ASC"); a
    // sort text ending in it flips to the other one. The title image is the
    // downward arrow while the sort text ends in it, the upward one otherwise.
    const char* titleFirstDirection;
    // Grid column of the first data column (after the check column, if any).
    int firstDataColumn;
    // Choosing another quick-search column empties the value box.
    bool clearValueOnFieldChange;
    // A double click in the result grid confirms the current record.
    bool doubleClickConfirms;
    // The unsaved default condition row (first column / 等于 / AND) at show.
    bool defaultConditionRow;
};

inline constexpr LookupKind kMultiSelectKind{
    .objectName = "frmRootFS",
    .multiSelect = true,
    .browseLabel = "资料浏览",
    .browseWidth = 75,
    .textWidth = 350,
    .countWidth = 75,
    .counterWidth = 80,
    .titleFirstDirection = "DESC",
    .firstDataColumn = 1,
    .clearValueOnFieldChange = true,
    .doubleClickConfirms = false,
    .defaultConditionRow = false,
};

inline constexpr LookupKind kSingleSelectKind{
    .objectName = "frmRootFH",
    .multiSelect = false,
    .browseLabel = "数据浏览",
    .browseWidth = 70,
    .textWidth = 350,
    .countWidth = 70,
    .counterWidth = 80,
    .titleFirstDirection = "ASC",
    .firstDataColumn = 0,
    .clearValueOnFieldChange = false,
    .doubleClickConfirms = true,
    .defaultConditionRow = true,
};

}  // namespace prvc03

#pragma once
// TfrmRootFH: the single-select lookup window. The current record of the
// result grid is handed back on 确定 or a double click.

#include "lookup/LookupWindow.h"

namespace prvc03 {

class TfrmRootFH final : public LookupWindow {
    Q_OBJECT
  public:
    explicit TfrmRootFH(QObject* owner);

    // The module-wide pointer of this kind (frmRootFH).
    static TfrmRootFH*& Current();

    void FormDestroy() override;
};

// The current single-select window; null while none exists.
extern TfrmRootFH* frmRootFH;

}  // namespace prvc03

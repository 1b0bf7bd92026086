#pragma once
// TfrmRootFS: the multi-select lookup window. Any number of records are
// ticked in the check column of the result grid and handed back together.

#include "lookup/LookupWindow.h"

namespace prvc03 {

class TfrmRootFS final : public LookupWindow {
    Q_OBJECT
  public:
    explicit TfrmRootFS(QObject* owner);

    // The module-wide pointer of this kind (frmRootFS).
    static TfrmRootFS*& Current();

    void FormDestroy() override;
};

// The current multi-select window; null while none exists.
extern TfrmRootFS* frmRootFS;

}  // namespace prvc03

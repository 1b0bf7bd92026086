#include "lookup/RootFH.h"

namespace prvc03 {

TfrmRootFH* frmRootFH = nullptr;

TfrmRootFH::TfrmRootFH(QObject* owner) : LookupWindow(owner, kSingleSelectKind) {}

TfrmRootFH*& TfrmRootFH::Current() {
    return frmRootFH;
}

void TfrmRootFH::FormDestroy() {
    LookupWindow::FormDestroy();
    if (frmRootFH == this) {
        frmRootFH = nullptr;
    }
}

}  // namespace prvc03

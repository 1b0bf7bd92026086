#include "lookup/RootFS.h"

namespace prvc03 {

TfrmRootFS* frmRootFS = nullptr;

TfrmRootFS::TfrmRootFS(QObject* owner) : LookupWindow(owner, kMultiSelectKind) {}

TfrmRootFS*& TfrmRootFS::Current() {
    return frmRootFS;
}

void TfrmRootFS::FormDestroy() {
    LookupWindow::FormDestroy();
    if (frmRootFS == this) {
        frmRootFS = nullptr;
    }
}

}  // namespace prvc03

#include "forms/RootF.h"

namespace prvc03 {

TfrmRootF::TfrmRootF(QObject* owner) : TfrmRoot(owner) {
    setObjectName(QStringLiteral("frmRootF"));
    SetClientSize(792, 573);
}

void TfrmRootF::CreateParams(CreateParamsData& params) {
    TfrmRoot::CreateParams(params);
    params.WndParent = platform::GetDesktopWindow();
}

void TfrmRootF::FormClose(CloseAction& action) {
    TfrmRoot::FormClose(action);
    action = CloseAction::Free;
}

}  // namespace prvc03

#pragma once
// TfrmRootF: a module window that is a top-level window of its own (the
// desktop is its parent) and frees itself when closed, unless it runs modally
// with exec(): then closing ends the modal loop and the caller frees it.

#include "forms/Root.h"

namespace prvc03 {

class TfrmRootF : public TfrmRoot {
    Q_OBJECT

  public:
    explicit TfrmRootF(QObject* owner);

    void FormClose(CloseAction& action) override;

  protected:
    void CreateParams(CreateParamsData& params) override;
};

}  // namespace prvc03

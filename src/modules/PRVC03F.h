#pragma once
// TfrmPRVC03F, the copy-user-permissions window: the operator names a source
// user and target users, and 确定 copies every ADMMH row of the source to
// each target, one transaction and one message per target.

#include <QString>
#include <QStringList>

#include "forms/RootFY.h"
#include "modules/CopyTarget.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace prvc03 {

class QueryDataset;

class TfrmPRVC03F final : public TfrmRootFY {
    Q_OBJECT

  public:
    explicit TfrmPRVC03F(QObject* owner);

    // Handlers.
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void BitBtn1Click();
    void BitBtn2Click();
    // 预览: runs the checks of 确定, then each target's copy in a transaction
    // that is rolled back, and shows what 确定 would do.
    void BitBtn3Click();
    // Keys in the two boxes (virtual-key codes; set to 0 when consumed): F4
    // opens the box's lookup, Delete in the list deletes the selected line,
    // Ctrl+V in the list pastes user codes.
    void Edit1KeyDown(int& key, Qt::KeyboardModifiers shift);
    void ListBox1KeyDown(int& key, Qt::KeyboardModifiers shift);
    // Ctrl+V in the list, or "粘贴用户编号" in its context menu: the codes on
    // the clipboard, through PasteTargetCodes.
    void ListBox1Paste();
    // Codes separated by line breaks, tabs, commas or blanks, looked up in
    // ADMMG: each user found becomes a target line as if picked, in pasted
    // order; the codes without a user are named in one message box.
    void PasteTargetCodes(const QString& text);

    // Adds one target line for a picked user; the line keeps the exact code.
    void AddTargetLine(const QString& code, const QString& name);
    // The exact user code a target line stands for.
    QString TargetCode(int line) const;
    // The user a target line stands for: exact code and name.
    CopyTarget Target(int line) const;

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    // 只补缺少的权限: each target gets only the source's programs it does not
    // hold yet; off whenever the window opens.
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QAction* PasteAction = nullptr;
    // Describes the lookup columns; never opened.
    QueryDataset* hqryADMMG = nullptr;

  private:
    // The exact codes of the target lines, in list order.
    QStringList TargetCodes() const;
};

}  // namespace prvc03

#include "modules/PRVC03F.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTabWidget>
#include <QToolButton>

#include <memory>

#include "data/QueryDataset.h"
#include "forms/Controls.h"
#include "forms/KeyDownHook.h"
#include "lookup/LookupCaller.h"
#include "lookup/RootFH.h"
#include "lookup/RootFS.h"
#include "modules/CopyChecks.h"
#include "modules/CopyDryRun.h"
#include "modules/CopyPreview.h"
#include "modules/CopyStatements.h"
#include "modules/CopyTransaction.h"
#include "platform/Cp936.h"
#include "platform/Windows.h"
#include "resources/Glyphs.h"
#include "session/Errors.h"
#include "session/Global.h"

namespace prvc03 {

namespace {

const QString kUsersFrom = QStringLiteral("FROM ADMMG WHERE 1=1");
constexpr int kCodeRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;

// A message box of this window: no owner, caption "提示信息", OK button.
void Tell(const QString& text, unsigned type) {
    const QByteArray bytes = platform::ToCp936(text);
    const QByteArray caption = platform::ToCp936(QStringLiteral("提示信息"));
    platform::MessageBoxA(0, bytes.constData(), caption.constData(), type | platform::MB_OK);
}

// Tells the operator why the copy stops, then stops the handler silently.
[[noreturn]] void Refuse(const QString& text) {
    Tell(text, platform::MB_ICONSTOP);
    throw Abort();
}

Field UserField(const char* component, const char* name, const QString& label, int size) {
    Field field =
        DataField(QLatin1String(name), FieldType::WideString, size, label, QStringLiteral("ADMMG"));
    field.Name = QLatin1String(component);
    return field;
}

// Keeps the window from taking input while the copy runs.
class InputBlock final {
  public:
    explicit InputBlock(QWidget* window) : window_(window) { window_->setEnabled(false); }
    ~InputBlock() { window_->setEnabled(true); }
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;

  private:
    QWidget* window_;
};

// One target line's copy on the session's connection. A connection lost
// during the copy fails this line, and the next ones, each with its message.
CopyOutcome CopyToConnection(const QString& targetCode, const QString& sourceText) {
    QSqlDatabase* connection = nullptr;
    try {
        connection = &Connection();
    } catch (const Error& error) {
        CopyOutcome outcome;
        outcome.error = error.Message();
        return outcome;
    }
    return CopyToTarget(*connection, targetCode, sourceText);
}

}  // namespace

TfrmPRVC03F::TfrmPRVC03F(QObject* owner) : TfrmRootFY(owner) {
    setObjectName(QStringLiteral("frmPRVC03F"));
    setWindowTitle(QStringLiteral("复制用户权限"));

    QWidget* page = TabSheet1;
    Label1 = new QLabel(QStringLiteral("选择原用户"), page);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(104, 48, 80, 16);

    Edit1 = new QLineEdit(page);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(192, 48, 145, 24);
    Edit1->setStyleSheet(QStringLiteral("QLineEdit { background-color: rgb(255, 255, 175); }"));
    Edit1->setAccessibleName(QStringLiteral("原用户编号"));
    Label1->setBuddy(Edit1);

    Edit1->setToolTip(QStringLiteral("输入原用户编号，按 F4 选择原用户"));
    SpeedButton1 =
        FlatGlyphButton(page, "SpeedButton1", Glyph::Lookup, 16, QStringLiteral("选择原用户"),
                        QStringLiteral("在原用户框中按 F4"), QRect(336, 49, 23, 22));

    GroupBox2 = new QGroupBox(QStringLiteral("输入新用户"), page);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(96, 104, 281, 193);

    ListBox1 = new QListWidget(GroupBox2);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(16, 32, 225, 145);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setStyleSheet(
        QStringLiteral("QListWidget { background-color: rgb(255, 255, 175); }"));
    ListBox1->setAccessibleName(QStringLiteral("新用户列表"));
    ListBox1->setToolTip(QStringLiteral("按 F4 添加新用户，按 Delete 删除选中的新用户"));

    SpeedButton2 =
        FlatGlyphButton(GroupBox2, "SpeedButton2", Glyph::Lookup, 16, QStringLiteral("添加新用户"),
                        QStringLiteral("在新用户列表中按 F4"), QRect(240, 33, 23, 22));
    SpeedButton3 = FlatGlyphButton(
        GroupBox2, "SpeedButton3", Glyph::DeleteLine, 18, QStringLiteral("删除选中的新用户"),
        QStringLiteral("在新用户列表中按 Delete"), QRect(240, 57, 23, 22));
    SpeedButton4 =
        FlatGlyphButton(GroupBox2, "SpeedButton4", Glyph::ClearList, 18,
                        QStringLiteral("清空新用户列表"), QString(), QRect(240, 81, 23, 22));

    // 预览 at the left end of the bottom row, apart from 确定 / 取消.
    BitBtn3 = BitBtn(this, "BitBtn3", QStringLiteral("预览"), Glyph::Preview);
    BitBtn3->setGeometry(19, 384, 97, 30);
    BitBtn3->setToolTip(QStringLiteral("预览复制：列出每位新用户将复制的笔数，不写入资料"));

    // Tab order: the group's list, the source box, then 确定, 取消, 预览.
    // The flat glyph buttons take no focus.
    setTabOrder(ListBox1, Edit1);
    setTabOrder(Edit1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);

    hqryADMMG = new QueryDataset(this);
    hqryADMMG->setObjectName(QStringLiteral("hqryADMMG"));
    hqryADMMG->AddField(UserField("hqryADMMGMG001", "MG001", QStringLiteral("用户编号"), 10));
    hqryADMMG->AddField(UserField("hqryADMMGMG002", "MG002", QStringLiteral("用户名称"), 20));

    Bind(SpeedButton1, &QToolButton::clicked, &TfrmPRVC03F::SpeedButton1Click);
    Bind(SpeedButton2, &QToolButton::clicked, &TfrmPRVC03F::SpeedButton2Click);
    Bind(SpeedButton3, &QToolButton::clicked, &TfrmPRVC03F::SpeedButton3Click);
    Bind(SpeedButton4, &QToolButton::clicked, &TfrmPRVC03F::SpeedButton4Click);
    Bind(BitBtn1, &QPushButton::clicked, &TfrmPRVC03F::BitBtn1Click);
    Bind(BitBtn2, &QPushButton::clicked, &TfrmPRVC03F::BitBtn2Click);
    Bind(BitBtn3, &QPushButton::clicked, &TfrmPRVC03F::BitBtn3Click);
    Bind(new KeyDownHook(Edit1), &KeyDownHook::KeyDown, &TfrmPRVC03F::Edit1KeyDown);
    Bind(new KeyDownHook(ListBox1), &KeyDownHook::KeyDown, &TfrmPRVC03F::ListBox1KeyDown);
}

void TfrmPRVC03F::SpeedButton1Click() {
    const std::optional<VariantArray> picked = RunLookup<TfrmRootFH>(*hqryADMMG, kUsersFrom);
    // An array without elements (the result query was closed) picks nothing.
    if (!picked || picked->IsEmpty()) {
        return;
    }
    Edit1->setText(picked->at(picked->Low()).toString());
}

void TfrmPRVC03F::SpeedButton2Click() {
    const std::optional<VariantArray> picked = RunLookup<TfrmRootFS>(*hqryADMMG, kUsersFrom);
    if (!picked || picked->IsEmpty()) {
        return;
    }
    int skipped = 0;
    for (int row = picked->Low(1); row <= picked->High(1); ++row) {
        const QVariant& code = picked->at(row, 1);
        const QVariant& name = picked->at(row, 2);
        // A row without a code names no user.
        if (!code.isValid() || code.isNull()) {
            ++skipped;
            continue;
        }
        AddTargetLine(code.toString(), name.isNull() ? QString() : name.toString());
    }
    if (skipped > 0) {
        Tell(QStringLiteral("选取的资料中有 %1 笔用户编号为空，已略过．").arg(skipped),
             platform::MB_ICONSTOP);
    }
}

void TfrmPRVC03F::SpeedButton3Click() {
    const int row = ListBox1->currentRow();
    if (row >= 0 && ListBox1->currentItem() != nullptr && ListBox1->currentItem()->isSelected()) {
        delete ListBox1->takeItem(row);
    }
}

void TfrmPRVC03F::SpeedButton4Click() {
    ListBox1->clear();
}

void TfrmPRVC03F::AddTargetLine(const QString& code, const QString& name) {
    auto* item = new QListWidgetItem(TargetLine(code, name), ListBox1);
    item->setData(kCodeRole, code);
    item->setData(kNameRole, name);
}

QString TfrmPRVC03F::TargetCode(int line) const {
    const QListWidgetItem* item = ListBox1->item(line);
    return item == nullptr ? QString() : item->data(kCodeRole).toString();
}

QStringList TfrmPRVC03F::TargetCodes() const {
    QStringList codes;
    for (int line = 0; line < ListBox1->count(); ++line) {
        codes << TargetCode(line);
    }
    return codes;
}

void TfrmPRVC03F::BitBtn1Click() {
    const QString sourceText = Edit1->text();
    if (const std::optional<QString> refusal =
            CopyRefusal(Connection(), sourceText, TargetCodes())) {
        Refuse(*refusal);
    }

    {
        const InputBlock block(this);
        for (int line = 0; line < ListBox1->count(); ++line) {
            if (CopyToConnection(TargetCode(line), sourceText).committed) {
                Tell(QStringLiteral("复制用户权限成功．"), platform::MB_ICONQUESTION);
            } else {
                Tell(QStringLiteral("复制用户权限失败．"), platform::MB_ICONSTOP);
            }
        }
    }
    close();
}

void TfrmPRVC03F::BitBtn2Click() {
    close();
}

void TfrmPRVC03F::BitBtn3Click() {
    const QString sourceText = Edit1->text();
    if (const std::optional<QString> refusal =
            CopyRefusal(Connection(), sourceText, TargetCodes())) {
        Refuse(*refusal);
    }
    std::vector<CopyTarget> targets;
    for (int line = 0; line < ListBox1->count(); ++line) {
        targets.push_back({TargetCode(line), ListBox1->item(line)->data(kNameRole).toString()});
    }
    std::vector<CopyForecast> forecasts;
    {
        const InputBlock block(this);
        forecasts = CopyDryRun(Connection()).Run(sourceText, targets);
    }
    auto preview = std::make_unique<TfrmCopyPreview>(nullptr);
    preview->SetForecasts(TrimControl(sourceText), forecasts);
    preview->exec();
}

void TfrmPRVC03F::Edit1KeyDown(int& key, Qt::KeyboardModifiers shift) {
    if (key == platform::VK_F4 && shift == Qt::NoModifier) {
        key = 0;
        SpeedButton1Click();
    }
}

void TfrmPRVC03F::ListBox1KeyDown(int& key, Qt::KeyboardModifiers shift) {
    if (shift != Qt::NoModifier) {
        return;
    }
    if (key == platform::VK_F4) {
        key = 0;
        SpeedButton2Click();
    } else if (key == platform::VK_DELETE) {
        key = 0;
        SpeedButton3Click();
    }
}

}  // namespace prvc03

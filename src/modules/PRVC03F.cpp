#include "modules/PRVC03F.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
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
#include "modules/CopyLedger.h"
#include "modules/CopyPreview.h"
#include "modules/CopyReport.h"
#include "modules/CopyStatements.h"
#include "modules/InputBlock.h"
#include "modules/MessageBoxes.h"
#include "modules/PastedCodes.h"
#include "platform/Windows.h"
#include "resources/Glyphs.h"
#include "session/Errors.h"
#include "session/Global.h"

namespace prvc03 {

namespace {

const QString kUsersFrom = QStringLiteral("FROM ADMMG WHERE 1=1");
constexpr int kCodeRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;
// At most this many codes are named when pasted codes name no user.
constexpr int kMissingNamed = 50;

Field UserField(const char* component, const char* name, const QString& label, int size) {
    Field field =
        DataField(QLatin1String(name), FieldType::WideString, size, label, QStringLiteral("ADMMG"));
    field.Name = QLatin1String(component);
    return field;
}

// One target line's copy on the session's connection, recorded. A
// connection lost during the copy fails this line, and the next ones, each
// with its message.
const CopiedLine& CopyOnConnection(CopyLedger& ledger, const CopyTarget& target) {
    QSqlDatabase* connection = nullptr;
    try {
        connection = &Connection();
    } catch (const Error& error) {
        return ledger.Fail(target, error.Message());
    }
    return ledger.Copy(*connection, target);
}

// A picked value as the text of a target line. NULL has no text: the
// conversion fails, as it does for the operator's own tools.
QString PickedText(const QVariant& value, int row, const QString& what) {
    if (!value.isValid() || value.isNull()) {
        throw Error(QStringLiteral("无法把空值（NULL）转换为文字：第 %1 笔资料的%2为空，"
                                   "该笔及其后的资料未加入新用户列表．")
                        .arg(row + 1)
                        .arg(what));
    }
    return value.toString();
}

// A code for a message box: characters no box can show stand as "?", and a
// code longer than any user's is cut.
QString Printable(const QString& code) {
    constexpr int kShown = 20;
    QString shown = code.size() > kShown ? code.left(kShown) + QStringLiteral("…") : code;
    for (QChar& c : shown) {
        if (c.unicode() < 0x20 || c.isSurrogate()) {
            c = QLatin1Char('?');
        }
    }
    return shown;
}

}  // namespace

TfrmPRVC03F::TfrmPRVC03F(QObject* owner) : TfrmRootFY(owner) {
    setObjectName(QStringLiteral("frmPRVC03F"));
    setWindowTitle(QStringLiteral("复制用户权限"));

    QWidget* page = TabSheet1;
    Label1 = Named(new QLabel(QStringLiteral("选择原用户"), page), "Label1");
    Label1->setGeometry(104, 48, 80, 16);

    Edit1 = Named(new QLineEdit(page), "Edit1");
    Edit1->setGeometry(192, 48, 145, 24);
    Edit1->setStyleSheet(QStringLiteral("QLineEdit { background-color: rgb(255, 255, 175); }"));
    Edit1->setAccessibleName(QStringLiteral("原用户编号"));
    Label1->setBuddy(Edit1);

    Edit1->setToolTip(QStringLiteral("输入原用户编号，按 F4 选择原用户"));
    SpeedButton1 =
        FlatGlyphButton(page, "SpeedButton1", Glyph::Lookup, 16, QStringLiteral("选择原用户"),
                        QStringLiteral("在原用户框中按 F4"), QRect(336, 49, 23, 22));

    GroupBox2 = Named(new QGroupBox(QStringLiteral("输入新用户"), page), "GroupBox2");
    GroupBox2->setGeometry(96, 104, 281, 193);

    ListBox1 = Named(new QListWidget(GroupBox2), "ListBox1");
    ListBox1->setGeometry(16, 32, 225, 145);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setStyleSheet(
        QStringLiteral("QListWidget { background-color: rgb(255, 255, 175); }"));
    ListBox1->setAccessibleName(QStringLiteral("新用户列表"));
    ListBox1->setToolTip(
        QStringLiteral("按 F4 添加新用户，按 Delete 删除选中的新用户，按 Ctrl+V 粘贴用户编号"));
    // The list's context menu: paste user codes, as Ctrl+V does.
    PasteAction =
        Named(new QAction(QStringLiteral("粘贴用户编号(&P)\tCtrl+V"), ListBox1), "PasteAction");
    ListBox1->addAction(PasteAction);
    ListBox1->setContextMenuPolicy(Qt::ActionsContextMenu);

    SpeedButton2 =
        FlatGlyphButton(GroupBox2, "SpeedButton2", Glyph::Lookup, 16, QStringLiteral("添加新用户"),
                        QStringLiteral("在新用户列表中按 F4"), QRect(240, 33, 23, 22));
    SpeedButton3 = FlatGlyphButton(
        GroupBox2, "SpeedButton3", Glyph::DeleteLine, 18, QStringLiteral("删除选中的新用户"),
        QStringLiteral("在新用户列表中按 Delete"), QRect(240, 57, 23, 22));
    SpeedButton4 =
        FlatGlyphButton(GroupBox2, "SpeedButton4", Glyph::ClearList, 18,
                        QStringLiteral("清空新用户列表"), QString(), QRect(240, 81, 23, 22));

    // Below the group, clear of the specified controls.
    CheckBox1 = Named(new QCheckBox(QStringLiteral("只补缺少的权限(&M)"), page), "CheckBox1");
    CheckBox1->setGeometry(104, 312, 260, 22);
    CheckBox1->setAccessibleName(QStringLiteral("只补缺少的权限"));
    CheckBox1->setToolTip(
        QStringLiteral("勾选时每位新用户只补上尚未拥有的程序，其原有的权限保持不变"));
    CheckBox1->setChecked(false);

    // 预览 at the left end of the bottom row, apart from 确定 / 取消.
    BitBtn3 = BitBtn(this, "BitBtn3", QStringLiteral("预览"), Glyph::Preview);
    BitBtn3->setGeometry(19, 384, 97, 30);
    BitBtn3->setToolTip(QStringLiteral("预览复制：列出每位新用户将复制的笔数，不写入资料"));

    // Tab order: the group's list, the source box, then 确定, 取消, 预览 and
    // the option. The flat glyph buttons take no focus.
    setTabOrder(ListBox1, Edit1);
    setTabOrder(Edit1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);
    setTabOrder(BitBtn3, CheckBox1);

    hqryADMMG = Named(new QueryDataset(this), "hqryADMMG");
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
    Bind(PasteAction, &QAction::triggered, &TfrmPRVC03F::ListBox1Paste);
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
    // A row whose code or name is NULL stops the adding there: the lines
    // before it stay, the rows after it are not added.
    for (int row = picked->Low(1); row <= picked->High(1); ++row) {
        const int index = row - picked->Low(1);
        const QString code = PickedText(picked->at(row, 1), index, QStringLiteral("用户编号"));
        const QString name = PickedText(picked->at(row, 2), index, QStringLiteral("用户名称"));
        AddTargetLine(code, name);
    }
}

void TfrmPRVC03F::ListBox1Paste() {
    PasteTargetCodes(QGuiApplication::clipboard()->text());
}

void TfrmPRVC03F::PasteTargetCodes(const QString& text) {
    const QStringList codes = SplitPastedCodes(text);
    if (codes.isEmpty()) {
        Refuse(QStringLiteral("粘贴的内容中没有用户编号．"));
    }
    const PastedUsers users = FindPastedUsers(Connection(), codes);
    if (!users.missing.isEmpty()) {
        QStringList named;
        for (const QString& code : users.missing.mid(0, kMissingNamed)) {
            named << Printable(code);
        }
        QString text = QStringLiteral("以下用户编号不存在：") + named.join(QStringLiteral("、"));
        if (users.missing.size() > kMissingNamed) {
            text += QStringLiteral("等，共 %1 个").arg(users.missing.size());
        }
        Tell(text + QStringLiteral("．"), platform::MB_ICONSTOP);
    }
    int index = 0;
    for (const PastedUser& user : users.found) {
        AddTargetLine(PickedText(user.code, index, QStringLiteral("用户编号")),
                      PickedText(user.name, index, QStringLiteral("用户名称")));
        ++index;
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

CopyTarget TfrmPRVC03F::Target(int line) const {
    const QListWidgetItem* item = ListBox1->item(line);
    return item == nullptr
               ? CopyTarget{}
               : CopyTarget{item->data(kCodeRole).toString(), item->data(kNameRole).toString()};
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

    CopyLedger ledger(sourceText, CheckBox1->isChecked());
    {
        const InputBlock block(this);
        for (int line = 0; line < ListBox1->count(); ++line) {
            if (CopyOnConnection(ledger, Target(line)).outcome.committed) {
                Tell(QStringLiteral("复制用户权限成功．"), platform::MB_ICONQUESTION);
            } else {
                Tell(QStringLiteral("复制用户权限失败．"), platform::MB_ICONSTOP);
            }
        }
    }
    close();
    ShowCopyReport(ledger, windowTitle());
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
        targets.push_back(Target(line));
    }
    CopyDryRun dryRun(Connection());
    std::vector<CopyForecast> forecasts;
    {
        const InputBlock block(this);
        forecasts = dryRun.Run(sourceText, targets, CheckBox1->isChecked());
    }
    auto preview = std::make_unique<TfrmCopyPreview>(nullptr);
    preview->SetForecasts(TrimControl(sourceText), forecasts, dryRun.SourcePrograms());
    if (CheckBox1->isChecked()) {
        preview->Label1->setText(preview->Label1->text() +
                                 QStringLiteral("只补缺少的权限：标为“目标已有”的程序不复制．"));
    }
    preview->exec();
}

void TfrmPRVC03F::Edit1KeyDown(int& key, Qt::KeyboardModifiers shift) {
    if (key == platform::VK_F4 && shift == Qt::NoModifier) {
        key = 0;
        SpeedButton1Click();
    }
}

void TfrmPRVC03F::ListBox1KeyDown(int& key, Qt::KeyboardModifiers shift) {
    if (key == 'V' && shift == Qt::ControlModifier) {
        key = 0;
        ListBox1Paste();
        return;
    }
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

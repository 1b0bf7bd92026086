#include "lookup/LookupWindow.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "data/DataSource.h"
#include "data/MemTable.h"
#include "data/QueryDataset.h"
#include "forms/Controls.h"
#include "forms/QueryProgress.h"
#include "lookup/LookupLogic.h"
#include "lookup/LookupStatements.h"
#include "lookup/PinyinMatcher.h"
#include "lookup/PinyinReadings.h"
#include "resources/Glyphs.h"
#include "session/Errors.h"
#include "session/Global.h"
#include "widgets/CheckList.h"
#include "widgets/ConditionGrid.h"
#include "widgets/DatasetModel.h"
#include "widgets/DropDownButton.h"
#include "widgets/GridCombo.h"
#include "widgets/ListBox.h"
#include "widgets/MapListCombo.h"

namespace prvc03 {

namespace {

// A box layout of `parent` with its margins and the spacing between items.
template <class Box>
Box* BoxLayout(QWidget* parent, const QMargins& margins, int spacing) {
    auto* box = new Box(parent);
    box->setContentsMargins(margins);
    box->setSpacing(spacing);
    return box;
}

constexpr int kClientWidth = 592;
constexpr int kClientHeight = 563;
constexpr int kSearchRowHeight = 25;
constexpr int kConditionPanelHeight = 175;
constexpr int kSortPanelHeight = 121;
constexpr int kStatusBarHeight = 22;
constexpr int kButtonRowHeight = 41;
constexpr QSize kBitBtnSize(97, 30);
constexpr QSize kMoveButtonSize(33, 30);

QToolButton* NavigationButton(QWidget* parent, const char* name, Glyph glyph, const QString& hint) {
    auto* button = GlyphButton(parent, name, glyph, 16, hint);
    button->setFixedSize(25, 25);
    button->setText(hint);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return button;
}

QWidget* Panel(QWidget* parent, const char* name, int height) {
    auto* panel = Named(new QWidget(parent), name);
    panel->setFixedHeight(height);
    return panel;
}

}  // namespace

LookupWindow::LookupWindow(QObject* owner, const LookupKind& kind) : TfrmRootF(owner), kind_(kind) {
    setObjectName(QLatin1String(kind.objectName));
    setWindowTitle(QStringLiteral("查询窗口"));
    SetClientSize(kClientWidth, kClientHeight);

    QryFhelp = Named(new QueryDataset(this), "QryFhelp");
    // The result query runs on a thread of its own while the window waits,
    // showing "正在查询…" with 取消 after a second.
    QryFhelp->SetReadWait(new QueryProgress(this));
    if (kind_.multiSelect) {
        QryFhelp->AddField(SelectedField());
    }
    // Picks name positions of one result set: a new or closed one drops them.
    connections_.push_back(connect(QryFhelp, &QueryDataset::ResetDone, this, [this] {
        picks_.Reset(QryFhelp->Active() ? QryFhelp->HeldRecordCount() : 0);
    }));
    DSFhelp = Named(new DataSource(this), "DSFhelp");
    DSFhelp->SetDataSet(QryFhelp);
    CDSTmp = Named(new MemTable(this), "CDSTmp");
    DSTmp = Named(new DataSource(this), "DSTmp");
    DSTmp->SetTable(CDSTmp);

    BuildLayout();
    ConnectHandlers();
}

LookupWindow::~LookupWindow() {
    // QWidget deletes the controls after this part of the window is gone:
    // nothing of theirs may call back into it any more.
    for (const QMetaObject::Connection& connection : connections_) {
        disconnect(connection);
    }
    wwDBGridQ->viewport()->removeEventFilter(this);
    if (DatasetModel* model = wwDBGridH->ResultModel()) {
        model->SetCalcTitleImage({});
        model->SetCalcTitleState({});
        model->SetIsPicked({});
    }
    wwDBGridH->SetCalcCellColors({});
}

// ---- layout -------------------------------------------------------------------

void LookupWindow::BuildLayout() {
    auto* layout = BoxLayout<QVBoxLayout>(this, {0, 0, 0, 0}, 0);
    BuildSearchRow();
    BuildConditionPanel();
    BuildSortPanel();
    BuildResultGrid();
    BuildStatusBar();
    layout->addWidget(ToolBar1);
    layout->addWidget(Panel4);
    layout->addWidget(Panel6);
    layout->addWidget(wwDBGridH, 1);
    layout->addWidget(StatusBar1);
    BuildButtonRow();
}

void LookupWindow::BuildSearchRow() {
    ToolBar1 = Panel(this, "ToolBar1", kSearchRowHeight);
    auto* row = BoxLayout<QHBoxLayout>(ToolBar1, {0, 0, 0, 0}, 0);
    TFirst = NavigationButton(ToolBar1, "TFirst", Glyph::NavFirst, QStringLiteral("最前一笔"));
    TPrior = NavigationButton(ToolBar1, "TPrior", Glyph::NavPrior, QStringLiteral("上一笔"));
    TNext = NavigationButton(ToolBar1, "TNext", Glyph::NavNext, QStringLiteral("下一笔"));
    TLast = NavigationButton(ToolBar1, "TLast", Glyph::NavLast, QStringLiteral("最后一笔"));

    StaticText1 = Named(new QLabel(QStringLiteral("重查"), ToolBar1), "StaticText1");
    StaticText1->setContentsMargins(4, 0, 3, 0);
    StaticText1->setAlignment(Qt::AlignCenter);

    SearchField = Named(new MapListCombo(ToolBar1), "SearchField");
    SearchField->setFixedSize(137, kSearchRowHeight);
    SearchField->setAccessibleName(QStringLiteral("查找字段"));
    StaticText1->setBuddy(SearchField);

    SearchValue = Named(new QLineEdit(ToolBar1), "SearchValue");
    SearchValue->setFixedSize(195, kSearchRowHeight);
    SearchValue->setAccessibleName(QStringLiteral("查找内容"));
    SearchValue->setToolTip(QStringLiteral("查找内容"));

    cxButton1 = Named(new DropDownButton(ToolBar1), "cxButton1");
    cxButton1->setFixedSize(113, kSearchRowHeight);
    cxButton1->SetCaption(kModeResearch);
    cxButton1->SetGlyph(GlyphIcon(Glyph::ModeResearch));
    cxButton1->setFocusPolicy(Qt::StrongFocus);
    cxButton1->SetPurpose(QStringLiteral("查找"));
    cxButton1->setToolTip(QStringLiteral("空格键查找；F4 或 Alt+↓ 选择查找方式"));
    PopupMenu1 = Named(new QMenu(cxButton1), "PopupMenu1");
    fC = Named(PopupMenu1->addAction(GlyphIcon(Glyph::ModeResearch), kModeResearch), "fC");
    fB = Named(PopupMenu1->addAction(GlyphIcon(Glyph::ModeFuzzy), kModeFuzzy), "fB");
    fD = Named(PopupMenu1->addAction(GlyphIcon(Glyph::ModePinyin), kModePinyin), "fD");
    fA = Named(PopupMenu1->addAction(GlyphIcon(Glyph::ModeAdvanced), kModeAdvanced), "fA");
    cxButton1->SetDropDownMenu(PopupMenu1);

    for (QWidget* w : {static_cast<QWidget*>(TFirst), static_cast<QWidget*>(TPrior),
                       static_cast<QWidget*>(TNext), static_cast<QWidget*>(TLast)}) {
        row->addWidget(w);
    }
    row->addWidget(StaticText1);
    row->addWidget(SearchField);
    row->addWidget(SearchValue);
    row->addWidget(cxButton1);
    row->addStretch(1);
}

void LookupWindow::BuildConditionPanel() {
    Panel4 = Panel(this, "Panel4", kConditionPanelHeight);
    auto* column = BoxLayout<QVBoxLayout>(Panel4, {2, 2, 2, 2}, 2);

    wwDBGridQ = Named(new ConditionGrid(Panel4), "wwDBGridQ");
    wwDBGridQ->setAccessibleName(QStringLiteral("查询条件"));
    cbField = Named(new GridCombo(Panel4), "cbField");
    cbField->SetClearKey(true);
    cbOperator = Named(new GridCombo(Panel4), "cbOperator");
    cbOperator->addItems(ConditionOperators());
    cbLogic = Named(new GridCombo(Panel4), "cbLogic");
    cbLogic->addItems({QStringLiteral("AND"), QStringLiteral("OR")});
    wwDBGridQ->SetDataSource(DSTmp);
    wwDBGridQ->SetColumnEditor(MemTable::FField, cbField);
    wwDBGridQ->SetColumnEditor(MemTable::FOperator, cbOperator);
    wwDBGridQ->SetColumnEditor(MemTable::FLogic, cbLogic);
    wwDBGridQ->viewport()->installEventFilter(this);
    connections_.push_back(connect(wwDBGridQ->model(), &QAbstractItemModel::modelReset, this,
                                   &LookupWindow::FitConditionColumns));

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(1);
    BitBtn4 = BitBtn(Panel4, "BitBtn4", QStringLiteral("排序"), Glyph::Sort, kBitBtnSize);
    BitBtn3 = BitBtn(Panel4, "BitBtn3", QStringLiteral("查询"), Glyph::Query, kBitBtnSize);
    buttons->addWidget(BitBtn4);
    buttons->addWidget(BitBtn3);
    column->addWidget(wwDBGridQ, 1);
    column->addLayout(buttons);
}

void LookupWindow::BuildSortPanel() {
    Panel6 = Panel(this, "Panel6", kSortPanelHeight);
    auto* row = BoxLayout<QHBoxLayout>(Panel6, {4, 3, 4, 3}, 0);

    lbOrder1 = Named(new ListBox(Panel6), "lbOrder1");
    lbOrder1->setFixedWidth(248);
    lbOrder1->setAccessibleName(QStringLiteral("可排序字段"));
    lbOrder1->setToolTip(QStringLiteral("双击加入排序"));
    BitBtn6 = GlyphBitBtn(Panel6, "BitBtn6", Glyph::MoveRight, QStringLiteral("加入排序字段"),
                          kMoveButtonSize);
    BitBtn7 = GlyphBitBtn(Panel6, "BitBtn7", Glyph::MoveLeft, QStringLiteral("移除排序字段"),
                          kMoveButtonSize);
    cbOrder1 = Named(new CheckList(Panel6), "cbOrder1");
    cbOrder1->setFixedWidth(259);
    cbOrder1->setAccessibleName(QStringLiteral("排序顺序"));
    cbOrder1->setToolTip(QStringLiteral("双击或空格键切换升降序"));
    cbOrder1->SetImages({GlyphIcon(Glyph::OrderAscending), GlyphIcon(Glyph::OrderDescending)});

    auto* moves = new QVBoxLayout;
    moves->setContentsMargins(0, 0, 0, 0);
    moves->setSpacing(8);
    moves->addStretch(1);
    moves->addWidget(BitBtn6, 0, Qt::AlignHCenter);
    moves->addWidget(BitBtn7, 0, Qt::AlignHCenter);
    moves->addStretch(1);
    row->addWidget(lbOrder1);
    row->addStretch(1);
    row->addLayout(moves);
    row->addStretch(1);
    row->addWidget(cbOrder1);
}

void LookupWindow::BuildResultGrid() {
    wwDBGridH = Named(new DataGrid(this), "wwDBGridH");
    wwDBGridH->setAccessibleName(QStringLiteral("查询结果"));
    wwDBGridH->SetRowIndicator(!kind_.multiSelect);
    // The arrow keys move between cells; Tab goes on to the buttons below.
    wwDBGridH->setTabKeyNavigation(false);
    if (kind_.multiSelect) {
        wwDBGridH->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    wwDBGridH->SetDataSource(DSFhelp);
    DatasetModel* model = wwDBGridH->ResultModel();
    model->SetTitleImages({GlyphIcon(Glyph::TitleDown), GlyphIcon(Glyph::TitleUp)});
    model->SetCalcTitleImage([this](const Field& field) { return wwDBGridHCalcTitleImage(field); });
    model->SetCalcTitleState([this](const Field& field) { return wwDBGridHCalcTitleState(field); });
    // The context menu (Menu key, Shift+F10, right click): sort by the
    // current column from the keyboard.
    SortAction = Named(new QAction(QStringLiteral("按此列排序(&S)"), wwDBGridH), "SortAction");
    wwDBGridH->addAction(SortAction);
    wwDBGridH->setContextMenuPolicy(Qt::ActionsContextMenu);
    model->SetIsPicked([this](int record) { return picks_.Contains(record); });
    wwDBGridH->SetCalcCellColors(
        [this](const QModelIndex& index, bool currentRow, bool highlighted, CellColors& colors) {
            wwDBGridHCalcCellColors(index, currentRow, highlighted, colors);
        });
}

void LookupWindow::BuildStatusBar() {
    StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setFixedHeight(kStatusBarHeight);
    StatusBar1->setSizeGripEnabled(false);
    const int widths[4] = {kind_.browseWidth, kind_.textWidth, kind_.countWidth,
                           kind_.counterWidth};
    const QString labels[4] = {QString::fromUtf8(kind_.browseLabel), QString(),
                               QStringLiteral("资料笔数"), QString()};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(labels[i], StatusBar1);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setFixedWidth(widths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(2, 0, 2, 0);
        StatusBar1->addWidget(panel);
        statusPanels_[i] = panel;
    }
}

void LookupWindow::BuildButtonRow() {
    auto* bar = Panel(this, "Panel1", kButtonRowHeight);
    auto* row = BoxLayout<QHBoxLayout>(bar, {8, 5, 8, 6}, 6);
    if (kind_.multiSelect) {
        BitBtn5 = BitBtn(bar, "BitBtn5", QStringLiteral("全选"), Glyph::SelectAll, kBitBtnSize);
        BitBtn8 = BitBtn(bar, "BitBtn8", QStringLiteral("全不选"), Glyph::SelectNone, kBitBtnSize);
        row->addWidget(BitBtn5);
        row->addWidget(BitBtn8);
    }
    row->addStretch(1);
    BitBtn1 = BitBtn(bar, "BitBtn1", QStringLiteral("确定"), Glyph::Ok, kBitBtnSize);
    BitBtn2 = BitBtn(bar, "BitBtn2", QStringLiteral("取消"), Glyph::Cancel, kBitBtnSize);
    row->addWidget(BitBtn1);
    row->addWidget(BitBtn2);
    static_cast<QVBoxLayout*>(layout())->addWidget(bar);
}

void LookupWindow::ConnectHandlers() {
    Bind(TFirst, &QToolButton::clicked, &LookupWindow::TFirstClick);
    Bind(TPrior, &QToolButton::clicked, &LookupWindow::TPriorClick);
    Bind(TNext, &QToolButton::clicked, &LookupWindow::TNextClick);
    Bind(TLast, &QToolButton::clicked, &LookupWindow::TLastClick);
    Bind(fC, &QAction::triggered, &LookupWindow::fCClick);
    Bind(fB, &QAction::triggered, &LookupWindow::fBClick);
    Bind(fD, &QAction::triggered, &LookupWindow::fDClick);
    Bind(fA, &QAction::triggered, &LookupWindow::fAClick);
    Bind(cxButton1, &QToolButton::clicked, &LookupWindow::cxButton1Click);
    Bind(SearchField, &QComboBox::currentIndexChanged, &LookupWindow::SearchFieldChange);
    Bind(BitBtn3, &QPushButton::clicked, &LookupWindow::BitBtn3Click);
    Bind(BitBtn4, &QPushButton::clicked, &LookupWindow::BitBtn4Click);
    Bind(lbOrder1, &ListBox::DblClick, &LookupWindow::lbOrder1DblClick);
    Bind(BitBtn6, &QPushButton::clicked, &LookupWindow::BitBtn6Click);
    Bind(BitBtn7, &QPushButton::clicked, &LookupWindow::BitBtn7Click);
    Bind(cbOrder1, &CheckList::DblClick, &LookupWindow::cbOrder1DblClick);
    // Every flip of a direction (double click or Space) keeps its arrow in step.
    connections_.push_back(connect(cbOrder1, &CheckList::CheckStateFlipped, this, [this](int row) {
        RunHandler([&] { cbOrder1->SetImageIndex(row, cbOrder1->Checked(row) ? 0 : 1); });
    }));
    Bind(wwDBGridH, &DataGrid::TitleButtonClick, &LookupWindow::wwDBGridHTitleButtonClick);
    Bind(SortAction, &QAction::triggered, &LookupWindow::SortActionClick);
    Bind(wwDBGridH->ResultModel(), &DatasetModel::CheckToggled, &LookupWindow::ToggleRecord);
    Bind(wwDBGridH, &DataGrid::DblClick, &LookupWindow::wwDBGridHDblClick);
    Bind(wwDBGridH, &DataGrid::CellChanged, &LookupWindow::wwDBGridHCellChanged);
    Bind(DSFhelp, &DataSource::DataChange, &LookupWindow::DSFhelpDataChange);
    Bind(BitBtn1, &QPushButton::clicked, &LookupWindow::BitBtn1Click);
    Bind(BitBtn2, &QPushButton::clicked, &LookupWindow::BitBtn2Click);
    if (kind_.multiSelect) {
        Bind(BitBtn5, &QPushButton::clicked, &LookupWindow::BitBtn5Click);
        Bind(BitBtn8, &QPushButton::clicked, &LookupWindow::BitBtn8Click);
    }
}

bool LookupWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == wwDBGridQ->viewport()) {
        FitConditionColumns();
    }
    return TfrmRootF::eventFilter(watched, event);
}

void LookupWindow::FitConditionColumns() {
    const QAbstractItemModel* model = wwDBGridQ->model();
    const int available = wwDBGridQ->viewport()->width();
    const int columns = model != nullptr ? model->columnCount() : 0;
    int total = 0;
    for (int c = 0; c < columns; ++c) {
        total += wwDBGridQ->columnWidth(c);
    }
    if (columns == 0 || available <= 0 || total <= available) {
        return;
    }
    int used = 0;
    for (int c = 0; c + 1 < columns; ++c) {
        const int width = wwDBGridQ->columnWidth(c) * available / total;
        wwDBGridQ->setColumnWidth(c, width);
        used += width;
    }
    wwDBGridQ->setColumnWidth(columns - 1, available - used);
}

// ---- state ----------------------------------------------------------------------

QString LookupWindow::StatusText(int panel) const {
    return panel >= 0 && panel < 4 ? statusPanels_[panel]->text() : QString();
}

bool LookupWindow::SortPanelVisible() const {
    return !Panel6->isHidden();
}

bool LookupWindow::ConditionPanelVisible() const {
    return !Panel4->isHidden();
}

void LookupWindow::RunSearch(const QString& statement, const std::vector<Field>& resultFields) {
    QryFhelp->SetConnection(&Connection());
    QryFhelp->Close();
    QryFhelp->SetSQL(statement);
    for (const Field& field : resultFields) {
        QryFhelp->AddField(field);
    }
    try {
        QryFhelp->Open();
    } catch (const Cancelled&) {
        // The operator stopped the statement: the window stays usable with
        // an empty result and says so.
        statusPanels_[1]->setText(QStringLiteral("已取消"));
        statusPanels_[3]->setText(QStringLiteral("0"));
    }
}

// ---- show step ------------------------------------------------------------------

void LookupWindow::FormShow() {
    TfrmRootF::FormShow();
    try {
        ShowSteps();
    } catch (...) {
        // A window that cannot show its records ends its modal loop (or, shown
        // modeless, frees itself); its caller sees nothing picked.
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::QueuedConnection);
        throw;
    }
}

void LookupWindow::ShowSteps() {
    if (SourceQuery == nullptr) {
        throw Error(QStringLiteral("The lookup has no column description"));
    }
    fields_ = SourceQuery->Fields();
    BaseSQL = BuildBaseSQL(fields_, FromText);

    SearchField->clear();
    SearchField->SetMapList(true);
    cbField->clear();
    lbOrder1->clear();
    for (const Field& field : fields_) {
        SearchField->AddItem(TrimControl(field.Label()) + QLatin1Char('\t') +
                             FieldReference(field));
        cbField->addItem(field.Label());
        lbOrder1->addItem(field.Label());
    }

    std::vector<Field> resultFields;
    if (kind_.multiSelect) {
        for (const Field& field : fields_) {
            if (const std::optional<Field> result = ResultFieldFor(field)) {
                resultFields.push_back(*result);
            }
        }
    }
    // The window paints while it waits for its records: the two panels are
    // hidden already, as they will be once the records are in.
    Panel4->hide();
    Panel6->hide();
    RunSearch(BaseSQL, resultFields);

    SearchField->setCurrentIndex(0);
    cbField->setCurrentIndex(0);
    if (kind_.defaultConditionRow) {
        cbOperator->setCurrentIndex(0);
        cbLogic->setCurrentIndex(0);
        CDSTmp->Edit();
        CDSTmp->SetFieldValue(MemTable::FField, cbField->itemText(0));
        CDSTmp->SetFieldValue(MemTable::FOperator, cbOperator->itemText(0));
        CDSTmp->SetFieldValue(MemTable::FLogic, cbLogic->itemText(0));
    }
    Panel4->hide();
    Panel6->hide();
    // The operator starts by typing what to look for.
    SearchValue->setFocus();
}

// ---- condition search ---------------------------------------------------------

void LookupWindow::BitBtn3Click() {
    CDSTmp->First();
    std::vector<ConditionRow> rows;
    for (const MemTable::Row& row : CDSTmp->Rows()) {
        rows.push_back({row[MemTable::FField], row[MemTable::FOperator], row[MemTable::FValue],
                        row[MemTable::FLogic]});
    }
    QString order;
    if (SortPanelVisible()) {
        std::vector<OrderEntry> entries;
        for (int i = 0; i < cbOrder1->count(); ++i) {
            entries.push_back({cbOrder1->ItemText(i), cbOrder1->Checked(i)});
        }
        order = BuildOrderText(fields_, entries);
    }
    RunSearch(BuildConditionStatement(BaseSQL, BuildConditionText(fields_, rows), order));
}

// ---- quick search ---------------------------------------------------------------

void LookupWindow::SetSearchMode(QAction* item, bool searchRowEnabled, bool conditionPanelShown) {
    cxButton1->SetGlyph(item->icon());
    SearchField->setEnabled(searchRowEnabled);
    SearchValue->setEnabled(searchRowEnabled);
    cxButton1->SetCaption(item->text());
    Panel4->setVisible(conditionPanelShown);
}

void LookupWindow::fCClick() {
    SetSearchMode(fC, true, false);
}

void LookupWindow::fBClick() {
    SetSearchMode(fB, true, false);
}

void LookupWindow::fDClick() {
    SetSearchMode(fD, true, false);
}

void LookupWindow::fAClick() {
    SetSearchMode(fA, false, true);
}

void LookupWindow::cxButton1Click() {
    if (SearchModeOf(cxButton1->Caption()) == SearchMode::Pinyin) {
        PinyinSearch();
        return;
    }
    const std::optional<QString> statement = BuildQuickSearchStatement(
        BaseSQL, SearchModeOf(cxButton1->Caption()), SearchField->Value(), SearchValue->text());
    if (statement) {
        RunSearch(*statement);
    }
}

void LookupWindow::PinyinSearch() {
    if (!QryFhelp->Active()) {
        return;
    }
    if (!readings_) {
        readings_ = std::make_unique<PinyinReadings>();
    }
    PinyinMatcher matcher(*readings_, SearchValue->text());
    if (matcher.Needle().empty()) {
        QryFhelp->ShowAll();
        return;
    }
    const int field = SearchField->currentIndex() + kind_.firstDataColumn;
    if (SearchField->currentIndex() < 0 || field >= QryFhelp->FieldCount()) {
        throw Error(QStringLiteral("请选择查找字段"));
    }
    QryFhelp->ShowOnly(RecordsMatching(*QryFhelp, field, matcher));
}

void LookupWindow::SearchFieldChange() {
    if (kind_.clearValueOnFieldChange) {
        SearchValue->clear();
    }
}

// ---- sort order -------------------------------------------------------------------

void LookupWindow::lbOrder1DblClick() {
    const QString text = lbOrder1->ItemText(lbOrder1->ItemIndex());
    const int row = cbOrder1->AddItem(text);
    cbOrder1->SetItemIndex(row);
    cbOrder1->SetChecked(row, true);
    cbOrder1->SetImageIndex(row, 0);
}

void LookupWindow::BitBtn6Click() {
    lbOrder1DblClick();
}

void LookupWindow::BitBtn7Click() {
    if (cbOrder1->ItemIndex() >= 0) {
        cbOrder1->DeleteItem(cbOrder1->ItemIndex());
    }
    cbOrder1->SetItemIndex(cbOrder1->count() - 1);
}

void LookupWindow::cbOrder1DblClick() {
    // The list flips the check state right after this; the image shows the
    // direction it flips to.
    const int row = cbOrder1->ItemIndex();
    cbOrder1->SetImageIndex(row, cbOrder1->Checked(row) ? 1 : 0);
}

void LookupWindow::BitBtn4Click() {
    Panel6->setVisible(Panel6->isHidden());
}

void LookupWindow::wwDBGridHTitleButtonClick(const QString& fieldName) {
    const auto repaint = qScopeGuard([this] { wwDBGridH->ResultModel()->RefreshTitles(); });
    TitleSort(kind_, *QryFhelp).Click(fieldName);
}

int LookupWindow::wwDBGridHCalcTitleImage(const Field& field) const {
    return TitleSort(kind_, *QryFhelp).Image(field.FieldName);
}

QString LookupWindow::wwDBGridHCalcTitleState(const Field& field) const {
    return TitleSort(kind_, *QryFhelp).State(field.FieldName);
}

void LookupWindow::SortActionClick() {
    const int column = wwDBGridH->currentIndex().column();
    if (column < 0 || wwDBGridH->model() == nullptr) {
        return;
    }
    wwDBGridHTitleButtonClick(wwDBGridH->model()
                                  ->headerData(column, Qt::Horizontal, DatasetModel::FieldNameRole)
                                  .toString());
}

// ---- picking and hand-back ----------------------------------------------------------

void LookupWindow::ToggleRecord(int record) {
    if (kind_.multiSelect) {
        picks_.Toggle(record);
    }
}

void LookupWindow::BitBtn5Click() {
    if (QryFhelp->Active() && QryFhelp->ShowsSubset()) {
        for (int row = 0; row < QryFhelp->RecordCount(); ++row) {
            picks_.Set(QryFhelp->RecordAtRow(row), true);
        }
    } else {
        picks_.PickAll();
    }
    wwDBGridH->ResultModel()->RefreshChecks();
}

void LookupWindow::BitBtn8Click() {
    if (QryFhelp->Active() && QryFhelp->ShowsSubset()) {
        for (int row = 0; row < QryFhelp->RecordCount(); ++row) {
            picks_.Set(QryFhelp->RecordAtRow(row), false);
        }
    } else {
        picks_.Clear();
    }
    wwDBGridH->ResultModel()->RefreshChecks();
}

void LookupWindow::BitBtn1Click() {
    if (kind_.multiSelect) {
        if (std::optional<VariantArray> rows = MultiPickedRows(*QryFhelp, picks_, fields_)) {
            ResultValue = std::move(rows);
        }
    } else {
        ResultValue = SinglePickedRow(*QryFhelp);
    }
    accept();
}

void LookupWindow::wwDBGridHDblClick() {
    if (kind_.doubleClickConfirms) {
        BitBtn1Click();
    }
}

void LookupWindow::BitBtn2Click() {
    reject();
}

// ---- browsing and status --------------------------------------------------------------

void LookupWindow::EnableNavigation(bool first, bool last) {
    TFirst->setEnabled(first);
    TPrior->setEnabled(first);
    TNext->setEnabled(last);
    TLast->setEnabled(last);
}

void LookupWindow::TFirstClick() {
    QryFhelp->First();
    EnableNavigation(!QryFhelp->Bof(), true);
}

void LookupWindow::TPriorClick() {
    QryFhelp->Prior();
    EnableNavigation(!QryFhelp->Bof(), true);
}

void LookupWindow::TNextClick() {
    QryFhelp->Next();
    EnableNavigation(true, !QryFhelp->Eof());
}

void LookupWindow::TLastClick() {
    QryFhelp->Last();
    EnableNavigation(true, !QryFhelp->Eof());
}

void LookupWindow::DSFhelpDataChange() {
    if (!QryFhelp->Active()) {
        return;
    }
    statusPanels_[3]->setText(RecordCounterText(*QryFhelp));
    // An empty result has no current cell to change: its record text (every
    // column empty) is built here, so no earlier record's text stays.
    if (QryFhelp->RecordCount() == 0) {
        wwDBGridHCellChanged();
    }
}

void LookupWindow::wwDBGridHCellChanged() {
    if (!QryFhelp->Active()) {
        return;
    }
    // Data columns as the grid shows them, left to right.
    const QHeaderView* header = wwDBGridH->horizontalHeader();
    const int dataFields = QryFhelp->FieldCount() - kind_.firstDataColumn;
    QStringList texts;
    for (int visual = kind_.firstDataColumn;
         visual < header->count() && texts.size() < std::min(dataFields, 2); ++visual) {
        texts << QryFhelp->FieldText(header->logicalIndex(visual));
    }
    statusPanels_[1]->setText(RecordText(texts));
}

void LookupWindow::wwDBGridHCalcCellColors(const QModelIndex& /*index*/, bool /*currentRow*/,
                                           bool /*highlighted*/, CellColors& colors) const {
    colors.text = Qt::black;
}

}  // namespace prvc03
